#pragma once

#include <QPointF>

class QMouseEvent;

// Numbers the presses of a multiple click: 1 for a single press, 2 for the second press
// of a double-click, 3 for a third press that follows quickly at the same place, and so
// on. Qt reports the second press itself but never a third.
class ClickCounter {
  public:
    int countPress(const QMouseEvent& event);

  private:
    int count_ = 0;
    quint64 lastTimestamp_ = 0;
    QPointF lastPosition_;
};
