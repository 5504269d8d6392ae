#include "calibration/SpanTest.h"

#include <cfloat>
#include <cmath>

namespace {
constexpr double tolerance = 64.0 * FLT_EPSILON;
}

bool spansThePlane(const double* const* m)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            if (!std::isfinite(m[r][c]))
                return false;
    const double diagonal = m[0][0] * m[1][1];
    const double cross = m[0][1] * m[1][0];
    const double scale = std::fabs(diagonal) + std::fabs(cross);
    if (!(scale > 0.0) || !std::isfinite(scale))
        return false;
    return std::fabs(diagonal - cross) > tolerance * scale;
}
