#include "ControllerFixture.h"

#include <cmath>

namespace {

// What the user typed as the world values of three calibration points at screen (0, 0),
// (100, 0) and (0, 100), and what choosing Acquire then does.
struct Typed {
    const char* name;
    std::vector<std::pair<std::string, std::string>> world;
    const char* alert; // empty: acquisition is entered
    friend std::ostream& operator<<(std::ostream& out, const Typed& t) { return out << t.name; }
};

class TypedWorldValues : public ControllerTest, public testing::WithParamInterface<Typed> {};

TEST_P(TypedWorldValues, AreAnsweredWhenAcquisitionIsChosen)
{
    const auto& w = GetParam().world;
    calibrateCorners({{w[0].first, w[0].second}, {w[1].first, w[1].second}, {w[2].first, w[2].second}});
    testing::internal::CaptureStderr();
    chooseMode(1);
    testing::internal::GetCapturedStderr();

    if (*GetParam().alert == '\0') {
        EXPECT_TRUE(platform.alerts.empty()) << platform.alerts.front().title;
        EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
        return;
    }
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, GetParam().alert);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
}

using Row = std::pair<std::string, std::string>;

INSTANTIATE_TEST_SUITE_P(
    Values, TypedWorldValues,
    testing::Values(
        Typed{"Empty", {Row{"0", "0"}, Row{"1", ""}, Row{"0", "1"}}, "Incomplete Data"},
        Typed{"BlankReadsAsZero", {Row{"0", "0"}, Row{"1", " "}, Row{"0", "1"}}, ""},
        Typed{"LettersReadAsZero", {Row{"0", "0"}, Row{"1", "abc"}, Row{"0", "1"}}, ""},
        Typed{"NotANumber", {Row{"0", "0"}, Row{"nan", "0"}, Row{"0", "1"}}, "Invalid Calibration"},
        Typed{"Infinity", {Row{"0", "0"}, Row{"inf", "0"}, Row{"0", "1"}}, "Invalid Calibration"},
        Typed{"BeyondSinglePrecision", {Row{"0", "0"}, Row{"1e39", "0"}, Row{"0", "1"}}, "Invalid Calibration"},
        Typed{"NegativeZero", {Row{"-0", "-0"}, Row{"1", "0"}, Row{"0", "1"}}, ""},
        Typed{"VeryLarge", {Row{"0", "0"}, Row{"3e38", "0"}, Row{"0", "3e38"}}, ""},
        Typed{"VerySmall", {Row{"0", "0"}, Row{"1e-30", "0"}, Row{"0", "1e-30"}}, ""},
        Typed{"WorldPointsCoincide", {Row{"5", "5"}, Row{"5", "5"}, Row{"5", "5"}}, "Invalid Calibration"},
        Typed{"WorldPointsShareOneX", {Row{"5", "0"}, Row{"5", "1"}, Row{"5", "2"}}, "Invalid Calibration"},
        Typed{"WorldPointsShareOneY", {Row{"0", "5"}, Row{"1", "5"}, Row{"2", "5"}}, "Invalid Calibration"},
        Typed{"WorldPointsOnOneLine", {Row{"0", "0"}, Row{"1", "2"}, Row{"2", "4"}}, "Invalid Calibration"}),
    [](const testing::TestParamInfo<Typed>& p) { return p.param.name; });

TEST_F(ControllerTest, VerySmallWorldValuesAreKeptExactlyInTheTable)
{
    calibrateCorners({{"0", "0"}, {"1e-30", "0"}, {"0", "1e-30"}});
    chooseMode(1);
    click(50, 50);
    EXPECT_FLOAT_EQ(manager.acquireMatrix()->cellAtRow(0, 2).floatValue(), 0.5e-30f);
}

TEST_F(ControllerTest, ScreenPointBeyondSinglePrecisionIsStoredRounded)
{
    click(16777217.0, 0.1);
    EXPECT_EQ(manager.calMatrix()->cellAtRow(0, 0).floatValue(), 16777216.0f);
    EXPECT_EQ(manager.calMatrix()->cellAtRow(0, 1).floatValue(), 0.1f);
}

TEST_F(ControllerTest, HugeScreenPointsNeitherCrashNorSlipIntoTheCalibration)
{
    click(0, 0);
    click(3.4e38, 3.4e38);
    click(-3.4e38, 3.4e38);
    // Far beyond any picture: the offsets overflow single precision and cannot be compared.
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    EXPECT_EQ(manager.calMatrix()->cellAtRow(1, 0).floatValue(), 3.4e38f);
}

TEST_F(ControllerTest, WorldValueBeyondSinglePrecisionBecomesInfinityInTheTable)
{
    calibrateCorners({{"0", "0"}, {"1e30", "0"}, {"0", "1e30"}});
    chooseMode(1);
    click(1e11, 1);
    const PointTable& data = *manager.acquireMatrix();
    ASSERT_EQ(data.numberOfRows(), 1);
    EXPECT_EQ(data.cellAtRow(0, 2).floatValue(), INFINITY);
    EXPECT_EQ(data.cellAtRow(0, 2).stringValue(), "inf");
}

} // namespace
