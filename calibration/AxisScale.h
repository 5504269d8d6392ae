#pragma once

#include <optional>
#include <string>
#include <string_view>

// How an axis of the plot is graduated. The transform is fitted in "fit space", where
// every axis is linear: a log10 axis is fitted on the logarithms of its values, a date
// axis on seconds since 1970-01-01T00:00:00 UTC.
enum class AxisScale { linear, log10, date };

enum class AngleUnit { degrees, radians };

// Polar axes: world x is the angle, world y the radius. The fit is the affine map between
// the picture and the plane (rho cos theta, rho sin theta), theta the angle in radians
// (negated when clockwise), rho = radius - radius at the centre (on a log radius, log10
// radius - log10 radius at the centre): three or more points fix the centre, where angle
// zero points and an unevenly scaled (elliptical) scan.
struct PolarAxes {
    AngleUnit angle = AngleUnit::degrees;
    bool clockwise = false;
    AxisScale radius = AxisScale::linear; // linear or log10
    double radiusAtCentre = 0.0;          // on a log radius, above zero
    friend bool operator==(const PolarAxes&, const PolarAxes&) = default;
};

// The axes of the plot. Cartesian: the scale of each. Polar: `polar` is set, and x and y are
// the scales the angle and the radius are shown and typed in (linear, and the radius').
struct AxisScales {
    AxisScales() = default;
    AxisScales(AxisScale xScale, AxisScale yScale) : x(xScale), y(yScale) {}
    static AxisScales polarOf(PolarAxes axes)
    {
        AxisScales scales(AxisScale::linear, axes.radius);
        scales.polar = axes;
        return scales;
    }

    AxisScale x = AxisScale::linear;
    AxisScale y = AxisScale::linear;
    std::optional<PolarAxes> polar;
    friend bool operator==(const AxisScales&, const AxisScales&) = default;
};

// "linear", "log10", "date"; the names the project file uses.
std::string_view axisScaleName(AxisScale scale);
// The scale with exactly that name; empty for any other text.
std::optional<AxisScale> axisScaleNamed(std::string_view name);

// A world value on the axis as the fit sees it: log10(world) on a log axis, the value
// itself otherwise. Empty for a value the axis cannot show (not finite, or not above
// zero on a log axis).
std::optional<double> toFitSpace(AxisScale scale, double world);
// The inverse: 10^v on a log axis (for a whole v, the double nearest to it, so that
// 1e3 and 1e-3 come back as typed), the value itself otherwise.
double fromFitSpace(AxisScale scale, double fitValue);

// A world value as typed in a cell. Empty or blank text gives neither value nor problem:
// the cell is cleared. Otherwise exactly one of the two is set; the problem is a sentence
// for the user saying what is wrong with the text.
struct WorldEntry {
    std::optional<double> value;
    std::string problem;
};

// linear: one finite number with a point as the decimal mark. log10: the same, above
// zero. date: a UTC date or date-time in ISO 8601 form (2024-03-01, 2024-03-01T12:30,
// 2024-03-01 12:30:15.25Z, ...; years 0000 to 9999 of the Gregorian calendar), or a
// plain number of seconds since 1970-01-01T00:00:00 UTC; the value is in seconds.
WorldEntry readWorldValue(AxisScale scale, std::string_view text);

// The text a cell shows for a world value; readWorldValue reads it back as exactly the
// same double. linear and log10: the shortest such number. date: ISO 8601 UTC text,
// "2024-03-01" at midnight, "2024-03-01T12:30" on a whole minute, "2024-03-01T12:30:15"
// on a whole second, else with the fewest fraction digits that read back exactly (at
// most 9, nanoseconds). A value that needs more, lies outside years 0000..9999, or is
// not finite is shown as a plain number of seconds.
std::string showWorldValue(AxisScale scale, double value);
