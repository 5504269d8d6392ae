#include "view/PlotmeterView.h"

#include "platform/Cursor.h"
#include "platform/Image.h"
#include "platform/Platform.h"


PlotmeterView::PlotmeterView(Rect frame, Platform& platform) : ImageView(frame), platform_(platform)
{
    const std::shared_ptr<Image> crossImage = platform_.imageNamed("cross");
    if (crossImage == nullptr) {
        platform_.logDiagnostic("Can't open cursor image cross.tiff");
        return;
    }
    crossCursor_ = platform_.newCursor(crossImage, {7.0f, 7.0f});
    if (crossCursor_ != nullptr)
        crossCursor_->setOnMouseEntered(true);
    else
        platform_.logDiagnostic("Can't make crossCursor ");
}

// The cursor rectangles point at our cursor; drop them before it goes.
PlotmeterView::~PlotmeterView()
{
    discardCursorRects();
}

void PlotmeterView::resetCursorRects()
{
    if (crossCursor_ != nullptr)
        addCursorRect(visibleRect(), *crossCursor_);
}

PlotmeterView& PlotmeterView::setTarget(ScreenPointTarget* target)
{
    target_ = target;
    return *this;
}

PlotmeterView& PlotmeterView::openImage(const std::string& path, std::optional<PdfPage> page)
{
    dataImage_.reset();
    imageError_.clear();
    pdfPage_.reset();
    const bool pdf = startsLikePdf(path);
    dataImage_ =
        pdf ? platform_.pdfPageImage(path, page, imageError_) : platform_.imageWithContentsOfFile(path, imageError_);
    if (dataImage_ == nullptr) {
        if (image() != nullptr)
            setImage(nullptr);
        if (imageError_.empty() && !pdf)
            imageError_ = "not a picture this program can read";
        return *this;
    }
    if (pdf)
        pdfPage_ = page;
    dataImage_->setBackgroundColor(Color::whiteColor());
    const Size size = dataImage_->size();
    setFrameSize(size);
    setBoundsSize(size);
    setImage(dataImage_);
    setNeedsDisplay(true);
    return *this;
}

void PlotmeterView::mouseDown(const MouseEvent& event)
{
    if (dataImage_ == nullptr || event.clickCount != 2)
        return;
    if (target_ == nullptr) {
        platform_.logDiagnostic("PlotmeterView:  No target to return screen point to.");
        return;
    }
    target_->newScreenPoint(convertPointFromWindow(event.locationInWindow));
}

void PlotmeterView::newScreenPoint(DPoint /*point*/) {}
