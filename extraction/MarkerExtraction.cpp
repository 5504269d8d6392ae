#include "extraction/MarkerExtraction.h"

#include "extraction/MarkerGroups.h"
#include "extraction/MarkerShapes.h"
#include "extraction/Pass.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// A marker is compact and roughly symmetric: its bounds no narrower than this share of
// their length, and its mirror image about its centre covering this share of it.
constexpr double compact = 0.7;
constexpr double symmetric = 0.8;
// Groups more than this many times the largest marker's size across are lines or frames:
// only searched for the markers they hold.
constexpr double patchReach = 4.0;
// A marker is the image of its kind's template: this share of the template's weight is
// there (and of its own weight, where it stands alone). The template, an average over
// markers at every fraction of a pixel, is softer than any of them: a marker holds about
// four fifths of it, a character of the markers' size half.
constexpr double held = 0.7;
// ... and, found among other pixels, stands out: no more than this share of the ring about
// it matches (lines across it, a label beside it), not the inside of a larger shape.
constexpr double crowd = 0.35;

struct Pixel {
    double column = 0.0;
    double row = 0.0;
    double weight = 0.0;
};

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


// What is known of a group.
struct Read {
    std::unique_ptr<Patch> patch; // for groups no larger than several markers
    Shape shape;
    bool markerLike = false;
    bool inRow = false; // in a line of text
    bool marker = false;
    bool split = false;
};

// Two of one kind: as large within a pixel or an eighth, as full, and as wide for their height.
bool twins(const Shape& a, const Shape& b)
{
    return std::abs(a.size - b.size) <= std::max(1.0, 0.12 * std::max(a.size, b.size)) &&
           std::abs(a.fill - b.fill) <= 0.12 && std::abs(a.aspect - b.aspect) <= 0.12;
}

// Characters of text stand in lines: side by side on one baseline, of heights alike, no
// further apart than a space between words and a sign. Marks the groups in a line of three
// or more, one at least not marker-like (markers standing in a row, as on a level line,
// are all marker-like).
void findTextLines(const std::vector<MarkerGroup>& groups, std::vector<Read>& reads)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (reads[i].patch)
            order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return groups[a].bounds.left < groups[b].bounds.left; });
    std::vector<std::size_t> line(groups.size());
    for (std::size_t i = 0; i < line.size(); ++i)
        line[i] = i;
    const auto rootOf = [&line](std::size_t i) {
        while (line[i] != i)
            i = line[i] = line[line[i]];
        return i;
    };
    for (std::size_t n = 0; n < order.size(); ++n) {
        const std::size_t i = order[n];
        const PixelBox& a = groups[i].bounds;
        for (std::size_t m = n + 1; m < order.size(); ++m) {
            const std::size_t j = order[m];
            const PixelBox& b = groups[j].bounds;
            const int higher = std::max(groups[i].height(), groups[j].height());
            const int lower = std::min(groups[i].height(), groups[j].height());
            // (Past a space, or a sign too flat to count, such as "=", two heights wide.)
            if (b.left - a.right > 2 * higher + 2)
                continue;
            const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
            if (2 * overlap >= lower && 5 * lower >= 2 * higher && b.left >= a.right - 1)
                line[rootOf(i)] = rootOf(j);
        }
    }
    std::vector<std::size_t> members(groups.size(), 0), letters(groups.size(), 0);
    for (const std::size_t i : order) {
        ++members[rootOf(i)];
        letters[rootOf(i)] += reads[i].markerLike ? 0u : 1u;
    }
    for (const std::size_t i : order)
        reads[i].inRow = members[rootOf(i)] >= 3 && letters[rootOf(i)] >= 1;
}

// The most common size among the sizes, within a pixel.
double commonSize(const std::vector<double>& sizes)
{
    double best = 0.0;
    std::size_t bestCount = 0;
    for (const double size : sizes) {
        const auto count = static_cast<std::size_t>(
            std::count_if(sizes.begin(), sizes.end(), [size](double other) { return std::abs(other - size) <= 1.0; }));
        if (count > bestCount) {
            best = size;
            bestCount = count;
        }
    }
    return best;
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
    const double smallestGiven = options.smallest.value_or(0.0);
    std::vector<MarkerGroup> groups;
    // Specks lighter than a few pixels are noise (lighter still for markers asked to be tiny).
    if (!findMarkerGroups(picture, colour, region, box, std::min(4.0, 0.5 * smallestGiven + 1.0), groups, pass)) {
        result.cancelled = true;
        return result;
    }

    // The shapes of groups small enough to be markers, or a few.
    const double largestGiven = options.largest.value_or(0.0);
    const double reach = patchReach * (largestGiven > 0.0 ? largestGiven : 40.0);
    std::vector<Read> reads(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (pass.cancelled()) {
            result.cancelled = true;
            return result;
        }
        if (groups[g].width() > reach || groups[g].height() > reach)
            continue;
        reads[g].patch = std::make_unique<Patch>(picture, colour, region, groups[g]);
        reads[g].shape = shapeOf(groups[g], *reads[g].patch);
        reads[g].markerLike = reads[g].shape.aspect >= compact && reads[g].shape.symmetry >= symmetric;
    }
    findTextLines(groups, reads);

    // Their sizes: those asked for, or within 0.6 and 1.6 times the most common among the
    // marker-like groups that stand apart (two markers touching are twice as large).
    std::vector<double> sizes;
    for (const Read& read : reads)
        if (read.markerLike && !read.inRow)
            sizes.push_back(read.shape.size);
    const double common = commonSize(sizes);
    const double smallest = options.smallest ? *options.smallest - 0.5 : 0.6 * common;
    const double largest = options.largest ? *options.largest + 0.5 : 1.6 * common;
    // Markers come in kinds, alike in size, fill and proportions; characters vary. A
    // marker-like group standing apart from text is a marker; one in a line of text only
    // when it is the twin of markers standing apart (a marker with its label beside it).
    std::vector<Shape> kinds; // each the mean of its members
    std::vector<std::size_t> counts, apart;
    std::vector<int> kindOf(groups.size(), -1);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const Read& read = reads[g];
        if (!read.markerLike || read.shape.size < smallest || read.shape.size > largest)
            continue;
        auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const Shape& k) { return twins(k, read.shape); });
        if (kind == kinds.end()) {
            kinds.push_back(read.shape);
            counts.push_back(0);
            apart.push_back(0);
            kind = kinds.end() - 1;
        }
        const auto k = static_cast<std::size_t>(kind - kinds.begin());
        const double n = static_cast<double>(++counts[k]);
        kind->size += (read.shape.size - kind->size) / n;
        kind->fill += (read.shape.fill - kind->fill) / n;
        kind->aspect += (read.shape.aspect - kind->aspect) / n;
        kindOf[g] = static_cast<int>(k);
        apart[k] += read.inRow ? 0u : 1u;
    }
    // The markers standing apart, and their kinds' templates (of kinds with several).
    std::vector<double> masses;
    std::vector<std::vector<const Patch*>> patches(kinds.size());
    std::vector<std::vector<PixelPoint>> centres(kinds.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        Read& read = reads[g];
        if (kindOf[g] < 0 || read.inRow)
            continue;
        read.marker = true;
        masses.push_back(groups[g].mass);
        const auto kind = static_cast<std::size_t>(kindOf[g]);
        if (patches[kind].size() < 50) {
            patches[kind].push_back(read.patch.get());
            centres[kind].push_back(read.shape.centre);
        }
    }
    // Of the markers standing apart, a kind with several has a good share: not the few
    // single letters of the labels (the 0 of each "0.5").
    const std::size_t several = std::max<std::size_t>(3, sizes.size() / 10);
    std::vector<std::optional<MarkerTemplate>> templates(kinds.size());
    for (std::size_t kind = 0; kind < kinds.size(); ++kind)
        if (patches[kind].size() >= 2)
            templates[kind] = MarkerTemplate::average(patches[kind], centres[kind], kinds[kind].size);
    // One in a line of text is a marker (with its label beside it) when it is the image of
    // the template of a kind of markers with several standing apart, which a character of
    // the markers' size is not. (Any such kind of about its size: JPEG's smudges can part
    // one kind into two.)
    for (std::size_t g = 0; g < groups.size(); ++g) {
        Read& read = reads[g];
        if (!read.markerLike || !read.inRow || read.shape.size < smallest || read.shape.size > largest)
            continue;
        const WeightAt own = [&read](int column, int row) { return read.patch->at(column, row); };
        for (std::size_t kind = 0; kind < kinds.size() && !read.marker; ++kind) {
            if (apart[kind] < several || !templates[kind] ||
                std::abs(kinds[kind].size - read.shape.size) > std::max(1.5, 0.2 * read.shape.size))
                continue;
            const MarkerTemplate& image = *templates[kind];
            const PixelPoint centre = image.settle(own, read.shape.centre);
            if (image.cover(own, centre) >= held && image.within(*read.patch, centre) >= held) {
                read.marker = true;
                masses.push_back(groups[g].mass);
            }
        }
    }
    pass.done(0.7);

    // A group about k times the typical marker's weight, and far from round, is k markers
    // that touch (even where, as two discs do, they make a shape as symmetric as a
    // marker). Round: its weight against that of a disc with its spread about its centre
    // (1 for a disc, 0.95 for a square, 0.67 for two discs side by side).
    if (options.splitTouching && masses.size() >= 3) {
        std::nth_element(masses.begin(), masses.begin() + static_cast<std::ptrdiff_t>(masses.size() / 2), masses.end());
        const double typical = masses[masses.size() / 2];
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const MarkerGroup& group = groups[g];
            if (!reads[g].patch || reads[g].inRow)
                continue; // (not characters of text, nor a marker touching them)
            const double times = group.mass / typical;
            const double parts = std::round(times);
            const double x = group.sumColumn / group.mass - box.left, y = group.sumRow / group.mass - box.top;
            const double spread = group.sumSquares / group.mass - x * x - y * y;
            const double roundness = spread > 0.0 ? group.mass / (2.0 * std::numbers::pi * spread) : 1.0;
            if (parts < 2.0 || std::abs(times - parts) > 0.3 || roundness >= 0.85 ||
                std::max(group.width(), group.height()) > parts * largest + 2.0)
                continue;
            std::vector<Pixel> pixels;
            for (const MarkerSpan& span : group.spans)
                for (int column = span.left; column < span.right; ++column)
                    pixels.push_back({static_cast<double>(column), static_cast<double>(span.row),
                                      reads[g].patch->at(column, span.row)});
            for (const PixelPoint& centre : splitGroup(pixels, static_cast<std::size_t>(parts)))
                result.points.push_back(centre);
            reads[g].split = true;
            reads[g].marker = false;
        }
    }
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (reads[g].marker)
            result.points.push_back(reads[g].shape.centre);
    pass.done(0.8);

    // Markers touching a line or a label of their colour: found by their kind's template,
    // the average of the markers of that kind standing apart.
    const WeightAt weight = [&](int column, int row) { return markerWeightAt(picture, colour, region, column, row); };
    const bool anyTemplate = std::any_of(templates.begin(), templates.end(), [](const auto& t) { return t.has_value(); });
    for (std::size_t g = 0; g < groups.size() && anyTemplate; ++g) {
        if (reads[g].marker || reads[g].split || (reads[g].markerLike && reads[g].inRow))
            continue;
        if (pass.cancelled()) {
            result.cancelled = true;
            return result;
        }
        // Where a template's weight is most nearly all there, each place once, whichever
        // kind it is.
        struct Found {
            double cover;
            PixelPoint at;
            const MarkerTemplate* kind;
        };
        std::vector<Found> found;
        for (const auto& candidate : templates) {
            if (!candidate)
                continue;
            const MarkerTemplate& kind = *candidate;
            if (groups[g].mass < 0.7 * kind.weight() ||
                std::max(groups[g].width(), groups[g].height()) + 1.0 < kind.size())
                continue;
            for (const MarkerSpan& span : groups[g].spans)
                for (int column = span.left; column < span.right; ++column) {
                    const PixelPoint at{static_cast<double>(column), static_cast<double>(span.row)};
                    if (const double cover = kind.cover(weight, at); cover >= held - 0.05)
                        found.push_back({cover, at, &kind});
                }
        }
        // (Of covers alike, the larger kind first: a smaller one may lie inside it.)
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
            return a.cover != b.cover ? a.cover > b.cover : a.kind->weight() > b.kind->weight();
        });
        std::vector<PixelPoint> taken;
        for (const Found& candidate : found) {
            if (std::any_of(taken.begin(), taken.end(), [&](PixelPoint p) {
                    return std::hypot(p.column - candidate.at.column, p.row - candidate.at.row) <
                           0.7 * candidate.kind->size();
                }))
                continue;
            const PixelPoint centre = candidate.kind->settle(weight, candidate.at);
            if (candidate.kind->cover(weight, centre) >= held && candidate.kind->crowded(weight, centre) <= crowd) {
                result.points.push_back(centre);
                taken.push_back(candidate.at);
            }
        }
    }
    pass.done(1.0);
    return result;
}
