#include "ControllerFixture.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SaveData : public ControllerTest {
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plotmeter-save-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    // Saves through the panel; returns what went to the standard error stream.
    std::string save(const std::string& path)
    {
        platform.saveAnswers.push_back({true, path});
        testing::internal::CaptureStderr();
        const bool confirmed = manager.saveData();
        EXPECT_TRUE(confirmed);
        return testing::internal::GetCapturedStderr();
    }

    static std::string contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // One data row with exactly these cell values.
    void addDataRow(float sx, float sy, float wx, float wy)
    {
        PointTable& data = *manager.acquireMatrix();
        data.addRow();
        const int r = data.numberOfRows() - 1;
        const float values[] = {sx, sy, wx, wy};
        for (int column = 0; column < 4; ++column)
            data.cellAtRow(r, column).setFloatValue(values[column]);
    }

    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path folder;
};

TEST_F(SaveData, WritesOneFixedWidthLinePerDataRow)
{
    addDataRow(123, 456, 1.5f, -2.25f);
    addDataRow(0.5f, 12000.25f, 100.1f, -1234567.0f);
    const fs::path file = folder / "data.txt";
    EXPECT_EQ(save(file), "");
    EXPECT_EQ(contents(file), "   123.000   456.000         1.500000       -2.250000\n"
                              "     0.500  12000.250       100.099998  -1234567.000000\n");
    EXPECT_EQ(contents(file).find('\n') + 1, 54u);
    EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(SaveData, ClickedPointsAreSavedInClickOrder)
{
    calibrateAndAcquire();
    click(50, 20);
    click(0, 100);
    const fs::path file = folder / "curve.dat";
    save(file);
    EXPECT_EQ(contents(file), "    50.000    20.000        20.000000       26.000000\n"
                              "     0.000   100.000        10.000000       50.000000\n");
}

TEST_F(SaveData, EmptyTableGivesAnEmptyFile)
{
    const fs::path file = folder / "empty.txt";
    std::ofstream(file) << "old content\n";
    save(file);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(SaveData, CancelledPanelWritesNothing)
{
    addDataRow(1, 2, 3, 4);
    platform.saveAnswers.push_back({false, (folder / "never.txt").string()});
    EXPECT_FALSE(manager.saveData());
    EXPECT_TRUE(filesInFolder().empty());
    platform.saveAnswers.push_back({true, (folder / "second.txt").string()});
    manager.saveData();
    EXPECT_EQ(platform.savePanelsMade, 1);
}

TEST_F(SaveData, SavingAgainReplacesTheWholeFile)
{
    addDataRow(1, 2, 3, 4);
    addDataRow(5, 6, 7, 8);
    const fs::path file = folder / "data.txt";
    save(file);
    manager.acquireMatrix()->removeRow(0);
    save(file);
    EXPECT_EQ(contents(file), "     5.000     6.000         7.000000        8.000000\n");
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"data.txt"});
}

TEST_F(SaveData, NumbersKeepThePointUnderADecimalCommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    addDataRow(1.5f, 2.25f, -3.125f, 4.0f);
    const fs::path file = folder / "data.txt";
    save(file);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(contents(file), "     1.500     2.250        -3.125000        4.000000\n");
}

TEST_F(SaveData, FileThatCannotBeOpenedIsReportedOnBothChannels)
{
    addDataRow(1, 2, 3, 4);
    const fs::path file = folder / "missing-folder" / "data.txt";
    EXPECT_EQ(save(file), "Can't open output file: " + file.string() + "\n");
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, "Save Failed");
    EXPECT_NE(platform.alerts[0].message.find(file.string()), std::string::npos);
    EXPECT_NE(platform.alerts[0].message.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
}

TEST_F(SaveData, SavingOntoAFolderLeavesItAlone)
{
    addDataRow(1, 2, 3, 4);
    fs::create_directory(folder / "results");
    EXPECT_EQ(save(folder / "results"), "Can't open output file: " + (folder / "results").string() + "\n");
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_NE(platform.alerts[0].message.find("Is a directory"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder / "results"));
}

TEST_F(SaveData, WriteErrorIsReportedAndLeavesNothingBehind)
{
    addDataRow(1, 2, 3, 4);
    save("/dev/full");
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, "Save Failed");
    EXPECT_NE(platform.alerts[0].message.find("No space left on device"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(SaveData, ExistingFileKeepsItsPermissions)
{
    addDataRow(1, 2, 3, 4);
    const fs::path file = folder / "data.txt";
    std::ofstream(file) << "old\n";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    save(file);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(contents(file), "     1.000     2.000         3.000000        4.000000\n");
}

TEST_F(SaveData, SymbolicLinkIsFollowedToItsFile)
{
    addDataRow(1, 2, 3, 4);
    fs::create_directory(folder / "real");
    std::ofstream(folder / "real" / "data.txt") << "old\n";
    fs::create_symlink("real/data.txt", folder / "link.txt");
    save(folder / "link.txt");
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(contents(folder / "real" / "data.txt"), "     1.000     2.000         3.000000        4.000000\n");
}

TEST_F(SaveData, NonAsciiNamesWithSpacesAreSaved)
{
    addDataRow(1, 2, 3, 4);
    const fs::path file = folder / "Messung März 2026.txt";
    EXPECT_EQ(save(file), "");
    EXPECT_EQ(fs::file_size(file), 54u);
}

} // namespace

namespace {

TEST_F(SaveData, DataPointsCountAsUnsavedUntilASaveSucceeds)
{
    EXPECT_FALSE(manager.hasUnsavedData());
    calibrateAndAcquire();
    EXPECT_FALSE(manager.hasUnsavedData()) << "calibration points are not data";
    click(10, 10);
    EXPECT_TRUE(manager.hasUnsavedData());
    save("/dev/full");
    EXPECT_TRUE(manager.hasUnsavedData()) << "a failed save keeps them unsaved";
    save(folder / "data.txt");
    EXPECT_FALSE(manager.hasUnsavedData());
    click(20, 20);
    EXPECT_TRUE(manager.hasUnsavedData());
    manager.clearData();
    EXPECT_FALSE(manager.hasUnsavedData()) << "the user emptied the table";
}

} // namespace

namespace {

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

TEST_F(SaveData, ReadOnlyFolderKeepsThePreviousFileAndSaysWhy)
{
    addDataRow(1, 2, 3, 4);
    const fs::path file = folder / "data.txt";
    std::ofstream(file) << "previous results\n";
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

    EXPECT_TRUE(holdsForAnOrdinaryUser([&] {
        save(file);
        return platform.alerts.size() == 1 && platform.alerts[0].title == "Save Failed" &&
               platform.alerts[0].message.find("Permission denied") != std::string::npos;
    }));
    EXPECT_EQ(contents(file), "previous results\n");
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"data.txt"});
}

} // namespace
