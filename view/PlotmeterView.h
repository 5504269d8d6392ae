#pragma once

#include "platform/ImageView.h"
#include "view/ScreenPointTarget.h"

#include <memory>
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

    // Reads the picture and sizes the view to it. When the file holds no readable
    // picture the view is left without one (and ignores presses); imageError says why.
    PlotmeterView& openImage(const std::string& path);
    bool hasImage() const { return dataImage_ != nullptr; }
    const std::string& imageError() const { return imageError_; }

    void newScreenPoint(DPoint point) override;

  private:
    Platform& platform_;
    std::shared_ptr<Image> dataImage_;
    std::unique_ptr<Cursor> crossCursor_;
    ScreenPointTarget* target_ = nullptr;
    std::string imageError_;
};
