#include "extraction/BarExtraction.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The picture seen with bars upright: `across` runs along the category axis (columns of
// vertical bars), `along` along the values (their rows).
struct Oriented {
    const PixelView& picture;
    const ColourMatch& colour;
    const Region& region;
    bool horizontal;

    int acrossLow() const { return horizontal ? region.box().top : region.box().left; }
    int acrossHigh() const { return horizontal ? region.box().bottom : region.box().right; }
    int alongLow() const { return horizontal ? region.box().left : region.box().top; }
    int alongHigh() const { return horizontal ? region.box().right : region.box().bottom; }
    float weight(int across, int along) const
    {
        const int column = horizontal ? along : across;
        const int row = horizontal ? across : along;
        if (!region.contains(column, row) || !colour.mayMatch(picture.at(column, row)))
            return 0.0f;
        return colour.weightAt(picture, column, row);
    }
};

// How far the bar in line `across` reaches from the baseline towards `direction` (+1 or
// -1 along), to a fraction of a pixel: the edge of its last pixel, moved in by what that
// pixel's coverage lacks. Gaps of up to `gap` pixels (a line of another colour over the
// bar) are crossed. Negative when nothing of the colour stands there.
double reach(const Oriented& o, int across, double baseline, int direction, int gap)
{
    const int start = static_cast<int>(std::lround(baseline)) + direction;
    int lastFull = -1;
    float lastWeight = 0.0f;
    int lastAt = start;
    int missing = 0;
    bool any = false;
    for (int along = start; along >= o.alongLow() && along < o.alongHigh(); along += direction) {
        const float w = o.weight(across, along);
        if (w > 0.0f) {
            any = true;
            missing = 0;
            lastAt = along;
            lastWeight = w;
            if (w > 0.9f)
                lastFull = along;
        } else if (any ? ++missing > gap : std::abs(along - start) >= gap) {
            break; // past the bar's end, or nothing of it next to the baseline
        }
    }
    if (!any)
        return -1.0;
    // The edge: past the last pixel the bar covers whole, by the coverage of the next.
    const double edge = lastAt == lastFull ? lastAt + 0.5 * direction
                                            : lastAt - 0.5 * direction + static_cast<double>(lastWeight) * direction;
    return (edge - baseline) * direction;
}

} // namespace

Extraction extractBars(const PixelView& picture, const ColourMatch& colour, const Region& region,
                       const BarOptions& options, const Work& work)
{
    Extraction found;
    const Oriented o{picture, colour, region, options.horizontal};
    // Each line across the category axis: how far the colour stands up and down from the
    // baseline, and how much of it there is (the weight of its coverage).
    struct Line {
        double up = -1.0, down = -1.0;
        double mass = 0.0;
    };
    std::vector<Line> lines;
    for (int across = o.acrossLow(); across < o.acrossHigh(); ++across) {
        if (work.cancelled()) {
            found.cancelled = true;
            return found;
        }
        Line line;
        line.up = reach(o, across, options.baseline, -1, 3);
        line.down = reach(o, across, options.baseline, +1, 3);
        for (int along = o.alongLow(); along < o.alongHigh(); ++along)
            line.mass += static_cast<double>(o.weight(across, along));
        lines.push_back(line);
    }
    work.report(0.8);
    const auto standing = [&](const Line& line) {
        return std::max(line.up, line.down) >= options.minimumLength;
    };
    for (std::size_t first = 0; first < lines.size();) {
        if (!standing(lines[first])) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last + 1 < lines.size() && standing(lines[last + 1]))
            ++last;
        // The partly covered lines just outside weigh in too: they place the sides.
        const std::size_t low = first > 0 ? first - 1 : first;
        const std::size_t high = last + 1 < lines.size() ? last + 1 : last;
        double mass = 0.0, weighted = 0.0;
        for (std::size_t i = low; i <= high; ++i) {
            mass += lines[i].mass;
            weighted += lines[i].mass * static_cast<double>(o.acrossLow() + static_cast<int>(i));
        }
        if (last - first + 1 >= static_cast<std::size_t>(options.minimumWidth) && mass > 0.0) {
            // The end from the inner lines, clear of the anti-aliased sides.
            const std::size_t innerFirst = last - first >= 2 ? first + 1 : first;
            const std::size_t innerLast = last - first >= 2 ? last - 1 : last;
            double up = 0.0, down = 0.0;
            for (std::size_t i = innerFirst; i <= innerLast; ++i) {
                up += std::max(0.0, lines[i].up);
                down += std::max(0.0, lines[i].down);
            }
            const double count = static_cast<double>(innerLast - innerFirst + 1);
            const double end = up >= down ? options.baseline - up / count : options.baseline + down / count;
            const double centre = weighted / mass;
            found.points.push_back(options.horizontal ? PixelPoint{end, centre} : PixelPoint{centre, end});
        }
        first = last + 1;
    }
    work.report(1.0);
    return found;
}
