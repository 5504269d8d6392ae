#include "desktop/window/QtPlatform.h"

#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>

#include "desktop/files/ImageLoading.h"
#include "desktop/files/PdfPages.h"
#include "desktop/picture/QtCursor.h"
#include "desktop/files/QtFilePanels.h"
#include "desktop/picture/QtImage.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>

void QtPlatform::runAlertPanel(const std::string& title, const std::string& message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::Ok, window_);
    box.setObjectName(QStringLiteral("alertPanel"));
    box.exec();
}

std::size_t QtPlatform::runChoicePanel(const std::string& title, const std::string& message,
                                       const std::vector<std::string>& buttons)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::NoButton, window_);
    box.setObjectName(QStringLiteral("choicePanel"));
    std::vector<QAbstractButton*> shown;
    for (const std::string& text : buttons)
        shown.push_back(box.addButton(QString::fromStdString(text), QMessageBox::AcceptRole));
    if (!shown.empty())
        box.setDefaultButton(qobject_cast<QPushButton*>(shown.front()));
    box.exec();
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (box.clickedButton() == shown[i])
            return i;
    // Closed without a choice: the last button is the one that changes least.
    return buttons.empty() ? 0 : buttons.size() - 1;
}

std::unique_ptr<OpenPanel> QtPlatform::newOpenPanel(FileKind kind)
{
    return std::make_unique<QtOpenPanel>(window_, kind);
}

std::unique_ptr<SavePanel> QtPlatform::newSavePanel(FileKind kind)
{
    return std::make_unique<QtSavePanel>(window_, kind);
}

std::shared_ptr<Image> QtPlatform::imageNamed(const std::string& name)
{
    const QString base = QStringLiteral(":/") + QString::fromStdString(name);
    for (const auto& [suffix, format] : {std::pair{".png", "png"}, std::pair{".tiff", "tiff"}}) {
        const QString path = base + QLatin1String(suffix);
        if (!QFile::exists(path))
            continue;
        QImage image = readImageAs(path, format);
        if (!image.isNull())
            return std::make_shared<QtImage>(std::move(image), path);
    }
    return nullptr;
}

std::shared_ptr<Image> QtPlatform::imageWithContentsOfFile(const std::string& path, std::string& whyNot)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    ImageLoadResult loaded = loadPlotImage(file);
    if (loaded.image.isNull()) {
        whyNot = loaded.error.toStdString();
        return nullptr;
    }
    return std::make_shared<QtImage>(std::move(loaded.image), file);
}

std::shared_ptr<Image> QtPlatform::pdfPageImage(const std::string& path, std::optional<PdfPage>& page,
                                                std::string& whyNot)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const PdfDocument document(file);
    if (!document.error().isEmpty()) {
        whyNot = document.error().toStdString();
        return nullptr;
    }
    if (!page) {
        const double dpi = QSettings().value(QStringLiteral("pdf/dpi"), PdfPage::defaultDpi).toDouble();
        if (document.pageCount() == 1) {
            page = PdfPage{1, std::clamp(dpi, PdfPage::lowestDpi, PdfPage::highestDpi)};
        } else {
            PdfPageChooser chooser(document, QFileInfo(file).fileName(), window_);
            if (chooser.exec() != QDialog::Accepted)
                return nullptr;
            page = chooser.choice();
        }
    }
    QString why;
    QImage image = document.render(*page, pictureByteLimit(), why);
    if (image.isNull()) {
        whyNot = why.toStdString();
        return nullptr;
    }
    return std::make_shared<QtImage>(std::move(image), file);
}

std::unique_ptr<Cursor> QtPlatform::newCursor(const std::shared_ptr<Image>& image, FPoint hotSpot)
{
    const auto* qtImage = dynamic_cast<const QtImage*>(image.get());
    if (qtImage == nullptr || qtImage->image().isNull())
        return nullptr;
    const QPixmap pixmap = QPixmap::fromImage(qtImage->image());
    if (pixmap.isNull())
        return nullptr;
    return std::make_unique<QtCursor>(QCursor(pixmap, static_cast<int>(hotSpot.x), static_cast<int>(hotSpot.y)));
}

void QtPlatform::logDiagnostic(const std::string& line)
{
    std::fputs((line + '\n').c_str(), stderr);
}

void QtPlatform::showStatus(const std::string& message)
{
    if (auto* window = qobject_cast<QMainWindow*>(window_.data()))
        window->statusBar()->showMessage(QString::fromStdString(message), 8000);
}
