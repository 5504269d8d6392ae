#pragma once

#include <QTableView>

class PointTableModel;

#include <vector>

// A point table on screen: fixed cell sizes (so a table of any length scrolls at once),
// each column as wide as its title or its widest value,
// the newest row kept in sight, and a new row that awaits world values opened for typing
// at its world x cell. A column widens to the widest text of its rows (new rows measured
// as they come, a changed table from its first and last rows), and a cell whose text is
// still cut shows it whole on hover: a number is never shown cut without a way to read it.
class PointTableView : public QTableView {
    Q_OBJECT
  public:
    explicit PointTableView(PointTableModel& model, QWidget* parent = nullptr);

    // The colour of the lines between cells: the table's background, as the cells are
    // drawn on it.
    QColor gridColor() const { return viewport()->palette().color(QPalette::Base); }

  protected:
    void rowsInserted(const QModelIndex& parent, int first, int last) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void reset() override;
    bool viewportEvent(QEvent* event) override;

  private:
    // Widens the columns for the text of rows first to last.
    void fitColumns(int first, int last);
    // The same for a table that changed as a whole: its first and last rows.
    void fitColumnsToSample();
    int textWidth(const QModelIndex& index) const;

    bool scrollPending_ = false;
    std::vector<int> narrowest_; // the width each column starts from and never goes below
};
