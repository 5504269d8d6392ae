#include "document/Resampling.h"

#include "calibration/AxesSpace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>

// Every curve here is a function sampled at test time on a picture calibrated with a turned,
// stretched map, so the truth at any x is known and the picture coordinates of every point
// resampled can be checked against where that map puts it.

namespace {

constexpr double pi = 3.14159265358979323846;

// A plot whose fit space spans [low, high] in both axes, drawn 600 x 400 pixels and
// scanned 7° askew: screen = origin + R(turn) · (600 (fit - low) / (high - low)).
struct Picture {
    AxisScales axes;
    DPoint low{0.0, 0.0};
    DPoint high{1.0, 1.0};

    DPoint screenOf(DPoint fit) const
    {
        const double turn = 7.0 * pi / 180.0;
        const double u = 600.0 * (fit.x - low.x) / (high.x - low.x);
        const double v = 400.0 * (fit.y - low.y) / (high.y - low.y);
        return {83.0 + std::cos(turn) * u - std::sin(turn) * v, 41.5 + std::sin(turn) * u + std::cos(turn) * v};
    }
    // The map the program fits to calibration points clicked on the plot's four corners.
    WorldMap map() const
    {
        std::vector<CalibrationPoint> calibration;
        for (const DPoint fit : {low, DPoint{high.x, low.y}, DPoint{low.x, high.y}, high})
            calibration.push_back({screenOf(fit), fromFitSpace(axes.x, fit.x), fromFitSpace(axes.y, fit.y)});
        const FitOutcome outcome = fitCalibration(calibration, axes);
        EXPECT_TRUE(outcome.map) << outcome.problem;
        return outcome.map.value_or(WorldMap{});
    }
    // The points of fit y = truth(fit x) at x values evenly spaced over the plot's x-range.
    std::vector<DPoint> sampled(const std::function<double(double)>& truth, std::size_t count) const
    {
        std::vector<DPoint> points;
        for (std::size_t i = 0; i < count; ++i) {
            const double x = low.x + (high.x - low.x) * static_cast<double>(i) / static_cast<double>(count - 1);
            points.push_back(screenOf({x, truth(x)}));
        }
        return points;
    }
};

Resampling grid(Resampling::Grid kind, const std::string& text, AxisScale x = AxisScale::linear,
                Resampling::Interpolation interpolation = Resampling::Interpolation::linear)
{
    Resampling resampling;
    resampling.interpolation = interpolation;
    const std::string problem = readGrid(kind, text, x, resampling);
    EXPECT_EQ(problem, "") << text;
    return resampling;
}

// The largest difference between resampled y and the truth, in fit space.
double largestError(const Resampled& out, const WorldMap& map, const std::function<double(double)>& truth)
{
    double largest = 0.0;
    for (const SampledPoint& point : out.points) {
        const DPoint fit = map.fit(point.screen);
        largest = std::max(largest, std::fabs(fit.y - truth(fit.x)));
    }
    return largest;
}

// Each case: a curve, straight or not on its axes, sampled over a range, and a grid. What
// must hold: the grid's x values are the ones asked for, all of them within the range and
// none outside it; y follows the curve; the picture coordinates are where the picture's own
// map puts (x, y); the world values are what the program's fit reads there.
TEST(Resampling, FollowsTheCurveAtTheGridsXValues)
{
    const double start = *readWorldValue(AxisScale::date, "2024-03-01T06:00").value;
    struct Case {
        const char* name;
        AxisScales axes;
        std::function<double(double)> truth; // fit y of fit x
        double from, to;
        std::size_t samples;
        Resampling::Grid grid;
        std::string text;
        Resampling::Interpolation interpolation;
        double tolerance; // in fit y
        double low, high; // the plot's y-range in fit space
    };
    const auto sine = [](double x) { return std::sin(x); };
    const auto line = [](double x) { return 3.0 + 2.0 * x; };  // on a log x axis: y = 3 + 2 log10 x
    const auto decay = [](double x) { return 1.5 - 0.5 * x; }; // on a log y axis: y = 10^(1.5 - x/2)
    const auto tide = [start](double t) { return 2.0 + std::sin((t - start) / 3600.0); };
    const auto linear = Resampling::Interpolation::linear;
    const auto cubic = Resampling::Interpolation::cubic;
    const Case cases[] = {
        {"dense sine, every 0.25", {}, sine, 0.0, 2 * pi, 200, Resampling::Grid::step, "0.25", linear, 1e-3, -1.2, 1.2},
        {"dense sine, cubic", {}, sine, 0.0, 2 * pi, 200, Resampling::Grid::step, "0.25", cubic, 1e-6, -1.2, 1.2},
        {"dense sine, 50 values", {}, sine, -1.0, 4.0, 200, Resampling::Grid::count, "50", linear, 1e-3, -1.2, 1.2},
        {"log x, half decades",
         {AxisScale::log10, AxisScale::linear},
         line,
         -0.3,
         3.2,
         6,
         Resampling::Grid::step,
         "0.5",
         linear,
         1e-12,
         2.0,
         10.0},
        {"log x, decades, cubic",
         {AxisScale::log10, AxisScale::linear},
         line,
         -0.3,
         3.2,
         6,
         Resampling::Grid::step,
         "1",
         cubic,
         1e-12,
         2.0,
         10.0},
        {"log x, 8 values",
         {AxisScale::log10, AxisScale::linear},
         line,
         0.0,
         3.0,
         5,
         Resampling::Grid::count,
         "8",
         linear,
         1e-12,
         2.0,
         10.0},
        {"log y, 0.3 apart",
         {AxisScale::linear, AxisScale::log10},
         decay,
         0.05,
         9.9,
         4,
         Resampling::Grid::step,
         "0.3",
         cubic,
         1e-12,
         -3.5,
         1.5},
        {"date x, every 15 minutes",
         {AxisScale::date, AxisScale::linear},
         tide,
         start,
         start + 6 * 3600.0,
         400,
         Resampling::Grid::step,
         "900",
         linear,
         1e-3,
         0.8,
         3.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture picture{c.axes, {c.from, c.low}, {c.to, c.high}};
        const WorldMap map = picture.map();
        const Resampling resampling = grid(c.grid, c.text, c.axes.x, c.interpolation);
        const Resampled out = resample(picture.sampled(c.truth, c.samples), map, resampling);
        ASSERT_EQ(out.problem, "");

        // The x values asked for, from end to end of the range.
        std::vector<double> expected;
        if (c.grid == Resampling::Grid::step)
            for (double k = std::ceil(c.from / resampling.step); k * resampling.step <= c.to; ++k)
                expected.push_back(k * resampling.step);
        else
            for (std::size_t i = 0; i < resampling.count; ++i)
                expected.push_back(c.from + (c.to - c.from) * static_cast<double>(i) /
                                                static_cast<double>(resampling.count - 1));
        ASSERT_EQ(out.points.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const SampledPoint& point = out.points[i];
            const double x = expected[i];
            const DPoint fit{*toFitSpace(c.axes.x, point.world.x), *toFitSpace(c.axes.y, point.world.y)};
            EXPECT_NEAR(fit.x, x, 1e-12 * std::max(1.0, std::fabs(x))) << "point " << i;
            EXPECT_NEAR(fit.y, c.truth(x), c.tolerance) << "at x " << x;
            const DPoint placed = picture.screenOf(fit);
            EXPECT_NEAR(point.screen.x, placed.x, 1e-6) << "at x " << x;
            EXPECT_NEAR(point.screen.y, placed.y, 1e-6) << "at x " << x;
            const DPoint read = map.world(point.screen);
            EXPECT_NEAR(read.x, point.world.x, 1e-9 * std::fabs(point.world.x) + 1e-12) << "at x " << x;
            EXPECT_NEAR(read.y, point.world.y, 1e-9 * std::fabs(point.world.y) + 1e-12) << "at x " << x;
        }
        EXPECT_LE(largestError(out, map, c.truth), c.tolerance);
        // A whole number of decades is the power of ten itself, as a calibration typed it.
        if (c.axes.x == AxisScale::log10)
            for (const SampledPoint& point : out.points) {
                const double decade = std::round(std::log10(point.world.x));
                if (std::fabs(std::log10(point.world.x) - decade) < 1e-9) {
                    EXPECT_EQ(point.world.x, std::pow(10.0, decade));
                }
            }
    }
}

// Nine points of a sine over one period are too few for straight lines between them; the
// spline through the same points comes far closer.
TEST(Resampling, CubicSplineFollowsACoarselySampledCurveFarCloser)
{
    const auto sine = [](double x) { return std::sin(x); };
    const Picture picture{{}, {0.0, -1.2}, {2 * pi, 1.2}};
    const WorldMap map = picture.map();
    const std::vector<DPoint> coarse = picture.sampled(sine, 9);
    const Resampled straight = resample(coarse, map, grid(Resampling::Grid::step, "0.25"));
    const Resampled spline = resample(
        coarse, map, grid(Resampling::Grid::step, "0.25", AxisScale::linear, Resampling::Interpolation::cubic));
    ASSERT_EQ(straight.points.size(), spline.points.size());
    const double straightError = largestError(straight, map, sine);
    const double splineError = largestError(spline, map, sine);
    EXPECT_GT(straightError, 0.03); // the chords of the sine miss it by that much
    EXPECT_LT(splineError, straightError / 8.0) << straightError;
    // Both pass through the points themselves: x = π/2 is one of them.
    for (const auto interpolation : {Resampling::Interpolation::linear, Resampling::Interpolation::cubic}) {
        const Resampled out = resample(
            coarse, map, grid(Resampling::Grid::values, "1.5707963267948966", AxisScale::linear, interpolation));
        ASSERT_EQ(out.points.size(), 1u);
        EXPECT_NEAR(out.points[0].world.y, 1.0, 1e-12);
    }
}

// On polar axes x is the angle and y the radius: a spiral whose radius grows evenly with the
// angle (on a log radius, by a factor for each step of angle) is straight in that space, so
// it comes back exact at every multiple of the step in angle, wherever the picture puts it.
TEST(Resampling, OnPolarAxesTheStepIsInAngle)
{
    struct Case {
        PolarAxes axes;
        std::function<double(double)> radius; // of the angle
        double turn;                          // degrees or radians in a whole turn
        const char* step;
    };
    const Case cases[] = {
        {{AngleUnit::degrees, false, AxisScale::linear, 0.0}, [](double a) { return 1.0 + a / 90.0; }, 360.0, "15"},
        {{AngleUnit::degrees, true, AxisScale::log10, 0.1},
         [](double a) { return std::pow(10.0, a / 120.0); },
         360.0,
         "22.5"},
        {{AngleUnit::radians, false, AxisScale::linear, 0.0}, [](double a) { return 2.0 + a; }, 2 * pi, "0.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const AxisScales axes = AxisScales::polarOf(c.axes);
        // The plot's centre at (300, 250), its angle zero pointing right, 80 px a unit of
        // radius (of log10 radius above the centre's on a log radius), y stretched 3 %.
        const auto screenOf = [&](double angle, double radius) {
            const DPoint fit = *toFitSpace(axes, {angle, radius});
            return DPoint{300.0 + 80.0 * fit.x, 250.0 + 82.4 * fit.y};
        };
        std::vector<CalibrationPoint> calibration;
        for (const double a : {0.0, 0.25, 0.5, 0.75})
            calibration.push_back({screenOf(a * c.turn, c.radius(a * c.turn)), a * c.turn, c.radius(a * c.turn)});
        const FitOutcome fit = fitCalibration(calibration, axes);
        ASSERT_TRUE(fit.map) << fit.problem;
        std::vector<DPoint> spiral;
        const double from = 0.03 * c.turn, to = 0.83 * c.turn;
        for (int i = 0; i <= 40; ++i) {
            const double a = from + (to - from) * i / 40.0;
            spiral.push_back(screenOf(a, c.radius(a)));
        }
        const Resampled out = resample(spiral, *fit.map, grid(Resampling::Grid::step, c.step));
        const double step = std::stod(c.step);
        ASSERT_EQ(out.points.size(), static_cast<std::size_t>(std::floor(to / step) - std::ceil(from / step) + 1));
        for (std::size_t i = 0; i < out.points.size(); ++i) {
            const SampledPoint& point = out.points[i];
            const double angle = (std::ceil(from / step) + static_cast<double>(i)) * step;
            EXPECT_NEAR(point.world.x, angle, 1e-12 * c.turn);
            EXPECT_NEAR(point.world.y, c.radius(angle), 1e-9 * c.radius(angle)) << "at angle " << angle;
            const DPoint placed = screenOf(angle, c.radius(angle));
            EXPECT_NEAR(point.screen.x, placed.x, 1e-6) << "at angle " << angle;
            EXPECT_NEAR(point.screen.y, placed.y, 1e-6) << "at angle " << angle;
        }
    }
}

// Exactly the values given, in their order; those outside the series' x-range, or with no
// place on the axis (zero on a log axis), are left out, never extrapolated. The ends count.
TEST(Resampling, XValuesAreTakenInTheirOrderLessThoseOutsideTheRange)
{
    const auto line = [](double x) { return 1.0 - x / 4.0; };
    struct Case {
        AxisScale x;
        DPoint low, high;
        std::string values;
        std::vector<double> kept;
    };
    const Case cases[] = {
        {AxisScale::linear,
         {0.5, 0.0},
         {3.5, 1.0},
         "2, 7, -1, 0.5,3.5, 3.5000001, 3.500000000001, 0.499999999999, 1",
         {2, 0.5, 3.5, 3.500000000001, 0.499999999999, 1}},
        {AxisScale::log10, {-1.0, 0.0}, {2.0, 2.0}, "0, -5, 0.1, 100, 1000, 50, 0.05", {0.1, 100, 50}},
        {AxisScale::linear, {0.0, 0.0}, {1.0, 1.0}, "1.5, -0.5", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        const Picture picture{{c.x, AxisScale::linear}, c.low, c.high};
        const WorldMap map = picture.map();
        const Resampled out = resample(picture.sampled(line, 7), map, grid(Resampling::Grid::values, c.values, c.x));
        ASSERT_EQ(out.points.size(), c.kept.size());
        for (std::size_t i = 0; i < c.kept.size(); ++i) {
            EXPECT_EQ(out.points[i].world.x, c.kept[i]);
            const double fitX = *toFitSpace(c.x, c.kept[i]);
            EXPECT_NEAR(out.points[i].world.y, line(fitX), 1e-12);
        }
    }
}

// A jump drawn as two points at one x: the resampled curve passes through their mean there,
// and the spline stays finite and between the neighbours' values instead of dividing by a
// zero spacing.
TEST(Resampling, PointsOfEqualXCountAsTheirMean)
{
    const Picture picture{{}, {0.0, 0.0}, {4.0, 4.0}};
    const WorldMap map = picture.map();
    const std::vector<DPoint> points = {picture.screenOf({3, 1}), picture.screenOf({1, 2}), picture.screenOf({0, 0}),
                                        picture.screenOf({1, 4}), picture.screenOf({2, 1}), picture.screenOf({4, 2})};
    for (const auto interpolation : {Resampling::Interpolation::linear, Resampling::Interpolation::cubic}) {
        const Resampled out =
            resample(points, map, grid(Resampling::Grid::values, "1, 0.5, 2", AxisScale::linear, interpolation));
        ASSERT_EQ(out.points.size(), 3u);
        EXPECT_NEAR(out.points[0].world.y, 3.0, 1e-12);
        EXPECT_NEAR(out.points[2].world.y, 1.0, 1e-12);
        EXPECT_TRUE(out.points[1].world.y > 0.0 && out.points[1].world.y < 3.5) << out.points[1].world.y;
        if (interpolation == Resampling::Interpolation::linear) {
            EXPECT_NEAR(out.points[1].world.y, 1.5, 1e-12);
        }
    }
}

// Multiples of a step are the decimal numbers a user reads: 3 × 0.1 is written 0.3.
TEST(Resampling, MultiplesOfAStepAreTheDecimalsTyped)
{
    const std::pair<std::string, std::pair<double, double>> cases[] = {
        {"0.1", {-0.35, 2.0}}, {"0.3", {1.0, 20.0}},   {"0.05", {0.0, 1.0}}, {"2.5", {-40.0, 40.0}},
        {"7", {1.0, 99.0}},    {"0.001", {0.3, 0.35}}, {"1.1", {0.0, 20.0}}, {"0.7", {-9.0, 9.0}},
    };
    for (const auto& [text, range] : cases) {
        SCOPED_TRACE(text);
        const Picture picture{{}, {range.first, 0.0}, {range.second, 1.0}};
        const Resampled out =
            resample(picture.sampled([](double) { return 0.5; }, 3), picture.map(), grid(Resampling::Grid::step, text));
        ASSERT_FALSE(out.points.empty());
        // k × step as decimal text, read as a number: "3" "e" ... from the step's digits.
        const std::size_t point = text.find('.');
        const std::string digits = point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
        for (const SampledPoint& p : out.points) {
            const long k = std::lround(p.world.x / std::stod(text));
            const std::string exact = std::to_string(k * std::stol(digits)) + "e-" + std::to_string(decimals);
            EXPECT_EQ(p.world.x, std::stod(exact)) << exact;
            EXPECT_FALSE(std::signbit(p.world.x) && p.world.x == 0.0) << "-0";
        }
    }
}

// A step so small for the data that the file would not fit anywhere is refused whole, before
// anything is made; the room is shared by every series written.
TEST(Resampling, AGridOfMorePointsThanThereIsRoomForIsRefused)
{
    const Picture picture{{}, {0.0, 0.0}, {1000.0, 1.0}};
    const Series series{defaultLook("Rising", 0), picture.sampled([](double x) { return x / 1000.0; }, 11)};
    const ResampledSeries refused = resampleSeries({series}, picture.map(), grid(Resampling::Grid::step, "1e-9"));
    EXPECT_TRUE(refused.series.empty());
    EXPECT_NE(refused.problem.find("series \"Rising\": the grid gives 1e+12 x values, and at most 10000000"),
              std::string::npos)
        << refused.problem;

    for (const auto& [text, room, fits] : {std::tuple{"100", std::size_t{11}, true},
                                           {"100", std::size_t{10}, false},
                                           {"250", std::size_t{5}, true},
                                           {"250", std::size_t{4}, false}}) {
        const Resampled out = resample(series.points, picture.map(), grid(Resampling::Grid::step, text), room);
        EXPECT_EQ(out.problem.empty(), fits) << text << " in " << room;
        EXPECT_EQ(out.points.size(), fits ? room : 0u) << text << " in " << room;
    }
}

TEST(Resampling, GridTextIsReadOrRefusedWithWhatItNeeds)
{
    struct Case {
        Resampling::Grid grid;
        AxisScale x;
        const char* text;
        std::string problem; // empty: read
    };
    const Case cases[] = {
        {Resampling::Grid::step, AxisScale::linear, " 0.25 ", ""},
        {Resampling::Grid::step, AxisScale::linear, "1e-3", ""},
        {Resampling::Grid::step, AxisScale::linear, "0", "needs a number above 0, not \"0\""},
        {Resampling::Grid::step, AxisScale::linear, "-1", "needs a number above 0"},
        {Resampling::Grid::step, AxisScale::linear, "nan", "needs a number above 0"},
        {Resampling::Grid::step, AxisScale::linear, "inf", "needs a number above 0"},
        {Resampling::Grid::step, AxisScale::linear, "1e999", "needs a number above 0"},
        {Resampling::Grid::step, AxisScale::linear, "0,5", "needs a number above 0"},
        {Resampling::Grid::count, AxisScale::linear, "2", ""},
        {Resampling::Grid::count, AxisScale::linear, "1", "needs a whole number from 2 to 10000000, not \"1\""},
        {Resampling::Grid::count, AxisScale::linear, "2.5", "needs a whole number from 2"},
        {Resampling::Grid::count, AxisScale::linear, "-3", "needs a whole number from 2"},
        {Resampling::Grid::count, AxisScale::linear, "99999999999999999999999", "needs a whole number from 2"},
        {Resampling::Grid::values, AxisScale::linear, "1, 2.5,-3e2", ""},
        {Resampling::Grid::values, AxisScale::linear, "1,,2", "needs numbers separated by commas, not \"\""},
        {Resampling::Grid::values, AxisScale::linear, "1,x", "needs numbers separated by commas, not \"x\""},
        {Resampling::Grid::values, AxisScale::linear, "2024-03-01", "needs numbers separated by commas"},
        {Resampling::Grid::values, AxisScale::date, "2024-03-01, 1709251200.5", ""},
        {Resampling::Grid::values, AxisScale::date, "yesterday", "needs dates or numbers of seconds separated by"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Resampling resampling;
        const std::string problem = readGrid(c.grid, c.text, c.x, resampling);
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(resampling.grid, c.grid);
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
            EXPECT_EQ(resampling.grid, Resampling::Grid::none);
        }
    }
    Resampling dates;
    ASSERT_EQ(readGrid(Resampling::Grid::values, "2024-03-01, 1709251200.5", AxisScale::date, dates), "");
    EXPECT_EQ(dates.values, (std::vector<double>{1709251200.0, 1709251200.5}));
}

} // namespace
