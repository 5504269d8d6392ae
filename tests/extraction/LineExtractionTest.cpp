#include "Canvas.h"

#include "extraction/LineExtraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr Rgb white{255, 255, 255};
constexpr Rgb blue{31, 119, 180};
constexpr Rgb red{214, 39, 40};

const ColourMatch blueMatch(blue, white, defaultTolerance);

std::vector<PixelPoint> sampled(const std::function<PixelPoint(double)>& curve, double from, double to)
{
    std::vector<PixelPoint> line;
    for (double u = from; u <= to + 1e-9; u += 0.25)
        line.push_back(curve(u));
    return line;
}

struct Fit {
    double rms = 0.0, worst = 0.0;
};

Fit fitTo(const std::vector<PixelPoint>& line, const std::vector<PixelPoint>& points)
{
    Fit fit;
    for (const PixelPoint& p : points) {
        const double d = distanceToLine(line, p);
        fit.rms += d * d;
        fit.worst = std::max(fit.worst, d);
    }
    fit.rms = std::sqrt(fit.rms / std::max<double>(1.0, static_cast<double>(points.size())));
    return fit;
}

Extraction extract(const Canvas& canvas, const LineOptions& options = {}, const Work& work = {})
{
    const PixelView view = canvas.view();
    return extractLine(view, blueMatch, Region({0, 0, view.width, view.height}), options, work);
}

// Straight lines at every sub-pixel offset (the slope walks the offset through a pixel)
// and widths of one to three pixels: the weighted centres land on the line's middle. A
// 1 px line is found wherever it runs near a row's middle; where it lies between two rows,
// two half-covered pixels are all there is of it, as of a lighter colour's line.
TEST(LineExtraction, SubPixelCentresOfAntiAliasedLines)
{
    for (const double width : {1.0, 1.5, 2.0, 2.5, 3.0})
        for (const double slope : {0.05, -0.13, 0.4}) {
            Canvas canvas(100, 60, white);
            const auto row = [&](double x) { return 30.3 + slope * (x - 50); };
            const auto truth = sampled([&](double x) { return PixelPoint{x, row(x)}; }, 0, 99);
            canvas.stroke(truth, width, blue);
            const Extraction found = extract(canvas);
            if (width > 1.0) {
                EXPECT_EQ(found.points.size(), 100u) << width << " " << slope;
            }
            for (int column = 0; column < 100 && width == 1.0; ++column) {
                if (std::abs(row(column) - std::round(row(column))) > 0.25)
                    continue;
                EXPECT_TRUE(std::any_of(found.points.begin(), found.points.end(),
                                        [&](PixelPoint p) { return std::abs(p.column - column) < 0.5; }))
                    << "1 px line, slope " << slope << ", column " << column;
            }
            const Fit fit = fitTo(truth, found.points);
            EXPECT_LT(fit.rms, 0.04) << width << " " << slope;
            EXPECT_LT(fit.worst, 0.1) << width << " " << slope;
        }
}

// A curve on a scan turned by 4 degrees, cut along the turned axes.
TEST(LineExtraction, RotatedScanAlongTurnedAxes)
{
    const double angle = 4.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    auto turned = [&](double x, double y) { return PixelPoint{20 + c * x - s * y, 100 - s * x - c * y}; };
    const auto truth = sampled([&](double x) { return turned(x, 30 + 20 * std::sin(x / 25)); }, 0, 150);
    Canvas canvas(200, 130, white);
    canvas.stroke(truth, 2.0, blue);
    LineOptions options;
    options.axes = {{c, -s}, {-s, -c}};
    const Extraction found = extract(canvas, options);
    EXPECT_GT(found.points.size(), 145u);
    const Fit fit = fitTo(truth, found.points);
    EXPECT_LT(fit.rms, 0.06);
    EXPECT_LT(fit.worst, 0.2);
    for (std::size_t i = 1; i < found.points.size(); ++i) // in order along the turned x axis
        EXPECT_GT(c * found.points[i].column - s * found.points[i].row,
                  c * found.points[i - 1].column - s * found.points[i - 1].row);
}

// A curve that rises steeply from where it starts (a step response) is followed from its
// first cut, at a fine step and at coarse ones: a slope unknown at the seed once cut it
// short until the curve had flattened, and steps beyond 20 pixels once found nothing.
// Followed from a point where it is flat, too: coarse cuts on the steep part lie too far
// apart to follow it from one to the next, and once left it out.
TEST(LineExtraction, SteepStartIsFollowedAtAnyStep)
{
    const auto truth = sampled([](double x) { return PixelPoint{x, 190 - 170 * (1 - std::exp(-x / 30))}; }, 0, 199);
    Canvas canvas(200, 200, white);
    canvas.stroke(truth, 2.0, blue);
    for (const bool fromAPoint : {false, true})
        for (const double step : {1.0, 8.0, 30.0}) {
            SCOPED_TRACE(fromAPoint ? "from a point on the flat part" : "the curve chosen");
            LineOptions options;
            options.step = step;
            if (fromAPoint)
                options.start = PixelPoint{150.0, 190 - 170 * (1 - std::exp(-150.0 / 30))};
            const Extraction found = extract(canvas, options);
            ASSERT_FALSE(found.points.empty());
            EXPECT_LT(found.points.front().column, 2.0 + step) << step;
            EXPECT_GE(static_cast<double>(found.points.size()), 180.0 / step) << step;
            EXPECT_LT(fitTo(truth, found.points).worst, 0.5) << step;
        }
}

// Two curves of the same colour cross; the follower stays on the one it started on. A
// curve of another colour drawn over it, and a gap in it, do not pull it off its middle.
TEST(LineExtraction, FollowsThroughCrossingsAndGaps)
{
    struct Case {
        double slope;
        Rgb crossing;
        double gapFrom, gapTo;
    };
    for (const Case& k : {Case{0.3, blue, 0, 0}, Case{-1.2, blue, 0, 0}, Case{0.15, blue, 0, 0}, Case{0.8, red, 0, 0},
                          Case{-2.0, red, 0, 0}, Case{0.0, white, 60, 72}, Case{0.5, red, 100, 110}}) {
        Canvas canvas(160, 120, white);
        const auto one = sampled([](double x) { return PixelPoint{x, 60 + 25 * std::sin(x / 30)}; }, 0, 159);
        const auto other = sampled(
            [&](double x) {
                return PixelPoint{x, 60 + 25 * std::sin(80 / 30.0) + k.slope * (x - 80)};
            },
            0, 159);
        canvas.stroke(one, 2.0, blue);
        if (!(k.crossing == white))
            canvas.stroke(other, 2.0, k.crossing);
        if (k.gapTo > k.gapFrom)
            canvas.stroke({{(k.gapFrom + k.gapTo) / 2, 0}, {(k.gapFrom + k.gapTo) / 2, 119}}, k.gapTo - k.gapFrom,
                          white);
        const Extraction found = extract(canvas);
        ASSERT_FALSE(found.points.empty());
        // Where both curves start together, the first point clear of one of them tells which
        // the follower took.
        const auto clear = std::find_if(found.points.begin(), found.points.end(), [&](PixelPoint p) {
            return std::abs(distanceToLine(one, p) - distanceToLine(other, p)) > 2.0;
        });
        ASSERT_NE(clear, found.points.end());
        const bool startedOnOne = distanceToLine(one, *clear) < distanceToLine(other, *clear);
        const auto& followed = startedOnOne || !(k.crossing == blue) ? one : other;
        const Fit fit = fitTo(followed, found.points);
        EXPECT_LT(fit.worst, k.crossing == blue ? 1.0 : 0.5) << k.slope;
        EXPECT_GT(found.points.back().column, 155.0) << k.slope;
        // Where curves of the same colour merge, the follower bridges the cuts it cannot read.
        EXPECT_GT(static_cast<double>(found.points.size()), 0.85 * (160 - (k.gapTo - k.gapFrom))) << k.slope;
    }
}

TEST(LineExtraction, EveryRunAndThePaintedOutParts)
{
    Canvas canvas(80, 60, white);
    canvas.stroke({{0, 15}, {79, 15}}, 2.0, blue);
    canvas.stroke({{0, 45}, {79, 40}}, 2.0, blue);
    LineOptions options;
    options.keepAllRuns = true;
    Region region({0, 0, 80, 60});
    region.exclude({40, 15}, 6.0);
    const Extraction all = extractLine(canvas.view(), blueMatch, region, options, {});
    int upper = 0, lower = 0;
    for (const PixelPoint& p : all.points) {
        EXPECT_GT(std::hypot(p.column - 40, p.row - 15), 5.0);
        ++(p.row < 30 ? upper : lower);
    }
    EXPECT_EQ(lower, 80);
    EXPECT_GE(upper, 80 - 13);
    EXPECT_LT(upper, 80);
}

TEST(LineExtraction, NothingWithoutTheColourAndNothingWhenCancelled)
{
    Canvas canvas(300, 200, white);
    canvas.stroke({{0, 100}, {299, 120}}, 2.0, red);
    EXPECT_TRUE(extract(canvas).points.empty());
    EXPECT_FALSE(extract(canvas).cancelled);

    canvas.stroke({{0, 50}, {299, 60}}, 2.0, blue);
    std::atomic<bool> stop{false};
    int reports = 0;
    const Work work{&stop, [&](double) {
                        if (++reports == 2)
                            stop = true;
                    }};
    const Extraction found = extract(canvas, {}, work);
    EXPECT_TRUE(found.cancelled);
    EXPECT_TRUE(found.points.empty());
    EXPECT_EQ(reports, 2);
}

} // namespace
