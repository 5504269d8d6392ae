#include "controller/PlotmeterManager.h"

#include <cmath>

namespace {

// A new calibration point must lie at least this far from the first one...
constexpr double minimumDistance = 1.0;
// ...and off every line through the first point and a later one by an angle whose sine
// is at least this (about 0.86 degrees).
constexpr double sineThreshold = 0.015;

} // namespace

// The first calibration point is the pivot: the fit is built from every point's offset
// to it, so each accepted point must add an offset in a new direction.
bool PlotmeterManager::isColinear(DPoint p) const
{
    const std::vector<CalibrationPoint>& calibration = document_.calibration();
    if (calibration.empty())
        return false;

    const DPoint pivot = calibration.front().screen;
    const double vx = p.x - pivot.x;
    const double vy = p.y - pivot.y;
    const double d0 = std::hypot(vx, vy);
    if (d0 < minimumDistance)
        return true;

    for (std::size_t i = 1; i < calibration.size(); ++i) {
        const double ux = calibration[i].screen.x - pivot.x;
        const double uy = calibration[i].screen.y - pivot.y;
        const double di = std::hypot(ux, uy);
        // A point on the pivot itself has no direction: its sine is NaN and never refuses.
        const double s = std::fabs(ux * vy - uy * vx) / di / d0;
        if (s < sineThreshold)
            return true;
    }
    return false;
}
