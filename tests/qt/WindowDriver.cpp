#include "WindowDriver.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

void chooseInNextFilePanel(const QString& path)
{
    answerNextDialog<QFileDialog>([path](QFileDialog& panel) {
        panel.selectFile(path);
        static_cast<QDialog&>(panel).accept();
    });
}

void answerNextMessageBox(QMessageBox::StandardButton button, QString* text, QString* title)
{
    answerNextDialog<QMessageBox>([=](QMessageBox& box) {
        if (text != nullptr)
            *text = box.text();
        if (title != nullptr)
            *title = box.windowTitle();
        if (QAbstractButton* chosen = box.button(button))
            chosen->click();
        else
            box.reject();
    });
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

StderrCapture::StderrCapture() : saved_(dup(STDERR_FILENO)), path_(folder_.filePath(QStringLiteral("stderr.txt")))
{
    std::fflush(stderr);
    const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, STDERR_FILENO);
    ::close(fd);
}

StderrCapture::~StderrCapture()
{
    text();
    ::close(saved_);
}

QString StderrCapture::text()
{
    std::fflush(stderr);
    if (saved_ >= 0)
        dup2(saved_, STDERR_FILENO);
    QFile file(path_);
    file.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(file.readAll());
}

ModalGuard::ModalGuard()
{
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != waiting_) {
            waiting_ = modal;
            ticks_ = 0;
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (dialog != nullptr && ++ticks_ >= 20) {
            unexpected_ << dialog->windowTitle();
            dialog->reject();
        }
    });
    timer_.start();
}

ModalGuard::~ModalGuard() = default;
