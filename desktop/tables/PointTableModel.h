#pragma once

#include "platform/PointTable.h"

#include <QAbstractTableModel>
#include <QFont>

// Shows a point table in a QTableView. The table shows the document and says what changed;
// the model passes insertions and removals on as such, so that a long table is never
// rebuilt for one more point.
class PointTableModel : public QAbstractTableModel, public PointTableObserver {
    Q_OBJECT
  public:
    // A world column that takes dates answers true; after a refused edit, the reason.
    enum Role { TakesDatesRole = Qt::UserRole + 1, RefusalRole };

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
    // Why this text would be refused in the cell (zero on a log axis, say); empty if not.
    QString problemWith(const QModelIndex& index, const QString& text) const;

    void tableRowsInserted(PointTable& table, int first, int count) override;
    void tableRowsRemoved(PointTable& table, int first, int count) override;
    void tableNeedsDisplay(PointTable& table) override;
    void tableReset(PointTable& table) override;

  private:
    PointTable& table_;
    // The rows the view knows of: the table has already changed when it tells us.
    int shownRows_ = 0;
    QFont font_;
};

// Whether a typed world value is acceptable: nothing at all, or one finite number with a
// point as the decimal mark.
bool isAcceptableWorldValue(const QString& text);
