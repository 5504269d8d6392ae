#include "desktop/panels/WorkInProgress.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressDialog>

namespace {

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

WorkInProgress::WorkInProgress(QWidget& window, const QString& label, const QString& name)
    : QObject(&window), window_(&window)
{
    progress_ = new QProgressDialog(label, tr("Cancel"), 0, steps, &window);
    progress_->setObjectName(name);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(400);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, &WorkInProgress::cancel);
    qApp->installEventFilter(this);
}

WorkInProgress::~WorkInProgress()
{
    finish();
}

bool WorkInProgress::cancelled() const
{
    return cancelled_ || (progress_ != nullptr && progress_->wasCanceled());
}

void WorkInProgress::setProgress(int thousandths)
{
    if (progress_ != nullptr)
        progress_->setValue(thousandths);
}

void WorkInProgress::finish()
{
    qApp->removeEventFilter(this);
    if (progress_ == nullptr)
        return;
    if (progress_->wasCanceled())
        cancelled_ = true;
    // Gone at once (closing a progress dialog would say Cancel): a later run's dialog is
    // the only one on show.
    progress_->disconnect(this);
    progress_->close();
    progress_->setObjectName(QString());
    progress_->deleteLater();
    progress_ = nullptr;
}

bool WorkInProgress::eventFilter(QObject* watched, QEvent* event)
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

