#include "desktop/files/ImageLoading.h"

#include "desktop/files/QtFilePanels.h"
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QGuiApplication>
#include <QImageReader>
#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>
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

namespace {

// A picture at least this large takes long enough to decode for a busy cursor to help.
constexpr qint64 busyCursorPixels = 4'000'000;

// The format a picture file's first bytes name, for signatures that leave no doubt;
// empty otherwise. Given the format, the reader goes to its decoder at once instead of
// loading every installed image format plugin to ask each whether it knows the file.
QByteArray formatBySignature(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(12);
    const auto starts = [&head](QByteArrayView signature) { return head.startsWith(signature); };
    if (starts(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return "png";
    if (starts(QByteArrayView("\xff\xd8\xff", 3)))
        return "jpeg";
    if (starts(QByteArrayView("II*\0", 4)) || starts(QByteArrayView("MM\0*", 4)))
        return "tiff";
    if (starts("GIF87a") || starts("GIF89a"))
        return "gif";
    if (starts("RIFF") && head.size() == 12 && head.sliced(8) == "WEBP")
        return "webp";
    return {};
}

// format: what the file's first bytes say, or empty.
ImageLoadResult decodePlotImage(const QString& path, const QByteArray& format, qint64 byteLimit, bool busyCursor)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, QStringLiteral("the file does not exist")};
    if (info.isDir())
        return {{}, QStringLiteral("it is a folder, not a picture file")};
    if (!info.isReadable())
        return {{}, QStringLiteral("permission to read it is denied")};
    if (info.size() == 0)
        return {{}, QStringLiteral("the file is empty")};

    QImageReader reader;
    const auto readWith = [&reader, &path](const QByteArray& named) {
        reader.setFileName(path); // a new reader state: the file is read again from its start
        reader.setFormat(named);
        reader.setAutoDetectImageFormat(named.isEmpty());
        reader.setAutoTransform(true);
    };
    readWith(format);
    // A decoder that turns the file down (its plugin missing, say) leaves the guess to Qt.
    if (!format.isEmpty() && !reader.canRead())
        readWith({});
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
    const qint64 pixels = size.isValid() ? static_cast<qint64>(size.width()) * size.height() : 0;
    if (pixels * 4 > limit)
        return {{},
                QStringLiteral("the picture is %1 × %2 pixels (%3 megapixels); this computer can open pictures "
                               "of up to %4 megapixels")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(megapixels(pixels), megapixels(limit / 4))};

    std::optional<BusyCursor> busy;
    if (busyCursor && (pixels == 0 || pixels >= busyCursorPixels))
        busy.emplace();
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("the picture data is damaged or cut short (%1)").arg(reader.errorString())};
    return {std::move(image), {}};
}

// The picture named on the command line, decoding on a thread while the window is built.
struct Ahead {
    QString path;
    QFuture<ImageLoadResult> result;
};
std::optional<Ahead> ahead;

} // namespace

void decodeAhead(const QString& path)
{
    // Only a PNG, which Qt reads itself: any other picture needs the image format plugins,
    // held back while the window is built, and its decoder's working memory would stay
    // with the thread.
    if (formatBySignature(path) != "png")
        return;
    const qint64 limit = pictureByteLimit();
    ahead = Ahead{QFileInfo(path).absoluteFilePath(),
                  QtConcurrent::run([path, limit] { return decodePlotImage(path, "png", limit, false); })};
}

void forgetDecodeAhead()
{
    ahead.reset(); // a decode under way finishes on its own and its picture is let go
}

ImageLoadResult loadPlotImage(const QString& path, qint64 byteLimit)
{
    if (ahead && ahead->path == QFileInfo(path).absoluteFilePath() && byteLimit == pictureByteLimit()) {
        const QFuture<ImageLoadResult> result = std::move(ahead->result);
        ahead.reset();
        // A picture that failed is read again here, so that the reason given is the
        // usual one (the formats listed include the plugins', held back from the thread).
        if (ImageLoadResult decoded = result.result(); !decoded.image.isNull())
            return decoded;
    }
    // A PNG is read by Qt itself; only other pictures need the plugins.
    const QByteArray format = formatBySignature(path);
    if (format != "png")
        releaseImagePlugins();
    return decodePlotImage(path, format, byteLimit, true);
}

QImage readImageAs(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
