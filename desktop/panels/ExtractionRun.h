#pragma once

#include "desktop/picture/PicturePixels.h"
#include "document/PictureExtraction.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>
#include <vector>

class QProgressDialog;
class QWidget;

// One automatic extraction, off the window's thread: QtConcurrent runs it, a
// QFutureWatcher brings its progress and its end back as signals. A modal progress dialog
// with Cancel shows once the work takes more than a moment; until then the window takes
// no clicks or keys, so nothing can change the document under a running extraction.
// Deleting the run cancels it and waits for the work to stop.
class ExtractionRun : public QObject {
    Q_OBJECT
  public:
    ExtractionRun(std::shared_ptr<const PicturePixels> picture, WorldMap map,
                  std::vector<CalibrationPoint> calibration, ExtractionSettings settings, QWidget& window);
    ~ExtractionRun() override;

    void cancel();
    bool running() const { return watcher_.isRunning(); }

  signals:
    // The work is over: what it found, or `cancelled`. Emitted once.
    void finished(const PictureExtraction& found);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void end();

    QPointer<QWidget> window_;
    std::atomic<bool> cancelled_{false};
    QFutureWatcher<PictureExtraction> watcher_;
    QProgressDialog* progress_ = nullptr;
};
