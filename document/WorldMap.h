#pragma once

#include "document/Series.h"

#include <optional>
#include <string>
#include <vector>

class CartesianPlotmeter;

// The screen-to-world mapping in force, as a value: world = A · screen + offset.
struct WorldMap {
    double a00 = 1.0, a01 = 0.0, a10 = 0.0, a11 = 1.0;
    double xoffset = 0.0, yoffset = 0.0;

    DPoint world(DPoint screen) const
    {
        return {(a00 * screen.x + a01 * screen.y) + xoffset, (a10 * screen.x + a11 * screen.y) + yoffset};
    }
    // The transform a calibration model last fitted.
    static WorldMap of(const CartesianPlotmeter& plotmeter);
};

struct FitOutcome {
    std::optional<WorldMap> map; // empty when the calibration defines no transform
    std::string problem;         // then why, as a sentence for the user
};

// Fits the transform to calibration points the way acquisition does: every point needs
// both world values, there must be three or more, and they must span the plane.
FitOutcome fitCalibration(const std::vector<CalibrationPoint>& calibration);
