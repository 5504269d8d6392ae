#pragma once

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

// Helpers for driving the assembled window the way a user does.

// Answers the next modal dialog of type T as soon as it is up: `answer` reads it and
// closes it. Call before the action that opens the dialog.
template <typename T> void answerNextDialog(std::function<void(T&)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start();
}

// Picks `path` in the next file panel.
void chooseInNextFilePanel(const QString& path);

// Answers the next message box with `button`, or closes it when it has no such button,
// and notes its text and title.
void answerNextMessageBox(QMessageBox::StandardButton button, QString* text = nullptr, QString* title = nullptr);

// Closes a modal dialog that nobody answers within two seconds, so a test that meets an
// unexpected alert fails with its title instead of hanging.
class ModalGuard {
  public:
    ModalGuard();
    ~ModalGuard();
    // The titles of the dialogs it had to close.
    QStringList unexpected() const { return unexpected_; }

  private:
    QTimer timer_;
    QStringList unexpected_;
    QWidget* waiting_ = nullptr;
    int ticks_ = 0;
};

// A plain white picture of the given size, written into `folder`.
inline QString makePicture(const QTemporaryDir& folder, const QString& name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString path = folder.filePath(name);
    image.save(path);
    return path;
}

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// Collects what is written to the standard error stream while it lives.
class StderrCapture {
  public:
    StderrCapture();
    ~StderrCapture();
    QString text();

  private:
    QTemporaryDir folder_;
    int saved_;
    QString path_;
};
