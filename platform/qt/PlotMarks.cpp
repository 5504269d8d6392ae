#include "platform/qt/PlotMarks.h"

#include "controller/PlotmeterManager.h"

#include <QPainter>
#include <cmath>

namespace {

constexpr double ringRadius = 6.0;
constexpr double crossArm = 3.5;

template <typename Draw> void forEachPointIn(const PointTable* table, const QRectF& area, int pictureHeight, Draw draw)
{
    if (table == nullptr)
        return;
    for (int row = 0; row < table->numberOfRows(); ++row) {
        const double x = table->cellAtRow(row, 0).floatValue();
        const double y = pictureHeight - static_cast<double>(table->cellAtRow(row, 1).floatValue());
        if (std::isfinite(x) && std::isfinite(y) && area.contains(x, y))
            draw(QPointF(x, y));
    }
}

} // namespace

void PlotMarks::paint(QPainter& painter, const QRect& exposed, int pictureHeight) const
{
    const QRectF area = QRectF(exposed).adjusted(-ringRadius - 2, -ringRadius - 2, ringRadius + 2, ringRadius + 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(QColor(0, 70, 200), 1.5));
    forEachPointIn(manager_.acquireMatrix(), area, pictureHeight, [&](QPointF p) {
        painter.drawLine(p + QPointF(-crossArm, -crossArm), p + QPointF(crossArm, crossArm));
        painter.drawLine(p + QPointF(-crossArm, crossArm), p + QPointF(crossArm, -crossArm));
    });

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 30, 30), 2.0));
    forEachPointIn(manager_.calMatrix(), area, pictureHeight, [&](QPointF p) {
        painter.drawEllipse(p, ringRadius, ringRadius);
        painter.drawPoint(p);
    });
    painter.restore();
}
