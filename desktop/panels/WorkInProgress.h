#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>

class QProgressDialog;
class QWidget;

// The window's side of long work done off its thread: a modal progress dialog with Cancel
// that shows once the work takes more than a moment, and until then no clicks or keys for
// the window (Escape cancels), so that nothing changes the document under the work.
class WorkInProgress : public QObject {
    Q_OBJECT
  public:
    // `name` is the dialog's object name, for tests to find it by.
    WorkInProgress(QWidget& window, const QString& label, const QString& name);
    ~WorkInProgress() override;

    // For the work to poll; set by Cancel, Escape or cancel().
    const std::atomic<bool>* cancelFlag() const { return &cancelled_; }
    bool cancelled() const;
    void cancel() { cancelled_ = true; }
    // Progress in thousandths.
    void setProgress(int thousandths);
    // The work is over: the dialog goes, the window takes input again.
    void finish();

    static constexpr int steps = 1000;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> window_;
    std::atomic<bool> cancelled_{false};
    QProgressDialog* progress_ = nullptr;
};
