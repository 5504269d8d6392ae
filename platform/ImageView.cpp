#include "platform/ImageView.h"

ImageView::ImageView(Rect frame) : View(frame) {}

ImageView::~ImageView()
{
    if (backend_ != nullptr)
        backend_->imageViewDestroyed(*this);
}

void ImageView::setImage(std::shared_ptr<Image> image)
{
    image_ = std::move(image);
    changed();
}

void ImageView::setFrameSize(Size size)
{
    View::setFrameSize(size);
    changed();
}

void ImageView::setBoundsSize(Size size)
{
    View::setBoundsSize(size);
    changed();
}

void ImageView::setNeedsDisplay(bool flag)
{
    View::setNeedsDisplay(flag);
    if (flag)
        changed();
}

Rect ImageView::visibleRect() const
{
    return backend_ != nullptr ? backend_->visibleRect(*this) : bounds();
}

DPoint ImageView::convertPointFromWindow(FPoint location) const
{
    if (backend_ != nullptr)
        return backend_->convertFromWindow(*this, location);
    return {static_cast<double>(location.x), static_cast<double>(location.y)};
}

void ImageView::addCursorRect(Rect rect, Cursor& cursor)
{
    cursorRects_.push_back({rect, &cursor});
    changed();
}

void ImageView::discardCursorRects()
{
    cursorRects_.clear();
}

void ImageView::setBackend(ImageViewBackend* backend)
{
    backend_ = backend;
}

void ImageView::changed()
{
    if (backend_ != nullptr)
        backend_->imageViewChanged(*this);
}
