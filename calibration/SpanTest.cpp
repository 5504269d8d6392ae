#include "calibration/SpanTest.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {
constexpr double tolerance = 64.0 * FLT_EPSILON;
constexpr double maxInverseEntry = 1e300;
} // namespace

bool isFinite(const double* const* m)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            if (!std::isfinite(m[r][c]))
                return false;
    return true;
}

bool spansThePlane(const double* const* m)
{
    if (!isFinite(m))
        return false;
    const double diagonal = m[0][0] * m[1][1];
    const double cross = m[0][1] * m[1][0];
    const double scale = std::fabs(diagonal) + std::fabs(cross);
    if (!(scale > 0.0) || !std::isfinite(scale))
        return false;
    const double determinant = std::fabs(diagonal - cross);
    // The inverse's entries are entries over the determinant; with values near the bottom
    // of the double range they would overflow even for a well-shaped matrix.
    const double largest =
        std::max(std::max(std::fabs(m[0][0]), std::fabs(m[0][1])), std::max(std::fabs(m[1][0]), std::fabs(m[1][1])));
    return determinant > tolerance * scale && largest / determinant < maxInverseEntry;
}
