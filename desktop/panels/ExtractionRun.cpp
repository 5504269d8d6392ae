#include "desktop/panels/ExtractionRun.h"

#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

ExtractionRun::ExtractionRun(std::shared_ptr<const PicturePixels> picture, WorldMap map,
                             std::vector<CalibrationPoint> calibration, ExtractionSettings settings, QWidget& window)
    : QObject(&window),
      progress_(new WorkInProgress(window, tr("Extracting points…"), QStringLiteral("extractionProgress")))
{
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, progress_, &WorkInProgress::setProgress);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &ExtractionRun::end);
    watcher_.setFuture(QtConcurrent::run(
        [picture = std::move(picture), map, calibration = std::move(calibration), settings = std::move(settings),
         cancelled = progress_->cancelFlag()](QPromise<PictureExtraction>& promise) {
            promise.setProgressRange(0, WorkInProgress::steps);
            const Work work{cancelled, [&promise](double fraction) {
                                promise.setProgressValue(static_cast<int>(fraction * WorkInProgress::steps));
                            }};
            promise.addResult(extractFromPicture(picture->view(), map, calibration, settings, work));
        }));
}

ExtractionRun::~ExtractionRun()
{
    progress_->cancel();
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    delete progress_;
}

void ExtractionRun::end()
{
    PictureExtraction found;
    if (watcher_.future().resultCount() > 0)
        found = watcher_.future().result();
    progress_->finish();
    found.cancelled = found.cancelled || progress_->cancelled();
    emit finished(found);
}
