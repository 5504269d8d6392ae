#include "ControllerFixture.h"

namespace {

using Titles = std::vector<std::string>;

TEST_F(ControllerTest, LaunchBuildsTwoEmptyTablesAndShowsTheCalibrationTable)
{
    for (PointTable* table : {manager.calMatrix(), manager.acquireMatrix()}) {
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->numberOfRows(), 0);
        const auto columns = static_cast<float>(table->numberOfColumns());
        EXPECT_EQ(table->frame().size.width, columns * 93.0f + (columns - 1) * 1.0f);
        EXPECT_EQ(table->cellSize(), (Size{93.0f, 20.0f}));
        EXPECT_EQ(table->cellStyle().font, Font::fontWithName("Helvetica", 12.0f));
    }
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    EXPECT_TRUE(window.plotView.horizontalScroller);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(manager.document().series().size(), 1u);
    EXPECT_EQ(manager.document().active().look.name, "Series 1");
}

TEST_F(ControllerTest, CalibrationClickAddsARowAwaitingWorldValues)
{
    openPlot();
    click(123.25, 456.5);
    const PointTable* table = manager.calMatrix();
    ASSERT_EQ(table->numberOfRows(), 1);
    EXPECT_EQ(value(table, 0, 0), 123.25);
    EXPECT_EQ(value(table, 0, 1), 456.5);
    EXPECT_EQ(table->cellAtRow(0, 0).stringValue(), "123.25");
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(table->cellAtRow(0, column).isEditable(), column >= 2);
    EXPECT_EQ(table->cellAtRow(0, 2).stringValue(), "");
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
}

TEST_F(ControllerTest, AcquisitionClickAddsAReadOnlyRowInWorldUnits)
{
    calibrateAndAcquire();
    click(50, 20);
    const PointTable* data = manager.acquireMatrix();
    ASSERT_EQ(data->numberOfRows(), 1);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    const double expected[] = {50, 20, 20, 26};
    for (int column = 0; column < 4; ++column) {
        EXPECT_FALSE(data->cellAtRow(0, column).isEditable());
        EXPECT_DOUBLE_EQ(value(data, 0, column), expected[column]);
    }
    EXPECT_EQ(data->cellAtRow(0, 3).stringValue(), "26.000000");
}

// Choosing Acquire with calibration rows at screen (0, 0), (100, 0) and (0, 100), given as
// the world values typed beside them (or none), and what the program then says. Text that
// is not one finite number never reaches the cell, so the cell stays empty.
struct Typed {
    const char* name;
    std::vector<std::array<std::string, 2>> world;
    const char* alert; // empty: acquisition is entered
    friend std::ostream& operator<<(std::ostream& out, const Typed& t) { return out << t.name; }
};

class TypedWorldValues : public ControllerTest, public testing::WithParamInterface<Typed> {};

TEST_P(TypedWorldValues, AreAnsweredWhenAcquisitionIsChosen)
{
    const std::vector<std::array<std::string, 2>>& world = GetParam().world;
    const std::vector<DPoint> screen{{0, 0}, {100, 0}, {0, 100}};
    calibrate({screen.begin(), screen.begin() + static_cast<long>(world.size())}, world);
    chooseMode(1);
    const std::string alert = GetParam().alert;
    if (alert.empty()) {
        EXPECT_EQ(alertTitles(), Titles{});
        EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
        EXPECT_EQ(window.dataView.shown, manager.acquireMatrix());
        return;
    }
    if (alert == "Insufficient Data") {
        const std::size_t n = world.size();
        expectOneAlert(alert, "You must have at least three non-colinear calibration data points. The calibration "
                              "table has " +
                                  std::to_string(n) + (n == 1 ? " point." : " points."));
    } else if (alert == "Incomplete Data") { // world x or y of the second row is left empty
        expectOneAlert(alert, "Each screen point must have a corresponding World point. Row 2 has no world " +
                                  std::string(world[1][0] == "1" ? "y." : "x."));
    } else {
        expectOneAlert(alert, "The calibration points do not define a transform. Check that the world values of the "
                              "calibration points do not all lie on one line.");
    }
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
}

INSTANTIATE_TEST_SUITE_P(
    Values, TypedWorldValues,
    testing::Values(Typed{"NoRows", {}, "Insufficient Data"}, Typed{"OneRow", {{"1", "2"}}, "Insufficient Data"},
                    Typed{"TwoRows", {{"1", "2"}, {"1", "2"}}, "Insufficient Data"},
                    Typed{"Empty", {{"0", "0"}, {"1", ""}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"Blank", {{"0", "0"}, {"1", " "}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"Letters", {{"0", "0"}, {"1", "abc"}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"DecimalComma", {{"0", "0"}, {"1,5", "0"}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"NotANumber", {{"0", "0"}, {"nan", "0"}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"Infinity", {{"0", "0"}, {"inf", "0"}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"BeyondDoublePrecision", {{"0", "0"}, {"1e400", "0"}, {"0", "1"}}, "Incomplete Data"},
                    Typed{"BeyondSinglePrecision", {{"0", "0"}, {"1e39", "0"}, {"0", "1"}}, ""},
                    Typed{"NegativeZero", {{"-0", "-0"}, {"1", "0"}, {"0", "1"}}, ""},
                    Typed{"VerySmall", {{"0", "0"}, {"1e-30", "0"}, {"0", "1e-30"}}, ""},
                    Typed{"WorldPointsCoincide", {{"5", "5"}, {"5", "5"}, {"5", "5"}}, "Invalid Calibration"},
                    Typed{"WorldPointsShareOneX", {{"5", "0"}, {"5", "1"}, {"5", "2"}}, "Invalid Calibration"},
                    Typed{"WorldPointsOnOneLine", {{"0", "0"}, {"1", "2"}, {"2", "4"}}, "Invalid Calibration"}),
    [](const testing::TestParamInfo<Typed>& p) { return p.param.name; });

TEST_F(ControllerTest, AcquisitionFitsFromEveryCalibrationRowInOrder)
{
    calibrate({{0, 0}, {100, 0}, {0, 100}, {100, 100}}, {{"0", "0"}, {"1", "0"}, {"0", "1"}, {"1", "1"}});
    chooseMode(1);
    chooseMode(1);
    EXPECT_EQ(alertTitles(), Titles{});
    const CartesianPlotmeter& model = manager.plotmeter();
    ASSERT_EQ(model.screenCount(), 4) << "a second entry must not add the pairs again";
    EXPECT_EQ(model.screenPoint(3), (DPoint{100, 100}));
    EXPECT_EQ(model.worldPoint(2), (DPoint{0, 1}));
}

struct ColinearCase {
    const char* name;
    std::vector<DPoint> rows;
    DPoint candidate;
    bool colinear;
    friend std::ostream& operator<<(std::ostream& out, const ColinearCase& c) { return out << c.name; }
};

class Colinearity : public ControllerTest, public testing::WithParamInterface<ColinearCase> {};

// A refused click leaves the table as it was and says why; calibration rows and world
// values play no part beyond the screen positions.
TEST_P(Colinearity, JudgesTheClickAgainstThePivotRow)
{
    for (DPoint row : GetParam().rows)
        click(row.x, row.y);
    const int before = manager.calMatrix()->numberOfRows();
    ASSERT_EQ(before, static_cast<int>(GetParam().rows.size()));
    if (before > 0)
        typeWorld(0, "7", "7");
    EXPECT_EQ(manager.isColinear(GetParam().candidate), GetParam().colinear);
    click(GetParam().candidate.x, GetParam().candidate.y);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), before + (GetParam().colinear ? 0 : 1));
    if (GetParam().colinear)
        expectOneAlert("Co-linear Data Point", "This point is co-linear with a previous pair of points and does not "
                                               "contribute new calibration information.  This point will be discarded");
    else
        EXPECT_EQ(alertTitles(), Titles{});
}

const std::vector<DPoint> twoRows{{0, 0}, {100, 0}};
const std::vector<DPoint> threeRows{{0, 0}, {100, 0}, {0, 100}};

INSTANTIATE_TEST_SUITE_P(Points, Colinearity,
                         testing::Values(ColinearCase{"FirstPointAlwaysAccepted", {}, {5, 5}, false},
                                         ColinearCase{"CloserThanOneToThePivot", {{100, 100}}, {100.5, 100.5}, true},
                                         ColinearCase{"ExactlyOneFromThePivot", {{100, 100}}, {101, 100}, false},
                                         ColinearCase{"SineJustBelowThreshold", twoRows, {200, 3}, true},
                                         ColinearCase{"SineAboveThreshold", twoRows, {200, 4}, false},
                                         ColinearCase{"FarSideOfThePivot", twoRows, {-200, 2}, true},
                                         ColinearCase{"OnALineNotThroughThePivot", threeRows, {50, 50}, false},
                                         ColinearCase{"RepeatOfALaterRow", threeRows, {0, 100}, true}),
                         [](const testing::TestParamInfo<ColinearCase>& p) { return p.param.name; });

} // namespace
