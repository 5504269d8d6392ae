#include "platform/PointTable.h"

std::string PointTable::columnTitle(int column) const
{
    static const char* const titles[] = {"Screen X", "Screen Y", "World X", "World Y"};
    return column >= 0 && column < 4 ? titles[column] : std::string();
}

PointTable& PointTable::sizeToCells()
{
    const auto extent = [](int count, float cell, float spacing) {
        return count <= 0 ? 0.0f : static_cast<float>(count) * cell + static_cast<float>(count - 1) * spacing;
    };
    const Size size{extent(numberOfColumns(), cellSize_.width, intercellSpacing_.width),
                    extent(numberOfRows(), cellSize_.height, intercellSpacing_.height)};
    setFrameSize(size);
    setBoundsSize(size);
    return *this;
}

void PointTable::rowsInserted(int first, int count)
{
    sizeToCells();
    if (observer_ != nullptr)
        observer_->tableRowsInserted(*this, first, count);
}

void PointTable::rowsRemoved(int first, int count)
{
    sizeToCells();
    if (observer_ != nullptr)
        observer_->tableRowsRemoved(*this, first, count);
}

void PointTable::reset()
{
    sizeToCells();
    if (observer_ != nullptr)
        observer_->tableReset(*this);
}

void PointTable::setNeedsDisplay(bool flag)
{
    View::setNeedsDisplay(flag);
    if (flag && observer_ != nullptr)
        observer_->tableNeedsDisplay(*this);
}
