#include "desktop/picture/ClickCounter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>

int ClickCounter::countPress(const QMouseEvent& event)
{
    const QStyleHints* hints = QGuiApplication::styleHints();
    const bool quick = event.timestamp() - lastTimestamp_ <= static_cast<quint64>(hints->mouseDoubleClickInterval());
    const bool still = (event.position() - lastPosition_).manhattanLength() <= hints->mouseDoubleClickDistance();

    if (event.type() == QEvent::MouseButtonDblClick)
        count_ = 2;
    else if (count_ >= 2 && quick && still)
        ++count_;
    else
        count_ = 1;
    lastTimestamp_ = event.timestamp();
    lastPosition_ = event.position();
    return count_;
}
