#include "Canvas.h"

#include "extraction/Snap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr Rgb white{255, 255, 255};
constexpr Rgb red{214, 39, 40};

double distance(PixelPoint a, PixelPoint b)
{
    return std::hypot(a.column - b.column, a.row - b.row);
}

TEST(Snap, OntoALineAMarkerAndNothingOnBlank)
{
    Canvas canvas(100, 100, white);
    canvas.stroke({{0, 30.4}, {99, 40.3}}, 2.5, red); // row = 30.4 + 0.1 column
    const PixelPoint marker{70.3, 75.6};
    canvas.disc(marker, 4.0, red);

    for (const PixelPoint click : {PixelPoint{20, 30}, PixelPoint{50, 37}, PixelPoint{51, 32.5}}) {
        const auto snapped = snapToMark(canvas.view(), click, 5.0, defaultTolerance);
        ASSERT_TRUE(snapped) << click.column;
        // Distance to the line's middle, and the snap stays near the click along the line.
        EXPECT_LT(std::abs(snapped->row - 30.4 - 0.1 * snapped->column) / std::hypot(1.0, 0.1), 0.1) << click.column;
        EXPECT_LT(std::abs(snapped->column - click.column), 3.0);
    }
    for (const PixelPoint click : {PixelPoint{70, 76}, PixelPoint{73, 73}, PixelPoint{66, 75}}) {
        const auto snapped = snapToMark(canvas.view(), click, 5.0, defaultTolerance);
        ASSERT_TRUE(snapped);
        EXPECT_LT(distance(*snapped, marker), 0.05);
    }
    EXPECT_FALSE(snapToMark(canvas.view(), {20, 80}, 5.0, defaultTolerance));
    EXPECT_FALSE(snapToMark(canvas.view(), {-5, 80}, 5.0, defaultTolerance));
}

TEST(Snap, OntoGridCrossings)
{
    struct Case {
        double column, row, width;
        Rgb ink;
    };
    for (const Case& k : {Case{40.0, 50.0, 1.0, {0, 0, 0}}, Case{40.5, 50.25, 1.5, {120, 120, 120}},
                          Case{40.3, 49.6, 2.0, {176, 176, 176}}}) {
        Canvas canvas(100, 100, white);
        canvas.stroke({{k.column, 0}, {k.column, 99}}, k.width, k.ink);
        canvas.stroke({{0, k.row}, {99, k.row}}, k.width, k.ink);
        const auto snapped = snapToCrossing(canvas.view(), {k.column + 2.6, k.row - 1.7}, 6.0);
        ASSERT_TRUE(snapped) << k.width;
        EXPECT_LT(distance(*snapped, {k.column, k.row}), 0.1) << k.width;
        // A single stroke is no crossing.
        EXPECT_FALSE(snapToCrossing(canvas.view(), {k.column + 20, k.row + 20.0}, 6.0));
    }
}

} // namespace
