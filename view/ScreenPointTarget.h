#pragma once

#include "platform/Geometry.h"

// Receives the screen points that a plot view makes of double-clicks.
class ScreenPointTarget {
  public:
    virtual ~ScreenPointTarget() = default;
    virtual void newScreenPoint(DPoint point) = 0;
};
