#include "desktop/panels/DataPlot.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/PlotMarks.h"
#include "view/GridTicks.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void add(double value)
    {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    bool valid() const { return low <= high; }
    // A little room either side; a single value gets a unit's width around it.
    Range padded() const
    {
        const double span = high - low;
        const double pad = span > 0.0 ? 0.04 * span : std::max(1.0, std::abs(low) * 0.1);
        return {low - pad, high + pad};
    }
};

// The transform the plot shows: while calibrating, the fit of the points typed so far.
std::optional<WorldMap> shownMap(const PlotmeterManager& manager)
{
    if (const std::optional<CalibrationCheck>& check = manager.calibrationCheck())
        return check->map;
    return manager.worldMap();
}

} // namespace

DataPlot::DataPlot(const PlotmeterManager& manager, QWidget* parent) : QWidget(parent), manager_(manager)
{
    setObjectName(QStringLiteral("dataPlot"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

void DataPlot::refresh()
{
    if (isVisible())
        update();
}

void DataPlot::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    shown_ = 0;
    const std::optional<WorldMap> map = shownMap(manager_);
    const auto say = [&](const QString& text) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
    };
    if (!map) {
        say(tr("Calibrate to see the digitized points here, in the plot's own units."));
        return;
    }
    // Every point of the series on show, in fit space (log10 on a log axis, seconds for dates).
    struct Shown {
        const Series* series;
        std::vector<QPointF> points;
    };
    std::vector<Shown> shown;
    Range xs, ys;
    for (const Series& series : manager_.document().series()) {
        if (!series.look.visible || series.points.empty())
            continue;
        Shown one{&series, {}};
        one.points.reserve(series.points.size());
        for (const DPoint& screen : series.points) {
            // Polar axes: the radius against the angle, each on its own scale.
            DPoint f = map->fit(screen);
            if (map->scales.polar) {
                f = map->world(screen);
                if (map->scales.y == AxisScale::log10)
                    f.y = std::log10(f.y);
            }
            if (!std::isfinite(f.x) || !std::isfinite(f.y))
                continue;
            xs.add(f.x);
            ys.add(f.y);
            one.points.emplace_back(f.x, f.y);
        }
        std::sort(one.points.begin(), one.points.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
        shown.push_back(std::move(one));
    }
    if (!xs.valid()) {
        say(tr("No points yet: double-click the curve, or extract it."));
        return;
    }
    const Range x = xs.padded(), y = ys.padded();
    const QFontMetrics metrics = painter.fontMetrics();
    const QRectF area = QRectF(rect()).adjusted(metrics.horizontalAdvance(QStringLiteral("-0.000e-00")) + 10, 8, -12,
                                                -(2 * metrics.height() + 6));
    if (area.width() < 20 || area.height() < 20)
        return;
    const auto place = [&](QPointF f) {
        return QPointF(area.left() + (f.x() - x.low) / (x.high - x.low) * area.width(),
                       area.bottom() - (f.y() - y.low) / (y.high - y.low) * area.height());
    };

    // The grid and its labels, on the axes' own scales.
    const AxisScales scales = map->scales;
    painter.setPen(QColor(225, 225, 225));
    const std::vector<double> xTicks = gridTicks(scales.x, x.low, x.high, std::max(2, int(area.width()) / 90));
    const std::vector<double> yTicks = gridTicks(scales.y, y.low, y.high, std::max(2, int(area.height()) / 45));
    for (const double tick : xTicks)
        painter.drawLine(place({tick, y.low}), place({tick, y.high}));
    for (const double tick : yTicks)
        painter.drawLine(place({x.low, tick}), place({x.high, tick}));
    painter.setPen(QColor(70, 70, 70));
    painter.drawRect(area);
    const double xSpacing = xTicks.size() > 1 ? xTicks[1] - xTicks[0] : 1.0;
    const double ySpacing = yTicks.size() > 1 ? yTicks[1] - yTicks[0] : 1.0;
    for (const double tick : xTicks) {
        const QString label = QString::fromStdString(gridLabel(scales.x, tick, xSpacing));
        const double at = place({tick, y.low}).x();
        painter.drawText(QRectF(at - 60, area.bottom() + 3, 120, metrics.height()), Qt::AlignHCenter, label);
    }
    for (const double tick : yTicks) {
        const QString label = QString::fromStdString(gridLabel(scales.y, tick, ySpacing));
        const double at = place({x.low, tick}).y();
        painter.drawText(QRectF(0, at - metrics.height() / 2.0, area.left() - 5, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }

    // Each series: a thin line through its points in the order of x, and its markers.
    painter.setClipRect(area.adjusted(-6, -6, 6, 6));
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Shown& one : shown) {
        const Colour c = one.series->look.colour;
        const QColor colour(c.red, c.green, c.blue);
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(one.points.size()));
        for (const QPointF& f : one.points)
            line << place(f);
        painter.setPen(QPen(QColor(colour.red(), colour.green(), colour.blue(), 110), 1.0));
        painter.drawPolyline(line);
        painter.setPen(QPen(colour, 1.3));
        painter.setBrush(Qt::NoBrush);
        // Many points: a marker would hide the next; a dot each.
        if (line.size() > 400) {
            painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
            painter.drawPoints(line);
        } else {
            for (const QPointF& p : line)
                PlotMarks::drawMarker(painter, one.series->look.marker, p);
        }
        shown_ += one.points.size();
    }
}
