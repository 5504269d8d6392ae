#include "document/ProjectFile.h"

#include "../fakes/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <fstream>
#include <unistd.h>

namespace {

const std::string folder = "/home/user/plots";

Document sampleDocument()
{
    Document d;
    d.setPicture(folder + "/scans/fig 3.pdf");
    d.setPdfPage(PdfPage{2, 150.5});
    d.apply(change::InsertCalibration{0, {{34.0, 51.0}, 0.0, 0.0}});
    d.apply(change::InsertCalibration{1, {{1420400000.5, 1e-300}, -0.0, std::nullopt}});
    d.apply(change::InsertCalibration{2, {{0.1, 5e-324}, 1.7976931348623157e308, 2.0}});
    d.apply(change::SetLook{0, {"Temperature, \"raw\"", {1, 2, 3}, MarkerShape::triangle, false}});
    d.apply(change::InsertPoints{0, 0, {{120.5, 88.25}, {-0.0, 0.1}, {1e-300, 1420400000.5}}});
    d.apply(change::InsertSeries{1, {{"Größe ✓\n\\", {255, 0, 128}, MarkerShape::circle, true}, {{3, 4}}}, 1});
    d.apply(change::InsertSeries{2, {defaultLook("", 2), {}}, 1});
    return d;
}

TEST(ProjectFile, RoundTripKeepsEveryValueBitExactInAnyLocale)
{
    const Document original = sampleDocument();
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        if (std::setlocale(LC_ALL, locale) == nullptr) {
            ADD_FAILURE() << "scripts/install-deps makes the decimal-comma locale";
            continue;
        }
        const std::string text = projectText(original, folder);
        const ProjectReading read = parseProject(text, folder);
        std::setlocale(LC_ALL, "C");
        ASSERT_TRUE(read.document) << read.error;
        EXPECT_EQ(*read.document, original);
        EXPECT_TRUE(std::signbit(read.document->series()[0].points[1].x));
        EXPECT_TRUE(std::signbit(*read.document->calibration()[1].worldX));
        EXPECT_EQ(projectText(*read.document, folder), text);
        EXPECT_NE(text.find("[1e-300, 1420400000.5]"), std::string::npos);
        EXPECT_NE(text.find("\"page\": 2, \"dpi\": 150.5"), std::string::npos);
    }
}

// Polar axes go out as format 2 and come back as they were; Cartesian ones stay format 1.
TEST(ProjectFile, PolarAxesRoundTripAsFormatTwo)
{
    Document polar = sampleDocument();
    polar.apply(change::SetAxes{AxisScales::polarOf({AngleUnit::radians, true, AxisScale::log10, 0.001})});
    const std::string text = projectText(polar, folder);
    EXPECT_NE(text.find("\"plotmeter\": 2"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("axes": {"kind": "polar", "angle": "radians", "clockwise": true, "radius": "log10", )"
                        R"("radius_at_centre": 0.001})"),
              std::string::npos)
        << text;
    const ProjectReading read = parseProject(text, folder);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(*read.document, polar);
    EXPECT_NE(projectText(sampleDocument(), folder).find("\"plotmeter\": 1"), std::string::npos);
}

TEST(ProjectFile, PictureIsRelativeOnlyBelowTheProjectFolder)
{
    struct Case {
        std::string picture, written;
    };
    const Case cases[] = {
        {folder + "/plot.png", "plot.png"},
        {folder + "/scans/fig 3.png", "scans/fig 3.png"},
        {"/elsewhere/plot.png", "/elsewhere/plot.png"},
        {"/home/user/plots2/plot.png", "/home/user/plots2/plot.png"},
        {"/home/user/plot.png", "/home/user/plot.png"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        Document d;
        d.setPicture(c.picture);
        const std::string text = projectText(d, folder);
        EXPECT_NE(text.find("\"picture\": \"" + c.written + "\""), std::string::npos) << text;
        const ProjectReading read = parseProject(text, folder);
        ASSERT_TRUE(read.document) << read.error;
        EXPECT_EQ(read.document->picture(), c.picture);
    }
}

std::string project(const std::string& series, const std::string& calibration = "[]", const std::string& more = "")
{
    return R"({"plotmeter": 1, "calibration": )" + calibration + R"(, "series": )" + series + more + "}";
}

TEST(ProjectFile, ReadsWhatItDoesNotWriteWithDefaults)
{
    const ProjectReading minimal = parseProject(project("[]"), folder);
    ASSERT_TRUE(minimal.document) << minimal.error;
    EXPECT_EQ(*minimal.document, Document());

    // Unknown keys at every level are skipped; brackets in strings do not count as nesting.
    const ProjectReading extended =
        parseProject(R"({"future": {"a": [1, {"b": null}], "c": ")" + std::string(100, '[') + R"("}, "plotmeter": 1,
            "picture": "../p.png", "calibration": [{"screen": [1, 2], "world": [null, -3], "note": "x"}],
            "series": [{"name": "a", "points": [[1e2, -0]], "extra": [[[]]]}, {"name": "b", "points": []}],
            "active_series": 1})",
                     folder);
    ASSERT_TRUE(extended.document) << extended.error;
    const Document& d = *extended.document;
    EXPECT_EQ(d.picture(), "/home/user/p.png");
    EXPECT_EQ(d.calibration(), (std::vector<CalibrationPoint>{{{1, 2}, std::nullopt, -3.0}}));
    EXPECT_EQ(d.series()[0].points, (std::vector<DPoint>{{100, 0}}));
    EXPECT_EQ(d.series()[1].look, defaultLook("b", 1));
    EXPECT_EQ(d.activeSeries(), 1u);
}

struct Malformed {
    const char* name;
    std::string text;
    const char* error;
    friend std::ostream& operator<<(std::ostream& out, const Malformed& m) { return out << m.name; }
};

class MalformedProject : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedProject, IsRefusedSayingWhatIsWrong)
{
    const ProjectReading read = parseProject(GetParam().text, folder);
    EXPECT_FALSE(read.document);
    EXPECT_NE(read.error.find(GetParam().error), std::string::npos) << read.error;
    EXPECT_EQ(read.error.find('\n'), std::string::npos);
}

std::string repeated(const std::string& item, std::size_t n)
{
    std::string text = "[";
    for (std::size_t i = 0; i < n; ++i)
        text += (i == 0 ? "" : ",") + item;
    return text + "]";
}

const std::string point = R"({"screen": [1, 2], "world": [3, 4]})";
// A project of one series "a" with these keys besides its name.
std::string series(const std::string& keys)
{
    return project(R"([{"name": "a", )" + keys + "}]");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, MalformedProject,
    testing::ValuesIn(std::vector<Malformed>{
        {"LaterFormat", R"({"plotmeter": 3, "calibration": 5})",
         "written by a newer Plotmeter (format 3); this one reads formats 1 to 2"},
        {"UnknownAxesKind", project("[]", "[]", R"(, "axes": {"kind": "spherical"})"),
         "the axes' \"kind\" is not one of: cartesian, polar"},
        {"UnknownAngleUnit", project("[]", "[]", R"(, "axes": {"kind": "polar", "angle": "gradians"})"),
         "the polar axes' \"angle\" unit is not one of: degrees, radians"},
        {"ClockwiseAsText", project("[]", "[]", R"(, "axes": {"kind": "polar", "clockwise": "yes"})"),
         "the polar axes' \"clockwise\" is not true or false"},
        {"CentreAsText", project("[]", "[]", R"(, "axes": {"kind": "polar", "radius_at_centre": "-40"})"),
         "the polar axes' \"radius_at_centre\" is not a number"},
        {"CentreInfinite", project("[]", "[]", R"(, "axes": {"kind": "polar", "radius_at_centre": 1e999})"),
         "\"radius_at_centre\" is not a finite number (1e999)"},
        {"LogRadiusCentreAtZero",
         project("[]", "[]", R"(, "axes": {"kind": "polar", "radius": "log10", "radius_at_centre": 0})"),
         "on a log radius, the radius at the centre must be above zero"},
        {"LaterFormatNamedLast", R"({"calibration": "x", "series": [[[]]], "plotmeter": 3})",
         "newer Plotmeter (format 3)"},
        {"FormatAsText", project("[]").replace(14, 1, "\"1\""), "\"plotmeter\" is not a format number"},
        {"NotAnObject", "[1, 2]", "not an object"},
        {"Empty", " \n", "the file is empty"},
        {"NotJson", "{\"plotmeter\": 1,\n  , }", "not valid JSON at line 2, column 3"},
        {"NoFormat", R"({"calibration": [], "series": []})", "\"plotmeter\" is missing"},
        {"NoCalibration", R"({"plotmeter": 1, "series": []})", "\"calibration\" is missing"},
        {"NoPoints", project(R"([{"name": "a"}])"), "series 1: \"points\" is missing"},
        {"NoWorld", project("[]", R"([{"screen": [1, 2]}])"), "calibration point 1: \"world\" is missing"},
        {"KeyTwice", series(R"("points": [], "points": [])"), "series 1: \"points\" appears twice"},
        {"PictureNotText", project("[]", "[]", R"(, "picture": 7)"), "\"picture\" is not text"},
        {"AxesNotObject", project("[]", "[]", R"(, "axes": "linear")"), "\"axes\" is not an object"},
        {"UnknownAxis", project("[]", "[]", R"(, "axes": {"x": "log"})"), "the \"x\" axis scale is not one of: linear"},
        {"CalibrationNotList", project("[]", "{}"), "\"calibration\" is not a list"},
        {"ScreenOfThree", project("[]", R"([{"screen": [1, 2, 3], "world": [0, 0]}])"),
         "calibration point 1: \"screen\" is not a pair of numbers"},
        {"WorldAsText", project("[]", "[" + point + R"(, {"screen": [1, 2], "world": [1, "2"]}])"),
         "calibration point 2: world y is not a number or null"},
        {"SeriesNotObject", project("[5]"), "series 1 is not an object"},
        {"NameNotText", project(R"([{"name": 1, "points": []}])"), "series 1: \"name\" is not text"},
        {"VisibleNotBool", series(R"("visible": 1, "points": [])"), "series 1: \"visible\" is not true or false"},
        {"BadColour", series(R"("colour": "#12345g", "points": [])"),
         "series 1: \"colour\" is not a colour written #rrggbb"},
        {"BadMarker", series(R"("marker": "star", "points": [])"), "series 1: \"marker\" is not one of: cross, plus"},
        {"PointsNotList", series(R"("points": {})"), "series 1: \"points\" is not a list"},
        {"PointOfOne", series(R"("points": [[1, 2], [3]])"), "series 1, point 2 is not a pair of numbers"},
        {"CoordinateAsText", series(R"("points": [[1, "2"]])"), "series 1, point 1: y is not a number"},
        {"NaN", series(R"("points": [[1, 2], [NaN, 3]])"), "series 1, point 2: x is not a finite number (NaN)"},
        {"MinusInfinity", series(R"("points": [[-Infinity, 0]])"),
         "series 1, point 1: x is not a finite number (-Infinity)"},
        {"Overflow", series(R"("points": []}, {"name": "b", "points": [[0, 1e999]])"),
         "series 2, point 1: y is not a finite number (1e999)"},
        {"InfiniteWorld", project("[]", R"([{"screen": [1, 2], "world": [inf, 0]}])"),
         "calibration point 1: world x is not a finite number (inf)"},
        {"ActiveOutOfRange", project(R"([{"name": "a", "points": []}])", "[]", R"(, "active_series": 1)"),
         "\"active_series\" is 1, but the project has 1 series"},
        {"ActiveNegative", project("[]", "[]", R"(, "active_series": -1)"), "\"active_series\" is not a series number"},
        {"PageZero", project("[]", "[]", R"(, "page": 0)"), "\"page\" is not a page number, counted from 1"},
        {"PageFraction", project("[]", "[]", R"(, "page": 1.5)"), "\"page\" is not a page number"},
        {"DpiTooLow", project("[]", "[]", R"(, "dpi": 5)"), "\"dpi\" is not a resolution in dots per inch, from 10"},
        {"DpiTooHigh", project("[]", "[]", R"(, "dpi": 1e6)"), "\"dpi\" is not a resolution"},
        {"DpiAsText", project("[]", "[]", R"(, "dpi": "300")"), "\"dpi\" is not a resolution"},
        {"DeepNesting", std::string(100000, '['), "more than 64 levels deep"},
        {"TooManySeries", project(repeated(R"({"name":"a","points":[]})", 10001)), "more than 10000 series"},
        {"TooManyCalibrationPoints", project("[]", repeated(point, 10001)), "more than 10000 calibration points"}}),
    [](const testing::TestParamInfo<Malformed>& param) { return std::string(param.param.name); });

TEST(ProjectFile, EveryCutShortFileIsRefusedAsSuch)
{
    const std::string text = projectText(sampleDocument(), folder);
    ASSERT_EQ(text.back(), '\n');
    for (std::size_t length = 1; length + 1 < text.size(); ++length) {
        const ProjectReading read = parseProject(std::string_view(text).substr(0, length), folder);
        ASSERT_FALSE(read.document) << length;
        ASSERT_NE(read.error.find("cut short"), std::string::npos) << length << ": " << read.error;
    }
}

// A project written to disk reads back whole, its picture named relative to the project's
// folder; a project that cannot be written leaves the earlier file as it was.
TEST(ProjectFileOnDisk, SavedProjectOpensAgainAndAFailedSaveKeepsIt)
{
    const TempFolder disk;
    Document original = sampleDocument();
    original.setPicture(disk("scans/fig 3.png"));
    std::string error;
    ASSERT_TRUE(writeProjectFile(original, disk("a.plotmeter"), error)) << error;
    EXPECT_NE(contents(disk("a.plotmeter")).find("\"scans/fig 3.png\""), std::string::npos);
    Document broken;
    broken.apply(change::InsertPoints{0, 0, {{1, 2}, {3, INFINITY}}});
    EXPECT_FALSE(writeProjectFile(broken, disk("a.plotmeter"), error));
    EXPECT_EQ(error,
              disk("a.plotmeter") + ": series 1, point 2: y is not a finite number, which a project file cannot hold");
    const ProjectReading read = readProjectFile(disk("a.plotmeter"));
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(*read.document, original);
}

TEST(ProjectFileOnDisk, FileProblemsAreNamedWithTheFile)
{
    const TempFolder disk;
    std::ofstream(disk("huge.plotmeter")).close();
    ASSERT_EQ(truncate(disk("huge.plotmeter").c_str(), (513 << 20)), 0); // sparse: nothing is written
    std::ofstream(disk("bad.plotmeter")) << "{\"plotmeter\": 1, \"series\": []}";
    const std::pair<std::string, std::string> cases[] = {
        {disk("missing.plotmeter"), disk("missing.plotmeter") + ": the file does not exist"},
        {disk.path.string(), disk.path.string() + ": it is a folder, not a project file"},
        {disk("huge.plotmeter"),
         disk("huge.plotmeter") + ": the file is 513 MiB; Plotmeter opens project files of up to 512 MiB"},
        {disk("bad.plotmeter"), disk("bad.plotmeter") + ": \"calibration\" is missing"},
    };
    for (const auto& [file, error] : cases) {
        SCOPED_TRACE(file);
        const ProjectReading read = readProjectFile(file);
        EXPECT_FALSE(read.document);
        EXPECT_EQ(read.error, error);
    }
    std::string error;
    EXPECT_FALSE(writeProjectFile(Document(), disk("no/such/folder.plotmeter"), error));
    EXPECT_EQ(error, disk("no/such/folder.plotmeter") + ": No such file or directory");
}

} // namespace
