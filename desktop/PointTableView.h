#pragma once

#include <QTableView>

class PointTableModel;

// A point table on screen: fixed cell sizes (so a table of any length scrolls at once),
// the newest row kept in sight, and a new row that awaits world values opened for typing
// at its world x cell.
class PointTableView : public QTableView {
    Q_OBJECT
  public:
    explicit PointTableView(PointTableModel& model, QWidget* parent = nullptr);

  protected:
    void rowsInserted(const QModelIndex& parent, int first, int last) override;

  private:
    bool scrollPending_ = false;
};
