// `plotmeter extract` on plots drawn by matplotlib at test time, each with two colours its
// default styles put side by side (tests/accuracy/colour_pairs.py): the colour looked for
// must bring back its own curve or markers and never a point of the other colour, darker,
// greyer or of another hue.
#include "../fakes/TempFolder.h"
#include "document/Document.h"
#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Point {
    double column = 0.0, row = 0.0;
};

// What colour_pairs.py says it drew, in pixel coordinates (column, row from the top).
struct Truth {
    int width = 0, height = 0;
    int box[4] = {}; // left, top, right, bottom
    std::string picture, mode, target;
    std::vector<std::vector<Point>> targetCurves, otherCurves;
    std::vector<Point> targetMarkers, otherMarkers;
};

Truth readTruth(const std::string& path)
{
    Truth truth;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind, role;
        words >> kind;
        if (kind == "size") {
            words >> truth.width >> truth.height;
        } else if (kind == "box") {
            words >> truth.box[0] >> truth.box[1] >> truth.box[2] >> truth.box[3];
        } else if (kind == "picture") {
            words >> truth.picture;
        } else if (kind == "mode") {
            words >> truth.mode;
        } else if (kind == "target") {
            words >> truth.target;
        } else if (kind == "curve" || kind == "marker") {
            words >> role;
            std::vector<Point> points;
            for (Point p; words >> p.column >> p.row;)
                points.push_back(p);
            const bool target = role == "target";
            if (kind == "curve")
                (target ? truth.targetCurves : truth.otherCurves).push_back(points);
            else
                (target ? truth.targetMarkers : truth.otherMarkers)
                    .insert((target ? truth.targetMarkers : truth.otherMarkers).end(), points.begin(), points.end());
        }
    }
    return truth;
}

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.column - a.column, dy = b.row - a.row;
    const double length = dx * dx + dy * dy;
    const double t =
        length > 0.0 ? std::clamp(((p.column - a.column) * dx + (p.row - a.row) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(p.column - a.column - t * dx, p.row - a.row - t * dy);
}

double distanceToCurves(Point p, const std::vector<std::vector<Point>>& curves)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto& curve : curves)
        for (std::size_t i = 0; i + 1 < curve.size(); ++i)
            nearest = std::min(nearest, distanceToSegment(p, curve[i], curve[i + 1]));
    return nearest;
}

double distanceToMarkers(Point p, const std::vector<Point>& markers)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (const Point& m : markers)
        nearest = std::min(nearest, std::hypot(p.column - m.column, p.row - m.row));
    return nearest;
}

// A point this close to a curve's centreline, or to a marker's centre, lies on it.
constexpr double onLine = 1.5;
constexpr double onMarker = 2.0;

struct Figures {
    std::size_t points = 0;
    std::size_t offTarget = 0; // on no line or marker of the colour looked for
    std::size_t onOther = 0;   // of those, on a line or marker of the other colour
    double found = 0.0;        // the share of the target's curve points or markers found
};

Figures measure(const Truth& truth, const std::vector<Point>& points)
{
    Figures figures;
    figures.points = points.size();
    const bool lines = truth.mode == "line";
    const double near = lines ? onLine : onMarker;
    for (const Point& p : points) {
        const double toTarget =
            lines ? distanceToCurves(p, truth.targetCurves) : distanceToMarkers(p, truth.targetMarkers);
        if (toTarget <= near)
            continue;
        ++figures.offTarget;
        if (std::min(distanceToCurves(p, truth.otherCurves), distanceToMarkers(p, truth.otherMarkers)) <= near)
            ++figures.onOther;
    }
    // The target's truth points (a polyline's vertices about a pixel apart, or markers' centres)
    // with an extracted point near them. Lines lose a few where the other curve crosses.
    std::size_t total = 0, reached = 0;
    auto count = [&](const std::vector<Point>& wanted, double reach) {
        for (const Point& w : wanted) {
            ++total;
            if (distanceToMarkers(w, points) <= reach)
                ++reached;
        }
    };
    for (const auto& curve : truth.targetCurves)
        count(curve, 2.0);
    count(truth.targetMarkers, onMarker);
    figures.found = total > 0 ? static_cast<double>(reached) / static_cast<double>(total) : 0.0;
    return figures;
}

// The screen coordinates (x the column, y the height minus the row) of the CSV's rows.
std::vector<Point> readPoints(const std::string& path, int height)
{
    std::vector<Point> points;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        if (fields.size() == 5)
            points.push_back({std::stod(fields[3]), height - std::stod(fields[4])});
    }
    return points;
}

int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ColourPairs : public testing::TestWithParam<const char*> {};

TEST_P(ColourPairs, TakeNoPointOfTheOtherColour)
{
    const std::string name = GetParam();
    TempFolder folder;
    // Debian's matplotlib must be there: a test that skipped without it would prove nothing.
    ASSERT_EQ(run(std::string(PLOTMETER_PYTHON) + " " + COLOUR_PAIRS_SCRIPT + " " + name + " " + folder.path.string()),
              0)
        << "drawing the plot failed: is " << PLOTMETER_PYTHON << "'s matplotlib (python3-matplotlib) installed?";
    const Truth truth = readTruth(folder(name + ".truth"));
    ASSERT_GT(truth.width, 0);

    // Screen coordinates are world values: the points come back in both.
    Document document;
    const double w = truth.width, h = truth.height;
    for (const CalibrationPoint& point :
         {CalibrationPoint{{0, 0}, 0.0, 0.0}, CalibrationPoint{{w, 0}, w, 0.0}, CalibrationPoint{{0, h}, 0.0, h}})
        document.apply(change::InsertCalibration{document.calibration().size(), point});
    std::string error;
    ASSERT_TRUE(writeProjectFile(document, folder("plot.plotmeter"), error)) << error;

    char box[96];
    std::snprintf(box, sizeof box, "%d,%d,%d,%d", truth.box[0], truth.height - truth.box[1], truth.box[2],
                  truth.height - truth.box[3]);
    const std::string out = folder("found.csv");
    const std::string command = std::string(PLOTMETER_PROGRAM) + " extract " + folder("plot.plotmeter") +
                                " --picture " + folder(truth.picture) + " --colour '" + truth.target + "' --mode " +
                                truth.mode + " --box " + box + " -o " + out;
    ASSERT_EQ(run(command), 0) << command;

    const Figures figures = measure(truth, readPoints(out, truth.height));
    std::printf("%s: %zu points, %zu off the %s %s (%zu on the other colour), %.1f %% of it found\n", name.c_str(),
                figures.points, figures.offTarget, truth.target.c_str(), truth.mode == "line" ? "curve" : "markers",
                figures.onOther, 100.0 * figures.found);
    EXPECT_EQ(figures.offTarget, 0u);
    EXPECT_EQ(figures.onOther, 0u);
    EXPECT_GE(figures.found, truth.mode == "line" ? 0.95 : 1.0);
}

INSTANTIATE_TEST_SUITE_P(Matplotlib, ColourPairs,
                         testing::Values("red-brown-lines", "lime-green-lines", "blue-purple-lines", "cyan-blue-lines",
                                         "black-grey-lines", "red-brown-markers", "black-grey-markers",
                                         "red-brown-lines-jpeg", "lime-green-lines-jpeg", "blue-purple-lines-jpeg",
                                         "cyan-blue-lines-jpeg", "black-grey-lines-jpeg", "black-grey-markers-jpeg"),
                         [](const testing::TestParamInfo<const char*>& named) {
                             std::string name;
                             bool upper = true;
                             for (const char* c = named.param; *c != '\0'; ++c) {
                                 if (*c == '-') {
                                     upper = true;
                                     continue;
                                 }
                                 name += upper ? static_cast<char>(*c - 'a' + 'A') : *c;
                                 upper = false;
                             }
                             return name;
                         });

} // namespace
