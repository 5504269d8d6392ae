#include "desktop/tables/DataScrollView.h"

#include "desktop/tables/PointTableModel.h"
#include "desktop/tables/PointTableView.h"
#include "platform/PointTable.h"

#include <QStackedWidget>

namespace {

Rect rectOf(const QWidget& widget)
{
    return {{0.0f, 0.0f}, {static_cast<float>(widget.width()), static_cast<float>(widget.height())}};
}

} // namespace

DataScrollView::DataScrollView(QStackedWidget& stack)
    : stack_(stack), placeholder_(rectOf(stack)), shown_(&placeholder_)
{}

// The table views, and with them their models, go before the tables they observe.
DataScrollView::~DataScrollView()
{
    qDeleteAll(views_);
}

void DataScrollView::setDocumentView(View* view)
{
    shown_ = view;
    auto* table = dynamic_cast<PointTable*>(view);
    if (table == nullptr)
        return;
    PointTableView* tableView = views_.value(table, nullptr);
    if (tableView == nullptr) {
        auto* model = new PointTableModel(*table);
        tableView = new PointTableView(*model);
        model->setParent(tableView);
        views_.insert(table, tableView);
        stack_.addWidget(tableView);
        if (listener_)
            listener_(*tableView);
    }
    stack_.setCurrentWidget(tableView);
}

void DataScrollView::setHasHorizontalScroller(bool flag)
{
    for (PointTableView* view : std::as_const(views_))
        view->setHorizontalScrollBarPolicy(flag ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void DataScrollView::setNeedsDisplay(bool flag)
{
    if (flag && stack_.currentWidget() != nullptr)
        stack_.currentWidget()->update();
}
