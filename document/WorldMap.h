#pragma once

#include "calibration/AxesSpace.h"
#include "document/Series.h"

#include <optional>
#include <string>
#include <vector>

class CartesianPlotmeter;

// The screen-to-world mapping in force, as a value. The fit is affine in "fit space",
// where a log axis holds log10 of its values:
//     fit = A · screen + offset,   world = the axes' scales applied to fit
// (each axis' own on Cartesian axes; angle and radius from the plane on polar ones).
struct WorldMap {
    double a00 = 1.0, a01 = 0.0, a10 = 0.0, a11 = 1.0;
    double xoffset = 0.0, yoffset = 0.0;
    double i00 = 1.0, i01 = 0.0, i10 = 0.0, i11 = 1.0; // the inverse of A
    AxisScales scales;

    DPoint fit(DPoint screen) const
    {
        return {(a00 * screen.x + a01 * screen.y) + xoffset, (a10 * screen.x + a11 * screen.y) + yoffset};
    }
    // A fit value smaller than a millionth of what a pixel is worth on its axis is zero up
    // to rounding (a point clicked on the axis gives -2.2e-16, not a value): it is 0, so that
    // files show 0 (1 on a log axis), not rounding noise.
    DPoint world(DPoint screen) const
    {
        DPoint f = fit(screen);
        if (f.x * f.x < 1e-12 * (a00 * a00 + a01 * a01))
            f.x = 0.0;
        if (f.y * f.y < 1e-12 * (a10 * a10 + a11 * a11))
            f.y = 0.0;
        return fromFitSpace(scales, f);
    }
    // Where a point of fit space lies in the picture.
    DPoint screenOfFit(DPoint f) const
    {
        const double dx = f.x - xoffset;
        const double dy = f.y - yoffset;
        return {i00 * dx + i01 * dy, i10 * dx + i11 * dy};
    }
    // The transform a calibration model last fitted, for axes of these scales.
    static WorldMap of(const CartesianPlotmeter& plotmeter, AxisScales scales);
};

struct FitOutcome {
    std::optional<WorldMap> map; // empty when the calibration defines no transform
    std::string problem;         // then why, as a sentence for the user
};

// A calibration point's typed world values in fit space; empty, with the reason, when a
// value is missing or has no place on its axis (zero or less on a log axis). Rows are
// named from 1.
struct FitPoint {
    std::optional<DPoint> fit;
    std::string problem;
};
FitPoint fitSpaceOf(const CalibrationPoint& point, std::size_t row, AxisScales scales);

// Fits the transform to calibration points the way acquisition does: every point needs
// both world values, there must be three or more, and they must span the plane.
FitOutcome fitCalibration(const std::vector<CalibrationPoint>& calibration, AxisScales scales = {});
