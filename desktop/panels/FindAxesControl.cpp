#include "desktop/panels/FindAxesControl.h"

#include "controller/PlotmeterManager.h"
#include "desktop/files/Modules.h"
#include "desktop/picture/ClickSnapper.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

FindAxesControl::FindAxesControl(PlotmeterManager& manager, ShownPixels& pixels, QMenu& modeMenu, QWidget& window)
    : QObject(&window), manager_(manager), pixels_(pixels), window_(window)
{
    action_ = new QAction(tr("&Find Axes"), &window);
    action_->setObjectName(QStringLiteral("actionFindAxes"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    action_->setToolTip(tr("Read the plot's own axes and tick labels, and propose the calibration"));
    modeMenu.addSeparator();
    modeMenu.addAction(action_);
    window.addAction(action_);
    connect(action_, &QAction::triggered, this, &FindAxesControl::start);
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, [this](int value) {
        if (progress_ != nullptr)
            progress_->setProgress(value);
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &FindAxesControl::finished);
}

FindAxesControl::~FindAxesControl()
{
    if (progress_ != nullptr)
        progress_->cancel();
    watcher_.disconnect(this);
    watcher_.waitForFinished();
}

bool FindAxesControl::start()
{
    if (running())
        return false;
    const std::shared_ptr<const PicturePixels> picture = pixels_.get();
    if (picture == nullptr) {
        emit ended(false, tr("Open a picture of a plot first."));
        return false;
    }
    if (manager_.document().axes().polar) {
        emit ended(false, tr("Find Axes reads Cartesian axes only: calibrate polar axes by hand, on three or more "
                             "points of known angle and radius."));
        return false;
    }
    progress_ = new WorkInProgress(window_, tr("Reading the axes…"), QStringLiteral("findAxesProgress"));
    watcher_.setFuture(QtConcurrent::run(
        [picture, cancelled = progress_->cancelFlag(), readers = moduleLabelReaders()](QPromise<AxesProposal>& promise) {
            promise.setProgressRange(0, WorkInProgress::steps);
            const Work work{cancelled, [&promise](double fraction) {
                                promise.setProgressValue(static_cast<int>(fraction * WorkInProgress::steps));
                            }};
            promise.addResult(findAxes(picture->view(), work, readers));
        }));
    return true;
}

void FindAxesControl::finished()
{
    AxesProposal proposal;
    if (watcher_.future().resultCount() > 0)
        proposal = watcher_.future().result();
    progress_->finish();
    const bool cancelled = progress_->cancelled();
    progress_->deleteLater();
    progress_ = nullptr;
    if (cancelled || !proposal.proposed()) {
        QString why = cancelled ? tr("Find Axes was cancelled") : QString::fromStdString(proposal.problem);
        if (!why.isEmpty())
            why[0] = why[0].toUpper();
        emit ended(false, why + tr(". Calibrate by hand: double-click three or more known points."));
        return;
    }
    std::vector<CalibrationPoint> points;
    for (const ProposedPoint& p : proposal.points)
        points.push_back({p.picture, p.worldX, p.worldY});
    manager_.replaceCalibration("Find Axes", points, proposal.axes);
    emit ended(true, QString::fromStdString(proposal.summary));
}
