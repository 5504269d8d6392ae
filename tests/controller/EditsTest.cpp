#include "ControllerFixture.h"

#include "document/DataFile.h"

namespace {

// Data rows show their world values through the fit in force: a new fit changes every
// row at once, never only the rows clicked after it; undoing a calibration step while
// acquiring refits at once, and when what is left defines no transform, the calibration
// table comes back to be completed. Returning to calibration changes nothing else.
TEST_F(ControllerTest, RefitUpdatesEveryEarlierRowAlsoOnUndo)
{
    calibrateAndAcquire();
    click(50, 20);
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 0, 3), 26.0);
    chooseMode(0);
    chooseMode(0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 0, 3), 26.0);
    // Correct an earlier value: world y is now 20 + 6y/10.
    typeWorld(2, "10", "80");
    chooseMode(1);
    click(50, 20);
    for (int row = 0; row < 2; ++row)
        EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), row, 3), 32.0) << "row " << row;
    EXPECT_EQ(alertTitles(), std::vector<std::string>{});

    manager.undo(); // the second data point
    manager.undo(); // the corrected value
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    ASSERT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 0, 3), 26.0);
    manager.undo(); // the first data point
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    manager.undo(); // world y of the third calibration point: now empty
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    EXPECT_EQ(window.modeButtons.selected, 0);
}

// x = 1,420,400,000 + 0.5 per pixel: the half units survive the table and the data file.
TEST_F(ControllerTest, OffsetAxisKeepsItsHalfUnits)
{
    calibrateCorners({{"1420400000", "0"}, {"1420400050", "0"}, {"1420400000", "100"}});
    chooseMode(1);
    click(1, 3);
    EXPECT_EQ(value(manager.acquireMatrix(), 0, 2), 1420400000.5);
    EXPECT_EQ(manager.acquireMatrix()->cellAtRow(0, 2).stringValue(), "1420400000.500000");
    EXPECT_EQ(dataFileText(manager.document().active(), *manager.worldMap()),
              "     1.000     3.000   1420400000.500000        3.000000\n");
}

TEST_F(ControllerTest, UndoAndRedoWalkTheStepsByName)
{
    calibrateAndAcquire();
    click(10, 10);
    click(20, 20);
    EXPECT_EQ(manager.history().undoName(), "Add Point");
    manager.undo();
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.history().redoName(), "Add Point");
    manager.redo();
    ASSERT_EQ(manager.acquireMatrix()->numberOfRows(), 2);
    EXPECT_DOUBLE_EQ(value(manager.acquireMatrix(), 1, 2), 14.0);

    manager.clearData();
    EXPECT_EQ(alertTitles(), std::vector<std::string>{}) << "an undoable clear asks nothing";
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.history().undoName(), "Clear Data");
    manager.undo();
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 2);
}

TEST_F(ControllerTest, NewPointsGoIntoTheActiveSeriesAndTheTableShowsIt)
{
    calibrateAndAcquire();
    click(10, 10);
    manager.addSeries();
    EXPECT_EQ(manager.document().activeSeries(), 1u);
    EXPECT_EQ(manager.document().active().look.name, "Series 2");
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    click(20, 20);
    click(30, 30);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 2);
    manager.setActiveSeries(0);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.history().undoName(), "Add Point") << "choosing a series is not an edit";

    manager.deleteSeries(1);
    EXPECT_EQ(manager.document().series().size(), 1u);
    manager.deleteSeries(0);
    EXPECT_EQ(manager.document().series().size(), 1u) << "the last series stays";
    manager.undo();
    ASSERT_EQ(manager.document().series().size(), 2u);
    EXPECT_EQ(manager.document().series()[1].points.size(), 2u);
}

// A point added to a hidden series shows it again, in the same step: undo hides it again.
TEST_F(ControllerTest, PointsAddedToAHiddenSeriesShowIt)
{
    calibrateAndAcquire();
    const auto visible = [this] { return manager.document().active().look.visible; };
    for (const bool extracted : {false, true}) {
        manager.setSeriesVisible(0, false);
        const std::size_t before = manager.document().active().points.size();
        if (extracted)
            ASSERT_TRUE(manager.addExtractedPoints({{40, 40}, {50, 50}}, false, Colour{}));
        else
            click(20, 20);
        EXPECT_TRUE(visible()) << extracted;
        EXPECT_GT(manager.document().active().points.size(), before);
        manager.undo();
        EXPECT_FALSE(visible()) << extracted;
        EXPECT_EQ(manager.document().active().points.size(), before);
        manager.redo();
        EXPECT_TRUE(visible()) << extracted;
    }
}

TEST_F(ControllerTest, EveryKindOfEditCountsAsUnsavedUntilItIsUndone)
{
    EXPECT_FALSE(manager.hasUnsavedChanges());
    click(0, 0);
    EXPECT_TRUE(manager.hasUnsavedChanges()) << "calibration points are work too";
    manager.undo();
    EXPECT_FALSE(manager.hasUnsavedChanges());
    manager.setSeriesColour(0, Colour{1, 2, 3});
    EXPECT_TRUE(manager.hasUnsavedChanges());
    EXPECT_EQ(manager.history().undoName(), "Change Series Colour");
}

} // namespace
