#include "desktop/picture/ReadoutText.h"

#include <QPainter>

ReadoutText::ReadoutText(int characters, int lines, QWidget* parent) : QWidget(parent)
{
    const QFontMetrics metrics(font());
    setFixedSize(metrics.averageCharWidth() * characters, metrics.lineSpacing() * lines + 2);
    // It paints all of itself, so nothing under it is painted again with it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReadoutText::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    update();
}

void ReadoutText::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(backgroundRole()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
}
