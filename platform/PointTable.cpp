#include "platform/PointTable.h"

#include <stdexcept>
#include <string>

PointTable::PointTable(Rect frame, SelectionMode mode, const TableCell& prototype, int rows, int columns)
    : View(frame), mode_(mode), prototype_(prototype), columns_(columns < 0 ? 0 : columns)
{
    for (int r = 0; r < rows; ++r)
        addRow();
}

PointTable& PointTable::addRow()
{
    for (int c = 0; c < columns_; ++c)
        cells_.push_back(prototype_);
    ++rows_;
    return *this;
}

PointTable& PointTable::removeRow(int row)
{
    if (row < 0 || row >= rows_)
        return *this;
    const auto first = cells_.begin() + static_cast<std::ptrdiff_t>(indexOf(row, 0));
    cells_.erase(first, first + columns_);
    --rows_;
    ++removals_;
    return *this;
}

std::size_t PointTable::indexOf(int row, int column) const
{
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_)
        throw std::out_of_range("no cell at row " + std::to_string(row) + ", column " + std::to_string(column));
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
}

TableCell& PointTable::cellAtRow(int row, int column)
{
    return cells_[indexOf(row, column)];
}

const TableCell& PointTable::cellAtRow(int row, int column) const
{
    return cells_[indexOf(row, column)];
}

PointTable& PointTable::sizeToCells()
{
    const auto extent = [](int count, float cell, float spacing) {
        return count <= 0 ? 0.0f : static_cast<float>(count) * cell + static_cast<float>(count - 1) * spacing;
    };
    const Size size{extent(columns_, cellSize_.width, intercellSpacing_.width),
                    extent(rows_, cellSize_.height, intercellSpacing_.height)};
    setFrameSize(size);
    setBoundsSize(size);
    if (observer_ != nullptr)
        observer_->tableDidSizeToCells(*this);
    return *this;
}

void PointTable::setNeedsDisplay(bool flag)
{
    View::setNeedsDisplay(flag);
    if (flag && observer_ != nullptr)
        observer_->tableNeedsDisplay(*this);
}
