#include "desktop/tables/WorldValueDelegate.h"

#include "desktop/tables/PointTableModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolTip>

QValidator::State WorldValueValidator::validate(QString& input, int& /*position*/) const
{
    if (dates_)
        return axisProblem_(input).isEmpty() ? Acceptable : Intermediate;
    if (isAcceptableWorldValue(input))
        return axisProblem_(input).isEmpty() ? Acceptable : Intermediate;
    // A decimal comma stays in sight, never committed, so that "1,5" cannot quietly
    // become 15 by a refused key.
    static const QRegularExpression partialNumber(QStringLiteral("^\\s*[+-]?\\d*[.,]?\\d*([eE][+-]?\\d*)?\\s*$"));
    return partialNumber.match(input).hasMatch() ? Intermediate : Invalid;
}

QString WorldValueDelegate::dateHint()
{
    return tr("Type a date such as 2024-03-01 or 2024-03-01T12:30 (UTC), or seconds since 1970.");
}

QString WorldValueDelegate::hint()
{
    return tr("Type a number with a point as the decimal mark, such as 12.5, -0.3 or 4e-6.");
}

namespace {

void showHint(QLineEdit* editor, const QString& hint = WorldValueDelegate::hint())
{
    QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), hint, editor);
}

bool takesDates(const QModelIndex& index)
{
    return index.data(PointTableModel::TakesDatesRole).toBool();
}

} // namespace

QWidget* WorldValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                          const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setPalette(QApplication::palette(editor)); // white to type in, not the table's grey
    editor->setObjectName(QStringLiteral("worldValueEditor"));
    if (const QVariant font = index.data(Qt::FontRole); font.isValid())
        editor->setFont(font.value<QFont>());
    editor->setFrame(false);
    const bool dates = takesDates(index);
    const auto* model = qobject_cast<const PointTableModel*>(index.model());
    const QPersistentModelIndex cell(index);
    // As a sentence of its own: "A log axis takes only values above zero."
    const auto axisProblem = [model, cell](const QString& text) {
        QString why = model != nullptr && cell.isValid() ? model->problemWith(cell, text) : QString();
        if (!why.isEmpty()) {
            why[0] = why[0].toUpper();
            if (!why.endsWith(QLatin1Char('.')))
                why += QLatin1Char('.');
        }
        return why;
    };
    editor->setValidator(new WorldValueValidator(dates, axisProblem, editor));
    const QString usual = dates ? dateHint() : hint();
    editor->setToolTip(usual);
    connect(editor, &QLineEdit::inputRejected, editor, [editor] { showHint(editor); });
    // Pink while the text cannot be committed, with the reason as its tooltip; a complete
    // number that the axis refuses (zero on a log axis) says so at once.
    connect(editor, &QLineEdit::textEdited, editor, [editor, axisProblem, usual, dates] {
        const bool acceptable = editor->hasAcceptableInput();
        editor->setStyleSheet(acceptable ? QString() : QStringLiteral("QLineEdit { background: #ffd8d8; }"));
        const QString why = acceptable ? QString() : axisProblem(editor->text());
        editor->setToolTip(why.isEmpty() ? usual : why);
        if (!dates && !why.isEmpty() && isAcceptableWorldValue(editor->text()))
            showHint(editor, why);
    });
    return editor;
}

// Enter on an incomplete number keeps the editor open; say why rather than do nothing.
bool WorldValueDelegate::eventFilter(QObject* editor, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* line = qobject_cast<QLineEdit*>(editor);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && line != nullptr && !line->hasAcceptableInput())
            showHint(line, line->toolTip());
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

// A text that is not a complete number stays out of the table: the cell keeps what it
// had, and the user is shown why.
void WorldValueDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line == nullptr)
        return;
    if (!line->hasAcceptableInput()) {
        showHint(line, line->toolTip());
        return;
    }
    // The axis may refuse a number too: zero or less on a log axis, a day that does not exist.
    if (!model->setData(index, line->text(), Qt::EditRole)) {
        const QString why = index.data(PointTableModel::RefusalRole).toString();
        showHint(line, why.isEmpty() ? (takesDates(index) ? dateHint() : hint()) : why);
    }
}
