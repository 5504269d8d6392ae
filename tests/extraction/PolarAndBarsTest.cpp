// Extraction through a document's calibration on polar axes (cuts along the radius, one
// every step of angle) and on bar charts (one point a bar, up or down from the baseline),
// on pictures painted here with known truth.
#include "Canvas.h"
#include "document/PictureExtraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr Rgb white{255, 255, 255};
constexpr Rgb red{214, 39, 40};
constexpr int side = 400;

// The polar plot: centre at pixel (200, 200), 15 pixels a unit of radius, angle in degrees
// counterclockwise from the right.
PixelPoint pixelAt(double degrees, double radius)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {200 + 15 * radius * std::cos(a), 200 - 15 * radius * std::sin(a)};
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// Each curve r(angle) followed round the turn, in order of angle, within 0.3 px of it; the
// figure of eight goes into the centre twice and is found again on the other side.
TEST(PolarExtraction, FollowsTheCurveAlongTheRadiusRoundTheTurn)
{
    const struct {
        const char* name;
        double (*radius)(double degrees);
        std::size_t fewest; // of the 180 rays, 2 degrees apart
    } curves[] = {
        {"three petals on a ring", [](double d) { return 8.0 + 3.0 * std::cos(3.0 * radians(d)); }, 175},
        // Near the centre its lobes run along the rays (within 20 degrees of 90 and 270),
        // where a cut cannot place them: left out, not guessed.
        {"figure of eight", [](double d) { return 11.0 * std::abs(std::cos(radians(d))); }, 140},
    };
    for (const auto& c : curves) {
        SCOPED_TRACE(c.name);
        Canvas canvas(side, side, white);
        std::vector<PixelPoint> curve;
        for (double degrees = 0; degrees <= 360.0; degrees += 0.25)
            curve.push_back(pixelAt(degrees, c.radius(degrees)));
        canvas.stroke(curve, 2.0, red);
        std::vector<CalibrationPoint> calibration;
        for (const auto& [degrees, radius] : {std::pair{0.0, 10.0}, std::pair{90.0, 10.0}, std::pair{200.0, 6.0}}) {
            const PixelPoint p = pixelAt(degrees, radius);
            calibration.push_back({pictureOf(p, side), degrees, radius});
        }
        const AxisScales axes = AxisScales::polarOf({AngleUnit::degrees, false, AxisScale::linear, 0.0});
        const WorldMap map = *fitCalibration(calibration, axes).map;
        ExtractionSettings settings;
        settings.colour = red;
        settings.box = std::pair{DPoint{0, 0}, DPoint{side - 1, side - 1}};
        settings.worldStep = 2.0;
        const PictureExtraction found = extractFromPicture(canvas.view(), map, calibration, settings, Work{});
        EXPECT_GE(found.points.size(), c.fewest) << found.problem;
        double worst = 0.0, previous = -1.0;
        for (const DPoint& point : found.points) {
            const DPoint world = map.world(point);
            EXPECT_GT(world.x, previous); // in order of angle
            previous = world.x;
            worst = std::max(worst, distanceToLine(curve, pixelOf(point, side)));
        }
        EXPECT_LT(worst, 0.3) << "worst in pixels";
    }
}

// Bars of 0.25 units a pixel, baseline 0 at row 300: three up, one down.
TEST(BarExtraction, GivesEachBarsCentreAndEndInWorldValues)
{
    Canvas canvas(side, side, white);
    const struct {
        double centre, value;
    } bars[] = {{60.3, 40.2}, {140.7, -20.6}, {220.1, 55.4}, {300.5, 12.3}};
    for (const auto& bar : bars) {
        const double top = 300 - 4 * std::max(bar.value, 0.0), bottom = 300 - 4 * std::min(bar.value, 0.0);
        for (double row = top; row < bottom; row += 0.5)
            canvas.stroke({{bar.centre - 15, row}, {bar.centre + 15, row}}, 0.5, red);
    }
    std::vector<CalibrationPoint> calibration = {
        {pictureOf({0, 300}, side), 0, 0}, {pictureOf({400, 300}, side), 400, 0}, {pictureOf({0, 100}, side), 0, 50}};
    const WorldMap map = *fitCalibration(calibration).map;
    ExtractionSettings settings;
    settings.colour = red;
    settings.mode = ExtractionMode::bars;
    settings.box = std::pair{DPoint{0, 1}, DPoint{side - 1, side - 1}};
    const PictureExtraction found = extractFromPicture(canvas.view(), map, calibration, settings, Work{});
    ASSERT_EQ(found.points.size(), 4u) << found.problem;
    for (std::size_t i = 0; i < 4; ++i) {
        const DPoint world = map.world(found.points[i]);
        EXPECT_NEAR(world.x, bars[i].centre, 1.0) << i;
        EXPECT_NEAR(world.y, bars[i].value, 0.5 / 4 + 0.2) << i; // half a pixel, and the strokes' round ends
    }
}

} // namespace
