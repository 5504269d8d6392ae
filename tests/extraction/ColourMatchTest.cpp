#include "Canvas.h"

#include "extraction/ColourMatch.h"
#include "extraction/ColourResolution.h"
#include "extraction/Palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr Rgb white{255, 255, 255};
constexpr Rgb blue{31, 119, 180};
constexpr Rgb red{214, 39, 40};
constexpr Rgb green{44, 160, 44};
constexpr Rgb orange{255, 127, 14};
constexpr Rgb black{0, 0, 0};

TEST(ColourText, ReadsBackWhatItWrites)
{
    EXPECT_EQ(rgbFromText("#1F77b4"), blue);
    EXPECT_EQ(rgbText(blue), "#1f77b4");
    for (const char* wrong : {"", "1f77b4", "#1f77b", "#1f77b4a", "#1g77b4"})
        EXPECT_FALSE(rgbFromText(wrong)) << wrong;
}

TEST(ColourDifference, AgreesWithPublishedCielab)
{
    // CIELAB of pure sRGB red and green as published for D65.
    const Lab r = labOf({255, 0, 0});
    EXPECT_NEAR(r.lightness, 53.24, 0.02);
    EXPECT_NEAR(r.a, 80.09, 0.02);
    EXPECT_NEAR(r.b, 67.20, 0.02);
    const Lab g = labOf({0, 255, 0});
    EXPECT_NEAR(g.lightness, 87.73, 0.02);
    EXPECT_NEAR(g.a, -86.18, 0.02);
    EXPECT_NEAR(colourDifference(white, black), 100.0, 0.01);
}

// Colours beyond the target as seen from the background (the same step on every channel
// changes brightness and keeps JPEG's chroma): just inside and just outside the tolerance,
// measured by delta E from the target.
TEST(ColourMatchTolerance, EdgesByColourDifference)
{
    struct Case {
        Rgb target, background;
        int step; // away from the background
        double tolerance;
    };
    for (const Case& c : {Case{blue, white, -1, 8.0}, Case{red, white, -1, 10.0}, Case{green, white, -1, 12.0},
                          Case{{90, 90, 90}, white, -1, 20.0}, Case{{200, 60, 60}, black, 1, 15.0},
                          Case{blue, white, -1, defaultTolerance / 2}}) {
        const ColourMatch match(c.target, c.background, c.tolerance);
        bool inside = false, outside = false;
        for (int k = 1; k < 60 && !outside; ++k) {
            auto channel = [&](int value) { return static_cast<std::uint8_t>(std::clamp(value + k * c.step, 0, 255)); };
            const Rgb p{channel(c.target.red), channel(c.target.green), channel(c.target.blue)};
            const double d = colourDifference(p, c.target);
            if (d < c.tolerance - 0.3 && d > c.tolerance - 3.0) {
                EXPECT_FLOAT_EQ(match.blendWeight(pixelOf(p)), 1.0f) << rgbText(p) << " at " << d;
                inside = true;
            } else if (d > c.tolerance + 0.3) {
                EXPECT_EQ(match.blendWeight(pixelOf(p)), 0.0f) << rgbText(p) << " at " << d;
                outside = true;
            }
        }
        EXPECT_TRUE(inside && outside) << rgbText(c.target);
    }
}

TEST(ColourMatchWeight, IsTheShareOfTheBlend)
{
    for (const Rgb target : {blue, red, black, orange})
        for (const double share : {0.2, 0.4, 0.6, 0.8, 1.0}) {
            auto mix = [share](std::uint8_t b, std::uint8_t t) {
                return static_cast<std::uint8_t>(std::lround((1 - share) * b + share * t));
            };
            const Rgb p{mix(white.red, target.red), mix(white.green, target.green), mix(white.blue, target.blue)};
            EXPECT_NEAR(ColourMatch(target, white, defaultTolerance).blendWeight(pixelOf(p)), share, 0.02)
                << rgbText(target);
        }
}

// The default keeps grey gridlines and the other curves' colours out of a coloured curve.
TEST(ColourMatchWeight, DefaultLeavesGreyAndOtherColoursOut)
{
    const Rgb curves[] = {blue, red, green, orange};
    for (const Rgb target : curves) {
        const ColourMatch match(target, white, defaultTolerance);
        for (const Rgb other : {Rgb{176, 176, 176}, Rgb{204, 204, 204}, Rgb{128, 128, 128}})
            EXPECT_EQ(match.blendWeight(pixelOf(other)), 0.0f) << rgbText(target) << " " << rgbText(other);
        for (const Rgb other : curves)
            EXPECT_TRUE(other == target || match.blendWeight(pixelOf(other)) == 0.0f)
                << rgbText(target) << " " << rgbText(other);
    }
}

// The picture with its colour kept at half resolution, as JPEG's 4:2:0 does: each pixel
// keeps its brightness (luma) but takes the mean colour (chroma) of its 2 x 2 block.
std::vector<std::uint32_t> halvedColour(const PixelView& view)
{
    std::vector<std::uint32_t> out(static_cast<std::size_t>(view.width * view.height));
    for (int top = 0; top + 1 < view.height; top += 2)
        for (int left = 0; left + 1 < view.width; left += 2) {
            double blueChroma = 0.0, redChroma = 0.0;
            for (int r = top; r < top + 2; ++r)
                for (int c = left; c < left + 2; ++c) {
                    const Rgb p = rgbOf(view.at(c, r));
                    blueChroma += (-0.168736 * p.red - 0.331264 * p.green + 0.5 * p.blue) / 4.0;
                    redChroma += (0.5 * p.red - 0.418688 * p.green - 0.081312 * p.blue) / 4.0;
                }
            for (int r = top; r < top + 2; ++r)
                for (int c = left; c < left + 2; ++c) {
                    const Rgb p = rgbOf(view.at(c, r));
                    const double luma = 0.299 * p.red + 0.587 * p.green + 0.114 * p.blue;
                    auto channel = [](double v) {
                        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
                    };
                    out[static_cast<std::size_t>(r * view.width + c)] =
                        pixelOf({channel(luma + 1.402 * redChroma),
                                 channel(luma - 0.344136 * blueChroma - 0.714136 * redChroma),
                                 channel(luma + 1.772 * blueChroma)});
                }
        }
    return out;
}

TEST(ColourResolution, TellsColourKeptPerPixelFromColourAtHalfResolution)
{
    Canvas canvas(120, 80, white);
    canvas.stroke({{0, 20}, {119, 60}}, 3.0, red);
    canvas.stroke({{0, 70}, {119, 10}}, 2.0, blue);
    canvas.disc({60, 40}, 4.5, green);
    const PixelBox box{0, 0, 120, 80};
    EXPECT_FALSE(colourSpread(canvas.view(), box));
    const std::vector<std::uint32_t> halved = halvedColour(canvas.view());
    EXPECT_TRUE(colourSpread({halved.data(), 120, 80, 120}, box));
    // Grey marks hold no colour to judge by: allowing for spread colour is the safe side.
    Canvas grey(120, 80, white);
    grey.stroke({{0, 20}, {119, 60}}, 3.0, {90, 90, 90});
    EXPECT_TRUE(colourSpread(grey.view(), box));
}

// In a picture that keeps its colour per pixel, a pixel as dark as the target with a third
// of its colour (brown for red) is another colour; so is a grey for black, unless it lies
// beside a pixel of black, as the edge of a black mark does.
TEST(ColourMatchSurroundings, TakesNeitherBrownForRedNorAGreyMarkForBlack)
{
    constexpr Rgb brown{140, 86, 75};
    Canvas canvas(60, 40, white);
    canvas.stroke({{0, 10}, {59, 10}}, 3.0, brown);
    canvas.stroke({{0, 30}, {59, 30}}, 3.0, {127, 127, 127});
    canvas.stroke({{0, 20}, {59, 20}}, 2.0, black);
    const PixelView view = canvas.view();
    const ColourMatch redMatch(red, white, defaultTolerance, colourSpread(view, {0, 0, 60, 40}));
    const ColourMatch blackMatch(black, white, defaultTolerance, colourSpread(view, {0, 0, 60, 40}));
    for (int column = 0; column < 60; ++column) {
        for (int row = 8; row <= 12; ++row)
            EXPECT_FALSE(redMatch.matchesAt(view, column, row)) << column << ", " << row;
        for (int row = 28; row <= 32; ++row)
            EXPECT_FALSE(blackMatch.matchesAt(view, column, row)) << column << ", " << row;
        // The black line's half-covered edge rows count, beside its full rows.
        for (int row = 19; row <= 21; ++row)
            EXPECT_TRUE(blackMatch.matchesAt(view, column, row)) << column << ", " << row;
    }
}

TEST(Palette, FindsTheBackgroundAndTheCurvesColours)
{
    Canvas canvas(120, 80, {250, 250, 250});
    for (int x = 10; x < 120; x += 20)
        canvas.stroke({{double(x), 0}, {double(x), 79}}, 1.0, {204, 204, 204});
    canvas.stroke({{0, 20}, {119, 30}}, 3.0, red);
    canvas.stroke({{0, 60}, {119, 40}}, 2.0, blue);
    EXPECT_EQ(backgroundColour(canvas.view(), {0, 0, 120, 80}), (Rgb{250, 250, 250}));
    const auto colours = dominantColours(canvas.view(), {0, 0, 120, 80}, 4);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_LT(colourDifference(colours[0].colour, red), 5.0);
    EXPECT_LT(colourDifference(colours[1].colour, blue), 5.0);
    EXPECT_NEAR(colours[0].share, 3.0 * 120 / (120 * 80), 0.01);
}

} // namespace
