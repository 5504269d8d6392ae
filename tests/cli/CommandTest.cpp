#include "cli/Command.h"

#include "CommandFixture.h"
#include "document/CsvFile.h"
#include "document/DataFile.h"
#include "document/ProjectFile.h"
#include "extraction/ColourMatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

// Calibrations are built from known maps, so what the check must find is known beforehand.

namespace {

using namespace commandtests;
namespace fs = std::filesystem;

// The advice for a colour whose distance from white the tolerance reaches.
std::string lowerBelow(Rgb colour, const std::string& tolerance)
{
    const std::string apart = std::to_string(static_cast<int>(std::floor(colourDifference(colour, {255, 255, 255}))));
    return "is only " + apart + " from the background #ffffff, and the tolerance (" + tolerance +
           ") reaches it. Lower the tolerance below " + apart + ".";
}

TEST_F(Commands, ExportWritesTheChosenSeriesByTheOutputsExtension)
{
    // Its picture a page of a PDF document, which the commands need not render.
    Document document = documentOf(offsetAxis, {}, {{1, 0}, {2, 50}});
    document.apply(change::InsertSeries{1, {defaultLook("B, the second", 1), {{10, 20}}}, 1});
    document.setPicture(folder("paper.pdf"));
    document.setPdfPage(PdfPage{3, 200});
    const std::string path = project(document);
    const WorldMap map = *fitCalibration(document.calibration()).map;
    TextLayout tabs;
    tabs.separator = '\t';
    struct Case {
        std::vector<std::string> options;
        const char* output;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "all.csv", csvText(document, map)},
        {{"--series", "B, the second"}, "one.CSV", csvText(document, map, 1)},
        {{}, "all.tsv", delimitedText(document, map, tabs)},
        {{}, "active.txt", dataFileText(document.series()[1], map)},
        {{"--series=Series 1"}, "named", dataFileText(document.series()[0], map)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::vector<std::string> arguments = {"export", "--output", folder(c.output)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(path);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(contents(folder(c.output)), c.expected);
    }
    EXPECT_NE(contents(folder("all.csv")).find("\r\nSeries 1,1420400000.5,0,1,0\r\n"), std::string::npos);
    EXPECT_NE(contents(folder("all.tsv")).find("\r\nSeries 1\t1420400000.5\t0\t1\t0\r\n"), std::string::npos);
    EXPECT_EQ(run({"check", path}).status, 0);
}

TEST_F(Commands, ExportWritesRealValuesOnDateAndLogAxes)
{
    // x: an hour a pixel from 2024-03-01; y: a third of a decade a pixel from 1. The point lies at noon, 10^1.5.
    const double start = *readWorldValue(AxisScale::date, "2024-03-01").value;
    const std::string path = project({{{0, 0}, start, 1}, {{48, 0}, start + 48 * 3600.0, 1}, {{0, 9}, start, 1000}},
                                     {AxisScale::date, AxisScale::log10}, {{12, 4.5}});
    ASSERT_EQ(run({"export", path, "-o", folder("out.csv")}).status, 0);
    std::istringstream in(contents(folder("out.csv")));
    std::string header, series, x, y;
    std::getline(in, header), std::getline(in, series, ','), std::getline(in, x, ','), std::getline(in, y, ',');
    EXPECT_TRUE(x.starts_with("2024-03-01T1")) << x;
    EXPECT_NEAR(*readWorldValue(AxisScale::date, x).value, start + 12 * 3600.0, 1e-3) << x;
    EXPECT_NEAR(std::stod(y), std::pow(10.0, 1.5), 1e-9) << y;
}

TEST_F(Commands, CheckReportsEachPointAndWarnsAboutWhatIsWrong)
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
    std::vector<CalibrationPoint> days; // x: a day a pixel from 2024-01-01, shown as dates
    for (const double x : {0.0, 100.0})
        for (const double y : {0.0, 100.0}) {
            offset.push_back({{x, y}, 1420400000 + x / 2, y});
            days.push_back({{x + 10.0, y + 7.0}, 1704067200 + x * 86400, y});
        }
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
        {{AxisScale::date, AxisScale::linear}, days, 0, "  2024-04-10  "},
    };
    for (const Case& c : cases) {
        const auto [status, out, err] = run({"check", project(c.calibration, c.axes)});
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
            EXPECT_EQ(f[5] + " " + f[6], f[3] + " " + f[4]) << out;
            if (c.axes.x == AxisScale::date)
                continue; // shown as dates, compared as text above
            EXPECT_EQ(std::stod(f[3]), *typed.worldX) << out;
            EXPECT_EQ(std::stod(f[4]), *typed.worldY) << out;
            EXPECT_NEAR(std::stod(f[7]), 0.0, 1e-9) << out;
            EXPECT_NEAR(std::stod(f[8]), 0.0, 1e-9 * *typed.worldY) << out;
            EXPECT_EQ(f[9], "0.00") << out;
        }
        EXPECT_EQ(rows, c.status == 0 ? c.calibration.size() : 0u);
    }
}

TEST_F(Commands, EveryFailureIsOneLineOnStandardErrorAndExitStatusOne)
{
    std::ofstream(folder("bad.plotmeter")) << "{\"plotmeter\": 1, \"calibration\": [";
    std::ofstream(folder("doc.pdf")) << "%PDF-1.4\n";
    const std::string pdf = folder("doc.pdf");
    const std::string good = project(offsetAxis, {}, {{1, 0}, {100, 50}}), out = folder("out.csv");
    const std::vector<CalibrationPoint> three = clicked({{1, 2}, {11, 2}, {1, 12}});
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"export", good, "-o", out, "--frobnicate"}, "unknown option \"--frobnicate\""},
        {{"export", good, "-o"}, "-o needs a value after it"},
        {{"export", good, "-o", ""}, "-o needs a value after it"},
        {{"export", good, "-o", out, "--output", out}, "--output is given twice"},
        {{"export", good}, "export needs a file to write"},
        {{"export", "-o", out}, "export needs a project"},
        {{"export", good, good, "-o", out}, "export takes one project"},
        {{"export", folder("missing.plotmeter"), "-o", out}, "missing.plotmeter: the file does not exist"},
        {{"export", folder("bad.plotmeter"), "-o", out}, "bad.plotmeter: the file is cut short"},
        {{"export", good, "-o", out, "--series", "Z\nY"}, "has no series named \"Z?Y\""},
        {{"export", project(Document()), "-o", out}, "no world values can be computed: the calibration has 0 points"},
        {{"export", good, "-o", folder("no/such/dir.csv")},
         "cannot write " + folder("no/such/dir.csv") + ": No such file"},
        {{"export", good, "-o", folder(".") + "/" + fs::path(good).filename().string()}, "is the project itself"},
        {{"export", good, "-o", out, "--x-step", "0"}, "--x-step needs a number above 0, not \"0\""},
        {{"export", good, "-o", out, "--x-step", "-0.5"}, "--x-step needs a number above 0, not \"-0.5\""},
        {{"export", good, "-o", out, "--x-step=nan"}, "--x-step needs a number above 0, not \"nan\""},
        {{"export", good, "-o", out, "--x-step", "inf"}, "--x-step needs a number above 0, not \"inf\""},
        {{"export", good, "-o", out, "--x-step", "1e-9"}, "the grid gives 4.95e+10 x values, and at most 10000000"},
        {{"export", good, "-o", out, "--x-count", "1"}, "--x-count needs a whole number from 2 to 10000000, not \"1\""},
        {{"export", good, "-o", out, "--x-count", "3.5"}, "--x-count needs a whole number from 2"},
        {{"export", good, "-o", out, "--x-count"}, "--x-count needs a value after it"},
        {{"export", good, "-o", out, "--x-values", "1,a"}, "--x-values needs numbers separated by commas, not \"a\""},
        {{"export", good, "-o", out, "--x-values", "1,,2"}, "--x-values needs numbers separated by commas, not \"\""},
        {{"export", good, "-o", out, "--x-values", "2024-03-01"},
         "--x-values needs numbers separated by commas, not \"2024-03-01\""},
        {{"export", good, "-o", out, "--x-step", "1", "--x-count", "3"},
         "only one of --x-step, --x-count and --x-values at a time, but --x-count follows --x-step"},
        {{"export", good, "-o", out, "--x-step", "1", "--x-step", "2"}, "--x-step is given twice"},
        {{"export", good, "-o", out, "--x-step", "1", "--interpolation", "spline"},
         "--interpolation is linear or cubic, not \"spline\""},
        {{"export", good, "-o", out, "--interpolation", "cubic"},
         "--interpolation needs the x values to interpolate at: --x-step, --x-count or --x-values"},
        {{"check", folder("missing.plotmeter")}, "missing.plotmeter: the file does not exist"},
        {{"check", folder("bad.plotmeter")}, "bad.plotmeter: the file is cut short"},
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
        {{"export", project({{{0, 0}, 0, 0}, {{100, 100}, 1, 0}, {{50, 50}, 0, 1}}), "-o", out},
         "the clicked points lie on one line"},
        {{"extract", project({{{0, 0}, 0, 0}, {{0, 0}, 1, 0}, {{50, 50}, 0, 1}}), "--colour=#ff0000", "-o", out},
         "no world values can be computed"},
        {{"extract", good, "-o", out}, "extract needs the colour to look for"},
        {{"extract", good, "--colour", "red", "-o", out}, "--colour needs a colour written #RRGGBB, not \"red\""},
        {{"extract", good, "--colour=#ff0000", "--tolerance", "-3", "-o", out}, "tolerance must be a number above 0"},
        {{"extract", good, "--colour=#ff0000", "--mode", "dots", "-o", out}, "--mode is line, markers, bars or hbars"},
        {{"extract", good, "--colour=#ff0000", "--baseline", "1", "-o", out}, "--baseline is for --mode bars or hbars"},
        {{"extract", good, "--colour=#ff0000", "--mode", "bars", "--baseline", "zero", "-o", out},
         "--baseline needs a number, not \"zero\""},
        {{"extract", good, "--colour=#ff0000", "--gap", "-1", "-o", out},
         "the gap to bridge must be a number of pixels from 0 up"},
        {{"extract", good, "--colour=#ff0000", "--mode", "markers", "--size", "9,3", "-o", out},
         "the smallest marker size must be no larger than the largest"},
        {{"extract", good, "--colour=#ff0000", "--size", "3,9", "-o", out}, "--size is for markers mode"},
        {{"extract", good, "--colour=#ff0000", "--mode", "markers", "--start", "5,5", "-o", out},
         "--start is for line mode, and --mode is markers"},
        {{"extract", good, "--colour=#ff0000", "--start", "5", "-o", out}, "--start needs two numbers"},
        {{"extract", good, "--colour=#ff0000", "--start", "500,5", "--picture", "plot.png", "-o", out},
         "the start point (500, 5) lies outside the picture, which is 200 x 120 pixels"},
        {{"extract", good, "--colour=#ff0000", "--box", "1,2,3", "-o", out}, "--box needs four numbers"},
        {{"extract", good, "--colour=#ff0000", "--box", "1,2,3,x", "-o", out}, "--box needs a number, not \"x\""},
        {{"extract", good, "--colour=#ff0000", "--step", "0.01", "-o", out},
         "the sampling step must be a number of pixels from 0.1 up"},
        {{"extract", good, "--colour=#ff0000", "-o", out}, "names no picture; give one with --picture FILE"},
        {{"extract", good, "--colour=#ff0000", "--picture", "missing.png", "-o", out},
         "cannot read missing.png: the file does not exist"},
        {{"extract", good, "--colour=#00ff00", "--picture", "plot.png", "-o", out},
         "plot.png: Found no line of colour #00ff00 (tolerance"},
        // A tolerance that reaches the background would take it for the colour: lowering it
        // is the way, not raising it (the light grey is within the default of white).
        {{"extract", good, "--colour=#cccccc", "--picture", "plot.png", "-o", out}, lowerBelow({204, 204, 204}, "20")},
        {{"extract", good, "--colour=#ff0000", "--tolerance", "150", "--picture", "plot.png", "-o", out},
         lowerBelow({255, 0, 0}, "150")},
        {{"extract", good, "--colour=#ffffff", "--picture", "plot.png", "-o", out}, "is the background's"},
        {{"calibrate", "plot.png"}, "calibrate needs a project to write: -o OUT.plotmeter"},
        {{"calibrate", "-o", out}, "calibrate needs a picture"},
        {{"calibrate", "plot.png", "more.png", "-o", out}, "calibrate takes one picture"},
        {{"calibrate", "plot.png", "--dpi", "150", "-o", out}, "plot.png is not a PDF document, so --page and --dpi"},
        {{"calibrate", pdf, "--page", "0", "-o", out}, "--page needs a page number, a whole number from 1, not \"0\""},
        {{"calibrate", pdf, "--page", "1.5", "-o", out}, "--page needs a page number"},
        {{"calibrate", pdf, "--page", "-2", "-o", out}, "--page needs a page number"},
        {{"calibrate", pdf, "--dpi", "5", "-o", out},
         "--dpi needs a resolution from 10 to 2400 dots per inch, not \"5\""},
        {{"calibrate", pdf, "--dpi", "1e9", "-o", out}, "--dpi needs a resolution"},
        {{"calibrate", pdf, "--dpi", "nan", "-o", out}, "--dpi needs a resolution"},
        {{"calibrate", "missing.png", "-o", out}, "cannot read missing.png: the file does not exist"},
        // The picture: a red line and two blue squares, no axes at all.
        {{"calibrate", "plot.png", "-o", out}, "plot.png: Find Axes found no tick labels on the x axis"},
        {{"check"}, "check needs a project"},
        {{"check", "a", "b"}, "check takes one project"},
        {{"check", "--all", "a"}, "unknown option \"--all\""},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(message);
        testing::internal::CaptureStderr(); // nothing below the command may write there itself
        const Outcome outcome = run(arguments);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.starts_with("plotmeter: ")) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_NE(contents(good).find("\"plotmeter\": 1"), std::string::npos);
}

TEST_F(Commands, ExtractWritesWhatItFindsInWorldValues)
{
    // world = picture / 16 (exact in binary), so the red line's middle is at world y 3.78125.
    const std::string sixteenth = project({{{0, 0}, 0.0, 0.0}, {{160, 0}, 10.0, 0.0}, {{0, 160}, 0.0, 10.0}});
    const std::string out = folder("found.csv");
    struct Case {
        std::vector<std::string> options;
        std::size_t rows;
        std::vector<std::string> some; // rows that must be there
    };
    const Case cases[] = {
        // Within the calibration points: columns 0 to 160.
        {{"--colour", "#FF0000"}, 161, {"#ff0000,0,3.78125,0,60.5", "#ff0000,10,3.78125,160,60.5"}},
        {{"--colour", "#ff0000", "--box", "60,0,40,100", "--step", "5"}, 5, {"#ff0000,2.5,3.78125,40,60.5"}},
        // The light grey line, with the tolerance below its distance from white.
        {{"--colour", "#cccccc", "--tolerance", "10"},
         161,
         {"#cccccc,0,1.21875,0,19.5", "#cccccc,10,1.21875,160,19.5"}},
        // Followed both ways from the point given, on the line through it.
        {{"--colour", "#ff0000", "--start", "80,61"}, 161, {"#ff0000,0,3.78125,0,60.5", "#ff0000,10,3.78125,160,60.5"}},
        {{"--colour", "#0000ff", "--mode", "markers", "--box", "0,0,199,119"},
         2,
         {"#0000ff,1.875,5.625,30,90", "#0000ff,9.375,1.875,150,30"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"extract", sixteenth, "--picture", "plot.png", "-o", out};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Outcome outcome = run(arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const std::string text = contents(out);
        EXPECT_TRUE(text.starts_with("series,x,y,screen_x,screen_y\r\n")) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(c.rows + 1)) << text;
        for (const std::string& row : c.some)
            EXPECT_NE(text.find(row + "\r\n"), std::string::npos) << row << " in\n" << text;
    }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* usage : {"plotmeter [FILE]", "plotmeter export PROJECT -o OUT [--series NAME]", "--output OUT",
                              "plotmeter extract PROJECT --colour '#RRGGBB' [--tolerance T]", "(default 1",
                              "plotmeter calibrate PICTURE [--page N] [--dpi D] -o OUT.plotmeter",
                              "[--x-step S | --x-count N | --x-values V1,V2,...]", "[--interpolation linear|cubic]",
                              "--x-step S  ", "--x-count N  ", "--start X,Y", "--gap PX", "--size MIN,MAX", "--x-values V1,V2,...  ", "--interpolation I  "})
        EXPECT_NE(help.out.find(usage), std::string::npos) << usage;
    EXPECT_EQ(run({"-h"}).out, help.out);

    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("plotmeter [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
}

TEST(CommandLine, OnlyCommandsAreTakenFromTheWindow)
{
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"export"}, true},   {{"extract"}, true},           {{"calibrate"}, true}, {{"--help"}, true},
        {{"-h"}, true},       {{"--version"}, true},         {{}, false},           {{"plot.png"}, false},
        {{"exports"}, false}, {{"-style", "fusion"}, false},
    };
    for (const auto& [arguments, command] : cases)
        EXPECT_EQ(withArguments(arguments, isCommand), command) << (arguments.empty() ? "" : arguments.back());
}

} // namespace
