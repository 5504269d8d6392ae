#include "document/Measuring.h"
#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A picture turned 30 degrees, 8 pixels a world unit, world (0, 0) at picture (100, 50):
// the calibration fitted to three clicks where that map puts them.
DPoint pictureOf(DPoint world)
{
    const double turn = std::numbers::pi / 6, c = std::cos(turn), s = std::sin(turn);
    return {100 + 8 * (c * world.x - s * world.y), 50 + 8 * (s * world.x + c * world.y)};
}

WorldMap turnedMap()
{
    std::vector<CalibrationPoint> calibration;
    for (const DPoint w : {DPoint{0, 0}, DPoint{10, 0}, DPoint{0, 10}})
        calibration.push_back({pictureOf(w), w.x, w.y});
    return *fitCalibration(calibration).map;
}

// Distance, angle and area on the turned picture are those of the world figures: a 3-4-5
// triangle's hypotenuse, its right angle, its area; a scale bar of 50 µm over 100 px.
TEST(Measuring, GivesTheWorldsLengthsAnglesAndAreasOnATurnedPicture)
{
    const WorldMap map = turnedMap();
    const DPoint a = pictureOf({1, 1}), b = pictureOf({4, 1}), c = pictureOf({4, 5});

    const MeasuredValues distance = measure({MeasurementKind::distance, {a, c}}, map, std::nullopt);
    ASSERT_TRUE(distance.length && distance.dx && distance.dy);
    EXPECT_NEAR(*distance.length, 5.0, 1e-9);
    EXPECT_NEAR(*distance.dx, 3.0, 1e-9);
    EXPECT_NEAR(*distance.dy, 4.0, 1e-9);
    EXPECT_NEAR(distance.pixels, 40.0, 1e-9);

    const MeasuredValues angle = measure({MeasurementKind::angle, {a, b, c}}, map, std::nullopt);
    ASSERT_TRUE(angle.angleDegrees);
    EXPECT_NEAR(*angle.angleDegrees, 90.0, 1e-9);

    const Measurement triangle{MeasurementKind::path, {a, b, c}, true};
    const MeasuredValues area = measure(triangle, map, std::nullopt);
    ASSERT_TRUE(area.area && area.length);
    EXPECT_NEAR(*area.area, 6.0, 1e-9);
    EXPECT_NEAR(*area.length, 12.0, 1e-9);
    EXPECT_NEAR(area.pixelArea, 6.0 * 64, 1e-6);

    // A scale bar: 100 pixels are 50 µm, whatever the calibration.
    const ScaleBar bar{{{10, 10}, {10, 110}}, 50.0, "µm"};
    const MeasuredValues scaled = measure(triangle, map, bar);
    ASSERT_TRUE(scaled.area && scaled.length);
    EXPECT_EQ(scaled.unit, "µm");
    EXPECT_NEAR(*scaled.length, 12.0 * 8 * 0.5, 1e-9);
    EXPECT_NEAR(*scaled.area, 6.0 * 64 * 0.25, 1e-6);
    EXPECT_EQ(describe(triangle, scaled), "Path: 48 µm, 96 px; area 96 µm²");

    // Along a log axis lengths and areas mean nothing: said, not made up.
    WorldMap logY = map;
    logY.scales.y = AxisScale::log10;
    const MeasuredValues onLog = measure(triangle, logY, std::nullopt);
    EXPECT_FALSE(onLog.area);
    EXPECT_EQ(onLog.why, "lengths and areas are not defined along a log axis");
}

TEST(Measuring, MeasurementsAndTheScaleBarRoundTripInTheProject)
{
    Document document;
    document.apply(change::SetMeasurements{{{{MeasurementKind::distance, {{1, 2}, {3.5, 4}}, false},
                                              {MeasurementKind::path, {{0, 0}, {10, 0}, {0, 10}}, true}},
                                             ScaleBar{{{5, 5}, {105, 5}}, 50, "µm"}}});
    const std::string text = projectText(document, "/tmp");
    EXPECT_NE(text.find(R"("scale": {"screen": [[5.0, 5.0], [105.0, 5.0]], "length": 50.0, "unit": "µm"})"), std::string::npos)
        << text;
    const ProjectReading read = parseProject(text, "/tmp");
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(read.document->measurements(), document.measurements());

    for (const auto& [bad, why] :
         {std::pair<std::string, std::string>{R"("measurements": [{"kind": "circle", "points": []}])",
                                              "measurement 1: \"kind\" is not one of: distance, angle, path"},
          {R"("scale": {"screen": [[1, 1], [2, 2]], "length": 0})", "the scale bar's \"length\" is not a length"},
          {R"("scale": {"screen": [[1, 1]], "length": 3})", "the scale bar's \"screen\" ends is not a pair"}}) {
        const ProjectReading refused =
            parseProject(R"({"plotmeter": 1, "calibration": [], "series": [], )" + bad + "}", "/tmp");
        EXPECT_FALSE(refused.document) << bad;
        EXPECT_NE(refused.error.find(why), std::string::npos) << refused.error;
    }
}

} // namespace
