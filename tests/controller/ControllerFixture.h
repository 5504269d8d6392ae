#pragma once

#include "controller/PlotmeterManager.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A launched controller in a fake window, with one plot open, driven the way the user
// drives it: double-clicks, typed world values, mode buttons, menu commands.
class ControllerTest : public testing::Test {
  protected:
    ControllerTest()
    {
        platform.pictures["plot.png"] = {640.0f, 480.0f};
        platform.pictures["other.png"] = {800.0f, 600.0f};
        manager.connectOutlets(window.plotView, window.dataView, window.modeButtons);
        manager.applicationDidFinishLaunching();
    }

    void openPlot(const std::string& path = "plot.png")
    {
        platform.openAnswers.push_back({true, path});
        ASSERT_TRUE(manager.openPlotFile());
    }

    void click(double x, double y) { manager.newScreenPoint({x, y}); }

    void typeWorld(int row, const std::string& x, const std::string& y)
    {
        manager.calMatrix()->cellAtRow(row, 2).setStringValue(x);
        manager.calMatrix()->cellAtRow(row, 3).setStringValue(y);
    }

    void chooseMode(int row)
    {
        window.modeButtons.selected = row;
        manager.setMode();
    }

    // Calibration points at screen (0,0), (100,0), (0,100) with the world values typed
    // beside them, row by row.
    void calibrateCorners(const std::string (&world)[3][2])
    {
        click(0, 0);
        click(100, 0);
        click(0, 100);
        for (int row = 0; row < 3; ++row)
            typeWorld(row, world[row][0], world[row][1]);
    }

    // world = (10 + x/5, 20 + 3y/10).
    void calibrateAndAcquire()
    {
        calibrateCorners({{"10", "20"}, {"30", "20"}, {"10", "50"}});
        chooseMode(1);
        ASSERT_EQ(manager.mode(), PlotmeterManager::acquireMode);
    }

    std::vector<std::string> alertTitles() const
    {
        std::vector<std::string> titles;
        for (const Alert& alert : platform.alerts)
            titles.push_back(alert.title);
        return titles;
    }

    FakePlatform platform;
    FakeWindow window;
    PlotmeterManager manager{platform};
};
