#include "desktop/picture/PictureNavigation.h"

#include "controller/PlotmeterManager.h"
#include "desktop/picture/Magnifier.h"
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/picture/ReadoutText.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollArea>
#include <QStatusBar>
#include <cmath>

namespace {

constexpr FloatingPointFormat readoutFormat{true, 4, 2};

QString worldText(AxisScale scale, double value)
{
    if (scale == AxisScale::date)
        return QString::fromStdString(showWorldValue(scale, std::round(value)));
    return QString::fromStdString(formatCellNumber(value, readoutFormat)).trimmed();
}

QAction* addAction(QMenu& menu, const QString& text, const QString& name, const QList<QKeySequence>& keys)
{
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    // Whatever has the focus in the window, the tables included.
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

PictureNavigation::PictureNavigation(const PlotmeterManager& manager, QScrollArea& area, QMenu& viewMenu,
                                     QStatusBar& statusBar, Magnifier& magnifier, QMainWindow& window)
    : QObject(&window), manager_(manager), area_(area), magnifier_(magnifier)
{
    viewMenu.addSeparator();
    zoomIn_ = addAction(viewMenu, tr("Zoom &In"), QStringLiteral("actionZoomIn"),
                        {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    zoomOut_ =
        addAction(viewMenu, tr("Zoom &Out"), QStringLiteral("actionZoomOut"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    actualSize_ = addAction(viewMenu, tr("&Actual Size"), QStringLiteral("actionActualSize"),
                            {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_0)});
    fitToWindow_ = addAction(viewMenu, tr("&Fit to Window"), QStringLiteral("actionFitToWindow"),
                             {QKeySequence(Qt::CTRL | Qt::Key_0)});
    for (QAction* action : {zoomIn_, zoomOut_, actualSize_, fitToWindow_})
        window.addAction(action);

    connect(zoomIn_, &QAction::triggered, this, [this] { zoomAboutCursor(2.0); });
    connect(zoomOut_, &QAction::triggered, this, [this] { zoomAboutCursor(0.5); });
    connect(actualSize_, &QAction::triggered, this, [this] {
        if (widget_ != nullptr)
            widget_->setZoom(1.0);
    });
    connect(fitToWindow_, &QAction::triggered, this, [this] {
        if (widget_ != nullptr)
            widget_->zoomToFit();
    });

    zoomLabel_ = new QLabel(&statusBar);
    zoomLabel_->setObjectName(QStringLiteral("zoomLevel"));
    pointerLabel_ = new ReadoutText(56, 1, &statusBar);
    pointerLabel_->setObjectName(QStringLiteral("pointerReadout"));
    statusBar.addPermanentWidget(pointerLabel_);
    statusBar.addPermanentWidget(zoomLabel_);
    for (QAction* action : {zoomIn_, zoomOut_, actualSize_, fitToWindow_})
        action->setEnabled(false);
}

void PictureNavigation::follow(PlotImageWidget& widget)
{
    widget_ = &widget;
    connect(&widget, &PlotImageWidget::zoomChanged, this, &PictureNavigation::showZoom);
    connect(&widget, &PlotImageWidget::pointerMoved, this, [this](DPoint p) { pointerAt(p); });
    connect(&widget, &PlotImageWidget::pointerLeft, this, [this] { pointerAt(std::nullopt); });
    magnifier_.setPicture(widget.pyramid() != nullptr ? widget.pyramid()->picture() : QImage());
    for (QAction* action : {zoomIn_, zoomOut_, actualSize_, fitToWindow_})
        action->setEnabled(widget.pyramid() != nullptr);
    showZoom(widget.zoom().factor);
    pointerAt(std::nullopt);
}

void PictureNavigation::zoomAboutCursor(double ratio)
{
    if (widget_ == nullptr)
        return;
    const QPoint cursor = area_.viewport()->mapFromGlobal(QCursor::pos());
    const bool over = area_.viewport()->rect().contains(cursor);
    widget_->setZoom(widget_->zoom().factor * ratio,
                     over ? std::optional(QPointF(cursor) + QPointF(0.5, 0.5)) : std::nullopt);
}

void PictureNavigation::showZoom(double factor)
{
    const double percent = factor * 100.0;
    const int decimals = percent >= 10.0 ? 0 : 1;
    zoomLabel_->setText(tr("Zoom %1%").arg(QString::number(percent, 'f', decimals)));
}

QString PictureNavigation::readout(DPoint picture) const
{
    QString text =
        tr("x %1, y %2")
            .arg(QString::fromStdString(readoutNumber(picture.x)), QString::fromStdString(readoutNumber(picture.y)));
    if (const std::optional<WorldMap>& map = manager_.worldMap()) {
        const DPoint world = map->world(picture);
        if (std::isfinite(world.x) && std::isfinite(world.y))
            text += (map->scales.polar ? tr("  →  Angle %1, Radius %2") : tr("  →  X %1, Y %2"))
                        .arg(worldText(map->scales.x, world.x), worldText(map->scales.y, world.y));
    }
    return text;
}

void PictureNavigation::pointerAt(std::optional<DPoint> picture)
{
    pointerLabel_->setText(picture ? readout(*picture) : QString());
    magnifier_.showAt(picture);
}
