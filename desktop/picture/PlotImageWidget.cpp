#include "desktop/picture/PlotImageWidget.h"

#include "desktop/picture/PictureEditor.h"
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/QtCursor.h"
#include "desktop/picture/QtImage.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

PlotImageWidget::PlotImageWidget(ImageView& view, QScrollArea& area, QWidget* parent)
    : QWidget(parent), view_(&view), area_(area)
{
    setObjectName(QStringLiteral("plotImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    area_.viewport()->installEventFilter(this);
    view_->setBackend(this);
    imageViewChanged(view);
}

// The filter on the viewport is not removed here: the widget may go while the scroll area
// is being destroyed, when it is no longer a scroll area to ask for its viewport; Qt skips
// the filters of objects that are gone.
PlotImageWidget::~PlotImageWidget()
{
    if (view_ != nullptr)
        view_->setBackend(nullptr);
}

Size PlotImageWidget::pictureSize() const
{
    return view_ != nullptr ? view_->frame().size : Size{};
}

PictureZoom PlotImageWidget::zoom() const
{
    return {factor_, static_cast<double>(pictureSize().height)};
}

ZoomRange PlotImageWidget::zoomRange() const
{
    const QSize area = area_.viewport()->size();
    return ::zoomRange(fitFactor(pictureSize(), {static_cast<float>(area.width()), static_cast<float>(area.height())}));
}

void PlotImageWidget::imageViewChanged(ImageView& /*view*/)
{
    if (applyingCursor_)
        return;
    pictureChanged();
    // Resized even when a new widget happens to start at that size (640 x 480): a widget
    // never resized is given its size hint by the scroll area.
    resize(sizeHint());
    update();
}

// A new picture gets its reduced copies, made in the background.
void PlotImageWidget::pictureChanged()
{
    const auto* image = view_ != nullptr ? dynamic_cast<const QtImage*>(view_->image().get()) : nullptr;
    if (image == shownImage_)
        return;
    shownImage_ = image;
    pyramid_.reset();
    if (image != nullptr) {
        pyramid_ = std::make_unique<PicturePyramid>(image->image());
        connect(pyramid_.get(), &PicturePyramid::levelReady, this, [this] {
            if (factor_ < 1.0)
                update();
        });
    }
}

QSize PlotImageWidget::sizeHint() const
{
    const Size size = pictureSize();
    return {static_cast<int>(std::ceil(size.width * factor_)), static_cast<int>(std::ceil(size.height * factor_))};
}

void PlotImageWidget::setZoom(double factor, std::optional<QPointF> anchor)
{
    followsFit_ = false;
    applyZoom(zoomRange().clamp(factor), anchor.value_or(QRectF(area_.viewport()->rect()).center()));
}

void PlotImageWidget::zoomToFit()
{
    fitEnlarges_ = true;
    followFit();
}

// Fitted by itself (on opening), the picture never grows past 100 % as the window grows:
// enlarging blurs the pixels a user clicks on. Fit to Window, asked for, enlarges too.
void PlotImageWidget::followFit()
{
    const QSize area = area_.viewport()->size();
    double fit = fitFactor(pictureSize(), {static_cast<float>(area.width()), static_cast<float>(area.height())});
    if (!fitEnlarges_)
        fit = std::min(fit, 1.0);
    applyZoom(zoomRange().clamp(fit), QRectF(area_.viewport()->rect()).center());
    followsFit_ = true;
}

void PlotImageWidget::applyZoom(double factor, QPointF anchor)
{
    if (factor == factor_)
        return;
    const QPointF at = pos();
    const DPoint scroll = scrollKeeping({-at.x(), -at.y()}, {anchor.x(), anchor.y()}, factor_, factor);
    factor_ = factor;
    resize(sizeHint());
    area_.horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x)));
    area_.verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y)));
    update();
    emit zoomChanged(factor_);
    // Another picture point is under the cursor now: the readout and magnifier follow.
    const QPointF cursor = mapFromGlobal(QCursor::pos());
    if (underMouse() && rect().contains(cursor.toPoint())) {
        const QPointF centre = pixelCentre(cursor);
        emit pointerMoved(zoom().pictureOf({centre.x(), centre.y()}));
    }
}

Rect PlotImageWidget::visibleRect(const ImageView& /*view*/) const
{
    // The part on show, in picture units with the origin at the lower-left corner.
    const QRectF shown = QRectF(visibleRegion().boundingRect());
    const double height = pictureSize().height;
    return {{static_cast<float>(shown.x() / factor_), static_cast<float>(height - shown.bottom() / factor_)},
            {static_cast<float>(shown.width() / factor_), static_cast<float>(shown.height() / factor_)}};
}

DPoint PlotImageWidget::convertFromWindow(const ImageView& /*view*/, FPoint location) const
{
    if (snapped_)
        return *snapped_;
    const QPointF local = mapFrom(window(), QPointF(static_cast<double>(location.x), static_cast<double>(location.y)));
    return zoom().pictureOf({local.x(), local.y()});
}

void PlotImageWidget::imageViewDestroyed(ImageView& /*view*/)
{
    view_ = nullptr;
    shownImage_ = nullptr;
    pyramid_.reset();
    unsetCursor();
    update();
}

QPointF PlotImageWidget::pixelCentre(QPointF position) const
{
    const double ratio = devicePixelRatioF();
    return {(std::floor(position.x() * ratio) + 0.5) / ratio, (std::floor(position.y() * ratio) + 0.5) / ratio};
}

void PlotImageWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const auto* image = shownImage_ != nullptr ? static_cast<const QtImage*>(shownImage_) : nullptr;
    painter.fillRect(area, image != nullptr ? image->backgroundColor() : palette().color(QPalette::Window));
    if (pyramid_ != nullptr)
        pyramid_->paint(painter, area, factor_, visibleRegion().boundingRect());
    if (overlay_)
        overlay_(painter, area, zoom());
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
    event->accept();
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
        panFrom_ = event->globalPosition();
        panScroll_ = {area_.horizontalScrollBar()->value(), area_.verticalScrollBar()->value()};
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF centre = pixelCentre(event->position());
    if (tool_ != nullptr && view_ != nullptr) {
        toolPressed_ = true;
        tool_->pressed(zoom().pictureOf({centre.x(), centre.y()}));
        return;
    }
    const int count = clicks_.countPress(*event);
    if (view_ == nullptr)
        return;
    if (count == 1 && editor_ != nullptr) {
        const bool toggle = (event->modifiers() & Qt::ControlModifier) != 0;
        if (editor_->press({centre.x(), centre.y()}, zoom(), toggle))
            markPress_ = centre;
    }
    const QPointF inWindow = mapTo(window(), centre);
    if (count == 2 && snapper_)
        snapped_ = snapper_(zoom().pictureOf({centre.x(), centre.y()}), factor_,
                            (event->modifiers() & Qt::ShiftModifier) != 0);
    view_->mouseDown({count, {static_cast<float>(inWindow.x()), static_cast<float>(inWindow.y())}});
    snapped_.reset();
    if (count == 2 && overlay_)
        update();
}

void PlotImageWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (panFrom_) {
        const QPointF moved = event->globalPosition() - *panFrom_;
        area_.horizontalScrollBar()->setValue(panScroll_.x() - qRound(moved.x()));
        area_.verticalScrollBar()->setValue(panScroll_.y() - qRound(moved.y()));
        return;
    }
    const QPointF centre = pixelCentre(event->position());
    if (toolPressed_ && tool_ != nullptr)
        tool_->dragged(zoom().pictureOf({centre.x(), centre.y()}));
    if (markPress_ && editor_ != nullptr && (event->buttons() & Qt::LeftButton)) {
        const QPointF moved = centre - *markPress_;
        if (dragging_ || moved.manhattanLength() >= QApplication::startDragDistance()) {
            dragging_ = true;
            editor_->dragBy({moved.x() / factor_, -moved.y() / factor_});
        }
    }
    if (view_ != nullptr)
        emit pointerMoved(zoom().pictureOf({centre.x(), centre.y()}));
}

void PlotImageWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (panFrom_ && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        panFrom_.reset();
        rebuildCursorRects();
        return;
    }
    if (event->button() == Qt::LeftButton && toolPressed_) {
        toolPressed_ = false;
        if (tool_ != nullptr) {
            const QPointF centre = pixelCentre(event->position());
            tool_->released(zoom().pictureOf({centre.x(), centre.y()}));
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !markPress_)
        return;
    markPress_.reset();
    if (editor_ != nullptr) {
        if (dragging_)
            editor_->drop();
        else
            editor_->cancelDrag();
    }
    dragging_ = false;
}

void PlotImageWidget::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore(); // the scroll area scrolls
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    setZoom(factor_ * std::pow(2.0, notches / 2.0), mapTo(area_.viewport(), pixelCentre(event->position())));
    event->accept();
}

bool PlotImageWidget::event(QEvent* event)
{
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            setZoom(factor_ * (1.0 + gesture->value()), mapTo(area_.viewport(), pixelCentre(gesture->position())));
            return true;
        }
    }
    return QWidget::event(event);
}

// The picture keeps fitting the window until the user zooms.
bool PlotImageWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_.viewport() && event->type() == QEvent::Resize && followsFit_ && isVisible())
        followFit();
    return QWidget::eventFilter(watched, event);
}

void PlotImageWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat()) {
            spaceHeld_ = true;
            setCursor(Qt::OpenHandCursor);
        }
        return;
    }
    // An arrow moves the selected points by one screen pixel; with none, it scrolls.
    const double step = 1.0 / factor_;
    DPoint by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = {-step, 0.0};
        break;
    case Qt::Key_Right:
        by = {step, 0.0};
        break;
    case Qt::Key_Up:
        by = {0.0, step};
        break;
    case Qt::Key_Down:
        by = {0.0, -step};
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (editor_ == nullptr || !editor_->nudge(by))
        QWidget::keyPressEvent(event);
}

void PlotImageWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = false;
        if (!panFrom_)
            rebuildCursorRects();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void PlotImageWidget::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit pointerLeft();
}

void PlotImageWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rebuildCursorRects();
}

// A picture larger than the area opens fitted; one that fits opens at 100 %.
void PlotImageWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (followsFit_) {
        const QSize area = area_.viewport()->size();
        applyZoom(openingFactor(pictureSize(), {static_cast<float>(area.width()), static_cast<float>(area.height())}),
                  {});
        followsFit_ = factor_ < 1.0;
        fitEnlarges_ = false;
    }
    rebuildCursorRects();
}

// The view registers its cursor for its visible rectangle; a widget's cursor only ever
// shows over its visible part, so the cursor of the first rectangle becomes the widget's.
void PlotImageWidget::setTool(PictureTool* tool)
{
    if (tool == tool_)
        return;
    tool_ = tool;
    toolPressed_ = false;
    rebuildCursorRects();
}

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
    if (spaceHeld_)
        setCursor(Qt::OpenHandCursor);
    else if (tool_ != nullptr)
        setCursor(tool_->cursor());
    else if (cursor != nullptr && cursor->onMouseEntered())
        setCursor(cursor->cursor());
    else
        unsetCursor();
}
