#include "desktop/window/NoteLabel.h"

#include <QPainter>

NoteLabel::NoteLabel(QColor background, QColor text, QColor border, QWidget* parent)
    : QLabel(parent), border_(border)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    if (text.isValid())
        colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
    setAutoFillBackground(true);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setContentsMargins(7, 5, 7, 5); // the border, and room inside it
}

void NoteLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(border_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
