#include "cli/Command.h"

#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

// Calibrations are built from known maps, so what the check must find is known beforehand.

namespace {

namespace fs = std::filesystem;
constexpr double pi = 3.14159265358979323846;

std::pair<int, std::string> run(std::vector<std::string> arguments, std::string* err = nullptr)
{
    arguments.insert(arguments.begin(), "plotmeter");
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    std::ostringstream out, errors;
    const int status = runCommand(static_cast<int>(arguments.size()), argv.data(), out, err ? errors : std::cerr);
    if (err)
        *err = errors.str();
    return {status, out.str()};
}

// Points clicked where a map puts their world values: screen = origin + scale·R(turn)·world.
std::vector<CalibrationPoint> clicked(std::vector<DPoint> world, double turnDegrees = 0.0, double scale = 40.0)
{
    const double c = std::cos(turnDegrees * pi / 180.0), s = std::sin(turnDegrees * pi / 180.0);
    std::vector<CalibrationPoint> points;
    for (const DPoint& w : world)
        points.push_back({{30.0 + scale * (c * w.x - s * w.y), 20.0 + scale * (s * w.x + c * w.y)}, w.x, w.y});
    return points;
}

class CheckCommand : public testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string project(const std::vector<CalibrationPoint>& calibration, AxisScales axes = {},
                        std::vector<DPoint> points = {})
    {
        Document document;
        document.apply(change::SetAxes{axes});
        for (std::size_t i = 0; i < calibration.size(); ++i)
            document.apply(change::InsertCalibration{i, calibration[i]});
        document.apply(change::InsertPoints{0, 0, std::move(points)});
        const std::string path = (dir_ / ("p" + std::to_string(++made_) + ".plotmeter")).string();
        std::string error;
        EXPECT_TRUE(writeProjectFile(document, path, error)) << error;
        return path;
    }
    fs::path dir_ = fs::temp_directory_path() / ("plotmeter-check-" + std::to_string(::getpid()));
    int made_ = 0;
};

TEST_F(CheckCommand, ReportsEachPointAndWarnsAboutWhatIsWrong)
{
    const std::vector<DPoint> world = {{1, 2}, {11, 2}, {1, 12}, {11, 12}, {5, 9}, {8, 4}};
    const std::vector<CalibrationPoint> turned = clicked({world.begin(), world.begin() + 4}, 30.0);
    std::vector<CalibrationPoint> moved = clicked(world), unfinished = clicked({world.begin(), world.begin() + 5});
    moved[3].screen.x += 3.0, moved[3].screen.y += 4.0; // 5 px off
    unfinished[4].worldX.reset();
    std::vector<CalibrationPoint> skewed = clicked({{0, 0}, {10, 0}, {0, 10}}, 0.0, 10.0);
    skewed[2].worldX = 1.0; // world x = 0.1·screen x + 0.01·screen y: the axes meet at 90° + atan(0.1)
    char skew[256];
    std::snprintf(skew, sizeof skew,
                  "axis_angle_degrees  %.1f\nnote: 3 points fit exactly: add a fourth to check them\n"
                  "warning: x and y axes meet at %.1f degrees in the picture\n",
                  90 + std::atan(0.1) * 180 / pi, 90 + std::atan(0.1) * 180 / pi);
    std::vector<CalibrationPoint> decades, offset; // y = 10^(screen y / 100 - 2); 1420400000 + x / 2
    for (int k = 0; k < 6; ++k)
        decades.push_back({{50.0 * (1 + k * k % 7), 100.0 * k}, 1.0 + k * k % 7, std::pow(10.0, k - 2)});
    for (const double x : {0.0, 100.0})
        for (const double y : {0.0, 100.0})
            offset.push_back({{x, y}, 1420400000 + x / 2, y});
    struct Case {
        AxisScales axes;
        std::vector<CalibrationPoint> calibration;
        int status;
        std::string shows; // status 0: every point where the map puts it, so fitted as typed
    };
    const Case cases[] = {
        {{}, turned, 0, "rotation_degrees    30.0\naxis_angle_degrees  90.0\n"},
        {{}, moved, 3, "\nwarning: Point 4: typed (11, 12)"},
        {{}, skewed, 3, skew},
        {{}, unfinished, 3, "  row 5 has no world x\n"},
        {{AxisScale::linear, AxisScale::log10}, decades, 0, "axis_angle_degrees  90.0\n"},
        {{}, offset, 0, "rotation_degrees    0.0\n"},
    };
    for (const Case& c : cases) {
        std::string err;
        const auto [status, out] = run({"check", project(c.calibration, c.axes)}, &err);
        EXPECT_EQ(status, c.status) << out;
        EXPECT_EQ(err, "");
        EXPECT_NE(out.find(c.shows), std::string::npos) << out;
        EXPECT_EQ(out.find("warning: ") == std::string::npos, status == 0) << out;
        std::istringstream lines(out);
        std::size_t rows = 0;
        for (std::string line, f[10]; c.status == 0 && std::getline(lines, line);) {
            std::istringstream in(line);
            for (std::string& field : f)
                in >> field;
            if (f[0] != std::to_string(rows + 1))
                continue;
            const CalibrationPoint& typed = c.calibration.at(rows++);
            EXPECT_EQ(std::stod(f[3]), *typed.worldX) << out;
            EXPECT_EQ(std::stod(f[4]), *typed.worldY) << out;
            EXPECT_EQ(f[5] + " " + f[6], f[3] + " " + f[4]) << out;
            EXPECT_NEAR(std::stod(f[7]), 0.0, 1e-9) << out;
            EXPECT_NEAR(std::stod(f[8]), 0.0, 1e-9 * *typed.worldY) << out;
            EXPECT_EQ(f[9], "0.00") << out;
        }
        EXPECT_EQ(rows, c.status == 0 ? c.calibration.size() : 0u);
    }
}

TEST_F(CheckCommand, RefusesWithOneLineAndNothingOnStandardOutput)
{
    const std::string bad = (dir_ / "bad.plotmeter").string();
    std::ofstream(bad) << "{\"plotmeter\": 1, \"calibration\": [";
    const std::vector<CalibrationPoint> three = clicked({{1, 2}, {11, 2}, {1, 12}});
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"check", (dir_ / "missing.plotmeter").string()}, "missing.plotmeter: the file does not exist"},
        {{"check", bad}, "bad.plotmeter: the file is cut short"},
        {{"check", project({three[0], three[1]})}, "the calibration has 2 points; at least three are needed"},
        {{"check", project({three[0], three[1], {{90, 90}, 5.0, {}}})},
         "only 2 of the 3 calibration points can take part (row 3 has no world y)"},
        {{"check",
          project({{{0, 0}, 1, 1}, {{100, 0}, 2, 10}, {{0, 100}, 3, 0}}, {AxisScale::linear, AxisScale::log10})},
         "(row 3: a log axis takes only values above zero, and world y is 0)"},
        {{"check", project({{{0, 0}, 0, 0}, {{100, 0}, 1, 1}, {{0, 100}, 2, 2}})},
         "the typed world values lie on one line"},
        {{"check", project({{{0, 0}, 0, 0}, {{100, 100}, 1, 0}, {{50, 50}, 0, 1}})},
         "the clicked points lie on one line"},
        {{"check"}, "check needs a project"},
        {{"check", "a", "b"}, "check takes one project"},
        {{"check", "--all", "a"}, "unknown option \"--all\""},
    };
    for (const auto& [arguments, message] : cases) {
        std::string err;
        EXPECT_EQ(run(arguments, &err), std::make_pair(1, std::string())) << message;
        EXPECT_TRUE(err.starts_with("plotmeter: ") && err.find('\n') == err.size() - 1) << err;
        EXPECT_NE(err.find(message), std::string::npos) << err;
    }
}

TEST_F(CheckCommand, ExportWritesRealValuesOnDateAndLogAxes)
{
    // x: an hour a pixel from 2024-03-01; y: a third of a decade a pixel from 1. The point lies at noon, 10^1.5.
    const double start = *readWorldValue(AxisScale::date, "2024-03-01").value;
    const std::string csv = (dir_ / "out.csv").string(),
                      path = project({{{0, 0}, start, 1}, {{48, 0}, start + 48 * 3600.0, 1}, {{0, 9}, start, 1000}},
                                     {AxisScale::date, AxisScale::log10}, {{12, 4.5}});
    ASSERT_EQ(run({"export", path, "-o", csv}).first, 0);
    std::ifstream in(csv);
    std::string header, series, x, y;
    std::getline(in, header), std::getline(in, series, ','), std::getline(in, x, ','), std::getline(in, y, ',');
    EXPECT_TRUE(x.starts_with("2024-03-01T1")) << x;
    EXPECT_NEAR(*readWorldValue(AxisScale::date, x).value, start + 12 * 3600.0, 1e-3) << x;
    EXPECT_NEAR(std::stod(y), std::pow(10.0, 1.5), 1e-9) << y;
}

} // namespace
