#pragma once

#include "platform/CellStyle.h"
#include "platform/TableCell.h"
#include "platform/View.h"

#include <string>

class PointTable;

// Told when a shown table must catch up. Rows are numbered as after the change.
class PointTableObserver {
  public:
    virtual ~PointTableObserver() = default;
    virtual void tableRowsInserted(PointTable& table, int first, int count) = 0;
    virtual void tableRowsRemoved(PointTable& table, int first, int count) = 0;
    // Any cell may show another value; the rows are the same.
    virtual void tableNeedsDisplay(PointTable& table) = 0;
    // Everything may differ.
    virtual void tableReset(PointTable& table) = 0;
};

// A grid of columns (screen x, screen y, world x, world y, and what a table adds after
// them), one row a point, that shows what something else holds: its cells are made when
// asked for, so they never go stale. The look of the cells is the table's, one style for all.
class PointTable : public View {
  public:
    explicit PointTable(Rect frame) : View(frame) {}

    virtual int numberOfRows() const = 0;
    virtual int numberOfColumns() const { return 4; }
    // "Screen X", "Screen Y", "World X", "World Y", then the table's own.
    virtual std::string columnTitle(int column) const;
    // The cell at a row and column, both from 0 and in range.
    virtual TableCell cellAtRow(int row, int column) const = 0;
    // The user typed `text` into an editable cell; false when it is refused and the cell
    // keeps what it showed.
    virtual bool setStringValue(int row, int column, const std::string& text) = 0;
    // Why the last text was refused, as a sentence for the user.
    virtual std::string refusal() const { return {}; }
    // Whether a column takes dates (ISO 8601 text) rather than plain numbers.
    virtual bool takesDates(int /*column*/) const { return false; }
    // Why the text, typed into the column, would be refused, as a sentence for the user;
    // empty when it would be taken. Asked while the user types, so that a refusal shows
    // before the value is committed.
    virtual std::string problemWith(int /*column*/, const std::string& /*text*/) const { return {}; }

    // Fits the frame to the rows and cells, so that a scroll view's extent follows it.
    PointTable& sizeToCells();

    const CellStyle& cellStyle() const { return cellStyle_; }
    void setCellStyle(const CellStyle& style) { cellStyle_ = style; }
    void setCellSize(Size size) { cellSize_ = size; }
    Size cellSize() const { return cellSize_; }
    void setIntercellSpacing(Size spacing) { intercellSpacing_ = spacing; }
    Size intercellSpacing() const { return intercellSpacing_; }
    void setBackgroundColor(const Color& color) { backgroundColor_ = color; }
    Color backgroundColor() const { return backgroundColor_; }

    void setObserver(PointTableObserver* observer) { observer_ = observer; }
    PointTableObserver* observer() const { return observer_; }

    void setNeedsDisplay(bool flag) override;

  protected:
    // For the table's source, after it changed.
    void rowsInserted(int first, int count);
    void rowsRemoved(int first, int count);
    void reset();

  private:
    CellStyle cellStyle_;
    Size cellSize_{100.0f, 17.0f};
    Size intercellSpacing_{1.0f, 1.0f};
    Color backgroundColor_ = Color::lightGrayColor();
    PointTableObserver* observer_ = nullptr;
};
