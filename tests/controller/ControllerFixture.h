#pragma once

#include "controller/PlotmeterManager.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindow.h"

#include <gtest/gtest.h>

#include <array>
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

    // Calibration points clicked at `screen`, then the world values typed beside them, row
    // by row.
    void calibrate(const std::vector<DPoint>& screen, const std::vector<std::array<std::string, 2>>& world)
    {
        for (const DPoint p : screen)
            click(p.x, p.y);
        for (std::size_t row = 0; row < world.size(); ++row)
            typeWorld(static_cast<int>(row), world[row][0], world[row][1]);
    }

    // Calibration points at screen (0,0), (100,0), (0,100) with these world values.
    void calibrateCorners(const std::vector<std::array<std::string, 2>>& world)
    {
        calibrate({{0, 0}, {100, 0}, {0, 100}}, world);
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

    // Exactly one alert was shown, with this title and this message, or one that holds `words`.
    void expectOneAlert(const std::string& title, const std::string& message) const
    {
        ASSERT_EQ(alertTitles(), std::vector<std::string>{title});
        EXPECT_EQ(platform.alerts[0].message, message);
    }
    void expectOneAlertSaying(const std::string& title, const std::string& words) const
    {
        ASSERT_EQ(alertTitles(), std::vector<std::string>{title});
        EXPECT_NE(platform.alerts[0].message.find(words), std::string::npos) << platform.alerts[0].message;
    }

    FakePlatform platform;
    FakeWindow window;
    PlotmeterManager manager{platform};
};
