#pragma once

#include <QDateTime>
#include <QDialog>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QListWidget;

// A recovery copy that no running Plotmeter owns (its lock is stale or gone), held locked
// by this process while it is offered, so that no other start offers it too.
struct RecoverableCopy {
    QString path;
    std::unique_ptr<QLockFile> lock;
    QDateTime written;
    QString picture; // as the copy names it, absolute
    std::size_t calibrationPoints = 0;
    std::size_t dataPoints = 0;

    // The copy, its lock and the pictures kept beside it go.
    void discard();
};

// The copies in `folder` that can be recovered, newest first. A copy that cannot be read
// (cut short, malformed) is moved into the folder's "damaged" subfolder and named, with
// the reason, in `damaged`; it is never opened.
std::vector<RecoverableCopy> findRecoverableCopies(const QString& folder, QStringList& damaged);

// "Recover Unsaved Work": each copy with its picture's name, when it was last written and
// how many calibration and data points it holds. Recover (the default: Return recovers the
// newest, or the one chosen) ends the dialog with that copy; Discard throws away the one
// chosen; Later (Escape) leaves the rest for the next start.
class RecoveryDialog : public QDialog {
    Q_OBJECT
  public:
    RecoveryDialog(std::vector<RecoverableCopy>& copies, QWidget* parent = nullptr);
    // The copy to recover after Recover; null after Later or once none is left.
    RecoverableCopy* chosen() const { return chosen_; }

  private:
    void fill();

    std::vector<RecoverableCopy>& copies_;
    QListWidget* list_;
    RecoverableCopy* chosen_ = nullptr;
};
