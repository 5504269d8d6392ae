#include "platform/qt/QtPlatform.h"

#include "platform/qt/ImageLoading.h"
#include "platform/qt/QtCursor.h"
#include "platform/qt/QtFilePanels.h"
#include "platform/qt/QtImage.h"

#include <QFile>
#include <QMessageBox>
#include <QPixmap>

void QtPlatform::runAlertPanel(const std::string& title, const std::string& message)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::Ok, window_);
    box.setObjectName(QStringLiteral("alertPanel"));
    box.exec();
}

std::unique_ptr<OpenPanel> QtPlatform::newOpenPanel()
{
    return std::make_unique<QtOpenPanel>(window_);
}

std::unique_ptr<SavePanel> QtPlatform::newSavePanel()
{
    return std::make_unique<QtSavePanel>(window_);
}

std::shared_ptr<Image> QtPlatform::imageNamed(const std::string& name)
{
    const QString base = QStringLiteral(":/") + QString::fromStdString(name);
    for (const char* suffix : {".tiff", ".png"}) {
        const QString path = base + QLatin1String(suffix);
        if (!QFile::exists(path))
            continue;
        QImage image(path);
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
