#include "desktop/picture/Magnifier.h"

#include "platform/NumberText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int lensHeight = 150;
constexpr int lensMinimumWidth = 160;

QString coordinate(double value)
{
    return QString::fromStdString(readoutNumber(value));
}

} // namespace

Magnifier::Magnifier(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("magnifier"));
    lens_ = new QWidget(this);
    lens_->setObjectName(QStringLiteral("magnifierLens"));
    lens_->setMinimumSize(lensMinimumWidth, lensHeight);
    lens_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    lens_->setAttribute(Qt::WA_OpaquePaintEvent);
    lens_->installEventFilter(this);

    factor_ = new QSpinBox(lens_);
    factor_->setObjectName(QStringLiteral("magnifierFactor"));
    factor_->setRange(2, 16);
    factor_->setValue(6);
    factor_->setSuffix(QStringLiteral("×"));
    factor_->setToolTip(tr("Enlargement: screen pixels for each pixel of the picture"));
    connect(factor_, &QSpinBox::valueChanged, lens_, qOverload<>(&QWidget::update));

    auto* corner = new QHBoxLayout(lens_);
    corner->setContentsMargins(4, 4, 4, 4);
    corner->addStretch(1);
    corner->addWidget(factor_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lens_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(lensHeight + 4); // the panels below it take what height there is
}

void Magnifier::setPicture(const QImage& picture)
{
    picture_ = picture;
    point_.reset();
    lens_->update();
}

void Magnifier::showAt(std::optional<DPoint> point)
{
    if (picture_.isNull())
        point.reset();
    point_ = point;
    lens_->update();
}

int Magnifier::enlargement() const
{
    return factor_->value();
}

void Magnifier::setEnlargement(int factor)
{
    factor_->setValue(factor);
}

bool Magnifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lens_ && event->type() == QEvent::Paint) {
        paintLens(*lens_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The cursor's point at the lens's centre: the picture pixel whose centre is at picture
// coordinate c spans [c - 0.5, c + 0.5].
void Magnifier::paintLens(QWidget& lens)
{
    QPainter painter(&lens);
    const QRectF area = lens.rect();
    painter.fillRect(area, palette().color(QPalette::Dark));
    if (!point_)
        return;
    const double scale = factor_->value();
    const QPointF centre = area.center();
    const QPointF at(point_->x + 0.5, picture_.height() + 0.5 - point_->y);
    const QRectF source(at - centre / scale, area.size() / scale);
    const QRectF inside = source.intersected(QRectF(picture_.rect()));
    if (!inside.isEmpty())
        painter.drawImage(QRectF((inside.topLeft() - source.topLeft()) * scale, inside.size() * scale), picture_,
                          inside);

    // A cross-hair with a gap at the point itself, dark over light and light over dark.
    for (const auto& [colour, width] :
         {std::pair{QColor(255, 255, 255, 200), 3.0}, std::pair{QColor(200, 0, 0), 1.0}}) {
        painter.setPen(QPen(colour, width));
        const double gap = scale / 2 + 2;
        painter.drawLine(QPointF(area.left(), centre.y()), centre - QPointF(gap, 0));
        painter.drawLine(centre + QPointF(gap, 0), QPointF(area.right(), centre.y()));
        painter.drawLine(QPointF(centre.x(), area.top()), centre - QPointF(0, gap));
        painter.drawLine(centre + QPointF(0, gap), QPointF(centre.x(), area.bottom()));
    }
    // The point's coordinates in the lens's lower-left corner: one repaint a mouse move.
    const QString where = tr("x %1  y %2").arg(coordinate(point_->x), coordinate(point_->y));
    const QRectF box = QRectF(painter.fontMetrics().boundingRect(where)).adjusted(-3, -1, 3, 1);
    const QRectF placed(area.left() + 2, area.bottom() - box.height() - 2, box.width(), box.height());
    painter.fillRect(placed, QColor(255, 255, 255, 210));
    painter.setPen(Qt::black);
    painter.drawText(placed, Qt::AlignCenter, where);
}
