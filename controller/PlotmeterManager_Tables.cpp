#include "controller/PlotmeterManager.h"

#include "platform/ScrollView.h"

void PlotmeterManager::applicationDidFinishLaunching()
{
    plotView_->setHasHorizontalScroller(true);

    TableCell prototype("");
    prototype.setFont(Font::fontWithName("Helvetica", 12.0f));
    prototype.setBezeled(false);
    prototype.setBordered(true);
    prototype.setBackgroundColor(Color::lightGrayColor());
    prototype.setTextColor(Color::blackColor());
    prototype.setAlignment(TextAlignment::left);
    prototype.setFloatingPointFormat(true, 5, 0);
    prototype.setEditable(true);

    // The placeholder the window put in the data area gives both tables their frame.
    const View* placeholder = dataView_->documentView();
    const Rect frame = placeholder != nullptr ? placeholder->bounds() : Rect{};

    const auto makeTable = [&] {
        auto table = std::make_unique<PointTable>(frame, PointTable::SelectionMode::radio, prototype, 0, 4);
        table->setBackgroundColor(Color::darkGrayColor());
        table->setCellSize({93.0f, 20.0f});
        table->setIntercellSpacing({1.0f, 0.0f});
        return table;
    };
    calMatrix_ = makeTable();
    dataView_->setDocumentView(calMatrix_.get());
    acquireMatrix_ = makeTable();
}

PlotmeterManager& PlotmeterManager::clearData()
{
    emptyTable(tableOfMode());
    dataView_->setNeedsDisplay(true);
    return *this;
}

void PlotmeterManager::emptyTable(PointTable& table)
{
    const int n = table.numberOfRows();
    for (int i = 0; i < n; ++i)
        table.removeRow(0);
    table.sizeToCells();
    table.setNeedsDisplay(true);
}
