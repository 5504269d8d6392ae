#include "desktop/PlotImageWidget.h"

#include "desktop/QtCursor.h"
#include "desktop/QtImage.h"

#include <QMouseEvent>
#include <QPainter>

PlotImageWidget::PlotImageWidget(ImageView& view, QWidget* parent) : QWidget(parent), view_(&view)
{
    setObjectName(QStringLiteral("plotImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    view_->setBackend(this);
    imageViewChanged(view);
}

PlotImageWidget::~PlotImageWidget()
{
    if (view_ != nullptr)
        view_->setBackend(nullptr);
}

const QtImage* PlotImageWidget::picture() const
{
    return view_ != nullptr ? dynamic_cast<const QtImage*>(view_->image().get()) : nullptr;
}

void PlotImageWidget::imageViewChanged(ImageView& /*view*/)
{
    if (applyingCursor_)
        return;
    // Resized even when a new widget happens to start at that size (640 x 480): a widget
    // never resized is given its size hint by the scroll area.
    resize(sizeHint());
    update();
}

QSize PlotImageWidget::sizeHint() const
{
    if (view_ == nullptr)
        return {0, 0};
    const Size size = view_->frame().size;
    return {qRound(size.width), qRound(size.height)};
}

Rect PlotImageWidget::visibleRect(const ImageView& view) const
{
    const QRect shown = visibleRegion().boundingRect();
    const float height = view.bounds().size.height;
    return {{static_cast<float>(shown.x()), height - static_cast<float>(shown.y() + shown.height())},
            {static_cast<float>(shown.width()), static_cast<float>(shown.height())}};
}

FPoint PlotImageWidget::convertFromWindow(const ImageView& view, FPoint location) const
{
    const QPointF local = mapFrom(window(), QPointF(static_cast<double>(location.x), static_cast<double>(location.y)));
    return {static_cast<float>(local.x()), view.bounds().size.height - static_cast<float>(local.y())};
}

void PlotImageWidget::imageViewDestroyed(ImageView& /*view*/)
{
    view_ = nullptr;
    unsetCursor();
    update();
}

void PlotImageWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const QtImage* image = picture();
    painter.fillRect(area, image != nullptr ? image->backgroundColor() : palette().color(QPalette::Window));
    if (image != nullptr)
        painter.drawImage(area, image->image(), area);
    if (overlay_)
        overlay_(painter, area);
}

void PlotImageWidget::mousePressEvent(QMouseEvent* event)
{
    press(event);
}

void PlotImageWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    press(event);
}

void PlotImageWidget::press(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int count = clicks_.countPress(*event);
    event->accept();
    if (view_ == nullptr)
        return;
    const QPointF inWindow = mapTo(window(), event->position());
    view_->mouseDown({count, {static_cast<float>(inWindow.x()), static_cast<float>(inWindow.y())}});
    if (count == 2 && overlay_)
        update();
}

void PlotImageWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rebuildCursorRects();
}

void PlotImageWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    rebuildCursorRects();
}

// The view registers its cursor for its visible rectangle; a widget's cursor only ever
// shows over its visible part, so the cursor of the first rectangle becomes the widget's.
void PlotImageWidget::rebuildCursorRects()
{
    if (view_ == nullptr)
        return;
    applyingCursor_ = true;
    view_->discardCursorRects();
    view_->resetCursorRects();
    applyingCursor_ = false;
    const auto& rects = view_->cursorRects();
    const auto* cursor = rects.empty() ? nullptr : dynamic_cast<const QtCursor*>(rects.front().cursor);
    if (cursor != nullptr && cursor->onMouseEntered())
        setCursor(cursor->cursor());
    else
        unsetCursor();
}
