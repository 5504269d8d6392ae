// Writes the large pictures the benchmarks open: a drawn plot (grid, axes, curves, labels)
// of 12, 48 and 120 megapixels, each as PNG, JPEG and LZW-compressed TIFF, into the folder
// given. Each file is read back with QImageReader; one line per file goes to the standard
// output stream, tab-separated:
//     name  megapixels  format  width  height  decoded-bytes  path
// Usage: make_bench_pictures <folder> [megapixels...]
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

QImage drawPlot(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = width / 1000.0; // one thousandth of the width
    const QRectF frame(80 * unit, 40 * unit, width - 120 * unit, height - 120 * unit);

    painter.setPen(QPen(QColor(210, 210, 210), unit));
    for (int i = 1; i < 20; ++i) {
        const double x = frame.left() + frame.width() * i / 20.0;
        const double y = frame.top() + frame.height() * i / 20.0;
        painter.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
        painter.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
    }
    painter.setPen(QPen(Qt::black, 2 * unit));
    painter.drawRect(frame);

    QFont font = painter.font();
    font.setPixelSize(qMax(8, qRound(18 * unit)));
    painter.setFont(font);
    for (int i = 0; i <= 10; ++i) {
        const double x = frame.left() + frame.width() * i / 10.0;
        const double y = frame.bottom() - frame.height() * i / 10.0;
        painter.drawText(QPointF(x - 10 * unit, frame.bottom() + 30 * unit), QString::number(i * 10));
        painter.drawText(QPointF(frame.left() - 60 * unit, y + 6 * unit), QString::number(i * 0.5, 'f', 1));
    }

    const QColor colors[] = {Qt::blue, Qt::red, QColor(0, 140, 0)};
    for (int curve = 0; curve < 3; ++curve) {
        QPainterPath path;
        for (int i = 0; i <= 2000; ++i) {
            const double t = i / 2000.0;
            const double v = curve == 0   ? 0.5 + 0.4 * std::sin(12.0 * t)
                             : curve == 1 ? 0.9 * std::exp(-3.0 * t)
                                          : 0.1 + 0.8 * t * t;
            const QPointF p(frame.left() + t * frame.width(), frame.bottom() - v * frame.height());
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.setPen(QPen(colors[curve], 3 * unit));
        painter.drawPath(path);
    }
    return image;
}

struct Format {
    const char* suffix;
    const char* name;
    int quality;
    int compression;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: make_bench_pictures <folder> [megapixels...]\n");
        return 2;
    }
    const QString folder = arguments.at(1);
    QList<int> sizes;
    for (qsizetype i = 2; i < arguments.size(); ++i)
        sizes << arguments.at(i).toInt();
    if (sizes.isEmpty())
        sizes = {12, 48, 120};

    QImageReader::setAllocationLimit(0);
    const Format formats[] = {{"png", "PNG", -1, -1}, {"jpg", "JPEG", 90, -1}, {"tif", "TIFF", -1, 1}};
    for (int megapixels : sizes) {
        // 4 : 3 at 12 and 48 megapixels, 6 : 5 at 120, so that every size is exact.
        const int width = megapixels == 120 ? 12000 : qRound(std::sqrt(megapixels * 1e6 * 4.0 / 3.0));
        const int height = megapixels * 1'000'000 / width;
        const QImage plot = drawPlot(width, height);
        for (const Format& format : formats) {
            const QString name = QStringLiteral("plot-%1mp.%2").arg(megapixels).arg(QLatin1String(format.suffix));
            const QString path = folder + QLatin1Char('/') + name;
            QImageWriter writer(path, format.suffix);
            if (format.quality >= 0)
                writer.setQuality(format.quality);
            if (format.compression >= 0)
                writer.setCompression(format.compression);
            if (!writer.write(plot)) {
                std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
                return 1;
            }
            QImageReader reader(path);
            const QImage decoded = reader.read();
            if (decoded.isNull()) {
                std::fprintf(stderr, "cannot read %s back: %s\n", qPrintable(path), qPrintable(reader.errorString()));
                return 1;
            }
            std::printf("%s\t%d\t%s\t%d\t%d\t%lld\t%s\n", qPrintable(name), megapixels, format.name, decoded.width(),
                        decoded.height(), static_cast<long long>(decoded.sizeInBytes()), qPrintable(path));
            std::fflush(stdout);
        }
    }
    return 0;
}
