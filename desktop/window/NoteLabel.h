#pragma once

#include <QColor>
#include <QLabel>

// A note in a coloured box with a thin border, such as the bar that asks to check the
// calibration: a label with its own background, text and border colours, drawn without a
// style sheet.
class NoteLabel : public QLabel {
    Q_OBJECT
  public:
    NoteLabel(QColor background, QColor text, QColor border, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor border_;
};
