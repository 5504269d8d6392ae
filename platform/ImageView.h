#pragma once

#include "platform/MouseEvent.h"
#include "platform/View.h"

#include <memory>
#include <vector>

class Cursor;
class Image;
class ImageView;

// What reaches the screen for an image view: the Qt layer implements it with a widget,
// tests with a fake. The view keeps its state itself and works without a backend.
class ImageViewBackend {
  public:
    virtual ~ImageViewBackend() = default;
    // Picture, size or cursor rectangles changed, or a redraw was asked for.
    virtual void imageViewChanged(ImageView& view) = 0;
    virtual Rect visibleRect(const ImageView& view) const = 0;
    // A window position in the view's coordinates, in double precision: a zoomed view
    // gives fractions of its pixels.
    virtual DPoint convertFromWindow(const ImageView& view, FPoint location) const = 0;
    // The view is going away; the backend must forget it.
    virtual void imageViewDestroyed(ImageView& view) = 0;
};

struct CursorRect {
    Rect rect;
    Cursor* cursor;
};

// A view that shows one picture, with rectangles where a cursor of its own applies, and
// hooks through which the window system hands it mouse presses and asks for its cursor
// rectangles.
class ImageView : public View {
  public:
    explicit ImageView(Rect frame);
    ~ImageView() override;

    void setImage(std::shared_ptr<Image> image);
    const std::shared_ptr<Image>& image() const { return image_; }

    void setFrameSize(Size size) override;
    void setBoundsSize(Size size) override;
    void setNeedsDisplay(bool flag) override;

    // The part of the bounds that is on screen; all of it when nothing clips the view.
    Rect visibleRect() const;
    // A point in window coordinates in the view's own coordinates.
    DPoint convertPointFromWindow(FPoint location) const;

    void addCursorRect(Rect rect, Cursor& cursor);
    void discardCursorRects();
    const std::vector<CursorRect>& cursorRects() const { return cursorRects_; }

    // Hooks called by the window system.
    virtual void resetCursorRects() {}
    virtual void mouseDown(const MouseEvent& event) { (void)event; }

    void setBackend(ImageViewBackend* backend);
    ImageViewBackend* backend() const { return backend_; }

  private:
    void changed();

    std::shared_ptr<Image> image_;
    std::vector<CursorRect> cursorRects_;
    ImageViewBackend* backend_ = nullptr;
};
