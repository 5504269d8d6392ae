#pragma once

#include "axes/FindAxes.h"
#include "desktop/panels/WorkInProgress.h"

#include <QFutureWatcher>
#include <QObject>

class PlotmeterManager;
class QAction;
class QMenu;
class QWidget;
class ShownPixels;

// Mode > Find Axes (Ctrl+Shift+A), and the button that does the same beside the
// calibration table: reads the picture's own axes (tick labels through the OCR module)
// off the window's thread, with progress and Cancel, and puts the calibration it proposes
// in place of the one there, as one step to undo, "Find Axes". When unsure it proposes
// nothing and says what it could not read, so the user calibrates by hand as before.
class FindAxesControl : public QObject {
    Q_OBJECT
  public:
    FindAxesControl(PlotmeterManager& manager, ShownPixels& pixels, QMenu& modeMenu, QWidget& window);
    ~FindAxesControl() override;

    QAction* action() const { return action_; }
    // Starts reading the axes; false, with ended() already told why, when it cannot.
    bool start();
    bool running() const { return progress_ != nullptr; }

  signals:
    // The run is over: whether a calibration was put in place, and the sentence saying
    // what was found (or why nothing was).
    void ended(bool proposed, const QString& sentence);

  private:
    void finished();

    PlotmeterManager& manager_;
    ShownPixels& pixels_;
    QWidget& window_;
    QAction* action_;
    WorkInProgress* progress_ = nullptr;
    QFutureWatcher<AxesProposal> watcher_;
};
