#pragma once

#include "desktop/picture/ClickCounter.h"
#include "platform/ImageView.h"
#include "view/PictureZoom.h"

#include <QCursor>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class PictureEditor;

// A tool that takes the left button over the picture instead of clicks and marks (the
// eyedropper, a box drawn, a brush), given picture coordinates.
class PictureTool {
  public:
    virtual ~PictureTool() = default;
    virtual void pressed(DPoint picture) = 0;
    virtual void dragged(DPoint picture) = 0;
    virtual void released(DPoint picture) = 0;
    virtual QCursor cursor() const = 0;
};
class PicturePyramid;
class QScrollArea;

// Puts an image view on screen at a zoom factor, inside the scroll area that shows it:
// paints its picture (crisp squares zoomed in, averaged zoomed out), applies its cursor
// rectangles and hands it mouse presses as picture coordinates of the centre of the screen
// pixel under the cursor (see PictureZoom), so that a click at any zoom means the same
// place. Ctrl+wheel and pinch zoom about the cursor; the middle button, or the left one
// with Space held, pans; a press on a mark goes to the editor, to select or drag it.
class PlotImageWidget : public QWidget, public ImageViewBackend {
    Q_OBJECT
  public:
    PlotImageWidget(ImageView& view, QScrollArea& area, QWidget* parent = nullptr);
    ~PlotImageWidget() override;

    ImageView* view() const { return view_; }
    QSize sizeHint() const override;

    // Drawn over the picture in every exposed rectangle (widget pixels).
    using Overlay = std::function<void(QPainter&, const QRect& exposed, const PictureZoom& zoom)>;
    void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }
    void setEditor(PictureEditor* editor) { editor_ = editor; }
    // The tool in use, or none; it must outlive its use.
    void setTool(PictureTool* tool);
    // Where a double-click puts its point instead of under the cursor: given the picture
    // point, the zoom factor and whether Shift is held; nothing to keep it where it is.
    using Snapper = std::function<std::optional<DPoint>(DPoint picture, double factor, bool shift)>;
    void setSnapper(Snapper snapper) { snapper_ = std::move(snapper); }

    PictureZoom zoom() const;
    ZoomRange zoomRange() const;
    const PicturePyramid* pyramid() const { return pyramid_.get(); }
    // Zooms so that the picture point under `anchor` (a position in the scroll area's
    // viewport; its centre when none) stays where it is. The factor is kept in range.
    void setZoom(double factor, std::optional<QPointF> anchor = std::nullopt);
    // Fits the picture to the window, enlarging a small one: View > Fit to Window.
    void zoomToFit();
    // Zoomed by the user: the picture no longer follows the window's size.
    bool followsFit() const { return followsFit_; }

    void imageViewChanged(ImageView& view) override;
    Rect visibleRect(const ImageView& view) const override;
    DPoint convertFromWindow(const ImageView& view, FPoint location) const override;
    void imageViewDestroyed(ImageView& view) override;

  signals:
    void zoomChanged(double factor);
    // The picture coordinate under the cursor, as a click there would give it.
    void pointerMoved(DPoint picture);
    void pointerLeft();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void followFit();
    void press(QMouseEvent* event);
    // The centre of the screen pixel under a widget position, in widget coordinates.
    QPointF pixelCentre(QPointF position) const;
    void applyZoom(double factor, QPointF anchor);
    void pictureChanged();
    void rebuildCursorRects();
    Size pictureSize() const;

    ImageView* view_;
    QScrollArea& area_;
    const void* shownImage_ = nullptr;
    std::unique_ptr<PicturePyramid> pyramid_;
    ClickCounter clicks_;
    Overlay overlay_;
    PictureEditor* editor_ = nullptr; // outlives the widget
    PictureTool* tool_ = nullptr;
    bool toolPressed_ = false;
    Snapper snapper_;
    std::optional<DPoint> snapped_; // where the double-click being handed on lands
    double factor_ = 1.0;
    bool followsFit_ = true;
    bool fitEnlarges_ = false; // Fit to Window was asked for, rather than the fit on opening
    bool applyingCursor_ = false;
    // Panning: where the press was (global) and the scroll position then.
    std::optional<QPointF> panFrom_;
    QPoint panScroll_;
    bool spaceHeld_ = false;
    // A mark pressed and perhaps dragged: where the press was (widget pixel centre).
    std::optional<QPointF> markPress_;
    bool dragging_ = false;
};
