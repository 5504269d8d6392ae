#include "Canvas.h"

#include "extraction/MarkerExtraction.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

namespace {

constexpr Rgb white{255, 255, 255};
constexpr Rgb green{44, 160, 44};

const ColourMatch greenMatch(green, white, defaultTolerance);

// Each true centre has exactly one point found within `near`; returns the largest miss.
double matchEach(const std::vector<PixelPoint>& truth, const std::vector<PixelPoint>& found, double near)
{
    EXPECT_EQ(found.size(), truth.size());
    double worst = 0.0;
    for (const PixelPoint& t : truth) {
        int hits = 0;
        for (const PixelPoint& f : found) {
            const double d = std::hypot(f.column - t.column, f.row - t.row);
            if (d < near) {
                ++hits;
                worst = std::max(worst, d);
            }
        }
        EXPECT_EQ(hits, 1) << t.column << "," << t.row;
    }
    return worst;
}

Extraction markers(const Canvas& canvas, const Region& region, const MarkerOptions& options = {})
{
    return extractMarkers(canvas.view(), greenMatch, region, options, {});
}

// Discs five to nine pixels across at sub-pixel centres.
TEST(MarkerExtraction, SubPixelCentroidsOfDiscs)
{
    Canvas canvas(200, 120, white);
    std::vector<PixelPoint> truth;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j) {
            truth.push_back({20 + 40.0 * i + 0.17 * j + 0.05 * i, 15 + 30.0 * j + 0.31 * i - 0.11 * j});
            canvas.disc(truth.back(), 2.5 + 0.5 * i, green);
        }
    EXPECT_LT(matchEach(truth, markers(canvas, Region({0, 0, 200, 120})).points, 2.0), 0.05);
}

// Touching markers are split by their area; specks and big blots are left out; so are
// markers painted out of the region.
TEST(MarkerExtraction, SplitsTouchingMarkersAndFiltersBySize)
{
    Canvas canvas(200, 100, white);
    std::vector<PixelPoint> truth;
    for (int i = 0; i < 4; ++i) {
        truth.push_back({20.0 + 30 * i, 20.3});
        canvas.disc(truth.back(), 3.5, green);
    }
    truth.push_back({50.2, 60.0});
    truth.push_back({56.6, 62.1}); // overlapping the one before
    canvas.disc(truth[4], 3.5, green);
    canvas.disc(truth[5], 3.5, green);
    canvas.set(150, 80, green);          // a speck
    canvas.disc({170, 60}, 30.0, green); // a blot
    canvas.disc({100, 80}, 3.5, green);  // painted out below
    Region region({0, 0, 200, 100});
    region.exclude({100, 80}, 6.0);
    MarkerOptions options;
    options.largest = 20.0;
    EXPECT_LT(matchEach(truth, markers(canvas, region, options).points, 2.5), 0.3);

    options.splitTouching = false;
    EXPECT_EQ(markers(canvas, region, options).points.size(), truth.size() - 1);
}

TEST(MarkerExtraction, NothingWhenCancelled)
{
    Canvas canvas(100, 100, white);
    canvas.disc({50, 50}, 4.0, green);
    std::atomic<bool> stop{true};
    const Extraction found = extractMarkers(canvas.view(), greenMatch, Region({0, 0, 100, 100}), {}, {&stop, {}});
    EXPECT_TRUE(found.cancelled);
    EXPECT_TRUE(found.points.empty());
}

} // namespace
