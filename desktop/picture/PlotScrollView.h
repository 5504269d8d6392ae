#pragma once

#include "desktop/picture/PlotImageWidget.h"
#include "platform/ScrollView.h"

#include <functional>

class QScrollArea;

// The plot area: a scroll area that shows the current plot view, zoomed.
class PlotScrollView : public ScrollView {
  public:
    explicit PlotScrollView(QScrollArea& area);

    View* documentView() const override { return shown_; }
    void setDocumentView(View* view) override;
    void setHasHorizontalScroller(bool flag) override;
    void setNeedsDisplay(bool flag) override;

    // Drawn over every picture shown from now on.
    void setOverlay(PlotImageWidget::Overlay overlay) { overlay_ = std::move(overlay); }
    // Told of each picture widget made, to connect it up.
    void setWidgetListener(std::function<void(PlotImageWidget&)> listener) { listener_ = std::move(listener); }
    // The widget showing the picture; none without one.
    PlotImageWidget* widget() const;
    // Redraws the picture on show, marks included.
    void refresh();

  private:
    QScrollArea& area_;
    View* shown_ = nullptr;
    PlotImageWidget::Overlay overlay_;
    std::function<void(PlotImageWidget&)> listener_;
};
