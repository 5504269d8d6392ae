#include "desktop/picture/PicturePyramid.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Reduced copies stop once the picture fits in this many pixels each way.
constexpr int smallestSide = 64;
// Pictures in other formats are converted this many rows at a time.
constexpr int stripRows = 64;

// The four pixels' mean, channel by channel, rounded.
std::uint32_t mean(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    constexpr std::uint32_t low = 0x00FF00FFu;
    const std::uint32_t rb = (((a & low) + (b & low) + (c & low) + (d & low) + 0x00020002u) >> 2) & low;
    const std::uint32_t ag =
        ((((a >> 8) & low) + ((b >> 8) & low) + ((c >> 8) & low) + ((d >> 8) & low) + 0x00020002u) >> 2) & low;
    return rb | (ag << 8);
}

} // namespace

QImage halved(const QImage& source, const std::atomic<bool>& stop)
{
    const int width = source.width();
    const int height = source.height();
    const QImage::Format format = source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage half((width + 1) / 2, (height + 1) / 2, format);
    if (half.isNull())
        return {};
    QImage strip;
    int stripTop = 0;
    for (int row = 0; row < half.height(); ++row) {
        if (stop.load(std::memory_order_relaxed))
            return {};
        const int top = 2 * row;
        const int bottom = std::min(top + 1, height - 1);
        const std::uint32_t* upper = nullptr;
        const std::uint32_t* lower = nullptr;
        if (source.format() == format) {
            upper = reinterpret_cast<const std::uint32_t*>(source.constScanLine(top));
            lower = reinterpret_cast<const std::uint32_t*>(source.constScanLine(bottom));
        } else {
            if (strip.isNull() || bottom >= stripTop + strip.height()) {
                stripTop = top;
                strip = source.copy(0, top, width, std::min(stripRows, height - top)).convertToFormat(format);
                if (strip.isNull())
                    return {};
            }
            upper = reinterpret_cast<const std::uint32_t*>(strip.constScanLine(top - stripTop));
            lower = reinterpret_cast<const std::uint32_t*>(strip.constScanLine(bottom - stripTop));
        }
        auto* out = reinterpret_cast<std::uint32_t*>(half.scanLine(row));
        for (int column = 0; column < half.width(); ++column) {
            const int left = 2 * column;
            const int right = std::min(left + 1, width - 1);
            out[column] = mean(upper[left], upper[right], lower[left], lower[right]);
        }
    }
    return half;
}

PicturePyramid::PicturePyramid(QImage picture, QObject* parent) : QObject(parent), picture_(std::move(picture))
{
    if (picture_.width() <= smallestSide && picture_.height() <= smallestSide) {
        complete_ = true;
        return;
    }
    connect(&watcher_, &QFutureWatcherBase::resultReadyAt, this, [this](int index) {
        levels_.push_back(watcher_.resultAt(index));
        const QImage& level = levels_.back();
        complete_ = level.width() <= smallestSide && level.height() <= smallestSide;
        emit levelReady();
    });
    watcher_.setFuture(QtConcurrent::run(
        [picture = picture_, stop = &stop_](QPromise<QImage>& promise) { build(promise, picture, *stop); }));
}

PicturePyramid::~PicturePyramid()
{
    stop_ = true;
    watcher_.disconnect(this);
    watcher_.waitForFinished();
}

void PicturePyramid::build(QPromise<QImage>& promise, QImage picture, const std::atomic<bool>& stop)
{
    QImage level = std::move(picture);
    while (level.width() > smallestSide || level.height() > smallestSide) {
        level = halved(level, stop);
        if (level.isNull())
            return;
        promise.addResult(level);
    }
}

std::size_t PicturePyramid::levelFor(double factor) const
{
    // The smallest copy that still has a pixel for every screen pixel; 0 is the picture.
    std::size_t level = 0;
    while (level < levels_.size() && std::ldexp(1.0, -static_cast<int>(level) - 1) >= factor)
        ++level;
    return level;
}

void PicturePyramid::render(QPainter& painter, const QRectF& target, double factor, bool smooth) const
{
    const std::size_t level = levelFor(factor);
    const double scale = std::ldexp(1.0, -static_cast<int>(level));
    const QImage& image = level == 0 ? picture_ : levels_[level - 1];
    const double ratio = factor / scale;
    const QRectF source(target.x() / ratio, target.y() / ratio, target.width() / ratio, target.height() / ratio);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(target, image, source);
    painter.restore();
}

void PicturePyramid::paint(QPainter& painter, const QRect& target, double factor, const QRect& shown) const
{
    const QRect whole(0, 0, static_cast<int>(std::ceil(picture_.width() * factor)),
                      static_cast<int>(std::ceil(picture_.height() * factor)));
    const QRectF exact(0.0, 0.0, picture_.width() * factor, picture_.height() * factor);
    const QRect inside = target & whole;
    if (inside.isEmpty() || !(factor > 0.0))
        return;
    // At 100 % and at a copy's own scale: pixels are copied as they are, which is as fast
    // as painting gets.
    const bool zoomedIn = factor > 1.0;
    if (factor == 1.0 || (!zoomedIn && std::ldexp(1.0, -static_cast<int>(levelFor(factor))) == factor)) {
        render(painter, QRectF(inside).intersected(exact), factor, false);
        return;
    }
    // Until the reduced copies are made, a quick sampling of the picture: the first paint
    // of a large picture must not wait for a filtered one.
    if (levels_.empty() && factor < 0.5) {
        render(painter, QRectF(inside).intersected(exact), factor, false);
        return;
    }
    // Zoomed in (each pixel repeated as a square) or filtered: rendered once for the part on
    // show and a margin, then copied from there, so that a repaint costs about what one at
    // 100 % does.
    if (renderedFactor_ != factor || renderedLevels_ != levels_.size() || !renderedArea_.contains(inside)) {
        constexpr int margin = 256;
        const QRect area =
            (shown.isEmpty() ? inside : (shown | inside)).adjusted(-margin, -margin, margin, margin) & whole;
        rendered_ = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
        rendered_.fill(Qt::transparent);
        QPainter into(&rendered_);
        into.translate(-area.topLeft());
        render(into, QRectF(area).intersected(exact), factor, !zoomedIn);
        into.end();
        renderedArea_ = area;
        renderedFactor_ = factor;
        renderedLevels_ = levels_.size();
    }
    painter.drawImage(inside.topLeft(), rendered_, inside.translated(-renderedArea_.topLeft()));
}
