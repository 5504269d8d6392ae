#include "document/Resampling.h"

#include "calibration/AxesSpace.h"
#include "document/Interpolation.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string quoted(std::string_view text)
{
    // Built up by hand: GCC 12 at -O2 warns falsely about a one-letter literal + string (bug 105329).
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    out.append(text);
    out.push_back('"');
    return out;
}

// The whole multiples of a step as the decimal numbers the user means: with a step of 0.1,
// 3 × 0.1 is 0.3, not the 0.30000000000000004 that the product of the doubles gives. The
// step's shortest decimal form is n·10^p; k·n is exact in a double while it stays below
// 2^53, and one multiplication or division by an exact power of ten then rounds once.
class StepMultiples {
  public:
    explicit StepMultiples(double step) : step_(step)
    {
        char text[40];
        const auto written = std::to_chars(text, text + sizeof text, step, std::chars_format::scientific);
        const std::string_view form(text, static_cast<std::size_t>(written.ptr - text)); // "2.5e-01"
        const std::size_t e = form.find('e');
        std::int64_t digits = 0;
        int count = 0;
        for (const char c : form.substr(0, e))
            if (c >= '0' && c <= '9') {
                digits = digits * 10 + (c - '0');
                ++count;
            }
        const int exponent = std::atoi(std::string(form.substr(e + 1)).c_str());
        const int power = exponent - (count - 1);
        if (count <= 15 && power >= -22 && power <= 22) {
            digits_ = static_cast<double>(digits);
            power_ = power;
            tenPower_ = 1.0;
            for (int i = 0; i < std::abs(power); ++i)
                tenPower_ *= 10.0; // exact up to 10^22
        }
    }

    double at(double k) const
    {
        const double product = k * digits_;
        // + 0.0: no "-0" for the multiple 0 of a range starting below it.
        if (digits_ == 0.0 || std::fabs(product) >= 9007199254740992.0)
            return k * step_ + 0.0;
        return (power_ >= 0 ? product * tenPower_ : product / tenPower_) + 0.0;
    }

  private:
    double step_;
    double digits_ = 0.0;
    int power_ = 0;
    double tenPower_ = 1.0;
};

// A world point in the axes' own space, where y is interpolated along x: each value by its
// axis' scale (log10 on a log axis, seconds on a date axis), so that on Cartesian axes it is
// the fit space itself, and on polar ones the angle and the radius (log10 on a log radius).
std::optional<DPoint> ownSpace(const WorldMap& map, DPoint world)
{
    const std::optional<double> x = toFitSpace(map.scales.x, world.x);
    const std::optional<double> y = toFitSpace(map.scales.y, world.y);
    if (!x || !y)
        return std::nullopt;
    return DPoint{*x, *y};
}

struct Knots {
    std::vector<DPoint> points; // the axes' own space, x strictly increasing
    double slack = 0.0;         // how far outside its x-range an x still counts as inside
    double size = 0.0;          // the largest y in magnitude
};

// The series in the axes' own space, sorted by x, points whose x agree to within the slack merged
// into their mean.
Knots knotsOf(const std::vector<DPoint>& points, const WorldMap& map)
{
    std::vector<DPoint> fits;
    fits.reserve(points.size());
    for (const DPoint& screen : points)
        if (const std::optional<DPoint> own = ownSpace(map, map.world(screen)))
            fits.push_back(*own);
    Knots knots;
    if (fits.empty())
        return knots;
    std::sort(fits.begin(), fits.end(), [](const DPoint& a, const DPoint& b) { return a.x < b.x; });
    const double first = fits.front().x;
    const double last = fits.back().x;
    for (const DPoint& f : fits)
        knots.size = std::max(knots.size, std::fabs(f.y));
    // A billionth of the range, but never below the rounding of the values themselves
    // (seconds since 1970 carry about 1e-7 s of it).
    knots.slack = std::max(1e-9 * (last - first),
                           64.0 * std::numeric_limits<double>::epsilon() * std::max(std::fabs(first), std::fabs(last)));
    for (std::size_t i = 0; i < fits.size();) {
        std::size_t end = i;
        DPoint sum{0.0, 0.0};
        while (end < fits.size() && fits[end].x - fits[i].x <= knots.slack) {
            sum.x += fits[end].x;
            sum.y += fits[end].y;
            ++end;
        }
        const auto n = static_cast<double>(end - i);
        knots.points.push_back({sum.x / n, sum.y / n});
        i = end;
    }
    return knots;
}

// A grid's x value: in the axes' own space, and the world value to write.
struct GridX {
    double fit;
    double world;
};

std::string tooMany(double wanted, std::size_t room)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3g", wanted);
    return std::string("the grid gives ") + text + " x values, and at most " + std::to_string(room) +
           " points are written; choose a larger step or fewer values";
}

} // namespace

std::string readGrid(Resampling::Grid grid, std::string_view text, AxisScale x, Resampling& resampling)
{
    const std::string_view given = trimmed(text);
    switch (grid) {
    case Resampling::Grid::none:
        break;
    case Resampling::Grid::step: {
        double step = 0.0;
        if (!readCompleteNumber(given, &step) || !(step > 0.0))
            return "needs a number above 0, not " + quoted(text);
        resampling.step = step;
        break;
    }
    case Resampling::Grid::count: {
        std::size_t count = 0;
        const auto read = std::from_chars(given.data(), given.data() + given.size(), count);
        if (given.empty() || read.ec != std::errc() || read.ptr != given.data() + given.size() || count < 2 ||
            count > maxResampledPoints)
            return "needs a whole number from 2 to " + std::to_string(maxResampledPoints) + ", not " + quoted(text);
        resampling.count = count;
        break;
    }
    case Resampling::Grid::values: {
        // A date axis takes dates as well as seconds; any other axis numbers, those that
        // have no place on it (zero on a log axis) being outside every series' range.
        const AxisScale reading = x == AxisScale::date ? AxisScale::date : AxisScale::linear;
        const char* what = x == AxisScale::date ? "dates or numbers of seconds" : "numbers";
        std::vector<double> values;
        std::string_view rest = text;
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view item = trimmed(rest.substr(0, comma));
            const WorldEntry entry = readWorldValue(reading, item);
            if (!entry.value)
                return "needs " + std::string(what) + " separated by commas, not " + quoted(item);
            if (values.size() == maxResampledPoints)
                return "takes at most " + std::to_string(maxResampledPoints) + " values";
            values.push_back(*entry.value);
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
        resampling.values = std::move(values);
        break;
    }
    }
    resampling.grid = grid;
    return {};
}

std::optional<Resampling::Interpolation> interpolationNamed(std::string_view name)
{
    if (name == "linear")
        return Resampling::Interpolation::linear;
    if (name == "cubic")
        return Resampling::Interpolation::cubic;
    return std::nullopt;
}

std::string describeResampling(const Resampling& resampling, const AxisScales& axes)
{
    const std::string x = axes.polar ? "angle" : "x";
    std::string grid;
    switch (resampling.grid) {
    case Resampling::Grid::none:
        return "as taken";
    case Resampling::Grid::step:
        grid = "at " + x + " every " + shortestNumber(resampling.step) + " " + stepUnit(axes);
        break;
    case Resampling::Grid::count:
        grid = "at " + std::to_string(resampling.count) + " evenly spaced " + (axes.polar ? "angles" : "x");
        break;
    case Resampling::Grid::values:
        grid = "at " + std::to_string(resampling.values.size()) + " chosen " +
               (axes.polar ? (resampling.values.size() == 1 ? "angle" : "angles")
                           : (resampling.values.size() == 1 ? "x" : "x values"));
        break;
    }
    // "at x every 0.5 , along ...": no unit, no blank.
    if (grid.back() == ' ')
        grid.pop_back();
    return grid + (resampling.interpolation == Resampling::Interpolation::cubic ? ", along a cubic spline"
                                                                                : ", along straight lines");
}

std::string stepUnit(const AxisScales& axes)
{
    if (axes.polar)
        return axes.polar->angle == AngleUnit::degrees ? "degrees" : "radians";
    return axes.x == AxisScale::log10 ? "decades" : axes.x == AxisScale::date ? "seconds" : "";
}

Resampled resample(const std::vector<DPoint>& points, const WorldMap& map, const Resampling& resampling,
                   std::size_t room)
{
    Resampled out;
    const Knots knots = knotsOf(points, map);
    if (knots.points.empty() || !resampling.resamples())
        return out;
    const double low = knots.points.front().x;
    const double high = knots.points.back().x;
    const auto inside = [&](double x) { return x >= low - knots.slack && x <= high + knots.slack; };

    std::vector<GridX> grid;
    switch (resampling.grid) {
    case Resampling::Grid::none:
        break;
    case Resampling::Grid::step: {
        const double step = resampling.step;
        const double first = std::ceil((low - knots.slack) / step);
        const double last = std::floor((high + knots.slack) / step);
        const double wanted = last - first + 1.0;
        if (!(wanted <= static_cast<double>(room))) {
            out.problem = tooMany(wanted, room);
            return out;
        }
        const StepMultiples multiples(step);
        for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(wanted, 0.0)); ++i) {
            const double x = multiples.at(first + static_cast<double>(i));
            if (inside(x))
                grid.push_back({x, fromFitSpace(map.scales.x, x)});
        }
        break;
    }
    case Resampling::Grid::count:
        for (std::size_t i = 0; i < resampling.count; ++i) {
            const double x = i + 1 == resampling.count ? high
                                                       : low + (high - low) * static_cast<double>(i) /
                                                                   static_cast<double>(resampling.count - 1);
            grid.push_back({x, fromFitSpace(map.scales.x, x)});
        }
        break;
    case Resampling::Grid::values:
        for (const double value : resampling.values)
            if (const std::optional<double> x = toFitSpace(map.scales.x, value); x && inside(*x))
                grid.push_back({*x, value});
        break;
    }
    // The count and the values are bounded when read; the room may be smaller.
    if (grid.size() > room) {
        out.problem = tooMany(static_cast<double>(grid.size()), room);
        return out;
    }

    const Interpolant y(knots.points, resampling.interpolation == Resampling::Interpolation::cubic);
    out.points.reserve(grid.size());
    for (const GridX& x : grid) {
        double own = y.at(x.fit);
        // Rounding between values of opposite sign is no value: 0 (1 on a log axis).
        if (std::fabs(own) <= 16.0 * std::numeric_limits<double>::epsilon() * knots.size)
            own = 0.0;
        const DPoint world{x.world, fromFitSpace(map.scales.y, own)};
        if (const std::optional<DPoint> fit = toFitSpace(map.scales, world))
            out.points.push_back({map.screenOfFit(*fit), world});
    }
    return out;
}

ResampledSeries resampleSeries(const std::vector<Series>& series, const WorldMap& map, const Resampling& resampling,
                               std::optional<std::size_t> only)
{
    ResampledSeries out;
    std::size_t room = maxResampledPoints;
    for (std::size_t s = 0; s < series.size(); ++s) {
        if (only && *only != s)
            continue;
        Resampled one = resample(series[s].points, map, resampling, room);
        if (!one.problem.empty()) {
            out.series.clear();
            out.problem = "series \"" + series[s].look.name + "\": " + one.problem;
            return out;
        }
        room -= one.points.size();
        out.series.push_back({series[s].look.name, std::move(one.points)});
    }
    return out;
}
