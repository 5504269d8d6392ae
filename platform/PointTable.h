#pragma once

#include "platform/Color.h"
#include "platform/TableCell.h"
#include "platform/View.h"

#include <cstdint>
#include <deque>

class PointTable;

// Told when a shown table must catch up: after sizeToCells (rows came or went) and when
// it is marked for redrawing. Cell changes before either are picked up then.
class PointTableObserver {
  public:
    virtual ~PointTableObserver() = default;
    virtual void tableDidSizeToCells(PointTable& table) = 0;
    virtual void tableNeedsDisplay(PointTable& table) = 0;
};

// A grid of cells with a fixed number of columns, grown one row at a time at the bottom.
// New rows are copies of the prototype cell. Removing the top row is cheap, so that
// emptying a long table row by row stays linear.
class PointTable : public View {
  public:
    enum class SelectionMode { radio = 0, highlight = 1, list = 2, track = 3 };

    PointTable(Rect frame, SelectionMode mode, const TableCell& prototype, int rows, int columns);

    PointTable& addRow();
    PointTable& removeRow(int row);
    int numberOfRows() const { return rows_; }
    int numberOfColumns() const { return columns_; }
    TableCell& cellAtRow(int row, int column);
    const TableCell& cellAtRow(int row, int column) const;
    const TableCell& prototype() const { return prototype_; }
    SelectionMode selectionMode() const { return mode_; }

    // Fits the frame to the rows and cells, so that a scroll view's extent follows it.
    PointTable& sizeToCells();
    void setNeedsDisplay(bool flag) override;

    void setCellSize(Size size) { cellSize_ = size; }
    Size cellSize() const { return cellSize_; }
    void setIntercellSpacing(Size spacing) { intercellSpacing_ = spacing; }
    Size intercellSpacing() const { return intercellSpacing_; }
    void setBackgroundColor(const Color& color) { backgroundColor_ = color; }
    Color backgroundColor() const { return backgroundColor_; }

    // Counts every row ever removed, so an observer can tell appends from other changes.
    std::uint64_t removalCount() const { return removals_; }
    void setObserver(PointTableObserver* observer) { observer_ = observer; }

  private:
    std::size_t indexOf(int row, int column) const;

    SelectionMode mode_;
    TableCell prototype_;
    int rows_ = 0;
    int columns_;
    std::deque<TableCell> cells_; // row by row
    Size cellSize_{100.0f, 17.0f};
    Size intercellSpacing_{1.0f, 1.0f};
    Color backgroundColor_ = Color::lightGrayColor();
    std::uint64_t removals_ = 0;
    PointTableObserver* observer_ = nullptr;
};
