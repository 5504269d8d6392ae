#include "desktop/picture/CalibrationGrid.h"

#include "controller/PlotmeterManager.h"
#include "view/GridTicks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// Teal lines, apart from the red calibration rings and from the series' colours at a
// glance, and light enough that the plot's own lines show through; the misfits in deep
// magenta, so that they stand out even along a grid line.
const QColor lineColour(0, 150, 150, 130);
const QColor misfitColour(170, 0, 170, 220);
const QColor misfitFill(255, 255, 255, 160);
const QColor labelColour(0, 90, 90);
const QColor labelBackground(255, 255, 255, 215);

// About one line every this many pixels of the picture; more would crowd the labels.
constexpr int pixelsPerXLine = 100;
constexpr int pixelsPerYLine = 70;
constexpr double diamond = 4.5; // inside a calibration ring when the fit is exact

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The part of segment a-b inside `r`; none when it misses.
std::optional<QLineF> clipped(QPointF a, QPointF b, const QRectF& r)
{
    const QPointF d = b - a;
    if (!isFinite(a) || !isFinite(b) || !isFinite(d))
        return std::nullopt;
    double enter = 0.0;
    double leave = 1.0;
    const double towards[4] = {-d.x(), d.x(), -d.y(), d.y()};
    const double room[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int side = 0; side < 4; ++side) {
        if (towards[side] == 0.0) {
            if (room[side] < 0.0)
                return std::nullopt;
            continue;
        }
        const double t = room[side] / towards[side];
        if (towards[side] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return std::nullopt;
    }
    return QLineF(a + enter * d, a + leave * d);
}

struct GridLine {
    QLineF segment; // inside the picture
    QString label;
};

// The fit-space rectangle that holds the whole picture, axis by axis (0 x, 1 y).
struct FitBox {
    double low[2];
    double high[2];
};

QPointF widgetOf(const PictureZoom& zoom, DPoint screen)
{
    const DPoint p = zoom.screenOf(screen);
    return {p.x, p.y};
}

// Lines at the round values of one world axis (0 x, 1 y), each straight across the box.
std::vector<GridLine> linesOf(int axis, const WorldMap& map, const FitBox& box, const QRectF& picture,
                              const PictureZoom& zoom, int wanted)
{
    const AxisScale scale = axis == 0 ? map.scales.x : map.scales.y;
    const int other = 1 - axis;
    const std::vector<double> ticks = gridTicks(scale, box.low[axis], box.high[axis], wanted);
    const double spacing = ticks.size() > 1 ? ticks[1] - ticks[0] : 0.0;
    const auto ends = [&](double tick, double across) {
        const DPoint fit = axis == 0 ? DPoint{tick, across} : DPoint{across, tick};
        return widgetOf(zoom, map.screenOfFit(fit));
    };
    std::vector<GridLine> lines;
    for (const double tick : ticks)
        if (const std::optional<QLineF> segment =
                clipped(ends(tick, box.low[other]), ends(tick, box.high[other]), picture))
            lines.push_back({*segment, QString::fromStdString(gridLabel(scale, tick, spacing))});
    return lines;
}

void label(QPainter& painter, const std::vector<GridLine>& lines, const QRectF& shown, std::vector<QRectF>& taken);

// "π/6", "π", "3π/2": a multiple of a twelfth of a turn in radians, as a user reads it.
QString radiansText(int twelfths)
{
    static const char* const texts[] = {"0",    "π/6",   "π/3",  "π/2",  "2π/3",  "5π/6",
                                        "π",    "7π/6",  "4π/3", "3π/2", "5π/3",  "11π/6"};
    return QString::fromUtf8(texts[twelfths % 12]);
}

// Polar axes: rings of round radius and a spoke every twelfth of a turn, from the centre to
// the farthest corner of the picture; each ring labelled where it crosses the spoke of
// angle zero, each spoke where it leaves the shown part.
void paintPolar(QPainter& painter, const WorldMap& map, const QRectF& area, const PictureZoom& zoom,
                const QRectF& shown, std::vector<QRectF>& taken)
{
    const PolarAxes& polar = *map.scales.polar;
    double reach = 0.0;
    for (const QPointF corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        const DPoint f = map.fit(zoom.pictureOf({corner.x(), corner.y()}));
        reach = std::max(reach, std::hypot(f.x, f.y));
    }
    if (!std::isfinite(reach) || !(reach > 0.0))
        return;
    const auto at = [&](double rho, double angleRadians) {
        const double theta = polar.clockwise ? -angleRadians : angleRadians;
        return widgetOf(zoom, map.screenOfFit({rho * std::cos(theta), rho * std::sin(theta)}));
    };
    const bool log = polar.radius == AxisScale::log10;
    const double centre = log ? std::log10(polar.radiusAtCentre) : polar.radiusAtCentre;
    const std::vector<double> rings = gridTicks(polar.radius, centre, centre + reach, 6);
    const double spacing = rings.size() > 1 ? rings[1] - rings[0] : 0.0;
    for (const double ring : rings) {
        const double rho = ring - centre;
        if (!(rho > 0.0))
            continue;
        QPolygonF circle;
        for (int step = 0; step <= 180; ++step)
            circle << at(rho, step * 2.0 * std::numbers::pi / 180.0);
        painter.drawPolyline(circle);
        const QString text = QString::fromStdString(gridLabel(polar.radius, ring, spacing));
        const QPointF where = at(rho, 0.0);
        const QSizeF size(painter.fontMetrics().horizontalAdvance(text) + 6.0, painter.fontMetrics().height() + 2.0);
        const QRectF box(where + QPointF(3, 3), size);
        if (shown.contains(box) &&
            std::none_of(taken.begin(), taken.end(), [&](const QRectF& other) { return other.intersects(box); })) {
            taken.push_back(box);
            painter.save();
            painter.setBrush(labelBackground);
            painter.drawRoundedRect(box, 3, 3);
            painter.setPen(labelColour);
            painter.drawText(box, Qt::AlignCenter, text);
            painter.restore();
        }
    }
    std::vector<GridLine> spokes;
    for (int twelfth = 0; twelfth < 12; ++twelfth) {
        const double angle = twelfth * std::numbers::pi / 6.0;
        if (const std::optional<QLineF> segment = clipped(at(0.0, angle), at(reach, angle), area))
            spokes.push_back({*segment, polar.angle == AngleUnit::degrees ? QString::number(30 * twelfth)
                                                                          : radiansText(twelfth)});
    }
    for (const GridLine& spoke : spokes)
        painter.drawLine(spoke.segment);
    label(painter, spokes, shown, taken);
}

// Writes each line's label where it leaves the shown part of the picture: at the bottom for
// a line that runs more up than across, else at the left; skipped where it would cover one
// already written.
void label(QPainter& painter, const std::vector<GridLine>& lines, const QRectF& shown, std::vector<QRectF>& taken)
{
    const QFontMetricsF metrics(painter.font());
    for (const GridLine& line : lines) {
        const std::optional<QLineF> part = clipped(line.segment.p1(), line.segment.p2(), shown);
        if (!part || part->length() < 1.0)
            continue;
        const bool upright = std::abs(part->dx()) <= std::abs(part->dy());
        const QPointF end = upright ? (part->p1().y() > part->p2().y() ? part->p1() : part->p2())
                                    : (part->p1().x() < part->p2().x() ? part->p1() : part->p2());
        const QSizeF size(metrics.horizontalAdvance(line.label) + 6.0, metrics.height() + 2.0);
        QRectF box = upright ? QRectF(QPointF(end.x() - size.width() / 2, end.y() - size.height() - 2), size)
                             : QRectF(QPointF(end.x() + 2, end.y() - size.height() / 2), size);
        box.moveLeft(
            std::clamp(box.left(), shown.left() + 1, std::max(shown.left() + 1, shown.right() - size.width() - 1)));
        box.moveTop(
            std::clamp(box.top(), shown.top() + 1, std::max(shown.top() + 1, shown.bottom() - size.height() - 1)));
        const QRectF room = box.adjusted(-3, -2, 3, 2);
        if (std::any_of(taken.begin(), taken.end(), [&](const QRectF& other) { return other.intersects(room); }))
            continue;
        taken.push_back(box);
        painter.setPen(QPen(lineColour, 1.0));
        painter.setBrush(labelBackground);
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(labelColour);
        painter.drawText(box, Qt::AlignCenter, line.label);
    }
}

} // namespace

void CalibrationGrid::paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom, QSizeF picture,
                            const QRect& visible) const
{
    // While calibrating, the fit of the points typed so far, following every change; else
    // the transform in force.
    const std::optional<CalibrationCheck>& checked = manager_.calibrationCheck();
    const std::optional<WorldMap> map = checked ? std::optional<WorldMap>(checked->map) : manager_.worldMap();
    if (!map || picture.isEmpty())
        return;
    const QRectF area(QPointF(0, 0), picture * zoom.factor);
    // Thin lines, clipped to the exposed part of the picture; each use ends with restore().
    const auto beginLines = [&] {
        painter.save();
        painter.setClipRect(QRectF(exposed).intersected(area), Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(lineColour, 1.0);
        pen.setCosmetic(true);
        painter.setPen(pen);
    };
    if (map->scales.polar) {
        beginLines();
        const QRectF shown = QRectF(visible).intersected(area);
        std::vector<QRectF> taken;
        paintPolar(painter, *map, area, zoom, shown.isEmpty() ? area : shown, taken);
        painter.restore();
        paintMisfits(painter, zoom, area);
        return;
    }

    FitBox box{{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
               {-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}};
    for (const QPointF corner : {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
        const DPoint f = map->fit(zoom.pictureOf({corner.x(), corner.y()}));
        if (!std::isfinite(f.x) || !std::isfinite(f.y))
            return;
        box.low[0] = std::min(box.low[0], f.x);
        box.high[0] = std::max(box.high[0], f.x);
        box.low[1] = std::min(box.low[1], f.y);
        box.high[1] = std::max(box.high[1], f.y);
    }
    const std::vector<GridLine> xLines =
        linesOf(0, *map, box, area, zoom, std::max(2, static_cast<int>(area.width()) / pixelsPerXLine));
    const std::vector<GridLine> yLines =
        linesOf(1, *map, box, area, zoom, std::max(2, static_cast<int>(area.height()) / pixelsPerYLine));

    beginLines();
    for (const std::vector<GridLine>* lines : {&xLines, &yLines})
        for (const GridLine& line : *lines)
            painter.drawLine(line.segment);

    paintMisfits(painter, zoom, area);
    const QRectF shown = QRectF(visible).intersected(area);
    std::vector<QRectF> taken;
    label(painter, xLines, shown.isEmpty() ? area : shown, taken);
    label(painter, yLines, shown.isEmpty() ? area : shown, taken);
    painter.restore();
}

// Where the fit puts each calibration point's typed values, joined to where it was clicked.
void CalibrationGrid::paintMisfits(QPainter& painter, const PictureZoom& zoom, const QRectF& area) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (const std::optional<CalibrationCheck>& check = manager_.calibrationCheck()) {
        const std::vector<CalibrationPoint>& calibration = manager_.document().calibration();
        painter.setPen(QPen(misfitColour, 1.5));
        painter.setBrush(misfitFill);
        for (std::size_t k = 0; k < check->rows.size() && k < check->report.points.size(); ++k) {
            if (check->rows[k] >= calibration.size())
                continue;
            const QPointF clicked = widgetOf(zoom, calibration[check->rows[k]].screen);
            const QPointF typed = widgetOf(zoom, check->report.points[k].typedAt);
            if (!isFinite(clicked) || !isFinite(typed) || !area.adjusted(-50, -50, 50, 50).contains(typed))
                continue;
            painter.drawLine(clicked, typed);
            painter.drawPolygon(QPolygonF({typed + QPointF(0, -diamond), typed + QPointF(diamond, 0),
                                           typed + QPointF(0, diamond), typed + QPointF(-diamond, 0)}));
        }
    }
    painter.restore();
}
