#pragma once

#include <QStyledItemDelegate>
#include <QValidator>

// Lets through, while the user types, only what can still become a number: digits, one
// point, a sign, an exponent. What is complete and finite is acceptable; a partial or
// out-of-range number is kept while editing but never committed.
class WorldValueValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// The editor of the world cells: a line edit with the validator above that shows a hint
// when a key is refused or the text cannot be committed, so a slip of the keyboard never
// becomes a silent zero.
class WorldValueDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    static QString hint();
    static QString dateHint();

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};
