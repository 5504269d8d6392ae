#pragma once

#include "platform/ImageView.h"
#include "view/ScreenPointTarget.h"

#include "platform/PdfPage.h"

#include <memory>
#include <optional>
#include <string>

class Cursor;
class Image;
class Platform;

// Shows the plot at its natural size under a cross-hair cursor and turns every
// double-click on it into a screen point for its target: picture units from the lower-left
// corner, y upward, fraction kept.
class PlotmeterView : public ImageView, public ScreenPointTarget {
  public:
    PlotmeterView(Rect frame, Platform& platform);
    ~PlotmeterView() override;

    void resetCursorRects() override;
    void mouseDown(const MouseEvent& event) override;

    // The target must outlive the view, or be replaced before it goes.
    PlotmeterView& setTarget(ScreenPointTarget* target);
    ScreenPointTarget* target() const { return target_; }

    // Reads the picture and sizes the view to it. A PDF document (known by its first bytes)
    // gives the page asked for, or the one the user chooses. When the file holds no
    // readable picture the view is left without one (and ignores presses); imageError
    // says why, and is empty when the user cancelled the choice of a page.
    PlotmeterView& openImage(const std::string& path, std::optional<PdfPage> page = std::nullopt);
    bool hasImage() const { return dataImage_ != nullptr; }
    const std::string& imageError() const { return imageError_; }
    bool cancelled() const { return dataImage_ == nullptr && imageError_.empty(); }
    // The page of a PDF document on show; nothing for other pictures.
    const std::optional<PdfPage>& pdfPage() const { return pdfPage_; }

    void newScreenPoint(DPoint point) override;

  private:
    Platform& platform_;
    std::shared_ptr<Image> dataImage_;
    std::unique_ptr<Cursor> crossCursor_;
    ScreenPointTarget* target_ = nullptr;
    std::string imageError_;
    std::optional<PdfPage> pdfPage_;
};
