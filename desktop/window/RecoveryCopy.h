#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

class PlotmeterManager;

// Work is never lost: while the document has changes that are in no file, a copy of it
// as a project file (the picture named by its absolute path) is kept in the recovery
// folder, written at most two seconds after a change, off the window's thread, so that
// editing never waits for it. The copy is <unique id>.plotmeter beside <id>.lock, a
// QLockFile that marks it as this live window's; a lock whose process is gone is stale,
// and the next start offers the copy back (RecoveryOffer). Saving, a document with no
// changes left (undone, or another opened), a clean quit or the window going away in
// order remove the copy and the lock; only a crash leaves them.
class RecoveryCopy : public QObject {
    Q_OBJECT
  public:
    explicit RecoveryCopy(const PlotmeterManager& manager, QObject* parent = nullptr);
    ~RecoveryCopy() override;

    // QStandardPaths' AppLocalDataLocation, then "recovery".
    static QString folder();
    static constexpr int delayMs = 2000;

    // After every change to the document: a copy is due, or the copy goes.
    void documentChanged();
    // Writes the copy now (the window's part: a copy of the document handed to a worker).
    void writeNow();
    // Waits for a copy being written.
    void waitForWriting();
    // The copy, its lock and the pictures kept with it go.
    void remove();

    QString path() const;
    bool exists() const;
    // A pasted picture kept as a PNG beside the copy, as long as the copy is needed: its
    // path, or empty (with the reason in `why`) when it cannot be written.
    QString keepPicture(const QImage& image, QString& why);
    // A picture kept beside a recovered copy becomes this window's to keep.
    void adoptPicture(const QString& path);
    bool keeps(const QString& picture) const { return pictures_.contains(picture); }

  signals:
    // A copy could not be written: said once until one is written again.
    void writeFailed(const QString& why);

  private:
    void written();

    const PlotmeterManager& manager_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    QTimer due_;
    QFutureWatcher<QString> writing_;
    bool writeAgain_ = false; // a change came while a copy was being written
    bool failing_ = false;    // the last write failed, and the user was told
    QStringList pictures_;
    int pastes_ = 0;
};
