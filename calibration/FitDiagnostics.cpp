#include "calibration/FitDiagnostics.h"

#include "platform/NumberText.h"

#include "calibration/CartesianPlotmeter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>

// On the x and y scales. A 3-point calibration fits exactly whatever was typed, so a value
// typed 10 times too large on the point that fixes one axis only makes the fit's scale of
// that axis 10 times larger; the picture offers nothing to compare it with, since plots are
// drawn with any units on either axis. Comparing the picture lengths of the calibration's
// x and y spans with the clicked points' own extents along those directions gives exactly 1
// whenever the fitted axes are perpendicular; otherwise it moves with the angle, and with
// four points or more it moves as much for half-pixel clicks on a thin strip of a plot as
// for a value typed 10 times too large. A wrong value shows instead as a skewed axis (three
// points) or as distances in pixels (four or more). So the report keeps aspectFactor at 1
// and warns about angles and outliers only.

namespace {

constexpr double skewToleranceDegrees = 2.0;
constexpr double outlierFloorPixels = 3.0;
constexpr double outlierRmsFactor = 5.0;
constexpr double tiltMentionDegrees = 0.5;
constexpr double degreesPerRadian = 180.0 / 3.14159265358979323846;

bool fit(CartesianPlotmeter& plotmeter, const std::vector<DPoint>& screen, const std::vector<DPoint>& world,
         std::size_t skip)
{
    plotmeter.clear();
    for (std::size_t i = 0; i < screen.size(); ++i) {
        if (i == skip)
            continue;
        plotmeter.addScreenPoint(screen[i]);
        plotmeter.addWorldPoint(world[i]);
    }
    return plotmeter.findTransform();
}

double distance(DPoint a, DPoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The distance in pixels between where a point was clicked and where the fit puts its
// typed value.
double pixelsOff(const CartesianPlotmeter& plotmeter, DPoint screen, DPoint world)
{
    return distance(screen, plotmeter.calcScreenFromWorld(world));
}

std::string fixed(double value, int decimals)
{
    return formatCellNumber(value, {false, 0, static_cast<unsigned>(decimals)});
}

// The value rounded to the decimal place of `step` and written without needless zeros, with
// a point as the decimal mark whatever the locale: 20.0213 to 0.01 is "20.02", 30 is "30".
std::string roundedNumber(double value, double step)
{
    if (!(step > 0.0) || !std::isfinite(step))
        return formatCellNumber(value, {true, 6, 0});
    const int place = static_cast<int>(std::floor(std::log10(step)));
    const double unit = std::pow(10.0, place);
    const double rounded = std::round(value / unit) * unit;
    if (!std::isfinite(rounded))
        return formatCellNumber(value, {true, 6, 0});
    if (rounded == 0.0)
        return "0";
    const double magnitude = std::fabs(rounded);
    if (magnitude < 1e-4 || magnitude >= 1e15) {
        const int leading = static_cast<int>(std::floor(std::log10(magnitude)));
        const int digits = std::max(1, std::min(17, leading - place + 1));
        return formatCellNumber(rounded, {true, static_cast<unsigned>(digits), 0});
    }
    std::string text = fixed(rounded, std::max(0, -place));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

// The world values of a pair, each coordinate to a tenth of the most it changes across one
// pixel under the fit.
std::string pairText(DPoint world, const CartesianPlotmeter& plotmeter)
{
    const double xStep = 0.1 * std::hypot(plotmeter.a(0, 0), plotmeter.a(0, 1));
    const double yStep = 0.1 * std::hypot(plotmeter.a(1, 0), plotmeter.a(1, 1));
    // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about "(" + a string.
    std::string text = "(";
    text += roundedNumber(world.x, xStep);
    text += ", ";
    text += roundedNumber(world.y, yStep);
    text += ')';
    return text;
}

bool allFinite(const std::vector<DPoint>& points)
{
    for (const DPoint& p : points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    return true;
}

// The point the others disagree with most, if any does by the rule in the header, with the
// warning that names it.
std::optional<Outlier> findOutlier(const std::vector<DPoint>& screen, const std::vector<DPoint>& world,
                                   std::string& warning)
{
    std::optional<Outlier> found;
    CartesianPlotmeter others;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        if (!fit(others, screen, world, i))
            continue;
        const double off = pixelsOff(others, screen[i], world[i]);
        double squares = 0.0;
        for (std::size_t j = 0; j < screen.size(); ++j)
            if (j != i)
                squares += std::pow(pixelsOff(others, screen[j], world[j]), 2);
        // Counted over the others' degrees of freedom, not their number: an affine fit takes
        // three of them away, so a plain mean of so few residuals would read too small and
        // name a point for ordinary half-pixel clicking.
        const double othersRms = std::sqrt(squares / static_cast<double>(screen.size() - 1 - 3));
        if (off <= outlierFloorPixels || off <= outlierRmsFactor * othersRms || (found && off <= found->pixels))
            continue;
        found = Outlier{i, others.calcWorldFromScreen(screen[i]), off};
        warning = "Point " + std::to_string(i + 1) + ": typed " + pairText(world[i], others) +
                  ", the other points put it at " + pairText(found->predicted, others);
    }
    return found;
}

} // namespace

std::optional<FitReport> diagnoseFit(const std::vector<DPoint>& screen, const std::vector<DPoint>& world)
{
    if (screen.size() != world.size() || screen.size() < 3 || screen.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    if (!allFinite(screen) || !allFinite(world))
        return std::nullopt;
    CartesianPlotmeter all;
    if (!fit(all, screen, world, screen.size()))
        return std::nullopt;

    FitReport report;
    double squares = 0.0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        PointCheck check;
        check.fitted = all.calcWorldFromScreen(screen[i]);
        check.residual = {world[i].x - check.fitted.x, world[i].y - check.fitted.y};
        check.typedAt = all.calcScreenFromWorld(world[i]);
        check.pixels = distance(screen[i], check.typedAt);
        squares += check.pixels * check.pixels;
        if (check.pixels > (report.points.empty() ? -1.0 : report.points[report.worst].pixels))
            report.worst = i;
        report.points.push_back(check);
    }
    report.rmsPixels = std::sqrt(squares / static_cast<double>(screen.size()));
    report.exact = screen.size() == 3;

    // A unit step along world x, and along world y, as drawn in the picture: the columns of
    // the inverse matrix.
    const DPoint xDirection{all.aInverse(0, 0), all.aInverse(1, 0)};
    const DPoint yDirection{all.aInverse(0, 1), all.aInverse(1, 1)};
    const double cross = xDirection.x * yDirection.y - xDirection.y * yDirection.x;
    const double dot = xDirection.x * yDirection.x + xDirection.y * yDirection.y;
    report.axisAngleDegrees = std::atan2(std::fabs(cross), dot) * degreesPerRadian;
    report.rotationDegrees = std::atan2(xDirection.y, xDirection.x) * degreesPerRadian;
    if (report.rotationDegrees <= -180.0)
        report.rotationDegrees += 360.0;

    if (screen.size() >= 5) {
        std::string warning;
        report.outlier = findOutlier(screen, world, warning);
        if (report.outlier)
            report.warnings.push_back(warning);
    }
    if (std::fabs(report.axisAngleDegrees - 90.0) > skewToleranceDegrees)
        report.warnings.push_back("x and y axes meet at " + fixed(report.axisAngleDegrees, 1) +
                                  " degrees in the picture");
    return report;
}

std::string fitSummary(const FitReport& report)
{
    if (report.exact)
        return "3 points fit exactly: add a fourth to check them";
    std::string line =
        "Fit: " + std::to_string(report.points.size()) + " points, RMS " + fixed(report.rmsPixels, 2) + " px";
    if (report.worst < report.points.size())
        line += ", worst point " + std::to_string(report.worst + 1) + " (" +
                fixed(report.points[report.worst].pixels, 2) + " px)";
    // The turn away from the nearest picture edge, so that a plot drawn with a reversed or
    // upright x axis does not count as turned.
    const double tilt = report.rotationDegrees - 90.0 * std::round(report.rotationDegrees / 90.0);
    if (std::fabs(tilt) >= tiltMentionDegrees)
        line += ", rotated " + fixed(std::fabs(tilt), 1) + " degrees " + (tilt > 0 ? "counterclockwise" : "clockwise");
    return line;
}
