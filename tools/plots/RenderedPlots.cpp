#include "plots/RenderedPlots.h"

#include <QBuffer>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <utility>

namespace {

// The truth's polyline is this fine in plot x; its chords stray from the analytic curve by
// far less than a thousandth of a pixel.
constexpr double truthStep = 0.1;
// The drawn polyline: fine enough that the stroke follows the curve to a thousandth of a
// pixel, coarse enough to draw quickly.
constexpr double drawStep = 0.5;

Rgb rgbOf(const QColor& colour)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

const QColor red(0xd6, 0x27, 0x28);
const QColor blue(0x1f, 0x77, 0xb4);
const QColor majorGrid(0xb0, 0xb0, 0xb0);
const QColor minorGrid(0xd9, 0xd9, 0xd9);

// The layout shared by both kinds of plot: a frame centred in the picture, sized in
// proportion to it, and the transforms from plot coordinates (origin at the frame's centre,
// y up) to the painter's and to the extraction's pixel coordinates.
struct Layout {
    double unit = 1.0;      // pixels per pixel of the 800 x 600 design
    double halfWidth = 0.0; // of the frame, along its own axes
    double halfHeight = 0.0;
    QTransform plotToPainter;
    QTransform plotToPixels;
    PixelBox plotArea;
    AxisDirections axes;

    Layout(int width, int height, double rotation)
    {
        unit = std::min(width / 800.0, height / 600.0);
        halfWidth = width / 2.0 - 45.0 * unit;
        halfHeight = height / 2.0 - 35.0 * unit;
        plotToPainter.translate(width / 2.0, height / 2.0);
        plotToPainter.rotate(rotation);
        plotToPainter.scale(1.0, -1.0);
        // QPainter's pixel (c, r) spans [c, c + 1] x [r, r + 1]: its centre is half a pixel
        // right of and below the extraction's (c, r).
        plotToPixels = plotToPainter * QTransform::fromTranslate(-0.5, -0.5);

        const QPointF origin = plotToPixels.map(QPointF(0.0, 0.0));
        const QPointF along = plotToPixels.map(QPointF(1.0, 0.0)) - origin;
        const QPointF across = plotToPixels.map(QPointF(0.0, 1.0)) - origin;
        axes = {{along.x(), along.y()}, {across.x(), across.y()}};

        // The largest upright box centred in the (possibly turned) frame whose corners keep
        // 3 px from the frame's line: solves A cos t + B sin t = a, A sin t + B cos t = b.
        const double turn = rotation * std::numbers::pi / 180.0;
        const double c = std::cos(turn), s = std::abs(std::sin(turn));
        const double a = halfWidth - 3.0, b = halfHeight - 3.0;
        const double determinant = c * c - s * s;
        const double boxHalfWidth = (a * c - b * s) / determinant;
        const double boxHalfHeight = (b * c - a * s) / determinant;
        // Whole painter pixels inside the box.
        plotArea = {static_cast<int>(std::ceil(width / 2.0 - boxHalfWidth)),
                    static_cast<int>(std::ceil(height / 2.0 - boxHalfHeight)),
                    static_cast<int>(std::floor(width / 2.0 + boxHalfWidth)),
                    static_cast<int>(std::floor(height / 2.0 + boxHalfHeight))};
    }

    PixelPoint toPixels(QPointF plot) const
    {
        const QPointF p = plotToPixels.map(plot);
        return {p.x(), p.y()};
    }
};

QImage blankPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void drawGridAndFrame(QPainter& painter, const Layout& layout, bool grid)
{
    const double a = layout.halfWidth, b = layout.halfHeight;
    const auto gridLines = [&](double spacing, const QColor& colour, double shift) {
        painter.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::FlatCap));
        for (double x = -a + spacing * shift; x < a; x += spacing)
            painter.drawLine(QPointF(x, -b), QPointF(x, b));
        for (double y = -b + spacing * 0.8 * shift; y < b; y += spacing * 0.8)
            painter.drawLine(QPointF(-a, y), QPointF(a, y));
    };
    const double spacing = 100.0 * layout.unit;
    if (grid) {
        gridLines(spacing, minorGrid, 0.5);
        gridLines(spacing, majorGrid, 1.0);
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(-a, -b, 2.0 * a, 2.0 * b));
}

// The stroke as one simple polygon: the curve moved half the pen's width each way along
// its normal, with flat ends. QPainter's own stroke of a long polyline overlaps itself at
// every joint, and its anti-aliasing then counts partly covered pixels twice; a simple
// polygon is covered exactly.
void drawCurve(QPainter& painter, const CurveShape& shape, double first, double last, const QColor& colour,
               double penWidth)
{
    const int steps = static_cast<int>(std::ceil((last - first) / drawStep));
    QPolygonF band(2 * (steps + 1));
    for (int i = 0; i <= steps; ++i) {
        const double x = std::min(last, first + i * drawStep);
        const double slope = shape.slopeAt(x);
        const QPointF normal = QPointF(-slope, 1.0) * (0.5 * penWidth / std::hypot(slope, 1.0));
        const QPointF centre(x, shape.value(x));
        band[i] = centre + normal;
        band[2 * (steps + 1) - 1 - i] = centre - normal;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(band);
}

double uniform(std::mt19937& random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

} // namespace

double CurveShape::value(double x) const
{
    return offset + slope * x + amplitude * std::sin(frequency * x + phase);
}

double CurveShape::slopeAt(double x) const
{
    return slope + amplitude * frequency * std::cos(frequency * x + phase);
}

CurveTruth::CurveTruth(CurveShape shape, double first, double last, double penWidth, const QTransform& plotToPixels)
    : shape_(shape), first_(first), last_(last), penWidth_(penWidth), plotToPixels_(plotToPixels),
      pixelsToPlot_(plotToPixels.inverted())
{
    const auto steps = static_cast<std::size_t>(std::ceil((last - first) / truthStep));
    xs_.reserve(steps + 1);
    ys_.reserve(steps + 1);
    for (std::size_t i = 0; i <= steps; ++i) {
        const double x = std::min(last, first + static_cast<double>(i) * truthStep);
        xs_.push_back(x);
        ys_.push_back(shape.value(x));
    }
}

bool CurveTruth::overlaps(const CurveTruth& other, double x) const
{
    if (other.xs_.empty() || x < other.first_ || x > other.last_)
        return false;
    // Half of each stroke's extent along the cut, and a pixel of anti-aliasing.
    const auto halfCut = [x](const CurveTruth& curve) {
        return 0.5 * curve.penWidth_ * std::hypot(1.0, curve.shape_.slopeAt(x));
    };
    return std::abs(shape_.value(x) - other.shape_.value(x)) < halfCut(*this) + halfCut(other) + 1.0;
}

PixelPoint CurveTruth::at(double x) const
{
    const QPointF p = plotToPixels_.map(QPointF(x, shape_.value(x)));
    return {p.x(), p.y()};
}

CurveTruth::Nearest CurveTruth::nearest(PixelPoint point, double reach) const
{
    if (xs_.empty())
        return {std::numeric_limits<double>::infinity(), 0.0};
    // Plot coordinates keep distances (the transform only turns and moves).
    const QPointF p = pixelsToPlot_.map(QPointF(point.column, point.row));
    // An upper bound to start from: straight up or down to the curve, or to its nearer end.
    Nearest best;
    if (p.x() >= first_ && p.x() <= last_) {
        best = {std::abs(shape_.value(p.x()) - p.y()), p.x()};
    } else {
        const double end = p.x() < first_ ? first_ : last_;
        best = {std::hypot(p.x() - end, p.y() - shape_.value(end)), end};
    }
    // The nearest point is no further along x than the bound.
    const double window = std::min(best.distance, reach);
    const auto index = [&](double x) {
        return std::clamp((x - first_) / truthStep, 0.0, static_cast<double>(xs_.size() - 1));
    };
    const auto from = static_cast<std::size_t>(std::floor(index(p.x() - window)));
    const auto to = static_cast<std::size_t>(std::ceil(index(p.x() + window)));
    for (std::size_t i = from; i < to; ++i) {
        const double dx = xs_[i + 1] - xs_[i], dy = ys_[i + 1] - ys_[i];
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0.0 ? std::clamp(((p.x() - xs_[i]) * dx + (p.y() - ys_[i]) * dy) / length2, 0.0, 1.0) : 0.0;
        const double x = xs_[i] + t * dx, y = ys_[i] + t * dy;
        const double distance = std::hypot(p.x() - x, p.y() - y);
        if (distance < best.distance)
            best = {distance, x};
    }
    return best;
}

LinePlot renderLinePlot(const LinePlotOptions& options)
{
    const Layout layout(options.width, options.height, options.rotation);
    std::mt19937 random(options.seed);
    const double u = layout.unit;
    const double first = -layout.halfWidth + 40.0 * u, last = layout.halfWidth - 40.0 * u;

    // Two to two and a half waves over the range, steepest at a slope of about 2.
    CurveShape shape;
    shape.slope = uniform(random, -0.3, 0.3);
    shape.offset = uniform(random, -15.0, 15.0) * u;
    shape.amplitude = 70.0 * u;
    shape.frequency = 2.0 * std::numbers::pi * uniform(random, 1.8, 2.6) / (last - first);
    shape.phase = uniform(random, 0.0, 2.0 * std::numbers::pi);
    // Within a fraction of the amplitude of the first curve's middle line, so it crosses it
    // at least twice every wave.
    CurveShape otherShape;
    otherShape.slope = shape.slope;
    otherShape.offset = shape.offset + uniform(random, -0.3, 0.3) * shape.amplitude;
    otherShape.amplitude = 0.25 * shape.amplitude;
    otherShape.frequency = 0.5 * shape.frequency;
    otherShape.phase = uniform(random, 0.0, 2.0 * std::numbers::pi);
    if (options.levelCurve)
        shape = {options.levelOffset, 0.0, 0.0, 0.0, 0.0};

    LinePlot plot;
    plot.image = blankPicture(options.width, options.height);
    plot.curveColour = rgbOf(red);
    plot.otherColour = rgbOf(blue);
    plot.background = rgbOf(QColor(Qt::white));
    plot.plotArea = layout.plotArea;
    plot.axes = layout.axes;
    plot.curve = CurveTruth(shape, first, last, options.penWidth, layout.plotToPixels);
    {
        QPainter painter(&plot.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(layout.plotToPainter);
        drawGridAndFrame(painter, layout, options.grid);
        drawCurve(painter, shape, first, last, red, options.penWidth);
        if (options.secondCurve) {
            drawCurve(painter, otherShape, first, last, blue, options.penWidth);
            plot.other = CurveTruth(otherShape, first, last, options.penWidth, layout.plotToPixels);
        }
    }
    return plot;
}

MarkerPlot renderMarkerPlot(const MarkerPlotOptions& options)
{
    const Layout layout(options.width, options.height, 0.0);
    std::mt19937 random(options.seed);

    struct Marker {
        QPointF centre;
        double diameter;
        bool square;
        bool other;
        double reach() const { return square ? diameter / std::numbers::sqrt2 : diameter / 2.0; }
    };
    // Random places inside the frame, 3 px clear of each other's edges (anti-aliasing
    // spreads an edge by at most a pixel) and 6 px clear of the frame, so 3 px inside the
    // plot area.
    std::vector<Marker> placed;
    const int wanted = options.markers + options.otherMarkers;
    for (int attempt = 0; static_cast<int>(placed.size()) < wanted && attempt < 1000 * wanted; ++attempt) {
        const int n = static_cast<int>(placed.size());
        Marker marker{{}, uniform(random, 5.0, 9.0), options.squares && n % 3 == 2, n >= options.markers};
        const double margin = marker.reach() + 6.0;
        marker.centre = {uniform(random, -layout.halfWidth + margin, layout.halfWidth - margin),
                         uniform(random, -layout.halfHeight + margin, layout.halfHeight - margin)};
        const bool clear = std::none_of(placed.begin(), placed.end(), [&](const Marker& other) {
            const QPointF d = other.centre - marker.centre;
            return std::hypot(d.x(), d.y()) < marker.reach() + other.reach() + 3.0;
        });
        if (clear)
            placed.push_back(marker);
    }

    MarkerPlot plot;
    plot.image = blankPicture(options.width, options.height);
    plot.markerColour = rgbOf(red);
    plot.otherColour = rgbOf(blue);
    plot.background = rgbOf(QColor(Qt::white));
    plot.plotArea = layout.plotArea;
    plot.axes = layout.axes;
    QPainter painter(&plot.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(layout.plotToPainter);
    drawGridAndFrame(painter, layout, options.grid);
    painter.setPen(Qt::NoPen);
    for (const Marker& marker : placed) {
        painter.setBrush(marker.other ? blue : red);
        const double r = marker.square ? marker.diameter * 0.45 : marker.diameter / 2.0;
        if (marker.square)
            painter.drawRect(QRectF(marker.centre - QPointF(r, r), QSizeF(2.0 * r, 2.0 * r)));
        else
            painter.drawEllipse(marker.centre, r, r);
        if (!marker.other) {
            plot.centres.push_back(layout.toPixels(marker.centre));
            plot.sizes.push_back(2.0 * r);
        }
    }
    painter.end();
    return plot;
}

QByteArray encodedPicture(const QImage& image, Encoding encoding)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (encoding == Encoding::png)
        image.save(&buffer, "PNG");
    else
        image.save(&buffer, "JPG", 75);
    return bytes;
}

QImage decodedPicture(const QByteArray& bytes)
{
    return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
}

QImage roundTrip(const QImage& image, Encoding encoding)
{
    return decodedPicture(encodedPicture(image, encoding));
}

const char* encodingName(Encoding encoding)
{
    return encoding == Encoding::png ? "PNG" : "JPEG q75";
}

PixelView pixelViewOf(const QImage& image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        return {};
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
            static_cast<std::ptrdiff_t>(image.bytesPerLine() / 4)};
}

LineFigures lineFigures(const std::vector<PixelPoint>& points, const LinePlot& plot)
{
    const CurveTruth& curve = plot.curve;
    LineFigures figures;
    figures.points = points.size();
    if (points.empty()) {
        figures.rms = figures.worst = std::numeric_limits<double>::quiet_NaN();
        return figures;
    }
    double sumOfSquares = 0.0;
    std::vector<double> along;
    for (const PixelPoint& point : points) {
        const CurveTruth::Nearest nearest = curve.nearest(point);
        sumOfSquares += nearest.distance * nearest.distance;
        figures.worst = std::max(figures.worst, nearest.distance);
        if (nearest.distance > offCurveDistance)
            ++figures.offCurve;
        else
            along.push_back(nearest.x);
    }
    figures.rms = std::sqrt(sumOfSquares / static_cast<double>(points.size()));

    // Sampled finely along the range: each sample visible or not, covered or not.
    std::sort(along.begin(), along.end());
    constexpr double half = 1.5, sampleStep = 0.05;
    const auto samples = static_cast<std::size_t>(std::floor((curve.last() - curve.first()) / sampleStep)) + 1;
    std::size_t visible = 0, covered = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        const double x = curve.first() + static_cast<double>(i) * sampleStep;
        if (curve.overlaps(plot.other, x))
            continue;
        ++visible;
        const auto next = std::lower_bound(along.begin(), along.end(), x);
        if ((next != along.end() && *next - x <= half) || (next != along.begin() && x - *(next - 1) <= half))
            ++covered;
    }
    figures.coverage = visible > 0 ? static_cast<double>(covered) / static_cast<double>(visible) : 0.0;
    figures.hidden = 1.0 - static_cast<double>(visible) / static_cast<double>(samples);
    return figures;
}

MarkerFigures markerFigures(const std::vector<PixelPoint>& points, const std::vector<PixelPoint>& centres)
{
    constexpr double matchDistance = 2.0;
    struct Pair {
        double distance;
        std::size_t point, centre;
    };
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = 0; j < centres.size(); ++j) {
            const double d = std::hypot(points[i].column - centres[j].column, points[i].row - centres[j].row);
            if (d <= matchDistance)
                pairs.push_back({d, i, j});
        }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.distance < b.distance; });
    std::vector<bool> pointUsed(points.size()), centreUsed(centres.size());
    MarkerFigures figures;
    figures.truth = centres.size();
    double sumOfSquares = 0.0;
    for (const Pair& pair : pairs) {
        if (pointUsed[pair.point] || centreUsed[pair.centre])
            continue;
        pointUsed[pair.point] = centreUsed[pair.centre] = true;
        ++figures.matched;
        sumOfSquares += pair.distance * pair.distance;
    }
    figures.falsePoints = points.size() - figures.matched;
    figures.rms = figures.matched > 0 ? std::sqrt(sumOfSquares / static_cast<double>(figures.matched))
                                      : std::numeric_limits<double>::quiet_NaN();
    return figures;
}
