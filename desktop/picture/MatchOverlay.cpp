#include "desktop/picture/MatchOverlay.h"

#include "extraction/ColourResolution.h"
#include "extraction/Overlay.h"
#include "extraction/Palette.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <vector>

namespace {

// At most this many cells: enough to see single pixels on any picture up to 4 megapixels.
constexpr double largestOverlay = 4e6;

// A colour far from the one extracted, so that the overlay stands out on the curve: bright
// green or magenta, neither of which a new series' marks are drawn in.
QRgb contrasting(Rgb colour)
{
    constexpr Rgb green{0, 200, 0};
    constexpr Rgb magenta{255, 0, 255};
    const Rgb shade = colourDifference(colour, green) > colourDifference(colour, magenta) ? green : magenta;
    return qRgb(shade.red, shade.green, shade.blue);
}

} // namespace

MatchOverlay::MatchOverlay(QObject* parent) : QObject(parent)
{
    connect(&watcher_, &QFutureWatcherBase::finished, this, &MatchOverlay::done);
}

MatchOverlay::~MatchOverlay()
{
    watcher_.disconnect(this);
    watcher_.waitForFinished();
}

void MatchOverlay::show(std::shared_ptr<const PicturePixels> picture, Rgb colour, double tolerance)
{
    Request request{std::move(picture), colour, tolerance};
    if (watcher_.isRunning())
        waiting_ = std::move(request);
    else
        start(std::move(request));
}

void MatchOverlay::clear()
{
    ++generation_;
    waiting_.reset();
    image_ = QImage();
    matching_ = 0;
    emit ready();
}

void MatchOverlay::start(Request request)
{
    started_ = ++generation_;
    watcher_.setFuture(QtConcurrent::run([request = std::move(request)] { return work(request); }));
}

void MatchOverlay::done()
{
    if (started_ == generation_ && watcher_.future().resultCount() > 0) {
        const Cells cells = watcher_.future().result();
        image_ = cells.image;
        block_ = cells.block;
        matching_ = cells.matching;
        emit ready();
    }
    if (waiting_) {
        Request next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
    }
}

MatchOverlay::Cells MatchOverlay::work(const Request& request)
{
    const PixelView pixels = request.picture->view();
    const double area = static_cast<double>(pixels.width) * pixels.height;
    Cells cells;
    cells.block = std::max(1, static_cast<int>(std::ceil(std::sqrt(area / largestOverlay))));
    const int block = cells.block;
    const PixelBox box{0, 0, pixels.width, pixels.height};
    const ColourMatch match(request.colour, backgroundColour(pixels, box), request.tolerance, colourSpread(pixels, box));
    const int columns = (pixels.width + block - 1) / block;
    const int rows = (pixels.height + block - 1) / block;
    std::vector<std::uint8_t> weights(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    matchOverlay(pixels, match, box, block, weights.data());

    cells.image = QImage(columns, rows, QImage::Format_ARGB32_Premultiplied);
    const QRgb shade = contrasting(request.colour);
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<QRgb*>(cells.image.scanLine(row));
        for (int column = 0; column < columns; ++column) {
            const int weight = weights[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                                       static_cast<std::size_t>(column)];
            cells.matching += weight > 0 ? 1 : 0;
            // Translucent: at most 70 % over a fully matching pixel.
            const int alpha = weight == 0 ? 0 : 60 + weight * 120 / 255;
            line[column] = qPremultiply(qRgba(qRed(shade), qGreen(shade), qBlue(shade), alpha));
        }
    }
    return cells;
}

void MatchOverlay::paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const
{
    if (image_.isNull())
        return;
    // A cell covers block x block picture pixels, whose top-left corner is at widget
    // position (column, row) x factor.
    const double scale = zoom.factor * block_;
    const QRectF cells = QRectF(QPointF(exposed.left() / scale, exposed.top() / scale),
                                QPointF((exposed.right() + 1) / scale, (exposed.bottom() + 1) / scale))
                             .intersected(QRectF(image_.rect()));
    if (cells.isEmpty())
        return;
    const QRectF whole(std::floor(cells.left()), std::floor(cells.top()),
                       std::ceil(cells.right()) - std::floor(cells.left()),
                       std::ceil(cells.bottom()) - std::floor(cells.top()));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(whole.left() * scale, whole.top() * scale, whole.width() * scale, whole.height() * scale),
                      image_, whole);
    painter.restore();
}
