#include "ControllerFixture.h"

#include "view/PlotmeterView.h"

namespace {

using Titles = std::vector<std::string>;

TEST_F(ControllerTest, LaunchBuildsTwoEmptyTablesAndShowsTheCalibrationTable)
{
    for (PointTable* table : {manager.calMatrix(), manager.acquireMatrix()}) {
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->numberOfRows(), 0);
        EXPECT_EQ(table->numberOfColumns(), 4);
        EXPECT_EQ(table->frame(), window.placeholder.bounds());
        EXPECT_EQ(table->cellSize(), (Size{93.0f, 20.0f}));
        EXPECT_EQ(table->intercellSpacing(), (Size{1.0f, 0.0f}));
    }
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    EXPECT_TRUE(window.plotView.horizontalScroller);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);

    manager.calMatrix()->addRow();
    const TableCell& fresh = manager.calMatrix()->cellAtRow(0, 2);
    EXPECT_EQ(fresh.stringValue(), "");
    EXPECT_TRUE(fresh.isEditable());
    EXPECT_EQ(fresh.floatingPointFormat(), (FloatingPointFormat{true, 5, 0}));
}

TEST_F(ControllerTest, CalibrationClickAddsARowAwaitingWorldValues)
{
    openPlot();
    click(123.25, 456.5);
    const PointTable& table = *manager.calMatrix();
    ASSERT_EQ(table.numberOfRows(), 1);
    for (int column = 0; column < 2; ++column) {
        EXPECT_FALSE(table.cellAtRow(0, column).isEditable());
        EXPECT_EQ(table.cellAtRow(0, column).floatingPointFormat(), (FloatingPointFormat{true, 5, 0}));
    }
    EXPECT_EQ(table.cellAtRow(0, 0).floatValue(), 123.25f);
    EXPECT_EQ(table.cellAtRow(0, 1).floatValue(), 456.5f);
    for (int column = 2; column < 4; ++column) {
        EXPECT_TRUE(table.cellAtRow(0, column).isEditable());
        EXPECT_EQ(table.cellAtRow(0, column).floatingPointFormat(), (FloatingPointFormat{false, 5, 6}));
        EXPECT_EQ(table.cellAtRow(0, column).stringValue(), "");
    }
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
}

class TooFewCalibrationRows : public ControllerTest, public testing::WithParamInterface<int> {};

TEST_P(TooFewCalibrationRows, RefuseAcquisition)
{
    const double screen[][2] = {{0, 0}, {100, 0}, {0, 100}};
    for (int i = 0; i < GetParam(); ++i) {
        click(screen[i][0], screen[i][1]);
        typeWorld(i, "1", "2");
    }
    chooseMode(1);
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, "Insufficient Data");
    EXPECT_EQ(platform.alerts[0].message, "You must have at least three non-colinear calibration data points");
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
}

INSTANTIATE_TEST_SUITE_P(RowCounts, TooFewCalibrationRows, testing::Values(0, 1, 2));

TEST_F(ControllerTest, EmptyWorldCellRefusesAcquisitionAndShowsTheCalibration)
{
    calibrateCorners({{"10", "20"}, {"30", ""}, {"10", "50"}});
    chooseMode(1);
    ASSERT_EQ(alertTitles(), Titles{"Incomplete Data"});
    EXPECT_EQ(platform.alerts[0].message, "Each screen point must have a corresponding World point");
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
}

TEST_F(ControllerTest, BlankWorldCellPassesTheCheckAndReadsAsZero)
{
    calibrateCorners({{"10", "20"}, {"30", " "}, {"10", "50"}});
    chooseMode(1);
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_EQ(manager.plotmeter().worldPoint(1), (DPoint{30, 0}));
}

TEST_F(ControllerTest, AcquisitionLoadsEveryCalibrationRowInOrder)
{
    click(0, 0);
    click(100, 0);
    click(0, 100);
    click(100, 100);
    typeWorld(0, "0", "0");
    typeWorld(1, "1", "0");
    typeWorld(2, "0", "1");
    typeWorld(3, "1", "1");
    chooseMode(1);
    chooseMode(1);
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    EXPECT_EQ(window.dataView.shown, manager.acquireMatrix());
    const CartesianPlotmeter& model = manager.plotmeter();
    ASSERT_EQ(model.screenCount(), 4);
    ASSERT_EQ(model.worldCount(), 4);
    EXPECT_EQ(model.screenPoint(3), (DPoint{100, 100}));
    EXPECT_EQ(model.worldPoint(2), (DPoint{0, 1}));
    // The formats are set afresh on every calibration row before it is read.
    EXPECT_EQ(manager.calMatrix()->cellAtRow(1, 2).floatingPointFormat(), (FloatingPointFormat{true, 5, 6}));
    EXPECT_EQ(manager.calMatrix()->cellAtRow(1, 0).floatingPointFormat(), (FloatingPointFormat{true, 5, 0}));
}

TEST_F(ControllerTest, AcquisitionClickAddsAReadOnlyRowInWorldUnits)
{
    calibrateAndAcquire();
    click(50, 20);
    const PointTable& data = *manager.acquireMatrix();
    ASSERT_EQ(data.numberOfRows(), 1);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    for (int column = 0; column < 4; ++column)
        EXPECT_FALSE(data.cellAtRow(0, column).isEditable());
    EXPECT_EQ(data.cellAtRow(0, 0).floatValue(), 50.0f);
    EXPECT_EQ(data.cellAtRow(0, 1).floatValue(), 20.0f);
    EXPECT_EQ(data.cellAtRow(0, 2).floatValue(), 20.0f);
    EXPECT_EQ(data.cellAtRow(0, 3).floatValue(), 26.0f);
    EXPECT_EQ(data.cellAtRow(0, 2).floatingPointFormat(), (FloatingPointFormat{false, 5, 6}));
}

TEST_F(ControllerTest, RecalibratingKeepsOldDataRowsAndFitsFromAllRows)
{
    calibrateAndAcquire();
    click(50, 20);
    chooseMode(0);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    click(100, 100);
    typeWorld(3, "30", "50");
    // Correct an earlier value: world is now (10 + x/5, 20 + 6y/10).
    typeWorld(2, "10", "80");
    typeWorld(3, "30", "80");
    chooseMode(1);
    EXPECT_EQ(manager.plotmeter().screenCount(), 4);
    click(50, 20);
    const PointTable& data = *manager.acquireMatrix();
    ASSERT_EQ(data.numberOfRows(), 2);
    EXPECT_EQ(data.cellAtRow(0, 3).floatValue(), 26.0f);
    EXPECT_FLOAT_EQ(data.cellAtRow(1, 3).floatValue(), 32.0f);
}

TEST_F(ControllerTest, CalibrationThatDefinesNoTransformIsRefused)
{
    calibrateCorners({{"0", "0"}, {"1", "1"}, {"2", "2"}});
    chooseMode(1);
    ASSERT_EQ(alertTitles(), Titles{"Invalid Calibration"});
    EXPECT_EQ(platform.alerts[0].message,
              "The calibration points do not define a transform. Check that the world values of the calibration "
              "points do not all lie on one line.");
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    // The next click is still a calibration point, never converted with a stale transform.
    click(50, 80);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 4);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
}

TEST_F(ControllerTest, WorldValueBeyondSinglePrecisionIsRefusedAsACalibration)
{
    calibrateCorners({{"0", "0"}, {"1e39", "0"}, {"0", "1"}});
    chooseMode(1);
    EXPECT_EQ(alertTitles(), Titles{"Invalid Calibration"});
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
}

TEST_F(ControllerTest, ScreenPointsReachTheFitAsStoredInSinglePrecision)
{
    click(0.1, 0.2);
    click(100.1, 0.2);
    click(0.1, 100.2);
    typeWorld(0, "0", "0");
    typeWorld(1, "1", "0");
    typeWorld(2, "0", "1");
    chooseMode(1);
    EXPECT_EQ(manager.plotmeter().screenPoint(0), (DPoint{static_cast<double>(0.1f), static_cast<double>(0.2f)}));
}

TEST_F(ControllerTest, ReturningToCalibrationChangesNothingElse)
{
    calibrateAndAcquire();
    click(1, 2);
    chooseMode(0);
    chooseMode(0);
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_DOUBLE_EQ(manager.plotmeter().a(0, 0), 0.2);
}

} // namespace
