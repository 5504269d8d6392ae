#pragma once

#include <QString>
#include <QWidget>

// Text that changes with every mouse move (the cursor's coordinates): a fixed size, drawn
// by the widget itself, so that new text repaints this widget alone and never lays out
// the window again, as a label's would.
class ReadoutText : public QWidget {
  public:
    // Room for `characters` of the font's average width on each of `lines` lines.
    ReadoutText(int characters, int lines, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};
