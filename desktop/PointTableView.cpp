#include "desktop/PointTableView.h"

#include "desktop/PointTableModel.h"
#include "desktop/WorldValueDelegate.h"

#include <QHeaderView>

namespace {

QString colorName(const Color& c)
{
    return QColor::fromRgbF(c.red, c.green, c.blue, c.alpha).name();
}

} // namespace

PointTableView::PointTableView(PointTableModel& model, QWidget* parent) : QTableView(parent)
{
    setModel(&model);
    const PointTable& table = model.table();
    setItemDelegate(new WorldValueDelegate(this));

    const Size cell = table.cellSize();
    const Size spacing = table.intercellSpacing();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(qRound(cell.width + spacing.width));
    // The calibration table's residuals: a pair of numbers, and a short one.
    if (table.numberOfColumns() == 6) {
        horizontalHeader()->resizeSection(4, qRound(1.4 * (cell.width + spacing.width)));
        horizontalHeader()->resizeSection(5, qRound(0.7 * (cell.width + spacing.width)));
    }
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(qRound(cell.height + spacing.height));
    setShowGrid(table.cellStyle().bordered);
    setStyleSheet(QStringLiteral("QTableView { background-color: %1; gridline-color: %1; }")
                      .arg(colorName(table.backgroundColor())));
    // Rows are points: selected here, their marks are selected on the picture too.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
}

// One row added at the end is the user's latest click: keep it in sight and, when it
// awaits its world values, open its world x cell. Rows that come back (undo) are left
// where they are.
void PointTableView::rowsInserted(const QModelIndex& parent, int first, int last)
{
    QTableView::rowsInserted(parent, first, last);
    if (first != last || last != model()->rowCount() - 1)
        return;
    // Scrolling lays out the headers again; do it once after a burst of appended rows.
    if (!scrollPending_) {
        scrollPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                scrollPending_ = false;
                scrollToBottom();
            },
            Qt::QueuedConnection);
    }
    const QModelIndex worldX = model()->index(last, 2);
    if (!isVisible() || !(model()->flags(worldX) & Qt::ItemIsEditable))
        return;
    if (model()->data(worldX, Qt::EditRole).toString().isEmpty()) {
        setCurrentIndex(worldX);
        edit(worldX);
    }
}
