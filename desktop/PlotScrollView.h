#pragma once

#include "platform/ScrollView.h"

#include <QObject>
#include <functional>

class QPainter;
class QRect;
class QScrollArea;

// The plot area: a scroll area that shows the current plot view, picture at 100 %.
class PlotScrollView : public ScrollView {
  public:
    explicit PlotScrollView(QScrollArea& area);

    View* documentView() const override { return shown_; }
    void setDocumentView(View* view) override;
    void setHasHorizontalScroller(bool flag) override;
    void setNeedsDisplay(bool flag) override;

    // Drawn over every picture shown from now on.
    void setOverlay(std::function<void(QPainter&, const QRect&)> overlay) { overlay_ = std::move(overlay); }
    // Redraws the picture on show, marks included.
    void refresh();

  private:
    QScrollArea& area_;
    View* shown_ = nullptr;
    std::function<void(QPainter&, const QRect&)> overlay_;
};
