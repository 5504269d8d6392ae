#pragma once

#include "platform/ScrollView.h"
#include "platform/View.h"

#include <QHash>
#include <functional>

class PointTable;
class PointTableView;
class QStackedWidget;

// The data area: shows one point table at a time. Each table gets its own table view the
// first time it is shown, kept for as long as the area lives, so that switching modes
// keeps each table's scroll position.
class DataScrollView : public ScrollView {
  public:
    // Until a table is shown, a placeholder of the area's size stands for its content.
    explicit DataScrollView(QStackedWidget& stack);
    ~DataScrollView() override;

    View* documentView() const override { return shown_; }
    void setDocumentView(View* view) override;
    void setHasHorizontalScroller(bool flag) override;
    void setNeedsDisplay(bool flag) override;

    // Told of each table view made.
    void setViewListener(std::function<void(PointTableView&)> listener) { listener_ = std::move(listener); }
    // The table view showing `table`, once it has been shown.
    PointTableView* viewFor(const PointTable* table) const { return views_.value(table, nullptr); }

  private:
    QStackedWidget& stack_;
    View placeholder_;
    View* shown_;
    QHash<const PointTable*, PointTableView*> views_;
    std::function<void(PointTableView&)> listener_;
};
