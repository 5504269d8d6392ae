#include "axes/Ticks.h"

#include <algorithm>
#include <cmath>

namespace {

// Reads the picture along the axis (`along`) and away from the labels towards the axis
// (`away`, 0 the first pixel past the labels).
struct AxisView {
    const InkImage& image;
    Axis axis;
    int origin; // the first row above the x labels, or column right of the y labels

    float ink(int along, int away) const
    {
        const int c = axis == Axis::x ? along : origin + away;
        const int r = axis == Axis::x ? origin - away : along;
        return image.contains(c, r) ? image.at(c, r) : 0.0f;
    }
};

struct Window {
    int from = 0;
    int to = 0; // inclusive
    double centre = 0.0;
};

// A narrow stroke at `along`: more ink than three pixels to either side.
float stroke(const AxisView& view, int along, int away)
{
    return view.ink(along, away) - 0.5f * (view.ink(along - 3, away) + view.ink(along + 3, away));
}

constexpr float strokeInk = 0.1f;

// Each label's tick within the band of rows (or columns) from `bandFrom` to `bandTo` away
// from the labels.
std::vector<std::optional<double>> ticksInBand(const AxisView& view, const std::vector<Window>& windows, int bandFrom,
                                               int bandTo);

} // namespace

std::vector<std::optional<double>> tickPositions(const InkImage& image, const std::vector<Box>& labels, Axis axis)
{
    std::vector<std::optional<double>> found(labels.size());
    if (labels.empty())
        return found;
    std::vector<int> extents;
    int origin = axis == Axis::x ? image.height : 0;
    std::vector<Window> windows;
    for (const Box& b : labels) {
        const int length = axis == Axis::x ? b.width() : b.height();
        extents.push_back(b.height());
        const double centre = axis == Axis::x ? b.centreColumn() : b.centreRow();
        const int reach = static_cast<int>(std::ceil(0.3 * length)) + 3;
        windows.push_back(
            {static_cast<int>(std::floor(centre)) - reach, static_cast<int>(std::ceil(centre)) + reach, centre});
        // A pixel clear of the glyphs' boxes, whose faint anti-aliased edges lie beyond them.
        origin = axis == Axis::x ? std::min(origin, b.top - 2) : std::max(origin, b.right + 1);
    }
    std::nth_element(extents.begin(), extents.begin() + static_cast<std::ptrdiff_t>(extents.size() / 2), extents.end());
    const int textHeight = std::max(4, extents[extents.size() / 2]);
    const AxisView view{image, axis, origin};

    // The rows (or columns) where most labels have a stroke across near them.
    const int depth = 5 * textHeight + 6;
    const auto agreement = [&](int away) {
        std::size_t with = 0;
        for (const Window& w : windows) {
            float best = 0.0f;
            for (int a = w.from; a <= w.to; ++a)
                best = std::max(best, stroke(view, a, away));
            with += best >= strokeInk ? 1u : 0u;
        }
        return static_cast<double>(with) / static_cast<double>(windows.size());
    };
    // Every run of such rows, each at least two pixels long (a single row of strokes is
    // more likely the edge of something else) and at most two text heights.
    struct Band {
        int from;
        int to;
    };
    std::vector<Band> bands;
    std::vector<bool> agreed(static_cast<std::size_t>(depth));
    for (int away = 0; away < depth; ++away)
        agreed[static_cast<std::size_t>(away)] = agreement(away) >= 0.6;
    int runFrom = -1;
    for (int away = 0; away <= depth; ++away) {
        const bool on = away < depth && agreed[static_cast<std::size_t>(away)];
        if (on && runFrom >= 0 && away - runFrom >= 2 * textHeight) {
            bands.push_back({runFrom, away - 1});
            runFrom = away;
        } else if (on && runFrom < 0) {
            runFrom = away;
        } else if (!on && runFrom >= 0) {
            if (away - 1 > runFrom)
                bands.push_back({runFrom, away - 1});
            runFrom = -1;
        }
    }
    // Of the bands, the one whose strokes sit best on the labels' middles: ticks outside
    // the frame and inside it need not be the same (minor ticks out, major ticks in).
    std::vector<std::optional<double>> best;
    std::size_t bestFound = 0;
    double bestOffset = 0.0;
    for (const Band& band : bands) {
        std::vector<std::optional<double>> here = ticksInBand(view, windows, band.from, band.to);
        std::vector<double> offsets;
        for (std::size_t i = 0; i < here.size(); ++i)
            if (here[i])
                offsets.push_back(std::abs(*here[i] - windows[i].centre));
        if (offsets.empty())
            continue;
        std::nth_element(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(offsets.size() / 2),
                         offsets.end());
        const double offset = offsets[offsets.size() / 2];
        const bool better =
            offsets.size() * 4 > bestFound * 5 || (offsets.size() * 5 >= bestFound * 4 && offset < bestOffset);
        if (best.empty() || better) {
            best = std::move(here);
            bestFound = offsets.size();
            bestOffset = offset;
        }
    }
    return best.empty() ? found : best;
}

namespace {

std::vector<std::optional<double>> ticksInBand(const AxisView& view, const std::vector<Window>& windows, int bandFrom,
                                               int bandTo)
{
    std::vector<std::optional<double>> found(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const Window& w = windows[i];
        // A tick runs across the whole band; a curve passing through it slants and covers
        // each line of the band for a few pixels only. So the profile takes, along the
        // axis, the ink that three quarters of the band's pixels reach.
        std::vector<double> profile;
        std::vector<float> across;
        for (int a = w.from; a <= w.to; ++a) {
            across.clear();
            for (int away = bandFrom; away <= bandTo; ++away)
                across.push_back(view.ink(a, away));
            std::nth_element(across.begin(), across.begin() + static_cast<std::ptrdiff_t>(across.size() / 4),
                             across.end());
            profile.push_back(across[across.size() / 4]);
        }
        std::vector<double> sorted = profile;
        std::sort(sorted.begin(), sorted.end());
        const double background = sorted[sorted.size() / 2];
        const double strongest = *std::max_element(profile.begin(), profile.end()) - background;
        if (strongest < strokeInk)
            continue;
        // Labels are centred on their ticks: of the strong strokes near one (a major tick
        // among minor ones), the nearest to its middle.
        std::size_t peak = 0;
        double nearest = 1e300;
        for (std::size_t k = 0; k < profile.size(); ++k) {
            const bool top =
                (k == 0 || profile[k] >= profile[k - 1]) && (k + 1 == profile.size() || profile[k] >= profile[k + 1]);
            const double distance = std::abs(w.from + static_cast<double>(k) - w.centre);
            if (top && profile[k] - background >= 0.5 * strongest && distance < nearest) {
                nearest = distance;
                peak = k;
            }
        }
        // The stroke's middle: the centroid of its ink above the background, over the
        // pixels next to the peak that still stand above half of it.
        const double half = background + 0.5 * (profile[peak] - background);
        std::size_t lo = peak;
        std::size_t hi = peak;
        while (lo > 0 && profile[lo - 1] > half)
            --lo;
        while (hi + 1 < profile.size() && profile[hi + 1] > half)
            ++hi;
        lo = lo > 0 ? lo - 1 : lo;
        hi = std::min(hi + 1, profile.size() - 1);
        double weight = 0.0, moment = 0.0;
        for (std::size_t k = lo; k <= hi; ++k) {
            const double excess = std::max(0.0, profile[k] - background);
            weight += excess;
            moment += excess * static_cast<double>(w.from + static_cast<int>(k));
        }
        if (weight > 0.0)
            found[i] = moment / weight;
    }
    return found;
}

} // namespace
