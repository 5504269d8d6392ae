#pragma once

#include "platform/Geometry.h"

// Anything a scroll view can show: a rectangle in its superview (the frame) and its own
// coordinate system (the bounds, origin at the lower left).
class View {
  public:
    explicit View(Rect frame) : frame_(frame), bounds_{{0.0f, 0.0f}, frame.size} {}
    virtual ~View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Rect frame() const { return frame_; }
    Rect bounds() const { return bounds_; }
    virtual void setFrameSize(Size size) { frame_.size = size; }
    virtual void setBoundsSize(Size size) { bounds_.size = size; }

    // Asks for a redraw at the next opportunity.
    virtual void setNeedsDisplay(bool flag) { needsDisplay_ = flag; }
    bool needsDisplay() const { return needsDisplay_; }

  private:
    Rect frame_;
    Rect bounds_;
    bool needsDisplay_ = false;
};
