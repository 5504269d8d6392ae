#include "InkCanvas.h"
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
