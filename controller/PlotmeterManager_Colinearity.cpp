#include "controller/PlotmeterManager.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {

// A new calibration point must lie at least this far from the first one...
constexpr float minimumDistance = 1.0f;
// ...and off every line through the first point and a later one by an angle whose sine
// is at least this (about 0.86 degrees).
constexpr double sineThreshold = 0.015;

float length(float x, float y)
{
    return static_cast<float>(std::sqrt(static_cast<double>(x * x + y * y)));
}

} // namespace

// The first calibration point is the pivot: the fit is built from every point's offset
// to it, so each accepted point must add an offset in a new direction. The arithmetic is
// single precision, as the points are stored in the table.
bool PlotmeterManager::isColinear(DPoint p) const
{
    const PointTable& table = *calMatrix_;
    const int n = table.numberOfRows();
    if (n == 0)
        return false;

    const float x0 = table.cellAtRow(0, 0).floatValue();
    const float y0 = table.cellAtRow(0, 1).floatValue();
    const float vx = toSinglePrecision(p.x - static_cast<double>(x0));
    const float vy = toSinglePrecision(p.y - static_cast<double>(y0));
    const float d0 = length(vx, vy);
    if (d0 < minimumDistance)
        return true;

    for (int i = 1; i < n; ++i) {
        const float ux = table.cellAtRow(i, 0).floatValue() - x0;
        const float uy = table.cellAtRow(i, 1).floatValue() - y0;
        const float di = length(ux, uy);
        // A row on the pivot itself has no direction: its sine is NaN and never refuses.
        const float s = std::fabs(ux * vy - uy * vx) / di / d0;
        if (static_cast<double>(s) < sineThreshold)
            return true;
    }
    return false;
}
