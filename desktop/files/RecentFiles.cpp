#include "desktop/files/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace {

const QString key = QStringLiteral("recentFiles");

} // namespace

// The menu's entries are made when it opens, not while the window first shows.
RecentFiles::RecentFiles(QMenu& menu, QWidget* window) : QObject(window), menu_(menu), window_(window)
{
    connect(&menu_, &QMenu::aboutToShow, this, [this] {
        if (stale_)
            rebuild();
    });
}

QStringList RecentFiles::paths() const
{
    return QSettings().value(key).toStringList();
}

void RecentFiles::store(const QStringList& paths)
{
    QSettings().setValue(key, paths);
    stale_ = true;
}

void RecentFiles::add(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = paths();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kept)
        list.removeLast();
    store(list);
}

void RecentFiles::rebuild()
{
    stale_ = false;
    menu_.clear();
    const QStringList list = paths();
    int number = 1;
    for (const QString& path : list) {
        // The first nine get a number key; all show their name, the tip the whole path.
        const QString name = QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu_.addAction(number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(name) : name);
        action->setToolTip(QDir::toNativeSeparators(path));
        action->setStatusTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { choose(path); });
        ++number;
    }
    menu_.setToolTipsVisible(true);
    if (!list.isEmpty())
        menu_.addSeparator();
    QAction* clear = menu_.addAction(tr("Clear Menu"));
    clear->setEnabled(!list.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { store({}); });
    menu_.setEnabled(true);
}

void RecentFiles::choose(const QString& path)
{
    if (QFileInfo::exists(path)) {
        emit chosen(path);
        return;
    }
    QStringList list = paths();
    list.removeAll(path);
    store(list);
    QMessageBox box(QMessageBox::Information, tr("File Not Found"),
                    tr("“%1” is no longer there, so it has been taken off the list of recent files.")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, window_);
    box.setObjectName(QStringLiteral("recentFileGone"));
    box.exec();
}
