#include "platform/qt/PointTableModel.h"

#include "platform/NumberText.h"

#include <QColor>

namespace {

QColor toQColor(const Color& c)
{
    return QColor::fromRgbF(c.red, c.green, c.blue, c.alpha);
}

// The font the table's cells ask for, or the system's nearest sans-serif.
QFont fontFor(const Font& font)
{
    QFont qfont(QString::fromStdString(font.name));
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPointSizeF(static_cast<double>(font.size));
    return qfont;
}

Qt::Alignment toQtAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlignment::center:
        return Qt::AlignCenter;
    case TextAlignment::left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

bool isAcceptableWorldValue(const QString& text)
{
    return text.trimmed().isEmpty() || isCompleteFiniteFloat(text.toStdString());
}

PointTableModel::PointTableModel(PointTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.numberOfRows()), seenRemovals_(table.removalCount()),
      font_(fontFor(table.prototype().style().font))
{
    table_.setObserver(this);
}

PointTableModel::~PointTableModel()
{
    table_.setObserver(nullptr);
}

int PointTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int PointTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.numberOfColumns();
}

const TableCell& PointTableModel::cell(const QModelIndex& index) const
{
    return table_.cellAtRow(index.row(), index.column());
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= table_.numberOfRows())
        return {};
    const TableCell& c = cell(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(c.stringValue());
    case Qt::FontRole:
        return font_;
    case Qt::BackgroundRole:
        return toQColor(c.style().backgroundColor);
    case Qt::ForegroundRole:
        return toQColor(c.style().textColor);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQtAlignment(c.style().alignment));
    default:
        return {};
    }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char* const titles[] = {"Screen X", "Screen Y", "World X", "World Y"};
    if (section >= 0 && section < 4)
        return tr(titles[section]);
    return {};
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= table_.numberOfRows())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (cell(index).isEditable())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (!isAcceptableWorldValue(text))
        return false;
    table_.cellAtRow(index.row(), index.column()).setStringValue(text.trimmed().toStdString());
    emit dataChanged(index, index);
    return true;
}

void PointTableModel::tableDidSizeToCells(PointTable& table)
{
    const int rows = table.numberOfRows();
    if (table.removalCount() != seenRemovals_ || rows < shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        seenRemovals_ = table.removalCount();
        endResetModel();
    } else if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
}

void PointTableModel::tableNeedsDisplay(PointTable& /*table*/)
{
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, columnCount() - 1));
}
