#pragma once

#include "extraction/PixelView.h"
#include "extraction/Region.h"
#include "extraction/Work.h"

#include <algorithm>

// One extraction's progress reports, thinned out to at most about two hundred.
class Pass {
  public:
    explicit Pass(const Work& work) : work_(work) {}

    bool cancelled() const { return work_.cancelled(); }
    void done(double fraction)
    {
        if (fraction < next_)
            return;
        work_.report(std::min(fraction, 1.0));
        next_ = fraction + 1.0 / 200.0;
    }

  private:
    const Work& work_;
    double next_ = 0.0;
};

// The part of the region's box that lies in the picture.
inline PixelBox clippedBox(const PixelView& picture, const Region& region)
{
    const PixelBox& box = region.box();
    PixelBox clipped{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, picture.width),
                     std::min(box.bottom, picture.height)};
    if (picture.pixels == nullptr || clipped.empty())
        return {};
    return clipped;
}
