#include "desktop/panels/ExtractionRun.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int progressSteps = 1000;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

} // namespace

ExtractionRun::ExtractionRun(std::shared_ptr<const PicturePixels> picture, WorldMap map,
                             std::vector<CalibrationPoint> calibration, ExtractionSettings settings, QWidget& window)
    : QObject(&window), window_(&window)
{
    progress_ = new QProgressDialog(tr("Extracting points…"), tr("Cancel"), 0, progressSteps, &window);
    progress_->setObjectName(QStringLiteral("extractionProgress"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(400);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, &ExtractionRun::cancel);
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, progress_, &QProgressDialog::setValue);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &ExtractionRun::end);
    qApp->installEventFilter(this);

    const std::atomic<bool>* cancelled = &cancelled_;
    watcher_.setFuture(QtConcurrent::run(
        [picture = std::move(picture), map, calibration = std::move(calibration), settings = std::move(settings),
         cancelled](QPromise<PictureExtraction>& promise) {
            promise.setProgressRange(0, progressSteps);
            const Work work{cancelled, [&promise](double fraction) {
                                promise.setProgressValue(static_cast<int>(fraction * progressSteps));
                            }};
            promise.addResult(extractFromPicture(picture->view(), map, calibration, settings, work));
        }));
}

ExtractionRun::~ExtractionRun()
{
    qApp->removeEventFilter(this);
    cancelled_ = true;
    watcher_.disconnect(this);
    watcher_.waitForFinished();
    delete progress_;
}

void ExtractionRun::cancel()
{
    cancelled_ = true;
}

// Until the progress dialog shows (and blocks the window itself), the window's clicks and
// keys wait out the run: none may change the document the extraction is for.
bool ExtractionRun::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(event->type()) || window_ == nullptr)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (progress_ != nullptr && (widget == progress_ || progress_->isAncestorOf(widget))))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        cancel();
    return widget->window() == window_;
}

void ExtractionRun::end()
{
    qApp->removeEventFilter(this);
    PictureExtraction found;
    if (watcher_.future().resultCount() > 0)
        found = watcher_.future().result();
    found.cancelled = found.cancelled || cancelled_ || progress_->wasCanceled();
    // Gone at once: a later run's dialog is the only one by its name.
    progress_->close();
    progress_->setObjectName(QString());
    progress_->deleteLater();
    progress_ = nullptr;
    emit finished(found);
}
