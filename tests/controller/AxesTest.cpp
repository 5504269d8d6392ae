#include "ControllerFixture.h"

#include "document/CsvFile.h"
#include "document/ProjectFile.h"

#include <cmath>

namespace {

// A log10 y axis: world y = 10^(-3 + 6 y/100), six decades over 100 pixels, and a linear
// x axis, world x = 1 + 9 x/100. Values read back across all six decades.
TEST_F(ControllerTest, LogAxisRecoversValuesAcrossSixDecades)
{
    manager.setAxisScale(1, AxisScale::log10);
    calibrateCorners({{"1", "1e-3"}, {"10", "1e-3"}, {"1", "1e3"}});
    chooseMode(1);
    ASSERT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    const double ys[] = {0, 7, 16.5, 50, 83.25, 100};
    for (const double y : ys)
        click(50, y);
    for (int row = 0; row < 6; ++row) {
        const double truth = std::pow(10.0, -3.0 + 6.0 * ys[row] / 100.0);
        EXPECT_NEAR(value(manager.acquireMatrix(), row, 3) / truth, 1.0, 1e-9) << "y = " << ys[row];
        EXPECT_NEAR(value(manager.acquireMatrix(), row, 2), 5.5, 1e-12);
    }
}

// Changing a scale is an edit: the fit follows at once, undo brings the old one back, and
// a value the new scale cannot hold is named by its row.
TEST_F(ControllerTest, AxisScaleChangesRefitAndUndo)
{
    calibrateCorners({{"1", "0"}, {"10", "0"}, {"1", "100"}});
    chooseMode(1);
    click(0, 50);
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 0, 3), 50.0);
    manager.setAxisScale(1, AxisScale::log10);
    expectOneAlert(
        "Invalid Calibration",
        "Row 1: a log axis takes only values above zero, and world y is 0. Correct it, or choose a linear axis.");
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(manager.history().undoName(), "Change Axis Scale");
    manager.undo();
    EXPECT_EQ(manager.document().axes().y, AxisScale::linear);
    manager.setAxisScale(0, AxisScale::log10); // 1 and 10 on x: fine on a log axis
    chooseMode(1);
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    EXPECT_NEAR(value(manager.acquireMatrix(), 0, 2), 1.0, 1e-12);
}

// Dates are typed and shown as ISO 8601, kept as seconds, and come back whole through the
// project and out in the CSV.
TEST_F(ControllerTest, DatesRoundTripThroughTableProjectAndCsv)
{
    manager.setAxisScale(0, AxisScale::date);
    calibrateCorners({{"2024-03-01", "0"}, {"2024-03-11T00:00", "0"}, {"2024-03-01", "1"}});
    EXPECT_EQ(manager.calMatrix()->cellAtRow(1, 2).stringValue(), "2024-03-11");
    EXPECT_FALSE(manager.calMatrix()->setStringValue(0, 2, "2024-02-30")) << "no such day";
    EXPECT_EQ(manager.calMatrix()->refusal(), "Row 1: 2024-02-30 is not a day of the calendar");
    chooseMode(1);
    click(15, 40); // a day and a half after the start
    EXPECT_EQ(manager.acquireMatrix()->cellAtRow(0, 2).stringValue(), "2024-03-02T12:00");
    EXPECT_EQ(csvText(manager.document(), *manager.worldMap()),
              "series,x,y,screen_x,screen_y\r\nSeries 1,2024-03-02T12:00,0.4,15,40\r\n");
    const ProjectReading back = parseProject(projectText(manager.document(), "/tmp"), "/tmp");
    ASSERT_TRUE(back.document) << back.error;
    EXPECT_EQ(*back.document, manager.document());
    EXPECT_EQ(*back.document->calibration()[0].worldX, 1709251200.0); // 2024-03-01T00:00Z in seconds
}

// Each calibration row shows how far the fit of all the points misses it.
TEST_F(ControllerTest, CalibrationRowsShowTheirResiduals)
{
    calibrate({{0, 0}, {100, 0}, {0, 100}, {100, 100}}, {{"0", "0"}, {"10", "0"}, {"0", "10"}, {"10", "10"}});
    const PointTable* table = manager.calMatrix();
    ASSERT_TRUE(manager.calibrationCheck());
    EXPECT_EQ(table->columnTitle(5), "Off (px)");
    EXPECT_NEAR(value(table, 3, 5), 0.0, 1e-9) << "four corners of a square fit exactly";
    typeWorld(3, "10", "12"); // the fourth corner typed 2 units (20 px) too high
    EXPECT_GT(value(table, 3, 5), 1.0);
    EXPECT_NE(table->cellAtRow(3, 4).stringValue(), "0, 0");
    manager.undo();
    EXPECT_NEAR(value(table, 3, 5), 0.0, 1e-9);
}

} // namespace
