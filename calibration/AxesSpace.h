#pragma once

#include "calibration/AxisScale.h"
#include "platform/Geometry.h"

#include <optional>
#include <string>
#include <string_view>

// World points and fit space for the axes as a whole: on Cartesian axes each coordinate
// by its own axis' scale; on polar axes the plane (rho cos theta, rho sin theta) (see
// PolarAxes).

// A world point (x, y; or angle, radius) in fit space; empty, with the reason in `why`
// when it is given, for a value the axes cannot place (not finite, not above zero on a log
// axis, a radius below the one at the centre).
std::optional<DPoint> toFitSpace(const AxisScales& axes, DPoint world, std::string* why = nullptr);
// The inverse: angles in [0, 360) degrees or [0, 2 pi) radians.
DPoint fromFitSpace(const AxisScales& axes, DPoint fit);

// Typed minus fitted on world coordinate `axis` (0 x or the angle, 1 y or the radius): an
// angle the short way round, in (-half a turn, half a turn].
double worldDifference(const AxisScales& axes, int axis, double typed, double fitted);

// "degrees", "radians": the names the project file uses.
std::string_view angleUnitName(AngleUnit unit);
std::optional<AngleUnit> angleUnitNamed(std::string_view name);
// Why the polar settings cannot be used, as a phrase naming the setting; empty when they can.
std::string polarProblem(const PolarAxes& axes);
