#include "desktop/PlotMarks.h"

#include "controller/PlotmeterManager.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace {

constexpr double ringRadius = 6.0;
constexpr double arm = 3.5;

template <typename Draw>
void forEachPointIn(const std::vector<DPoint>& points, const QRectF& area, int pictureHeight, Draw draw)
{
    for (const DPoint& point : points) {
        const double x = point.x;
        const double y = pictureHeight - point.y;
        if (std::isfinite(x) && std::isfinite(y) && area.contains(x, y))
            draw(QPointF(x, y));
    }
}

QColor toQColor(Colour c)
{
    return {c.red, c.green, c.blue};
}

} // namespace

void PlotMarks::drawMarker(QPainter& painter, MarkerShape shape, const QPointF& p)
{
    switch (shape) {
    case MarkerShape::cross:
        painter.drawLine(p + QPointF(-arm, -arm), p + QPointF(arm, arm));
        painter.drawLine(p + QPointF(-arm, arm), p + QPointF(arm, -arm));
        break;
    case MarkerShape::plus:
        painter.drawLine(p + QPointF(-arm - 1, 0), p + QPointF(arm + 1, 0));
        painter.drawLine(p + QPointF(0, -arm - 1), p + QPointF(0, arm + 1));
        break;
    case MarkerShape::circle:
        painter.drawEllipse(p, arm, arm);
        break;
    case MarkerShape::square:
        painter.drawRect(QRectF(p - QPointF(arm, arm), p + QPointF(arm, arm)));
        break;
    case MarkerShape::diamond:
        painter.drawPolygon(QPolygonF(
            {p + QPointF(0, -arm - 1), p + QPointF(arm + 1, 0), p + QPointF(0, arm + 1), p + QPointF(-arm - 1, 0)}));
        break;
    case MarkerShape::triangle:
        painter.drawPolygon(
            QPolygonF({p + QPointF(0, -arm - 1), p + QPointF(arm + 0.5, arm), p + QPointF(-arm - 0.5, arm)}));
        break;
    }
}

void PlotMarks::paint(QPainter& painter, const QRect& exposed, int pictureHeight) const
{
    const QRectF area = QRectF(exposed).adjusted(-ringRadius - 2, -ringRadius - 2, ringRadius + 2, ringRadius + 2);
    const Document& document = manager_.document();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);

    for (const Series& series : document.series()) {
        if (!series.look.visible)
            continue;
        painter.setPen(QPen(toQColor(series.look.colour), 1.5));
        forEachPointIn(series.points, area, pictureHeight,
                       [&](QPointF p) { drawMarker(painter, series.look.marker, p); });
    }

    std::vector<DPoint> calibration;
    calibration.reserve(document.calibration().size());
    for (const CalibrationPoint& point : document.calibration())
        calibration.push_back(point.screen);
    painter.setPen(QPen(QColor(220, 30, 30), 2.0));
    forEachPointIn(calibration, area, pictureHeight, [&](QPointF p) {
        painter.drawEllipse(p, ringRadius, ringRadius);
        painter.drawPoint(p);
    });
    painter.restore();
}
