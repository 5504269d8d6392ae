#pragma once

#include "controller/PlotmeterManager.h"
#include "platform/ModeButtons.h"
#include "platform/Platform.h"
#include "platform/ScrollView.h"
#include "platform/View.h"

#include "common/PointSequence.h"

#include <string>
#include <vector>

// The window system as the benchmarks need it: no pictures, no cursors, alerts and
// questions counted (a question is answered with its last button), and save panels that
// always answer with `savePath`.
class RigPlatform : public Platform {
  public:
    void runAlertPanel(const std::string& title, const std::string& message) override;
    std::size_t runChoicePanel(const std::string& title, const std::string& message,
                               const std::vector<std::string>& buttons) override;
    std::unique_ptr<OpenPanel> newOpenPanel(FileKind kind) override;
    std::unique_ptr<SavePanel> newSavePanel(FileKind kind) override;
    std::shared_ptr<Image> imageNamed(const std::string& name) override;
    std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, std::string& whyNot) override;
    std::unique_ptr<Cursor> newCursor(const std::shared_ptr<Image>& image, FPoint hotSpot) override;
    void logDiagnostic(const std::string& /*line*/) override {}
    void showStatus(const std::string& /*message*/) override {}

    std::string savePath;
    int alerts = 0;
    std::string lastAlert;
};

struct RigScrollView : ScrollView {
    View* documentView() const override { return shown; }
    void setDocumentView(View* view) override { shown = view; }
    void setHasHorizontalScroller(bool /*flag*/) override {}
    void setNeedsDisplay(bool /*flag*/) override {}
    View* shown = nullptr;
};

struct RigModeButtons : ModeButtons {
    int selectedRow() const override { return selected; }
    void selectCellAtRow(int row, int /*column*/) override { selected = row; }
    int selected = 0;
};

// A launched controller without a window, driven through the calls the window makes.
class ControllerRig {
  public:
    ControllerRig();

    // Three calibration points, screen (100, 100), (300, 100), (100, 400) for world
    // (0, 0), (10, 0), (0, 60), then the switch to acquisition.
    void calibrateAndAcquire();
    // `rows` double-clicks in acquisition, at points spread over a 4000 x 3000 picture.
    void addDataRows(int rows);
    // The next of a fixed sequence of such points.
    DPoint nextPoint() { return points_.nextPoint(); }

    RigPlatform platform;
    RigScrollView plotView;
    RigScrollView dataView;
    RigModeButtons modeButtons;
    View placeholder{Rect{{0.0f, 0.0f}, {376.0f, 200.0f}}};
    PlotmeterManager manager{platform};

  private:
    PointSequence points_{12345};
};
