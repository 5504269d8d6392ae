#pragma once

#include "desktop/panels/WorkInProgress.h"
#include "desktop/picture/PicturePixels.h"
#include "document/PictureExtraction.h"

#include <QFutureWatcher>
#include <QObject>
#include <memory>
#include <vector>

// One automatic extraction, off the window's thread: QtConcurrent runs it, a
// QFutureWatcher brings its progress and its end back as signals, and WorkInProgress keeps
// the window still meanwhile, with Cancel. Deleting the run cancels it and waits for the
// work to stop.
class ExtractionRun : public QObject {
    Q_OBJECT
  public:
    ExtractionRun(std::shared_ptr<const PicturePixels> picture, WorldMap map,
                  std::vector<CalibrationPoint> calibration, ExtractionSettings settings, QWidget& window);
    ~ExtractionRun() override;

    bool running() const { return watcher_.isRunning(); }

  signals:
    // The work is over: what it found, or `cancelled`. Emitted once.
    void finished(const PictureExtraction& found);

  private:
    void end();

    WorkInProgress* progress_;
    QFutureWatcher<PictureExtraction> watcher_;
};
