#pragma once

#include "platform/Color.h"
#include "platform/Geometry.h"

// A decoded picture. Its size is in picture units: one unit is one pixel at 100 %.
class Image {
  public:
    virtual ~Image() = default;
    virtual Size size() const = 0;
    // The colour shown behind transparent parts of the picture.
    virtual void setBackgroundColor(const Color& color) = 0;
};
