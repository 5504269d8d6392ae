#include "extraction/CurvePoints.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// The ends of dashes and dots are cut square across the line: a cut through one holds only
// part of the line, its centre off the middle. Near a break in the links a run must hold
// this share of the line's typical run.
constexpr double wholeShare = 0.85;

double sinc(double x)
{
    return x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

// The weighted mean of a line's pixels along a cut misses the line's middle by a fraction of
// a pixel that depends on where the middle falls between pixel centres: the pixels sample
// the line's profile (its band, blurred by the square pixel and by the slope across the
// pixel) at whole steps. With `length` the band's extent along the cut (the run's mass) and
// `slope` the line's rise in cut steps per pixel across the cut, the miss is the sum below
// (the Poisson sum of the sampled profile's first moment); the middle is found by undoing it.
double middleOffset(double mean, double length, double slope)
{
    auto miss = [&](double middle) {
        double sum = 0.0;
        for (int k = 1; k <= 8; ++k) {
            const double sign = k % 2 == 1 ? -1.0 : 1.0;
            sum += sign / (std::numbers::pi * k) * sinc(slope * k) * sinc(length * k) *
                   std::sin(2.0 * std::numbers::pi * k * middle);
        }
        return sum;
    };
    double middle = mean;
    for (int i = 0; i < 4; ++i)
        middle = mean - miss(middle);
    return middle - mean;
}

// Moves a run's centre from its pixels' weighted mean onto the line's middle.
void refine(Run& run, double slope, const Frame& frame)
{
    const double offset = middleOffset(run.major, run.mass, slope);
    const double sideways = offset * frame.vMinor / frame.vMajor;
    run.major += offset;
    run.t += offset / frame.vMajor;
    if (frame.flat) {
        run.centre.column += offset;
        run.centre.row += sideways;
    } else {
        run.centre.row += offset;
        run.centre.column += sideways;
    }
}


// A dot of a dotted line (a stretch of the chain no longer than about two widths of the
// line) is too short for any cut to meet all of the line's width, but its shape is
// symmetric about its middle: its one point is the weighted centre of all its runs. None
// when the dot touches another line (whose pixels would pull its centre), when any of its
// runs is merged with one, or when the stretch is longer.
std::optional<PixelPoint> dotCentre(const std::vector<Cut>& cuts, const std::vector<Link>& links, std::size_t first,
                                    std::size_t end, double step, double whole)
{
    const double extent = cuts[links[end - 1].cut].s - cuts[links[first].cut].s + step;
    if (step > 1.5 || extent > 2.5 * whole)
        return std::nullopt;
    // Between gaps: a solid line thin enough to fade between rows breaks for a cut or so.
    const auto apart = [&](std::size_t a, std::size_t b) { return std::abs(cuts[links[a].cut].s - cuts[links[b].cut].s); };
    if ((first > 0 && apart(first - 1, first) < 2.5) || (end < links.size() && apart(end - 1, end) < 2.5))
        return std::nullopt;
    const auto touches = [&](std::size_t cut, const Run& run) {
        return std::any_of(cuts[cut].runs.begin(), cuts[cut].runs.end(),
                           [&](const Run& other) { return other.low <= run.high + 1.0 && other.high >= run.low - 1.0; });
    };
    const Link head = links[first], tail = links[end - 1];
    const std::size_t before = std::min(head.cut, tail.cut), after = std::max(head.cut, tail.cut);
    const Run& low = cuts[before].runs[before == head.cut ? head.run : tail.run];
    const Run& high = cuts[after].runs[after == head.cut ? head.run : tail.run];
    if ((before > 0 && touches(before - 1, low)) || (after + 1 < cuts.size() && touches(after + 1, high)))
        return std::nullopt;
    double mass = 0.0, column = 0.0, row = 0.0;
    for (std::size_t i = first; i < end; ++i) {
        const Run& run = cuts[links[i].cut].runs[links[i].run];
        if (run.mass > 1.3 * whole || run.foreignEdge || run.straight != 0 || run.lifted)
            return std::nullopt;
        mass += run.mass;
        column += run.mass * run.centre.column;
        row += run.mass * run.centre.row;
    }
    return PixelPoint{column / mass, row / mass};
}

} // namespace

// Each link's slope, by least squares over its neighbours in the chain.
std::vector<LocalSlope> localSlopes(const std::vector<Cut>& cuts, const std::vector<Link>& chain, const Frame& frame)
{
    std::vector<LocalSlope> slopes(chain.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::size_t from = i >= 3 ? i - 3 : 0;
        const std::size_t to = std::min(chain.size(), i + 4);
        const Run& middle = cuts[chain[i].cut].runs[chain[i].run];
        const double middleMinor = frame.flat ? middle.centre.row : middle.centre.column;
        double ss = 0.0, st = 0.0, mm = 0.0, mj = 0.0;
        for (std::size_t j = from; j < to; ++j) {
            const Run& run = cuts[chain[j].cut].runs[chain[j].run];
            const double ds = cuts[chain[j].cut].s - cuts[chain[i].cut].s;
            const double minor = (frame.flat ? run.centre.row : run.centre.column) - middleMinor;
            ss += ds * ds;
            st += ds * (run.t - middle.t);
            mm += minor * minor;
            mj += minor * (run.major - middle.major);
        }
        slopes[i].across = ss > 0.0 ? st / ss : 0.0;
        slopes[i].rise = mm > 1e-6 ? mj / mm : 1e6;
    }
    return slopes;
}

double quantileOf(std::vector<double> values, double share)
{
    const auto at = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[static_cast<std::size_t>(at)];
}

// Drops the links whose run is merged with another curve or half hidden (judged against
// the typical run of all the chains, which the follower could not do at a chain's start),
// and, near a break in a chain (the ends of a dash or a dot), those that hold less than a
// whole run of the line; centres the others.
std::vector<PixelPoint> settle(const std::vector<Cut>& cuts, std::vector<Chain>& chains, const Frame& frame,
                               double step)
{
    std::vector<double> all;
    for (Chain& chain : chains) {
        chain.slopes = localSlopes(cuts, chain.links, frame);
        for (std::size_t i = 0; i < chain.links.size(); ++i) {
            chain.masses.push_back(
                massAcross(cuts[chain.links[i].cut].runs[chain.links[i].run].mass, chain.slopes[i].across));
            all.push_back(chain.masses.back());
        }
    }
    std::vector<PixelPoint> points;
    if (all.empty())
        return points;
    // A whole run: most runs of a solid line, the fuller ones of a dotted line, whose dots
    // are short enough that many cuts meet only part of one.
    const double whole = quantileOf(all, 0.75);
    for (const Chain& chain : chains) {
        const std::vector<Link>& links = chain.links;
        // The chain falls into stretches drawn without a break: a dash, a dot, or all of a
        // solid line.
        for (std::size_t first = 0, end = 0; first < links.size(); first = end) {
            end = first + 1;
            while (end < links.size() && std::abs(cuts[links[end].cut].s - cuts[links[end - 1].cut].s) <= 1.5 * step)
                ++end;
            if (const std::optional<PixelPoint> dot = dotCentre(cuts, links, first, end, step, whole)) {
                points.push_back(*dot);
                continue;
            }
            for (std::size_t i = first; i < end; ++i) {
                Run run = cuts[links[i].cut].runs[links[i].run];
                const double mass = chain.masses[i];
                if (mass > 1.3 * whole || mass < 0.6 * whole || (run.foreignEdge && mass < 0.85 * whole))
                    continue;
                // What is left of a run a gridline crossed: whole, unless the two shared pixels.
                if (run.lifted && std::abs(mass / whole - 1.0) > 0.15)
                    continue;
                // Near the stretch's ends, which a dash's square ends cut across, only a
                // whole run; a square end reaches along x about as far as the line's width
                // times its slope.
                const double reach = step + 0.5 * whole * std::abs(chain.slopes[i].across);
                const double s = cuts[links[i].cut].s;
                const bool nearEnd = std::abs(s - cuts[links[first].cut].s) <= reach ||
                                     std::abs(cuts[links[end - 1].cut].s - s) <= reach;
                if (nearEnd && mass < wholeShare * whole)
                    continue;
                refine(run, chain.slopes[i].rise, frame);
                points.push_back(run.centre);
            }
        }
    }
    return points;
}

// At a coarse step the curve moves too far between cuts to be followed from one to the
// next where it is steep: it is followed, and its points placed, through cuts a pixel apart
// (`fine`), and each coarse cut takes the point on that course where it passes: between
// the two fine points either side of it, never across a gap.
std::vector<PixelPoint> atCuts(const std::vector<Cut>& cuts, const std::vector<PixelPoint>& fine, const Frame& frame)
{
    std::vector<std::pair<double, double>> course; // (s, t) of the fine points, in order of s
    for (const PixelPoint& p : fine)
        course.emplace_back(frame.s(p.column, p.row), frame.across(p.column, p.row));
    std::sort(course.begin(), course.end());
    std::vector<PixelPoint> points;
    for (const Cut& cut : cuts) {
        const auto after = std::lower_bound(course.begin(), course.end(),
                                            std::pair{cut.s - 1e-6, -std::numeric_limits<double>::infinity()});
        if (after == course.end())
            continue;
        if (after->first - cut.s <= 1e-6) {
            points.push_back(frame.pointAt(cut.s, after->second));
        } else if (after != course.begin() && after->first - std::prev(after)->first <= 1.5) {
            const auto before = std::prev(after);
            const double f = (cut.s - before->first) / (after->first - before->first);
            points.push_back(frame.pointAt(cut.s, before->second + f * (after->second - before->second)));
        }
    }
    return points;
}
