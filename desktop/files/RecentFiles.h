#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// File ▸ Open Recent: the last ten pictures and projects opened, newest first, kept in
// the settings so that they survive a restart. A file that has gone is taken off the list
// when chosen, and the user told so.
class RecentFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int kept = 10;

    RecentFiles(QMenu& menu, QWidget* window);

    QStringList paths() const;
    void add(const QString& path);

  signals:
    void chosen(const QString& path);

  private:
    void rebuild();
    void choose(const QString& path);
    void store(const QStringList& paths);

    QMenu& menu_;
    QWidget* window_;
    bool stale_ = true; // the menu's entries are to be made again when it opens
};
