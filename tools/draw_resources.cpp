// Draws Plotmeter's own pictures: the cross-hair cursor, the application icon and the
// sample plot. Run by scripts/draw-resources; the results are committed in app/resources.

#include "SamplePlot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

// 16 x 16, hot spot (7, 7): a black cross with a white rim so it shows on dark and light
// plots alike, and a gap at the centre so the point under it stays visible.
QImage drawCross()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const auto put = [&](int x, int y, QRgb color) { image.setPixel(x, y, color); };
    const QRgb black = qRgba(0, 0, 0, 255);
    const QRgb white = qRgba(255, 255, 255, 255);
    for (int i = 0; i < 15; ++i) {
        if (i >= 5 && i <= 9)
            continue;
        put(i, 6, white);
        put(i, 8, white);
        put(6, i, white);
        put(8, i, white);
    }
    for (int i = 0; i < 15; ++i) {
        if (i >= 5 && i <= 9)
            continue;
        put(i, 7, black);
        put(7, i, black);
    }
    put(7, 7, black);
    return image;
}

void drawCurve(QPainter& painter, double x0, double y0, double w, double h)
{
    QPainterPath path;
    for (int i = 0; i <= 200; ++i) {
        const double t = samplePlot::xMax * i / 200.0;
        const QPointF p(x0 + t / samplePlot::xMax * w, y0 + h - samplePlot::curve(t) / samplePlot::yMax * h);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    painter.drawPath(path);
}

// Drawn on a 64-unit square, scaled to `side` pixels so that every size is sharp.
QImage drawIcon(int side = 64)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 64.0, side / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 250, 246));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    painter.setPen(QPen(QColor(60, 60, 60), 3));
    painter.drawLine(QPointF(12, 8), QPointF(12, 52));
    painter.drawLine(QPointF(12, 52), QPointF(58, 52));
    painter.setPen(QPen(QColor(20, 90, 200), 3));
    drawCurve(painter, 12, 10, 44, 42);
    painter.setPen(QPen(QColor(210, 40, 40), 2));
    painter.drawLine(QPointF(38, 16), QPointF(38, 30));
    painter.drawLine(QPointF(31, 23), QPointF(45, 23));
    return image;
}

QImage drawSamplePlot()
{
    using namespace samplePlot;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    painter.setFont(font);

    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (int x = 1; x <= 10; ++x)
        painter.drawLine(QPointF(pixelX(x), top), QPointF(pixelX(x), bottom));
    for (int y = 20; y <= 100; y += 20)
        painter.drawLine(QPointF(left, pixelY(y)), QPointF(right, pixelY(y)));

    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    painter.drawLine(QPointF(left, bottom), QPointF(left, top));
    for (int x = 0; x <= 10; ++x) {
        painter.drawLine(QPointF(pixelX(x), bottom), QPointF(pixelX(x), bottom + 7));
        painter.drawText(QRectF(pixelX(x) - 20, bottom + 10, 40, 20), Qt::AlignCenter, QString::number(x));
    }
    for (int y = 0; y <= 100; y += 20) {
        painter.drawLine(QPointF(left - 7, pixelY(y)), QPointF(left, pixelY(y)));
        painter.drawText(QRectF(left - 55, pixelY(y) - 10, 44, 20), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(y));
    }
    painter.drawText(QRectF(left, bottom + 36, right - left, 24), Qt::AlignCenter, QStringLiteral("time (s)"));
    painter.save();
    painter.translate(30, (top + bottom) / 2);
    painter.rotate(-90);
    painter.drawText(QRectF(-120, -12, 240, 24), Qt::AlignCenter, QStringLiteral("signal (mV)"));
    painter.restore();
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(left, 12, right - left, 30), Qt::AlignCenter,
                     QStringLiteral("Step response of the sensor"));

    painter.setPen(QPen(QColor(20, 90, 200), 2.5));
    drawCurve(painter, left, top, right - left, bottom - top);
    return image;
}

bool save(const QImage& image, const QString& path, const char* format)
{
    if (image.save(path, format))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("app/resources");
    bool ok = save(drawCross(), folder + QStringLiteral("/cross.png"), "PNG") &&
              save(drawIcon(), folder + QStringLiteral("/plotmeter.png"), "PNG") &&
              save(drawSamplePlot(), folder + QStringLiteral("/sample-plot.png"), "PNG");
    // The icon at the sizes desktops ask for, installed into the hicolor theme.
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        ok = ok && save(drawIcon(side), QStringLiteral("%1/icons/plotmeter-%2.png").arg(folder).arg(side), "PNG");
    return ok ? 0 : 1;
}
