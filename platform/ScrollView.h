#pragma once

class View;

// A scrolling area of the window that shows one view at a time. It does not own the
// view: whoever made the view keeps it alive while it is shown.
class ScrollView {
  public:
    virtual ~ScrollView() = default;
    virtual View* documentView() const = 0;
    virtual void setDocumentView(View* view) = 0;
    virtual void setHasHorizontalScroller(bool flag) = 0;
    virtual void setNeedsDisplay(bool flag) = 0;
};
