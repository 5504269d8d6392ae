#include "axes/Glyphs.h"
#include "axes/InkImage.h"
#include "axes/Ticks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

// Pictures drawn here with anti-aliasing, so that where each stroke lies is known to a
// fraction of a pixel.

namespace {

// A canvas of ink: white with dark strokes, each pixel covered by the fraction of it that a
// stroke covers (sampled 8 x 8 times a pixel).
struct Canvas {
    int width, height;
    std::vector<float> ink;

    Canvas(int w, int h) : width(w), height(h), ink(static_cast<std::size_t>(w * h), 0.0f) {}

    // Every point within `halfWidth` of the segment from (c0, r0) to (c1, r1), in pixel
    // coordinates (pixel centres at whole numbers).
    void stroke(double c0, double r0, double c1, double r1, double halfWidth)
    {
        const double dc = c1 - c0, dr = r1 - r0, length2 = std::max(1e-12, dc * dc + dr * dr);
        const int reach = static_cast<int>(std::ceil(halfWidth)) + 1;
        const int left = std::max(0, static_cast<int>(std::floor(std::min(c0, c1))) - reach);
        const int right = std::min(width - 1, static_cast<int>(std::ceil(std::max(c0, c1))) + reach);
        const int top = std::max(0, static_cast<int>(std::floor(std::min(r0, r1))) - reach);
        const int bottom = std::min(height - 1, static_cast<int>(std::ceil(std::max(r0, r1))) + reach);
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c) {
                int covered = 0;
                for (int i = 0; i < 8; ++i)
                    for (int j = 0; j < 8; ++j) {
                        const double pc = c - 0.5 + (i + 0.5) / 8.0, pr = r - 0.5 + (j + 0.5) / 8.0;
                        const double t = std::clamp(((pc - c0) * dc + (pr - r0) * dr) / length2, 0.0, 1.0);
                        covered += std::hypot(pc - c0 - t * dc, pr - r0 - t * dr) <= halfWidth ? 1 : 0;
                    }
                float& v = ink[static_cast<std::size_t>(r * width + c)];
                v = std::max(v, static_cast<float>(covered) / 64.0f);
            }
    }

    InkImage image() const { return {width, height, ink}; }
};

TEST(Turns, TakePointsThereAndBack)
{
    const Turn turn{1.7, 319.5, 239.5};
    for (const PixelPoint p : {PixelPoint{0, 0}, PixelPoint{639, 479}, PixelPoint{100.25, 400.5}}) {
        const PixelPoint back = turn.toUpright(turn.toPicture(p));
        EXPECT_NEAR(back.column, p.column, 1e-9);
        EXPECT_NEAR(back.row, p.row, 1e-9);
    }
    // Counterclockwise on screen: a point right of the centre moves up, to a smaller row.
    EXPECT_LT(turn.toPicture({419.5, 239.5}).row, 239.5);
}

TEST(Turns, FoundFromAFrameAndItsTicks)
{
    for (const double degrees : {-2.0, -0.6, 0.0, 1.3}) {
        // A frame and ticks, drawn turned about the picture's centre.
        Canvas canvas(300, 220);
        const Turn turn{degrees, 149.5, 109.5};
        const auto line = [&](double c0, double r0, double c1, double r1) {
            const PixelPoint a = turn.toPicture({c0, r0}), b = turn.toPicture({c1, r1});
            canvas.stroke(a.column, a.row, b.column, b.row, 0.6);
        };
        line(40, 20, 280, 20);
        line(40, 190, 280, 190);
        line(40, 20, 40, 190);
        line(280, 20, 280, 190);
        for (int k = 0; k < 7; ++k)
            line(40 + 40 * k, 190, 40 + 40 * k, 196);
        EXPECT_NEAR(skewDegrees(canvas.image()), degrees, 0.01) << degrees;
    }
}

TEST(Ticks, PlacedToAFractionOfAPixelInsideOrOutside)
{
    // Ticks at known places under a frame line, labels (small blocks) under them; the x
    // axis' ticks outside, then inside the frame.
    for (const bool inside : {false, true}) {
        Canvas canvas(260, 120);
        const std::vector<double> at = {30.0, 80.3, 130.6, 180.9, 231.2};
        canvas.stroke(10, 60, 250, 60, 0.5);
        std::vector<Box> labels;
        for (const double c : at) {
            canvas.stroke(c, inside ? 54 : 61, c, inside ? 59 : 66, 0.5);
            canvas.stroke(c - 4, 74, c + 4, 74, 3.0); // a label's ink, centred on its tick
            labels.push_back({static_cast<int>(std::floor(c - 7)), 71, static_cast<int>(std::ceil(c + 7)), 78});
        }
        const std::vector<std::optional<double>> found = tickPositions(canvas.image(), labels, Axis::x);
        ASSERT_EQ(found.size(), at.size());
        for (std::size_t i = 0; i < at.size(); ++i) {
            ASSERT_TRUE(found[i]) << i;
            EXPECT_NEAR(*found[i], at[i], 0.1) << (inside ? "inside " : "outside ") << i;
        }
    }
}

TEST(Words, GroupGlyphsOfOneLabelAndKeepLabelsApart)
{
    // "-1.5" as four blobs: a flat minus, a digit, a point, a digit; a second label far off.
    Canvas canvas(120, 40);
    canvas.stroke(10, 20, 15, 20, 0.6);
    canvas.stroke(19, 15, 19, 25, 1.0);
    canvas.stroke(23, 25, 23, 25, 1.0);
    canvas.stroke(27, 15, 27, 25, 1.5);
    canvas.stroke(80, 15, 80, 25, 1.0);
    canvas.stroke(86, 15, 86, 25, 1.0);
    const std::vector<Word> words = wordsOf(glyphsOf(canvas.image(), 30));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].glyphs.size(), 4u);
    EXPECT_EQ(words[1].glyphs.size(), 2u);
}

} // namespace
