#include "ControllerFixture.h"

namespace {

struct CountingObserver : PointTableObserver {
    void tableDidSizeToCells(PointTable& /*table*/) override { ++sized; }
    void tableNeedsDisplay(PointTable& /*table*/) override { ++redraws; }
    int sized = 0;
    int redraws = 0;
};

TEST_F(ControllerTest, ClearInCalibrationEmptiesOnlyTheCalibrationTable)
{
    calibrateAndAcquire();
    click(10, 10);
    chooseMode(0);
    manager.clearData();
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    click(40, 40);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.calMatrix()->cellAtRow(0, 0).floatValue(), 40.0f);
}

TEST_F(ControllerTest, ClearInAcquisitionKeepsTheTransform)
{
    calibrateAndAcquire();
    click(10, 10);
    click(20, 20);
    manager.clearData();
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    click(50, 20);
    ASSERT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.acquireMatrix()->cellAtRow(0, 2).floatValue(), 20.0f);
    EXPECT_EQ(manager.acquireMatrix()->cellAtRow(0, 3).floatValue(), 26.0f);
}

TEST_F(ControllerTest, ClearOnAnEmptyTableStillRedraws)
{
    CountingObserver observer;
    manager.calMatrix()->setObserver(&observer);
    window.dataView.needsDisplay = false;
    manager.clearData();
    EXPECT_EQ(observer.sized, 1);
    EXPECT_EQ(observer.redraws, 1);
    EXPECT_TRUE(window.dataView.needsDisplay);
    manager.calMatrix()->setObserver(nullptr);
}

} // namespace
