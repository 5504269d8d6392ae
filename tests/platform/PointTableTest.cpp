#include "platform/PointTable.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TableCell prototypeCell()
{
    TableCell prototype("");
    prototype.setBackgroundColor(Color::lightGrayColor());
    prototype.setFloatingPointFormat(true, 5, 0);
    prototype.setEditable(true);
    return prototype;
}

std::unique_ptr<PointTable> makeTable()
{
    auto table =
        std::make_unique<PointTable>(Rect{{0, 0}, {300, 200}}, PointTable::SelectionMode::radio, prototypeCell(), 0, 4);
    table->setCellSize({93.0f, 20.0f});
    table->setIntercellSpacing({1.0f, 0.0f});
    return table;
}

struct RecordingObserver : PointTableObserver {
    void tableDidSizeToCells(PointTable& table) override { sizedRows.push_back(table.numberOfRows()); }
    void tableNeedsDisplay(PointTable& /*table*/) override { ++redraws; }
    std::vector<int> sizedRows;
    int redraws = 0;
};

TEST(PointTable, NewRowsAreCopiesOfThePrototype)
{
    const auto owner = makeTable();
    PointTable& table = *owner;
    EXPECT_EQ(table.numberOfRows(), 0);
    EXPECT_EQ(table.numberOfColumns(), 4);
    table.addRow();
    ASSERT_EQ(table.numberOfRows(), 1);
    for (int column = 0; column < 4; ++column) {
        const TableCell& cell = table.cellAtRow(0, column);
        EXPECT_EQ(cell.stringValue(), "");
        EXPECT_TRUE(cell.isEditable());
        EXPECT_EQ(cell.floatingPointFormat(), (FloatingPointFormat{true, 5, 0}));
        EXPECT_EQ(cell.style().backgroundColor, Color::lightGrayColor());
    }
}

TEST(PointTable, RemovingARowMovesTheRowsBelowUp)
{
    const auto owner = makeTable();
    PointTable& table = *owner;
    for (int r = 0; r < 3; ++r) {
        table.addRow();
        table.cellAtRow(r, 0).setFloatValue(static_cast<float>(r));
    }
    table.removeRow(0);
    ASSERT_EQ(table.numberOfRows(), 2);
    EXPECT_EQ(table.cellAtRow(0, 0).floatValue(), 1.0f);
    EXPECT_EQ(table.cellAtRow(1, 0).floatValue(), 2.0f);
    EXPECT_EQ(table.removalCount(), 1u);

    table.removeRow(5);
    EXPECT_EQ(table.numberOfRows(), 2);
    EXPECT_THROW(table.cellAtRow(2, 0), std::out_of_range);
    EXPECT_THROW(table.cellAtRow(0, 4), std::out_of_range);
}

TEST(PointTable, SizeToCellsFollowsTheRowCountAndTellsTheObserver)
{
    const auto owner = makeTable();
    PointTable& table = *owner;
    RecordingObserver observer;
    table.setObserver(&observer);
    table.addRow().addRow().addRow();
    EXPECT_TRUE(observer.sizedRows.empty());
    table.sizeToCells();
    EXPECT_EQ(table.frame().size, (Size{4 * 93.0f + 3 * 1.0f, 3 * 20.0f}));
    EXPECT_EQ(observer.sizedRows, std::vector<int>{3});
    table.setNeedsDisplay(true);
    EXPECT_EQ(observer.redraws, 1);
}

TEST(TableCell, GivesBackTheNumberSetExactly)
{
    TableCell cell;
    cell.setFloatingPointFormat(true, 5, 0);
    cell.setFloatValue(123.456f);
    EXPECT_EQ(cell.floatValue(), 123.456f);
    EXPECT_EQ(cell.stringValue(), "123.46");
    cell.setFloatingPointFormat(false, 5, 6);
    EXPECT_EQ(cell.stringValue(), "123.456001");
    EXPECT_EQ(cell.floatValue(), 123.456f);
}

TEST(TableCell, ReadsTypedTextAsItsLeadingNumber)
{
    TableCell cell;
    cell.setFloatValue(9.0f);
    cell.setStringValue("  7.25 units");
    EXPECT_FALSE(cell.holdsNumber());
    EXPECT_EQ(cell.stringValue(), "  7.25 units");
    EXPECT_EQ(cell.floatValue(), 7.25f);
    cell.setStringValue("");
    EXPECT_EQ(cell.floatValue(), 0.0f);
}

} // namespace
