#include "extraction/MarkerExtraction.h"

#include "extraction/Pass.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <numeric>
#include <vector>

namespace {

// One group of matching pixels as the rows go by; merged groups add up into their root.
struct Group {
    std::size_t parent = 0;
    double mass = 0.0;
    double sumColumn = 0.0;
    double sumRow = 0.0;
    double sumSquares = 0.0; // of the distance from the box's corner
    PixelBox bounds;
    int seedColumn = 0; // a pixel of the group, to find it again when splitting
    int seedRow = 0;
};

struct Span {
    int left = 0;
    int right = 0; // exclusive
    std::size_t group = 0;
};

std::size_t rootOf(std::vector<Group>& groups, std::size_t g)
{
    while (groups[g].parent != g) {
        groups[g].parent = groups[groups[g].parent].parent;
        g = groups[g].parent;
    }
    return g;
}

void unite(std::vector<Group>& groups, std::size_t a, std::size_t b)
{
    a = rootOf(groups, a);
    b = rootOf(groups, b);
    if (a == b)
        return;
    if (b < a)
        std::swap(a, b);
    Group& into = groups[a];
    Group& from = groups[b];
    into.mass += from.mass;
    into.sumColumn += from.sumColumn;
    into.sumRow += from.sumRow;
    into.sumSquares += from.sumSquares;
    into.bounds = {std::min(into.bounds.left, from.bounds.left), std::min(into.bounds.top, from.bounds.top),
                   std::max(into.bounds.right, from.bounds.right), std::max(into.bounds.bottom, from.bounds.bottom)};
    from.parent = a;
}

float weightAt(const PixelView& picture, const ColourMatch& colour, const Region& region, int column, int row)
{
    if (!region.contains(column, row))
        return 0.0f;
    return colour.weightAt(picture, column, row);
}

struct Pixel {
    double column = 0.0;
    double row = 0.0;
    double weight = 0.0;
};

// The pixels of the group containing the seed, found again within its bounds.
std::vector<Pixel> groupPixels(const PixelView& picture, const ColourMatch& colour, const Region& region,
                               const Group& group)
{
    const PixelBox b = group.bounds;
    const int width = b.right - b.left;
    const int height = b.bottom - b.top;
    std::vector<float> weights(static_cast<std::size_t>(width * height));
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            weights[static_cast<std::size_t>(r * width + c)] = weightAt(picture, colour, region, b.left + c, b.top + r);
    std::vector<Pixel> pixels;
    std::vector<int> stack{(group.seedRow - b.top) * width + (group.seedColumn - b.left)};
    std::vector<bool> seen(weights.size(), false);
    seen[static_cast<std::size_t>(stack.back())] = true;
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        const int r = at / width;
        const int c = at % width;
        pixels.push_back(
            {static_cast<double>(b.left + c), static_cast<double>(b.top + r), weights[static_cast<std::size_t>(at)]});
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const int nr = r + dr;
                const int nc = c + dc;
                if (nr < 0 || nr >= height || nc < 0 || nc >= width)
                    continue;
                const auto index = static_cast<std::size_t>(nr * width + nc);
                if (seen[index] || weights[index] <= 0.0f)
                    continue;
                seen[index] = true;
                stack.push_back(nr * width + nc);
            }
        }
    }
    return pixels;
}

// Weighted k-means of a group of touching markers, seeded far apart; the parts' centres.
std::vector<PixelPoint> splitGroup(const std::vector<Pixel>& pixels, std::size_t parts)
{
    std::vector<PixelPoint> centres;
    double mass = 0.0, sc = 0.0, sr = 0.0;
    for (const Pixel& p : pixels) {
        mass += p.weight;
        sc += p.weight * p.column;
        sr += p.weight * p.row;
    }
    PixelPoint middle{sc / mass, sr / mass};
    // Farthest-point seeding: from the middle, then away from the seeds so far.
    std::vector<double> nearest(pixels.size(), 0.0);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        nearest[i] = std::hypot(pixels[i].column - middle.column, pixels[i].row - middle.row);
    while (centres.size() < parts) {
        std::size_t far = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            if (nearest[i] * pixels[i].weight > nearest[far] * pixels[far].weight)
                far = i;
        const PixelPoint seed{pixels[far].column, pixels[far].row};
        centres.push_back(seed);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            nearest[i] = std::min(nearest[i], std::hypot(pixels[i].column - seed.column, pixels[i].row - seed.row));
    }
    std::vector<std::size_t> owner(pixels.size(), 0);
    for (int iteration = 0; iteration < 30; ++iteration) {
        bool moved = false;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::size_t best = 0;
            double bestDistance = 0.0;
            for (std::size_t j = 0; j < centres.size(); ++j) {
                const double dc = pixels[i].column - centres[j].column;
                const double dr = pixels[i].row - centres[j].row;
                const double d = dc * dc + dr * dr;
                if (j == 0 || d < bestDistance) {
                    best = j;
                    bestDistance = d;
                }
            }
            moved = moved || owner[i] != best;
            owner[i] = best;
        }
        std::vector<Pixel> sums(centres.size());
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            sums[owner[i]].weight += pixels[i].weight;
            sums[owner[i]].column += pixels[i].weight * pixels[i].column;
            sums[owner[i]].row += pixels[i].weight * pixels[i].row;
        }
        for (std::size_t j = 0; j < centres.size(); ++j)
            if (sums[j].weight > 0.0)
                centres[j] = {sums[j].column / sums[j].weight, sums[j].row / sums[j].weight};
        if (!moved && iteration > 0)
            break;
    }
    return centres;
}

} // namespace

Extraction extractMarkers(const PixelView& picture, const ColourMatch& colour, const Region& region,
                          const MarkerOptions& options, const Work& work)
{
    Extraction result;
    Pass pass(work);
    const PixelBox box = clippedBox(picture, region);
    if (box.empty()) {
        result.cancelled = pass.cancelled();
        return result;
    }

    // Run-length labelling: each row's spans of matching pixels join the spans of the row
    // above that touch them (at an edge or a corner).
    std::vector<Group> groups;
    std::vector<Span> above, current;
    const int height = box.bottom - box.top;
    for (int row = box.top; row < box.bottom; ++row) {
        if (pass.cancelled()) {
            result.cancelled = true;
            return result;
        }
        current.clear();
        std::size_t a = 0;
        for (int column = box.left; column < box.right;) {
            float w = weightAt(picture, colour, region, column, row);
            if (w <= 0.0f) {
                ++column;
                continue;
            }
            Group group;
            group.parent = groups.size();
            group.seedColumn = column;
            group.seedRow = row;
            const int left = column;
            for (; column < box.right && w > 0.0f; ++column) {
                group.mass += w;
                group.sumColumn += static_cast<double>(w) * column;
                group.sumRow += static_cast<double>(w) * row;
                const double x = column - box.left, y = row - box.top;
                group.sumSquares += static_cast<double>(w) * (x * x + y * y);
                if (column + 1 < box.right)
                    w = weightAt(picture, colour, region, column + 1, row);
            }
            group.bounds = {left, row, column, row + 1};
            groups.push_back(group);
            const Span span{left, column, groups.size() - 1};
            while (a < above.size() && above[a].right < left)
                ++a;
            for (std::size_t j = a; j < above.size() && above[j].left <= span.right; ++j)
                unite(groups, span.group, above[j].group);
            current.push_back(span);
        }
        std::swap(above, current);
        pass.done(0.9 * (row - box.top + 1) / height);
    }

    std::vector<const Group*> kept;
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (groups[g].parent == g && groups[g].mass >= 4.0 &&
            groups[g].mass <= (options.largest ? 1.5 * *options.largest * *options.largest : 2500.0))
            kept.push_back(&groups[g]);

    double typical = 0.0;
    if (options.splitTouching && kept.size() >= 3) {
        std::vector<double> areas;
        for (const Group* g : kept)
            areas.push_back(g->mass);
        std::nth_element(areas.begin(), areas.begin() + static_cast<std::ptrdiff_t>(areas.size() / 2), areas.end());
        typical = areas[areas.size() / 2];
    }
    // A group about k times the typical marker's area, and far from round, is k markers
    // that touch. Round: its area against that of a disc with its spread about its centre
    // (1 for a disc, 0.95 for a square, 0.67 for two discs side by side).
    for (const Group* g : kept) {
        const double times = typical > 0.0 ? g->mass / typical : 1.0;
        const double parts = std::round(times);
        const double x = g->sumColumn / g->mass - box.left, y = g->sumRow / g->mass - box.top;
        const double spread = g->sumSquares / g->mass - x * x - y * y;
        const double roundness = spread > 0.0 ? g->mass / (2.0 * std::numbers::pi * spread) : 1.0;
        if (parts >= 2.0 && std::abs(times - parts) <= 0.3 && roundness < 0.85) {
            const std::vector<Pixel> pixels = groupPixels(picture, colour, region, *g);
            for (const PixelPoint& centre : splitGroup(pixels, static_cast<std::size_t>(parts)))
                result.points.push_back(centre);
        } else {
            result.points.push_back({g->sumColumn / g->mass, g->sumRow / g->mass});
        }
    }
    pass.done(1.0);
    return result;
}
