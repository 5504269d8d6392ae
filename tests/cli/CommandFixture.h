#pragma once

// What the tests of the headless commands share: running a command as main() would, a
// picture for extract and calibrate to read, calibrations clicked where a known map puts
// their values, and projects written for the commands to open.

#include "../fakes/TempFolder.h"
#include "cli/Command.h"
#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace commandtests {

constexpr double pi = 3.14159265358979323846;

// Calls `f` with argc and argv as main() gets them for `plotmeter arguments...`.
template <typename F> auto withArguments(std::vector<std::string> arguments, F f)
{
    arguments.insert(arguments.begin(), "plotmeter");
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return f(static_cast<int>(arguments.size()), argv.data());
}

struct Outcome {
    int status;
    std::string out, err;
};

// Any picture `extract` asks for: 200 x 120 white, a red line two pixels thick over rows 59
// and 60 (middle at picture y 120 - 59.5 = 60.5), a light grey (#cccccc) one over rows 100
// and 101 (picture y 19.5), and two blue 5 x 5 squares centred on pixels (30, 30) and
// (150, 90). A path ending "missing.png" cannot be read.
inline DecodedPicture syntheticPicture(const std::string& path, const std::optional<PdfPage>& /*page*/)
{
    if (path.ends_with("missing.png"))
        return {{}, {}, "the file does not exist"};
    auto pixels = std::make_shared<std::vector<std::uint32_t>>(200 * 120, 0xffffffffu);
    const auto paint = [&](int column, int row, std::uint32_t colour) {
        (*pixels)[static_cast<std::size_t>(row * 200 + column)] = colour;
    };
    for (int column = 0; column < 200; ++column) {
        for (int row : {59, 60})
            paint(column, row, 0xffff0000u);
        for (int row : {100, 101})
            paint(column, row, 0xffccccccu);
    }
    for (const auto& [x, y] : {std::pair{30, 30}, std::pair{150, 90}})
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                paint(x + dx, y + dy, 0xff0000ffu);
    return {pixels, {pixels->data(), 200, 120, 200}, {}};
}

// Reads nothing: the synthetic picture has no labels.
struct BlankReader : LabelReader {
    const std::string& problem() const override { return none; }
    Reading read(const GreyCrop& /*crop*/) override { return {}; }
    std::string none;
};

inline Outcome run(std::vector<std::string> arguments)
{
    std::ostringstream out, err;
    const int status = withArguments(std::move(arguments), [&](int argc, char** argv) {
        return runCommand(argc, argv, out, err, syntheticPicture, [] { return std::make_unique<BlankReader>(); });
    });
    return {status, out.str(), err.str()};
}

// Points clicked where a map puts their world values: screen = origin + scale·R(turn)·world.
inline std::vector<CalibrationPoint> clicked(std::vector<DPoint> world, double turnDegrees = 0.0, double scale = 40.0)
{
    const double c = std::cos(turnDegrees * pi / 180.0), s = std::sin(turnDegrees * pi / 180.0);
    std::vector<CalibrationPoint> points;
    for (const DPoint& w : world)
        points.push_back({{30.0 + scale * (c * w.x - s * w.y), 20.0 + scale * (s * w.x + c * w.y)}, w.x, w.y});
    return points;
}

// x = 1420400000 + x/2 and y = y in pixels: the half units must survive.
inline const std::vector<CalibrationPoint> offsetAxis = {
    {{0, 0}, 1420400000.0, 0.0}, {{100, 0}, 1420400050.0, 0.0}, {{0, 100}, 1420400000.0, 100.0}};

class Commands : public testing::Test {
  protected:
    static Document documentOf(const std::vector<CalibrationPoint>& calibration, AxisScales axes = {},
                               std::vector<DPoint> points = {})
    {
        Document document;
        document.apply(change::SetAxes{axes});
        for (std::size_t i = 0; i < calibration.size(); ++i)
            document.apply(change::InsertCalibration{i, calibration[i]});
        document.apply(change::InsertPoints{0, 0, std::move(points)});
        return document;
    }
    std::string project(const Document& document)
    {
        const std::string path = folder("p" + std::to_string(++made_) + ".plotmeter");
        std::string error;
        EXPECT_TRUE(writeProjectFile(document, path, error)) << error;
        return path;
    }
    std::string project(const std::vector<CalibrationPoint>& calibration, AxisScales axes = {},
                        std::vector<DPoint> points = {})
    {
        return project(documentOf(calibration, axes, std::move(points)));
    }

    TempFolder folder;
    int made_ = 0;
};

} // namespace commandtests
