#include "cli/Command.h"

#include "document/CsvFile.h"
#include "document/DataFile.h"
#include "document/ProjectFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

// argc and argv as main() gets them.
struct CommandLine {
    explicit CommandLine(std::vector<std::string> arguments) : strings(std::move(arguments))
    {
        strings.insert(strings.begin(), "plotmeter");
        for (std::string& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(strings.size()); }
    std::vector<std::string> strings;
    std::vector<char*> argv;
};

Outcome run(std::vector<std::string> arguments)
{
    CommandLine line(std::move(arguments));
    std::ostringstream out, err;
    const int status = runCommand(line.argc(), line.argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::string contentOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class ExportCommand : public testing::Test {
  protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("plotmeter-export-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        document_.apply(change::InsertCalibration{0, {{0, 0}, 1420400000.0, 0.0}});
        document_.apply(change::InsertCalibration{1, {{100, 0}, 1420400050.0, 0.0}});
        document_.apply(change::InsertCalibration{2, {{0, 100}, 1420400000.0, 100.0}});
        document_.apply(change::InsertPoints{0, 0, {{1, 0}, {2, 50}}});
        document_.apply(change::InsertSeries{1, {defaultLook("B, the second", 1), {{10, 20}}}, 1});
        std::string error;
        ASSERT_TRUE(writeProjectFile(document_, project(), error)) << error;
        map_ = *fitCalibration(document_.calibration()).map;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string project() const { return (dir_ / "p.plotmeter").string(); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
    Document document_;
    WorldMap map_;
};

TEST_F(ExportCommand, WritesTheChosenSeriesByTheOutputsExtension)
{
    struct Case {
        std::vector<std::string> options;
        const char* output;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "all.csv", csvText(document_, map_)},
        {{"--series", "B, the second"}, "one.CSV", csvText(document_, map_, 1)},
        {{}, "active.txt", dataFileText(document_.series()[1], map_)},
        {{"--series=Series 1"}, "named", dataFileText(document_.series()[0], map_)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        std::vector<std::string> arguments = {"export", "--output", path(c.output)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(project());
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(contentOf(path(c.output)), c.expected);
    }
    EXPECT_NE(contentOf(path("all.csv")).find("\r\nSeries 1,1420400000.5,0,1,0\r\n"), std::string::npos);
}

TEST_F(ExportCommand, EveryFailureIsOneLineAndExitStatusOne)
{
    std::ofstream(path("bad.plotmeter")) << "{\"plotmeter\": 1, \"calibration\": [";
    Document uncalibrated;
    std::string error;
    ASSERT_TRUE(writeProjectFile(uncalibrated, path("u.plotmeter"), error)) << error;
    const std::string out = path("out.csv");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"export", project(), "-o", out, "--frobnicate"}, "unknown option \"--frobnicate\""},
        {{"export", project(), "-o"}, "-o needs a value after it"},
        {{"export", project(), "-o", ""}, "-o needs a value after it"},
        {{"export", project(), "-o", out, "--output", out}, "--output is given twice"},
        {{"export", project()}, "export needs a file to write"},
        {{"export", "-o", out}, "export needs a project"},
        {{"export", project(), project(), "-o", out}, "export takes one project"},
        {{"export", path("missing.plotmeter"), "-o", out}, "missing.plotmeter: the file does not exist"},
        {{"export", path("bad.plotmeter"), "-o", out}, "bad.plotmeter: the file is cut short"},
        {{"export", project(), "-o", out, "--series", "Z\nY"}, "has no series named \"Z?Y\""},
        {{"export", path("u.plotmeter"), "-o", out}, "no world values can be computed: the calibration has 0 points"},
        {{"export", project(), "-o", path("no/such/dir.csv")},
         "cannot write " + path("no/such/dir.csv") + ": No such file"},
        {{"export", project(), "-o", dir_.string() + "/./p.plotmeter"}, "is the project itself"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(message);
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.starts_with("plotmeter: ")) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        EXPECT_NE(outcome.err.find(message), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_NE(contentOf(project()).find("\"plotmeter\": 1"), std::string::npos);
}

TEST(Commands, HelpAndVersionGoToStandardOutput)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* usage : {"plotmeter [FILE]", "plotmeter export PROJECT -o OUT [--series NAME]", "--output OUT"})
        EXPECT_NE(help.out.find(usage), std::string::npos) << usage;
    EXPECT_EQ(run({"-h"}).out, help.out);

    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("plotmeter [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
}

TEST(Commands, OnlyCommandsAreTakenFromTheWindow)
{
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"export"}, true}, {{"--help"}, true},    {{"-h"}, true},       {{"--version"}, true},
        {{}, false},        {{"plot.png"}, false}, {{"exports"}, false}, {{"-style", "fusion"}, false},
    };
    for (const auto& [arguments, command] : cases) {
        CommandLine line(arguments);
        EXPECT_EQ(isCommand(line.argc(), line.argv.data()), command) << line.strings.back();
    }
}

} // namespace
