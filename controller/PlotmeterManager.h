#pragma once

#include "calibration/CartesianPlotmeter.h"
#include "platform/FilePanels.h"
#include "platform/PointTable.h"
#include "view/ScreenPointTarget.h"

#include <memory>
#include <string>

class ModeButtons;
class Platform;
class PlotmeterView;
class ScrollView;

// The application controller. It keeps the calibration table and the data table, routes
// every double-click on the plot to one of them according to the mode, fits the
// calibration when the user switches to acquisition, opens plots and saves the data.
//
// Table columns: 0 screen x, 1 screen y, 2 world x, 3 world y; one row per point in the
// order of the clicks. Numbers pass through the cells in single precision.
class PlotmeterManager : public ScreenPointTarget {
  public:
    static constexpr int calMode = 2;
    static constexpr int acquireMode = 1;

    explicit PlotmeterManager(Platform& platform);
    ~PlotmeterManager() override;
    PlotmeterManager(const PlotmeterManager&) = delete;
    PlotmeterManager& operator=(const PlotmeterManager&) = delete;

    // The window's parts; they must outlive the controller.
    void connectOutlets(ScrollView& plotView, ScrollView& dataView, ModeButtons& modeButtons);

    // Builds both tables and shows the calibration table. Call once, after
    // connectOutlets and before any action.
    void applicationDidFinishLaunching();

    // Actions of the window's controls.
    PlotmeterManager& setMode();
    PlotmeterManager& clearData();
    // False when the user cancelled the panel.
    bool openPlotFile();
    bool saveData();

    // Opens the picture at path exactly as if it had been chosen in the open panel.
    void openPlotAtPath(const std::string& path);

    void newScreenPoint(DPoint point) override;
    bool isColinear(DPoint point) const;

    // Whether the data table holds points added since the last successful save; the
    // window asks before they would be lost.
    bool hasUnsavedData() const
    {
        return unsavedData_ && acquireMatrix_ != nullptr && acquireMatrix_->numberOfRows() > 0;
    }

    int mode() const { return mode_; }
    PointTable* calMatrix() const { return calMatrix_.get(); }
    PointTable* acquireMatrix() const { return acquireMatrix_.get(); }
    const CartesianPlotmeter& plotmeter() const { return plotmeter_; }
    PlotmeterView* plotmeterView() const { return plotmeterView_.get(); }

  private:
    PointTable& tableOfMode() const;
    void returnToCalibration();
    bool loadCalibrationAndFit();
    static void emptyTable(PointTable& table);
    bool writeData(const std::string& path);

    Platform& platform_;
    ScrollView* plotView_ = nullptr;
    ScrollView* dataView_ = nullptr;
    ModeButtons* modeButtons_ = nullptr;
    int mode_ = calMode;
    CartesianPlotmeter plotmeter_;
    std::unique_ptr<PointTable> calMatrix_;
    std::unique_ptr<PointTable> acquireMatrix_;
    std::unique_ptr<PlotmeterView> plotmeterView_;
    std::unique_ptr<OpenPanel> openPanel_;
    std::unique_ptr<SavePanel> savePanel_;
    bool unsavedData_ = false;
};
