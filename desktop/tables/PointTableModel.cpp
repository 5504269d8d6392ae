#include "desktop/tables/PointTableModel.h"

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
    return text.trimmed().isEmpty() || readCompleteNumber(text.toStdString());
}

PointTableModel::PointTableModel(PointTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(table.numberOfRows()),
      font_(fontFor(table.cellStyle().font))
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

QVariant PointTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= table_.numberOfRows())
        return {};
    const CellStyle& style = table_.cellStyle();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(table_.cellAtRow(index.row(), index.column()).stringValue());
    case Qt::FontRole:
        return font_;
    case Qt::BackgroundRole:
        return toQColor(style.backgroundColor);
    case Qt::ForegroundRole:
        return toQColor(style.textColor);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQtAlignment(style.alignment));
    case TakesDatesRole:
        return table_.takesDates(index.column());
    case RefusalRole:
        return QString::fromStdString(table_.refusal());
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
    if (section >= 0 && section < table_.numberOfColumns())
        return tr(table_.columnTitle(section).c_str());
    return {};
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= table_.numberOfRows())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (table_.cellAtRow(index.row(), index.column()).isEditable())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (!table_.takesDates(index.column()) && !isAcceptableWorldValue(text))
        return false;
    // The document tells the table, and the table us, when the value changed.
    return table_.setStringValue(index.row(), index.column(), text.trimmed().toStdString());
}

QString PointTableModel::problemWith(const QModelIndex& index, const QString& text) const
{
    return QString::fromStdString(table_.problemWith(index.column(), text.trimmed().toStdString()));
}

void PointTableModel::tableRowsInserted(PointTable& /*table*/, int first, int count)
{
    if (count <= 0)
        return;
    if (first > shownRows_) {
        tableReset(table_);
        return;
    }
    beginInsertRows({}, first, first + count - 1);
    shownRows_ += count;
    endInsertRows();
}

void PointTableModel::tableRowsRemoved(PointTable& /*table*/, int first, int count)
{
    if (count <= 0)
        return;
    if (first + count > shownRows_) {
        tableReset(table_);
        return;
    }
    beginRemoveRows({}, first, first + count - 1);
    shownRows_ -= count;
    endRemoveRows();
}

void PointTableModel::tableNeedsDisplay(PointTable& /*table*/)
{
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); // "Angle" for "World X", say
}

void PointTableModel::tableReset(PointTable& table)
{
    beginResetModel();
    shownRows_ = table.numberOfRows();
    endResetModel();
}
