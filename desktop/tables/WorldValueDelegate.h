#pragma once

#include <QStyledItemDelegate>
#include <QValidator>

#include <functional>

// Lets through, while the user types, only what can still become a number: digits, one
// point, a sign, an exponent. What is complete, finite and taken by the axis is
// acceptable; a partial or out-of-range number, or one the axis refuses (zero on a log
// axis), is kept while editing but never committed.
class WorldValueValidator : public QValidator {
    Q_OBJECT
  public:
    // `axisProblem` says why the axis would refuse a text; empty if it would not. A column of
    // dates takes any key, and its text only once the axis would.
    WorldValueValidator(bool dates, std::function<QString(const QString&)> axisProblem, QObject* parent = nullptr)
        : QValidator(parent), dates_(dates), axisProblem_(std::move(axisProblem))
    {
    }
    State validate(QString& input, int& position) const override;

  private:
    bool dates_;
    std::function<QString(const QString&)> axisProblem_;
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
