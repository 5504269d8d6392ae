#pragma once

#include "controller/PlotmeterManager.h"
#include "desktop/panels/AxisControls.h"
#include "desktop/panels/DataPlot.h"
#include "desktop/panels/FindAxesControl.h"
#include "desktop/panels/MeasurePanel.h"
#include "desktop/picture/CalibrationGrid.h"
#include "desktop/picture/ClickSnapper.h"
#include "desktop/tables/DataScrollView.h"
#include "desktop/panels/ExtractionPanel.h"
#include "desktop/picture/Magnifier.h"
#include "desktop/picture/PictureEditor.h"
#include "desktop/picture/PictureNavigation.h"
#include "desktop/picture/PlotMarks.h"
#include "desktop/picture/PlotScrollView.h"
#include "desktop/window/QtModeButtons.h"
#include "desktop/window/RecoveryCopy.h"
#include "desktop/files/RecentFiles.h"
#include "desktop/panels/SeriesPanel.h"

#include <QButtonGroup>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <memory>

class QTemporaryDir;
class QtPlatform;

namespace Ui {
class MainWindow;
}

// The one window: the plot area, the mode buttons and the data area from the interface
// file, joined to the controller, whose actions the menus and buttons send.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QtPlatform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Builds the tables and, given a path, opens that picture or project as the open panel
    // would.
    void launch(const QStringList& arguments);

    PlotmeterManager& manager() { return *manager_; }
    Ui::MainWindow& ui() { return *ui_; }
    DataScrollView& dataView() { return *dataView_; }
    QButtonGroup& modeGroup() { return modeGroup_; }
    SeriesPanel& seriesPanel() { return *seriesPanel_; }
    PlotScrollView& plotView() { return *plotView_; }
    PictureEditor& editor() { return *editor_; }
    PictureNavigation& navigation() { return *navigation_; }
    Magnifier& magnifier() { return *magnifier_; }
    QDockWidget& magnifierDock() { return *magnifierDock_; }
    QDockWidget& dataPlotDock() { return *dataPlotDock_; }
    DataPlot& dataPlot() { return *dataPlot_; }
    ExtractionPanel& extraction() { return *extraction_; }
    RecoveryCopy& recovery() { return *recovery_; }
    MeasurePanel& measurements() { return *measure_; }
    QAction& snapClicks() { return *snapClicks_; }
    FindAxesControl& findAxes() { return *findAxes_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Asks, when the document holds unsaved changes, whether to save them first; false
    // when the user would rather keep them on screen.
    bool mayDiscardData();
    void connectActions();
    void connectFileActions();
    void exportData();
    void copyRows(bool all);
    bool copyResampledRows();
    void openUnsavedPicture(const QImage& image);
    bool isUnsavedPicture(const std::string& path) const;
    void noteRecentFile();
    void restoreSettings();
    void saveSettings() const;
    void updateGuide();
    // After every change to the document: marks, series list, Edit menu, title, the fit's
    // summary and warnings.
    void documentChanged();
    void showCalibrationCheck();
    void placeWarningBar();
    void placeExtraction();
    void placeDocks();
    PictureTool* pictureTool() const;
    void placeFindAxes();
    bool offerRecovery();

    static constexpr int defaultPanelWidth = 360;
    static constexpr int panelLayoutVersion = 2;
    std::unique_ptr<Ui::MainWindow> ui_;
    QButtonGroup modeGroup_;
    // The controller outlives the views below it: they observe its tables.
    std::unique_ptr<PlotmeterManager> manager_;
    std::unique_ptr<PlotScrollView> plotView_;
    std::unique_ptr<DataScrollView> dataView_;
    std::unique_ptr<QtModeButtons> modeButtons_;
    PictureEditor* editor_ = nullptr;
    std::unique_ptr<PlotMarks> marks_;
    std::unique_ptr<CalibrationGrid> grid_;
    SeriesPanel* seriesPanel_ = nullptr;
    AxisControls* axisControls_ = nullptr;
    QLabel* warningBar_ = nullptr;
    QLabel* fitStatus_ = nullptr;
    Magnifier* magnifier_ = nullptr;
    QDockWidget* magnifierDock_ = nullptr;
    DataPlot* dataPlot_ = nullptr;
    QDockWidget* dataPlotDock_ = nullptr;
    PictureNavigation* navigation_ = nullptr;
    ExtractionPanel* extraction_ = nullptr;
    MeasurePanel* measure_ = nullptr;
    QAction* snapClicks_ = nullptr;
    FindAxesControl* findAxes_ = nullptr;
    QPushButton* findAxesButton_ = nullptr;
    QLabel* findAxesNote_ = nullptr;
    std::unique_ptr<ShownPixels> shownPixels_;
    std::unique_ptr<ClickSnapper> snapper_;
    QString pictureName_;
    RecentFiles* recent_ = nullptr;
    RecoveryCopy* recovery_ = nullptr;
    std::string lastShown_;
};
