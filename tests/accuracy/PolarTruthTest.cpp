// Polar axes on matplotlib's own polar transforms (tests/accuracy/polar_truth.py): a
// project calibrated on four points at known (angle, radius), given more points where
// matplotlib draws them, exports every angle within 1e-6 of its unit and every radius
// within 1e-9 relative, through `plotmeter export` as a user would run it; also on a scan
// squeezed and skewed (an elliptical plot).
#include "../fakes/TempFolder.h"
#include "cli/Command.h"
#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

namespace {

struct Known {
    double angle, radius, x, y;
};

struct Case {
    const char* name;  // as polar_truth.py names it
    PolarAxes axes;
    bool squeezed;     // the picture scaled unevenly and skewed, as a careless scan
};

const Case cases[] = {
    {"east-ccw-degrees", {AngleUnit::degrees, false, AxisScale::linear, 0.0}, false},
    {"north-cw-radians-db", {AngleUnit::radians, true, AxisScale::linear, -40.0}, false},
    {"log-radius", {AngleUnit::degrees, false, AxisScale::log10, 10.0}, false},
    {"east-ccw-degrees", {AngleUnit::degrees, false, AxisScale::linear, 0.0}, true},
};

struct Drawn {
    double centre = 0.0; // the radius matplotlib puts at the centre
    std::vector<Known> points;
};

std::map<std::string, Drawn> drawnByMatplotlib(const std::string& folder)
{
    const std::string out = folder + "/truth.txt";
    const std::string command = std::string(PLOTMETER_PYTHON) + " " + POLAR_TRUTH_SCRIPT + " " + out;
    std::map<std::string, Drawn> truth;
    if (std::system(command.c_str()) != 0)
        return truth;
    std::ifstream in(out);
    for (std::string line, name, word; std::getline(in, line);) {
        std::istringstream words(line);
        Known k{};
        if (!(words >> name >> word))
            continue;
        if (word == "centre")
            words >> truth[name].centre;
        else if (std::istringstream(line) >> name >> k.angle >> k.radius >> k.x >> k.y)
            truth[name].points.push_back(k);
    }
    return truth;
}

TEST(PolarAxes, ExportsMatplotlibsOwnPolarPointsExactly)
{
    TempFolder folder;
    const auto truth = drawnByMatplotlib(folder.path.string());
    ASSERT_EQ(truth.size(), 3u) << "matplotlib (Debian's python3-matplotlib) must draw the polar truth";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.squeezed ? ", squeezed" : ""));
        const std::vector<Known>& known = truth.at(c.name).points;
        ASSERT_GE(known.size(), 8u);
        // matplotlib's centre is the one the case expects (for the log radius, 10 ** its origin).
        EXPECT_NEAR(truth.at(c.name).centre, c.axes.radiusAtCentre, 1e-12);
        const PolarAxes axes = c.axes;
        const auto picture = [&c](const Known& k) {
            return c.squeezed ? DPoint{1.3 * k.x + 0.2 * k.y, 0.85 * k.y} : DPoint{k.x, k.y};
        };
        Document document;
        document.apply(change::SetAxes{AxisScales::polarOf(axes)});
        for (std::size_t i = 0; i < 4; ++i)
            document.apply(change::InsertCalibration{i, {picture(known[i]), known[i].angle, known[i].radius}});
        std::vector<DPoint> points;
        for (std::size_t i = 4; i < known.size(); ++i)
            points.push_back(picture(known[i]));
        document.apply(change::InsertPoints{0, 0, points});
        const std::string project = folder("polar.plotmeter"), csv = folder("polar.csv");
        std::string error;
        ASSERT_TRUE(writeProjectFile(document, project, error)) << error;

        std::vector<std::string> words = {"plotmeter", "export", project, "-o", csv};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        std::ostringstream said, complaint;
        ASSERT_EQ(runCommand(static_cast<int>(argv.size()), argv.data(), said, complaint), 0) << complaint.str();
        std::ifstream in(csv);
        std::string line;
        std::getline(in, line);
        EXPECT_EQ(line, "series,angle,radius,screen_x,screen_y\r");
        const double turn = c.axes.angle == AngleUnit::degrees ? 360.0 : 2 * std::numbers::pi;
        std::size_t row = 4;
        for (; std::getline(in, line) && row < known.size(); ++row) {
            std::istringstream fields(line);
            std::string name, angle, radius;
            std::getline(fields, name, ',');
            std::getline(fields, angle, ',');
            std::getline(fields, radius, ',');
            const double a = std::stod(angle), r = std::stod(radius);
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, turn);
            EXPECT_NEAR(std::remainder(a - known[row].angle, turn), 0.0, 1e-6) << line;
            EXPECT_NEAR(r, known[row].radius, 1e-9 * std::abs(known[row].radius) + 1e-12) << line;
        }
        EXPECT_EQ(row, known.size());
    }
}

} // namespace
