#include "desktop/tables/PointTableView.h"

#include "desktop/tables/PointTableModel.h"
#include "desktop/tables/WorldValueDelegate.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>

namespace {

// Room beside a cell's text: the style's margins either side, and a pixel to spare.
constexpr int textPadding = 10;
// Room beside a column's title: the header's margins either side and a few pixels of air,
// so that the six columns of an empty table fit the panel's default width.
constexpr int titlePadding = 14;
// A table changed as a whole is measured on this many rows at each end; a longer text in
// between shows whole on hover.
constexpr int sampledRows = 500;

QColor qColor(const Color& c)
{
    return QColor::fromRgbF(c.red, c.green, c.blue, c.alpha);
}

// Qt measures every column title in bold, as a highlighted title is drawn; the titles
// are measured as drawn instead (the columns' widths leave room for bold), so that a bold
// face is not loaded at start-up only to measure them.
class TitleHeader : public QHeaderView {
  public:
    explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.section = logicalIndex;
        if (model() != nullptr)
            option.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
        return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    }
};

} // namespace

PointTableView::PointTableView(PointTableModel& model, QWidget* parent) : QTableView(parent)
{
    setHorizontalHeader(new TitleHeader(this));
    setModel(&model);
    const PointTable& table = model.table();
    setItemDelegate(new WorldValueDelegate(this));

    const Size cell = table.cellSize();
    const Size spacing = table.intercellSpacing();
    // Columns are as wide as their title or their widest value, no wider: the table's
    // nominal cell width would not fit six columns beside the picture.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(qRound(cell.height + spacing.height));
    setShowGrid(table.cellStyle().bordered);
    // The grid takes this colour from the application's style (PlotmeterStyle).
    QPalette background = viewport()->palette();
    background.setColor(QPalette::Base, qColor(table.backgroundColor()));
    viewport()->setPalette(background);
    // Rows are points: selected here, their marks are selected on the picture too.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    const QFontMetrics titles(horizontalHeader()->font());
    for (int column = 0; column < table.numberOfColumns(); ++column)
        narrowest_.push_back(
            titles.horizontalAdvance(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
            titlePadding);
    fitColumnsToSample();
}

int PointTableView::textWidth(const QModelIndex& index) const
{
    const QVariant font = index.data(Qt::FontRole);
    const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : this->font());
    return metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + textPadding;
}

void PointTableView::fitColumns(int first, int last)
{
    const int columns = std::min(model()->columnCount(), static_cast<int>(narrowest_.size()));
    for (int column = 0; column < columns; ++column) {
        int widest = columnWidth(column);
        for (int row = first; row <= last; ++row)
            widest = std::max(widest, textWidth(model()->index(row, column)));
        if (widest > columnWidth(column))
            setColumnWidth(column, widest);
    }
}

void PointTableView::fitColumnsToSample()
{
    for (std::size_t column = 0; column < narrowest_.size(); ++column)
        setColumnWidth(static_cast<int>(column), narrowest_[column]);
    const int rows = model()->rowCount();
    fitColumns(0, std::min(rows, sampledRows) - 1);
    fitColumns(std::max(sampledRows, rows - sampledRows), rows - 1);
}

void PointTableView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QTableView::dataChanged(topLeft, bottomRight, roles);
    if (bottomRight.row() - topLeft.row() < sampledRows)
        fitColumns(topLeft.row(), bottomRight.row());
    else
        fitColumnsToSample();
}

void PointTableView::reset()
{
    QTableView::reset();
    fitColumnsToSample();
}

// The whole text of a cell that is cut, on hover.
bool PointTableView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && textWidth(index) > visualRect(index).width())
            QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(),
                               visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

// One row added at the end is the user's latest click: keep it in sight and, when it
// awaits its world values, open its world x cell. Rows that come back (undo) are left
// where they are.
void PointTableView::rowsInserted(const QModelIndex& parent, int first, int last)
{
    QTableView::rowsInserted(parent, first, last);
    if (last - first < sampledRows)
        fitColumns(first, last);
    else
        fitColumnsToSample();
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
