#include "ControllerFixture.h"

#include "document/ProjectFile.h"
#include "fakes/TempFolder.h"
#include "view/PlotmeterView.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A plot in a folder of its own, calibrated so that world values equal screen values.
class Files : public ControllerTest {
  protected:
    void SetUp() override
    {
        platform.pictures[picture] = {640.0f, 480.0f};
        manager.openPlotAtPath(picture);
        calibrateCorners({{"0", "0"}, {"100", "0"}, {"0", "100"}});
        chooseMode(1);
    }

    // Saves the data through the panel; returns the diagnostic lines it gave, one a line.
    std::string save(const fs::path& path)
    {
        platform.saveAnswers.push_back({true, path.string()});
        platform.diagnostics.clear();
        EXPECT_TRUE(manager.saveData());
        std::string lines;
        for (const std::string& line : platform.diagnostics)
            lines += line + '\n';
        return lines;
    }

    TempFolder temp;
    const fs::path folder = temp.path;
    const std::string picture = temp("plot.png");
};

TEST_F(Files, DataFileHasOneFixedWidthLinePerPointInClickOrderWhateverTheLocale)
{
    click(1.5, 2.25);
    click(12000.25, -3.125);
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    EXPECT_EQ(save(folder / "data.txt"), "");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(contents(folder / "data.txt"), "     1.500     2.250         1.500000        2.250000\n"
                                             "  12000.250    -3.125     12000.250000       -3.125000\n");
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_EQ(platform.statuses, std::vector<std::string>{"Saved 2 points of Series 1 to data.txt."});
    ASSERT_TRUE(manager.exportData((folder / "all.csv").string(), TextLayout{}, true));
    EXPECT_EQ(platform.statuses.back(), "Exported every series to all.csv.");
}

// Export with a grid writes the active series (or every one) at its x values, y along the
// straight line through the clicks, and says how; a grid with too many points writes nothing.
TEST_F(Files, ExportWithAGridWritesThePointsAtItsXValues)
{
    click(0.5, 1);
    click(4.5, 9); // y = 2 x
    Resampling everyOne;
    ASSERT_EQ(readGrid(Resampling::Grid::step, "1", AxisScale::linear, everyOne), "");
    ASSERT_TRUE(manager.exportData((folder / "grid.csv").string(), TextLayout{}, true, everyOne));
    EXPECT_EQ(contents(folder / "grid.csv"), "series,x,y,screen_x,screen_y\r\nSeries 1,1,2,1,2\r\nSeries 1,2,4,2,4\r\n"
                                             "Series 1,3,6,3,6\r\nSeries 1,4,8,4,8\r\n");
    EXPECT_EQ(platform.statuses.back(), "Exported every series, at x every 1, along straight lines, to grid.csv.");
    ASSERT_TRUE(manager.exportData((folder / "grid.txt").string(), TextLayout{}, false, everyOne));
    EXPECT_EQ(contents(folder / "grid.txt").substr(0, 54), "     1.000     2.000         1.000000        2.000000\n");

    Resampling tooFine;
    ASSERT_EQ(readGrid(Resampling::Grid::step, "1e-7", AxisScale::linear, tooFine), "");
    EXPECT_FALSE(manager.exportData((folder / "fine.csv").string(), TextLayout{}, true, tooFine));
    expectOneAlertSaying("Export Failed", "the grid gives 4e+07 x values");
    EXPECT_FALSE(fs::exists(folder / "fine.csv"));
}

TEST_F(Files, NothingIsSavedBeforeACalibration)
{
    manager.openPlotAtPath(picture);
    EXPECT_FALSE(manager.saveData());
    expectOneAlertSaying("No Calibration", "before the calibration is complete");
    EXPECT_EQ(platform.savePanelsMade, 0);
}

struct FailedSave {
    const char* name;
    std::function<fs::path(const fs::path& folder)> target;
    const char* reason;
    bool toldOnStderr;
};

class SaveFailures : public Files, public testing::WithParamInterface<FailedSave> {};

// A failed save says why and leaves whatever was there untouched.
TEST_P(SaveFailures, AreReportedAndLeaveNothingBehind)
{
    click(1, 2);
    const fs::path target = GetParam().target(folder);
    const std::string stderrText = save(target);
    EXPECT_EQ(stderrText, GetParam().toldOnStderr ? "Can't open output file: " + target.string() + "\n" : "");
    expectOneAlertSaying("Save Failed", GetParam().reason);
    EXPECT_TRUE(manager.hasUnsavedChanges());
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveFailures,
                         testing::Values(FailedSave{"MissingFolder",
                                                    [](const fs::path& f) { return f / "gone" / "data.txt"; },
                                                    "No such file or directory", true},
                                         FailedSave{"AFolder",
                                                    [](const fs::path& f) {
                                                        fs::create_directory(f / "results");
                                                        return f / "results";
                                                    },
                                                    "Is a directory", true},
                                         FailedSave{"FullDevice", [](const fs::path&) { return fs::path("/dev/full"); },
                                                    "No space left on device", false}),
                         [](const testing::TestParamInfo<FailedSave>& p) { return p.param.name; });

TEST_F(Files, ReplacingAFileKeepsItsLinkAndPermissions)
{
    click(1, 2);
    fs::create_directory(folder / "real");
    const fs::path real = folder / "real" / "Messung März.txt";
    std::ofstream(real) << "old\n";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/Messung März.txt", folder / "link.txt");
    save(folder / "link.txt");
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(contents(real), "     1.000     2.000         1.000000        2.000000\n");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"link.txt", "real"}));
}

// Runs `check` as an ordinary user when the tests run as the administrator, who may write
// anywhere; true when the check held.
bool holdsForAnOrdinaryUser(const std::function<bool()>& check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(Files, ReadOnlyFolderKeepsThePreviousFileAndSaysWhy)
{
    click(1, 2);
    const fs::path file = folder / "data.txt";
    std::ofstream(file) << "previous results\n";
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(holdsForAnOrdinaryUser([&] {
        save(file);
        return alertTitles() == std::vector<std::string>{"Save Failed"} &&
               platform.alerts[0].message.find("Permission denied") != std::string::npos;
    }));
    EXPECT_EQ(contents(file), "previous results\n");
}

// With one series the data file holds every point; with two it does not.
TEST_F(Files, SavingTheDataFileCountsAsSavingOnlyWithOneSeries)
{
    click(1, 2);
    save(folder / "one.txt");
    EXPECT_FALSE(manager.hasUnsavedChanges());
    manager.addSeries();
    click(3, 4);
    save(folder / "two.txt");
    EXPECT_TRUE(manager.hasUnsavedChanges());
}

TEST_F(Files, OpeningAPictureStartsAFreshDocumentAndAFailedOneChangesNothing)
{
    click(10, 10);
    PlotmeterView* before = manager.plotmeterView();
    platform.openAnswers.push_back({true, "/home/ann/notes.txt"});
    EXPECT_TRUE(manager.openPlotFile());
    expectOneAlertSaying("Can't Open Image", "\"/home/ann/notes.txt\"");
    EXPECT_EQ(manager.plotmeterView(), before);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);

    platform.openAnswers.push_back({false, ""});
    EXPECT_FALSE(manager.openPlotFile());
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);

    platform.openAnswers.push_back({true, "other.png"});
    EXPECT_TRUE(manager.openPlotFile());
    EXPECT_EQ(platform.openPanelsMade, 1);
    EXPECT_EQ(manager.plotmeterView()->frame().size, (Size{800.0f, 600.0f}));
    EXPECT_EQ(window.plotView.shown, manager.plotmeterView());
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_FALSE(manager.history().canUndo());
}

TEST_F(Files, ProjectSavedAndOpenedAgainIsTheSameDocumentReadyToAcquire)
{
    click(10, 20);
    manager.addSeries();
    click(30, 40);
    const fs::path project = folder / "session";
    platform.saveAnswers.push_back({true, project.string()});
    ASSERT_TRUE(manager.saveProjectAs());
    EXPECT_FALSE(manager.hasUnsavedChanges());
    EXPECT_EQ(manager.projectPath(), project.string() + ".plotmeter");
    EXPECT_EQ(platform.statuses, std::vector<std::string>{"Saved the project to session.plotmeter."});
    EXPECT_NE(contents(manager.projectPath()).find("\"picture\": \"plot.png\""), std::string::npos) << "relative";
    const Document saved = manager.document();

    manager.openPlotAtPath("other.png");
    ASSERT_TRUE(manager.openPath(project.string() + ".plotmeter"));
    EXPECT_EQ(manager.document(), saved);
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    EXPECT_EQ(window.modeButtons.selected, 1);
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 0, 3), 40.0);
    EXPECT_EQ(manager.plotmeterView()->frame().size, (Size{640.0f, 480.0f}));
    EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(Files, MalformedProjectIsRefusedAndTheDocumentStays)
{
    click(10, 20);
    const Document before = manager.document();
    const fs::path project = folder / "broken.plotmeter";
    std::ofstream(project) << R"({"plotmeter": 1, "calibration": [], "series": [{"name": "A", "points": [[1, "x"]]}]})";
    EXPECT_FALSE(manager.openPath(project.string()));
    expectOneAlertSaying("Can't Open Project", "point 1");
    EXPECT_EQ(manager.document(), before);
    EXPECT_TRUE(manager.history().canUndo());
}

TEST_F(Files, ProjectWhosePictureMovedOpensAndTheUserMayLocateIt)
{
    click(10, 20);
    const fs::path project = folder / "moved.plotmeter";
    std::string error;
    Document document = manager.document();
    document.setPicture((folder / "gone.png").string());
    ASSERT_TRUE(writeProjectFile(document, project.string(), error)) << error;

    platform.choices.push_back(0);
    platform.openAnswers.push_back({true, "other.png"});
    ASSERT_TRUE(manager.openPath(project.string()));
    expectOneAlertSaying("Picture Not Found", "gone.png");
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    ASSERT_NE(manager.plotmeterView(), nullptr);
    EXPECT_EQ(manager.plotmeterView()->frame().size, (Size{800.0f, 600.0f}));
    EXPECT_EQ(fs::path(manager.document().picture()).filename(), "other.png");
    EXPECT_TRUE(manager.hasUnsavedChanges()) << "the project on disk still names the old place";

    platform.choices.push_back(1);
    ASSERT_TRUE(manager.openPath(project.string()));
    EXPECT_EQ(manager.plotmeterView(), nullptr);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);

    // Later, File > Locate Picture… finds it, the document kept.
    EXPECT_TRUE(manager.pictureMissing());
    platform.openAnswers.push_back({true, "other.png"});
    ASSERT_TRUE(manager.locatePicture());
    EXPECT_FALSE(manager.pictureMissing());
    ASSERT_NE(manager.plotmeterView(), nullptr);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(fs::path(manager.document().picture()).filename(), "other.png");
    EXPECT_FALSE(manager.locatePicture()) << "nothing is missing any more";
}

} // namespace
