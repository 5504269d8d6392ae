#include "extraction/MarkerGroups.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// A group as the rows go by; merged groups add up into their root.
struct Partial {
    std::size_t parent = 0;
    MarkerGroup group;
};

struct OpenSpan {
    int left = 0;
    int right = 0; // exclusive
    std::size_t partial = 0;
};

std::size_t rootOf(std::vector<Partial>& partials, std::size_t p)
{
    while (partials[p].parent != p) {
        partials[p].parent = partials[partials[p].parent].parent;
        p = partials[p].parent;
    }
    return p;
}

void unite(std::vector<Partial>& partials, std::size_t a, std::size_t b)
{
    a = rootOf(partials, a);
    b = rootOf(partials, b);
    if (a == b)
        return;
    if (b < a)
        std::swap(a, b);
    MarkerGroup& into = partials[a].group;
    const MarkerGroup& from = partials[b].group;
    into.mass += from.mass;
    into.sumColumn += from.sumColumn;
    into.sumRow += from.sumRow;
    into.sumSquares += from.sumSquares;
    into.bounds = {std::min(into.bounds.left, from.bounds.left), std::min(into.bounds.top, from.bounds.top),
                   std::max(into.bounds.right, from.bounds.right), std::max(into.bounds.bottom, from.bounds.bottom)};
    partials[b].parent = a;
}

} // namespace

bool findMarkerGroups(const PixelView& picture, const ColourMatch& colour, const Region& region, PixelBox box,
                      double lightest, std::vector<MarkerGroup>& groups, Pass& pass)
{
    // Run-length labelling: each row's spans of matching pixels join the spans of the row
    // above that touch them (at an edge or a corner). Every span is kept, with the partial
    // group it started, to be given to its group's root at the end.
    std::vector<Partial> partials;
    std::vector<std::pair<std::size_t, MarkerSpan>> spans;
    std::vector<OpenSpan> above, current;
    const int height = box.bottom - box.top;
    for (int row = box.top; row < box.bottom; ++row) {
        if (pass.cancelled())
            return false;
        current.clear();
        std::size_t a = 0;
        for (int column = box.left; column < box.right;) {
            float w = markerWeightAt(picture, colour, region, column, row);
            if (w <= 0.0f) {
                ++column;
                continue;
            }
            Partial partial;
            partial.parent = partials.size();
            MarkerGroup& group = partial.group;
            const int left = column;
            for (; column < box.right && w > 0.0f; ++column) {
                group.mass += w;
                group.sumColumn += static_cast<double>(w) * column;
                group.sumRow += static_cast<double>(w) * row;
                const double x = column - box.left, y = row - box.top;
                group.sumSquares += static_cast<double>(w) * (x * x + y * y);
                if (column + 1 < box.right)
                    w = markerWeightAt(picture, colour, region, column + 1, row);
            }
            group.bounds = {left, row, column, row + 1};
            partials.push_back(std::move(partial));
            spans.push_back({partials.size() - 1, {row, left, column}});
            const OpenSpan span{left, column, partials.size() - 1};
            while (a < above.size() && above[a].right < left)
                ++a;
            for (std::size_t j = a; j < above.size() && above[j].left <= span.right; ++j)
                unite(partials, span.partial, above[j].partial);
            current.push_back(span);
        }
        std::swap(above, current);
        pass.done(0.6 * (row - box.top + 1) / height);
    }
    for (auto& [partial, span] : spans)
        partials[rootOf(partials, partial)].group.spans.push_back(span);
    groups.clear();
    for (std::size_t p = 0; p < partials.size(); ++p)
        if (partials[p].parent == p && partials[p].group.mass >= lightest)
            groups.push_back(std::move(partials[p].group));
    return true;
}
