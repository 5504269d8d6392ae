#include "desktop/picture/PlotMarks.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/PictureEditor.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr double ringRadius = 6.0;
constexpr double arm = 3.5;

using PointKind = PlotmeterManager::PointKind;

const QColor selectionColour(40, 140, 255, 150);

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

void PlotMarks::paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const
{
    const QRectF area = QRectF(exposed).adjusted(-ringRadius - 4, -ringRadius - 4, ringRadius + 4, ringRadius + 4);
    const Document& document = manager_.document();
    const bool calibrating = editor_.kindOnShow() == PointKind::calibration;
    const std::vector<std::size_t> selected = editor_.selectedRows();
    const std::optional<PictureEditor::Moving>& moving = editor_.moving();
    // Where a point is drawn: moved along while it is being dragged.
    const auto place = [&](PointKind kind, std::size_t row, DPoint p) {
        if (moving && moving->kind == kind && std::binary_search(moving->rows.begin(), moving->rows.end(), row))
            p = {p.x + moving->by.x, p.y + moving->by.y};
        const DPoint s = zoom.screenOf(p);
        return QPointF(s.x, s.y);
    };
    const auto visible = [&](QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()) && area.contains(p); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);

    // Halos first, under the marks.
    painter.setPen(QPen(selectionColour, 5.0));
    for (const std::size_t row : selected) {
        const std::optional<DPoint> p =
            calibrating
                ? (row < document.calibration().size() ? std::optional(document.calibration()[row].screen)
                                                       : std::nullopt)
                : (row < document.active().points.size() ? std::optional(document.active().points[row]) : std::nullopt);
        const QPointF at = p ? place(editor_.kindOnShow(), row, *p) : QPointF();
        if (p && visible(at))
            painter.drawEllipse(at, ringRadius + 3, ringRadius + 3);
    }

    for (std::size_t s = 0; s < document.series().size(); ++s) {
        const Series& series = document.series()[s];
        if (!series.look.visible)
            continue;
        const bool active = s == document.activeSeries();
        painter.setPen(QPen(toQColor(series.look.colour), 1.5));
        for (std::size_t row = 0; row < series.points.size(); ++row) {
            const DPoint p = series.points[row];
            const QPointF at =
                active ? place(PointKind::data, row, p) : QPointF(zoom.screenOf(p).x, zoom.screenOf(p).y);
            if (visible(at))
                drawMarker(painter, series.look.marker, at);
        }
    }

    painter.setPen(QPen(QColor(220, 30, 30), 2.0));
    for (std::size_t row = 0; row < document.calibration().size(); ++row) {
        const QPointF at = place(PointKind::calibration, row, document.calibration()[row].screen);
        if (!visible(at))
            continue;
        painter.drawEllipse(at, ringRadius, ringRadius);
        painter.drawPoint(at);
    }
    painter.restore();
}
