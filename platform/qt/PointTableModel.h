#pragma once

#include "platform/PointTable.h"

#include <QAbstractTableModel>
#include <QFont>

// Shows a point table in a QTableView. The table is plain data that the controller
// changes directly; the model catches up when the table is sized to its cells (rows came
// or went) or marked for redrawing, announcing appended rows as insertions so that a
// long table is never rebuilt for one more point.
class PointTableModel : public QAbstractTableModel, public PointTableObserver {
    Q_OBJECT
  public:
    explicit PointTableModel(PointTable& table, QObject* parent = nullptr);
    ~PointTableModel() override;

    PointTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes only an empty text or one finite number; anything else is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void tableDidSizeToCells(PointTable& table) override;
    void tableNeedsDisplay(PointTable& table) override;

  private:
    const TableCell& cell(const QModelIndex& index) const;

    PointTable& table_;
    int shownRows_ = 0;
    std::uint64_t seenRemovals_ = 0;
    QFont font_;
};

// Whether a typed world value is acceptable: nothing at all, or one finite number in
// single precision with a point as the decimal mark.
bool isAcceptableWorldValue(const QString& text);
