#pragma once

#include "controller/PlotmeterManager.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindow.h"

#include <gtest/gtest.h>

#include <cmath>
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

    // Types into the world cells as the user does; a refused text leaves the cell as it was.
    void typeWorld(int row, const std::string& x, const std::string& y)
    {
        manager.calMatrix()->setStringValue(row, 2, x);
        manager.calMatrix()->setStringValue(row, 3, y);
    }

    // The number a cell shows; NaN for a cell that shows text.
    static double value(const PointTable* table, int row, int column)
    {
        return table->cellAtRow(row, column).number.value_or(std::nan(""));
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
