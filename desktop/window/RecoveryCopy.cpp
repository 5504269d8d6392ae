#include "desktop/window/RecoveryCopy.h"

#include "controller/PlotmeterManager.h"
#include "document/ProjectFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

RecoveryCopy::RecoveryCopy(const PlotmeterManager& manager, QObject* parent)
    : QObject(parent), manager_(manager), id_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    due_.setSingleShot(true);
    due_.setInterval(delayMs);
    connect(&due_, &QTimer::timeout, this, &RecoveryCopy::writeNow);
    connect(&writing_, &QFutureWatcherBase::finished, this, &RecoveryCopy::written);
}

RecoveryCopy::~RecoveryCopy()
{
    remove();
    for (const QString& picture : std::as_const(pictures_))
        QFile::remove(picture);
}

QString RecoveryCopy::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

QString RecoveryCopy::path() const
{
    return folder() + QLatin1Char('/') + id_ + QStringLiteral(".plotmeter");
}

bool RecoveryCopy::exists() const
{
    return QFile::exists(path());
}

void RecoveryCopy::documentChanged()
{
    if (!manager_.hasUnsavedChanges()) {
        remove();
        return;
    }
    // Not pushed back by every change: within two seconds of the first of a burst, again
    // after it for the rest.
    if (writing_.isRunning())
        writeAgain_ = true;
    else if (!due_.isActive())
        due_.start();
}

void RecoveryCopy::writeNow()
{
    due_.stop();
    if (!manager_.hasUnsavedChanges())
        return;
    if (writing_.isRunning()) {
        writeAgain_ = true;
        return;
    }
    if (lock_ == nullptr) {
        QDir().mkpath(folder());
        lock_ = std::make_unique<QLockFile>(folder() + QLatin1Char('/') + id_ + QStringLiteral(".lock"));
        lock_->setStaleLockTime(0); // stale only once its process is gone, however old
        if (!lock_->tryLock(0)) {
            lock_.reset();
            if (!failing_)
                emit writeFailed(tr("the recovery folder %1 cannot be written to").arg(QDir::toNativeSeparators(folder())));
            failing_ = true;
            return;
        }
    }
    // The document is copied here; the text is made and written by the worker.
    writing_.setFuture(QtConcurrent::run(
        [document = manager_.document(), target = QFile::encodeName(path()).toStdString()] {
            std::string error;
            return writeProjectFile(document, target, error, PicturePath::absolute) ? QString()
                                                                                      : QString::fromStdString(error);
        }));
}

void RecoveryCopy::written()
{
    const QString why = writing_.future().resultCount() > 0 ? writing_.future().result() : QString();
    if (!why.isEmpty() && !failing_)
        emit writeFailed(why);
    failing_ = !why.isEmpty();
    // Saved or undone while the copy was being written: it is not wanted any more.
    if (!manager_.hasUnsavedChanges()) {
        remove();
        return;
    }
    if (writeAgain_) {
        writeAgain_ = false;
        due_.start();
    }
}

void RecoveryCopy::waitForWriting()
{
    writing_.waitForFinished();
}

void RecoveryCopy::remove()
{
    due_.stop();
    writeAgain_ = false;
    writing_.waitForFinished();
    QFile::remove(path());
    // A kept picture goes once the document no longer shows it: saved, the project has its
    // own copy beside it; another document opened, nobody needs it.
    const QString shown = QFile::decodeName(manager_.document().picture().c_str());
    for (const QString& picture : std::as_const(pictures_))
        if (picture != shown)
            QFile::remove(picture);
    pictures_.removeIf([&shown](const QString& picture) { return picture != shown; });
    if (lock_ != nullptr) {
        lock_->unlock();
        lock_.reset();
    }
}

QString RecoveryCopy::keepPicture(const QImage& image, QString& why)
{
    QDir().mkpath(folder());
    const QString picture = folder() + QLatin1Char('/') + id_ + QStringLiteral("-pasted-%1.png").arg(++pastes_);
    if (!image.save(picture, "PNG")) {
        why = tr("it could not be written to %1").arg(QDir::toNativeSeparators(picture));
        return {};
    }
    pictures_ << picture;
    return picture;
}

void RecoveryCopy::adoptPicture(const QString& picture)
{
    if (!pictures_.contains(picture))
        pictures_ << picture;
}
