#include "CommandFixture.h"

#include "document/CsvFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

// `plotmeter export` with a grid: curves sampled from known functions, so that every value
// written can be held against the truth.

namespace {

using namespace commandtests;

// Rows of a CSV as fields, the header left out.
std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, ',');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// Two curves drawn on a plot scanned 20° askew, sampled every 0.05 in x: a sine over [0, 6],
// a parabola over [1, 3]. Resampled, each comes back at the x values asked for within its own
// range, close to the true curve, its screen columns where the calibration puts the point.
TEST_F(Commands, ExportResamplesEachSeriesAtTheXValuesAskedFor)
{
    const std::vector<CalibrationPoint> calibration = clicked({{0, -2}, {6, -2}, {0, 10}, {6, 10}}, 20.0);
    const auto screenOf = [&](DPoint world) { return clicked({world}, 20.0).front().screen; };
    const auto sine = [](double x) { return std::sin(x); };
    const auto parabola = [](double x) { return x * x; };
    std::vector<DPoint> wave, bowl;
    for (int i = 0; i <= 120; ++i)
        wave.push_back(screenOf({i * 0.05, sine(i * 0.05)}));
    for (int i = 20; i <= 60; ++i)
        bowl.push_back(screenOf({i * 0.05, parabola(i * 0.05)}));
    Document document = documentOf(calibration, {}, wave);
    document.apply(change::InsertSeries{1, {defaultLook("Bowl", 1), bowl}, 1});
    const std::string path = project(document);

    struct Case {
        std::vector<std::string> options;
        const char* output;
        std::vector<std::pair<std::string, std::vector<double>>> rows; // series, then x values in order
    };
    const Case cases[] = {
        {{"--x-step", "0.25"},
         "step.csv",
         {{"Series 1", {0,    0.25, 0.5,  0.75, 1,    1.25, 1.5,  1.75, 2,    2.25, 2.5,  2.75, 3,
                        3.25, 3.5,  3.75, 4,    4.25, 4.5,  4.75, 5,    5.25, 5.5,  5.75, 6}},
          {"Bowl", {1, 1.25, 1.5, 1.75, 2, 2.25, 2.5, 2.75, 3}}}},
        {{"--x-values=2.5,-1,0.5,7,6", "--interpolation", "cubic"},
         "values.csv",
         {{"Series 1", {2.5, 0.5, 6}}, {"Bowl", {2.5}}}},
        {{"--x-count", "5", "--series", "Bowl", "--interpolation=linear"},
         "count.csv",
         {{"Bowl", {1, 1.5, 2, 2.5, 3}}}},
        {{"--x-count", "3"}, "count.txt", {{"Bowl", {1, 2, 3}}}}, // the data file of the active series
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::vector<std::string> arguments = {"export", path, "-o", folder(c.output)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Outcome outcome = run(arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        std::vector<std::vector<std::string>> rows;
        if (std::string(c.output).ends_with(".txt")) {
            std::istringstream lines(contents(folder(c.output)));
            for (double sx, sy, wx, wy; lines >> sx >> sy >> wx >> wy;)
                rows.push_back(
                    {"Bowl", std::to_string(wx), std::to_string(wy), std::to_string(sx), std::to_string(sy)});
        } else {
            rows = csvRows(contents(folder(c.output)));
        }
        std::size_t row = 0;
        for (const auto& [series, xs] : c.rows)
            for (const double x : xs) {
                ASSERT_LT(row, rows.size());
                const std::vector<std::string>& fields = rows[row++];
                ASSERT_EQ(fields.size(), 5u);
                EXPECT_EQ(fields[0], series);
                EXPECT_NEAR(std::stod(fields[1]), x, 1e-6) << fields[1];
                const double y = std::stod(fields[2]);
                EXPECT_NEAR(y, series == "Bowl" ? parabola(x) : sine(x), 1e-3) << "at x " << x;
                const DPoint placed = screenOf({std::stod(fields[1]), y});
                EXPECT_NEAR(std::stod(fields[3]), placed.x, 1e-3) << "at x " << x;
                EXPECT_NEAR(std::stod(fields[4]), placed.y, 1e-3) << "at x " << x;
            }
        EXPECT_EQ(row, rows.size());
    }
    // The x values are written as asked: 0.25 steps in full, not 0.25000000000000006.
    EXPECT_NE(contents(folder("step.csv")).find("\r\nSeries 1,4.75,"), std::string::npos);
    EXPECT_NE(contents(folder("values.csv")).find("\r\nBowl,2.5,"), std::string::npos);
}

// On a date axis the x values may be dates; on a log axis a step is in decades; on polar
// axes in the angle's units.
TEST_F(Commands, ExportResamplesOnDateLogAndPolarAxes)
{
    // x: an hour a pixel from 2024-03-01, y = 10 + picture y; points at 01:00 to 23:00.
    const double start = *readWorldValue(AxisScale::date, "2024-03-01").value;
    const std::string hours = project({{{0, 0}, start, 10}, {{48, 0}, start + 48 * 3600.0, 10}, {{0, 9}, start, 19}},
                                      {AxisScale::date, AxisScale::linear}, {{1, 1}, {23, 12}});
    ASSERT_EQ(run({"export", hours, "-o", folder("dates.csv"), "--x-values", "2024-03-01T12:00, 2024-03-02"}).status,
              0);
    EXPECT_EQ(csvRows(contents(folder("dates.csv"))),
              (std::vector<std::vector<std::string>>{{"Series 1", "2024-03-01T12:00", "16.5", "12", "6.5"}}));

    // x: a decade every 100 pixels from 1; a straight line in log x, y = 2 log10 x.
    const std::string decades = project({{{0, 0}, 1, 0}, {{300, 0}, 1000, 0}, {{0, 100}, 1, 10}},
                                        {AxisScale::log10, AxisScale::linear}, {{0, 0}, {70, 14}, {300, 60}});
    ASSERT_EQ(run({"export", decades, "-o", folder("decades.csv"), "--x-step", "0.5"}).status, 0);
    const auto rows = csvRows(contents(folder("decades.csv")));
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_NEAR(std::stod(rows[k][1]), std::pow(10.0, 0.5 * static_cast<double>(k)), 1e-12 * std::pow(10.0, 3));
        EXPECT_NEAR(std::stod(rows[k][2]), static_cast<double>(k), 1e-12);
    }
    EXPECT_EQ(rows[2][1], "10");
    EXPECT_EQ(rows[6][1], "1000");

    // Angles in degrees counterclockwise from the right, 20 px a unit of radius from (100, 100);
    // a spiral of radius 1 + angle / 90 from 10 to 100 degrees.
    const AxisScales polar = AxisScales::polarOf({});
    const auto at = [](double angle, double radius) {
        return DPoint{100.0 + 20.0 * radius * std::cos(angle * pi / 180),
                      100.0 + 20.0 * radius * std::sin(angle * pi / 180)};
    };
    std::vector<DPoint> spiral;
    for (double angle = 10; angle <= 100; angle += 3)
        spiral.push_back(at(angle, 1 + angle / 90));
    const std::string turns = project({{at(0, 1), 0, 1}, {at(90, 2), 90, 2}, {at(180, 3), 180, 3}}, polar, spiral);
    ASSERT_EQ(run({"export", turns, "-o", folder("polar.csv"), "--x-step", "30"}).status, 0);
    const std::string text = contents(folder("polar.csv"));
    EXPECT_TRUE(text.starts_with("series,angle,radius,screen_x,screen_y\r\n")) << text;
    const auto spokes = csvRows(text);
    ASSERT_EQ(spokes.size(), 3u);
    for (std::size_t k = 0; k < spokes.size(); ++k) {
        const double angle = 30.0 * static_cast<double>(k + 1);
        EXPECT_EQ(std::stod(spokes[k][1]), angle);
        EXPECT_NEAR(std::stod(spokes[k][2]), 1 + angle / 90, 1e-9);
        EXPECT_NEAR(std::stod(spokes[k][3]), at(angle, 1 + angle / 90).x, 1e-6);
        EXPECT_NEAR(std::stod(spokes[k][4]), at(angle, 1 + angle / 90).y, 1e-6);
    }
}

} // namespace
