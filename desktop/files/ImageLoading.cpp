#include "desktop/files/ImageLoading.h"

#include "desktop/files/QtFilePanels.h"
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QCoreApplication>
#include <algorithm>
#include <optional>
#include <unistd.h>

namespace {

constexpr qint64 megabyte = 1024 * 1024;

// Shows the busy cursor for as long as it lives, when there is a window system to show it.
class BusyCursor {
  public:
    BusyCursor() : shown_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (shown_)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor()
    {
        if (shown_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    bool shown_;
};

QString megapixels(qint64 pixels)
{
    return QString::number(static_cast<double>(pixels) / 1e6, 'f', pixels < 10'000'000 ? 1 : 0);
}

} // namespace

qint64 pictureByteLimit()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const qint64 memory = pages > 0 && pageSize > 0 ? static_cast<qint64>(pages) * pageSize : 4096 * megabyte;
    return std::clamp(memory / 4, 512 * megabyte, 16384 * megabyte);
}

namespace {

std::optional<QStringList> heldPluginPaths;

} // namespace

void holdImagePlugins()
{
    if (!heldPluginPaths) {
        heldPluginPaths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({});
    }
}

void releaseImagePlugins()
{
    if (heldPluginPaths) {
        QCoreApplication::setLibraryPaths(*heldPluginPaths);
        heldPluginPaths.reset();
    }
}

ImageLoadResult loadPlotImage(const QString& path, qint64 byteLimit)
{
    releaseImagePlugins();
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, QStringLiteral("the file does not exist")};
    if (info.isDir())
        return {{}, QStringLiteral("it is a folder, not a picture file")};
    if (!info.isReadable())
        return {{}, QStringLiteral("permission to read it is denied")};
    if (info.size() == 0)
        return {{}, QStringLiteral("the file is empty")};

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const qint64 limit = byteLimit;
    reader.setAllocationLimit(static_cast<int>(std::max<qint64>(1, limit / megabyte)));
    if (!reader.canRead())
        return {{},
                QStringLiteral("it is not a picture in a format Plotmeter can read (Plotmeter opens %1, and "
                               ".plotmeter projects)")
                    .arg(readableFormats())};

    // Four bytes a pixel is what a colour picture takes once decoded; refuse a size that
    // cannot fit before the decoder tries to allocate it.
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 pixels = static_cast<qint64>(size.width()) * size.height();
        if (pixels * 4 > limit)
            return {{},
                    QStringLiteral("the picture is %1 × %2 pixels (%3 megapixels); this computer can open pictures "
                                   "of up to %4 megapixels")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(megapixels(pixels), megapixels(limit / 4))};
    }

    BusyCursor busy;
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("the picture data is damaged or cut short (%1)").arg(reader.errorString())};
    return {std::move(image), {}};
}

QImage readImageAs(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
