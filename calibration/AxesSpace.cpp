#include "calibration/AxesSpace.h"

#include <cmath>
#include <numbers>

namespace {

double turn(AngleUnit unit)
{
    return unit == AngleUnit::degrees ? 360.0 : 2.0 * std::numbers::pi;
}

} // namespace

std::optional<DPoint> toFitSpace(const AxisScales& axes, DPoint world, std::string* why)
{
    const auto refuse = [why](const char* reason) -> std::optional<DPoint> {
        if (why != nullptr)
            *why = reason;
        return std::nullopt;
    };
    if (!axes.polar) {
        const std::optional<double> x = toFitSpace(axes.x, world.x);
        const std::optional<double> y = toFitSpace(axes.y, world.y);
        if (!x || !y)
            return refuse(!x ? "world x" : "world y"); // (no one-letter text: GCC bug 105329)
        return DPoint{*x, *y};
    }
    const PolarAxes& polar = *axes.polar;
    if (!std::isfinite(world.x) || !std::isfinite(world.y))
        return refuse("not a finite number");
    double rho = 0.0;
    if (polar.radius == AxisScale::log10) {
        if (!(world.y > 0.0))
            return refuse("a log radius takes only values above zero");
        rho = std::log10(world.y) - std::log10(polar.radiusAtCentre);
    } else {
        rho = world.y - polar.radiusAtCentre;
    }
    if (rho < 0.0)
        return refuse("the radius is below the one at the centre");
    double theta = world.x * (2.0 * std::numbers::pi / turn(polar.angle));
    if (polar.clockwise)
        theta = -theta;
    return DPoint{rho * std::cos(theta), rho * std::sin(theta)};
}

DPoint fromFitSpace(const AxisScales& axes, DPoint fit)
{
    if (!axes.polar)
        return {fromFitSpace(axes.x, fit.x), fromFitSpace(axes.y, fit.y)};
    const PolarAxes& polar = *axes.polar;
    const double rho = std::hypot(fit.x, fit.y);
    double theta = std::atan2(fit.y, fit.x);
    if (polar.clockwise)
        theta = -theta;
    double angle = theta * (turn(polar.angle) / (2.0 * std::numbers::pi));
    if (angle < 0.0)
        angle += turn(polar.angle);
    if (angle >= turn(polar.angle)) // -0 and rounding just under a whole turn
        angle = 0.0;
    const double radius = polar.radius == AxisScale::log10 ? std::pow(10.0, std::log10(polar.radiusAtCentre) + rho)
                                                            : polar.radiusAtCentre + rho;
    return {angle + 0.0, radius};
}

double worldDifference(const AxisScales& axes, int axis, double typed, double fitted)
{
    double difference = typed - fitted;
    if (axes.polar && axis == 0) {
        const double whole = turn(axes.polar->angle);
        difference = std::remainder(difference, whole);
        if (difference <= -whole / 2)
            difference += whole;
    }
    return difference;
}

std::string_view angleUnitName(AngleUnit unit)
{
    return unit == AngleUnit::degrees ? "degrees" : "radians";
}

std::optional<AngleUnit> angleUnitNamed(std::string_view name)
{
    if (name == "degrees")
        return AngleUnit::degrees;
    if (name == "radians")
        return AngleUnit::radians;
    return std::nullopt;
}

std::string polarProblem(const PolarAxes& axes)
{
    if (axes.radius != AxisScale::linear && axes.radius != AxisScale::log10)
        return "the radius scale must be linear or log10";
    if (!std::isfinite(axes.radiusAtCentre))
        return "the radius at the centre must be a finite number";
    if (axes.radius == AxisScale::log10 && !(axes.radiusAtCentre > 0.0))
        return "on a log radius, the radius at the centre must be above zero";
    return {};
}
