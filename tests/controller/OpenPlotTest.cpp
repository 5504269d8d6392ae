#include "ControllerFixture.h"

#include "view/PlotmeterView.h"

namespace {

TEST_F(ControllerTest, OpeningAPlotShowsItAtItsSizeAndTargetsTheController)
{
    openPlot();
    PlotmeterView* view = manager.plotmeterView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(window.plotView.shown, view);
    EXPECT_EQ(view->target(), &manager);
    EXPECT_EQ(view->frame().size, (Size{640.0f, 480.0f}));
    EXPECT_EQ(platform.openPanelsMade, 1);
}

TEST_F(ControllerTest, CancellingTheOpenPanelChangesNothing)
{
    openPlot();
    click(1, 1);
    PlotmeterView* before = manager.plotmeterView();
    platform.openAnswers.push_back({false, ""});
    EXPECT_FALSE(manager.openPlotFile());
    EXPECT_EQ(manager.plotmeterView(), before);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 1);
    EXPECT_EQ(platform.openPanelsMade, 1);
}

TEST_F(ControllerTest, OpeningAPlotInAcquisitionStartsAFreshCalibration)
{
    openPlot();
    calibrateAndAcquire();
    click(10, 10);
    openPlot("other.png");
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 0);
    EXPECT_EQ(manager.mode(), PlotmeterManager::calMode);
    EXPECT_EQ(window.modeButtons.selected, 0);
    EXPECT_EQ(window.dataView.shown, manager.calMatrix());
    EXPECT_EQ(manager.plotmeterView()->frame().size, (Size{800.0f, 600.0f}));
    EXPECT_EQ(window.plotView.shown, manager.plotmeterView());
}

TEST_F(ControllerTest, UnreadablePictureKeepsThePlotAndEveryPoint)
{
    openPlot();
    calibrateAndAcquire();
    click(10, 10);
    PlotmeterView* before = manager.plotmeterView();
    platform.openAnswers.push_back({true, "/home/ann/notes.txt"});
    EXPECT_TRUE(manager.openPlotFile());

    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].title, "Can't Open Image");
    EXPECT_NE(platform.alerts[0].message.find("\"/home/ann/notes.txt\""), std::string::npos)
        << platform.alerts[0].message;
    EXPECT_EQ(manager.plotmeterView(), before);
    EXPECT_EQ(window.plotView.shown, before);
    EXPECT_EQ(manager.calMatrix()->numberOfRows(), 3);
    EXPECT_EQ(manager.acquireMatrix()->numberOfRows(), 1);
    EXPECT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    EXPECT_EQ(window.dataView.shown, manager.acquireMatrix());
}

TEST_F(ControllerTest, OpeningAtAPathWorksLikeThePanel)
{
    manager.openPlotAtPath("other.png");
    ASSERT_NE(manager.plotmeterView(), nullptr);
    EXPECT_EQ(manager.plotmeterView()->frame().size, (Size{800.0f, 600.0f}));
    EXPECT_EQ(platform.openPanelsMade, 0);
}

} // namespace
