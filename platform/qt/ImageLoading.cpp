#include "platform/qt/ImageLoading.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

namespace {

// Shows the busy cursor for as long as it lives.
class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

ImageLoadResult loadPlotImage(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, QStringLiteral("the file does not exist")};
    if (info.isDir())
        return {{}, QStringLiteral("it is a folder, not a file")};
    if (!info.isReadable())
        return {{}, QStringLiteral("permission denied")};

    QImageReader reader(path);
    reader.setAutoTransform(true);
    BusyCursor busy;
    QImage image = reader.read();
    if (image.isNull())
        return {{}, reader.errorString()};
    return {std::move(image), {}};
}
