#include "extraction/RayExtraction.h"

#include <algorithm>
#include <cmath>

namespace {

struct Run {
    double t = 0.0; // its weighted middle
    double mass = 0.0;
    double from = 0.0, to = 0.0; // where it starts and ends along the ray
};

// The colour's weight at a point between pixel centres, bilinear from the four around it.
double weightBetween(const PixelView& picture, const ColourMatch& colour, const Region& region, double column,
                     double row)
{
    const int c0 = static_cast<int>(std::floor(column)), r0 = static_cast<int>(std::floor(row));
    const double fc = column - c0, fr = row - r0;
    double total = 0.0;
    for (int dr = 0; dr <= 1; ++dr)
        for (int dc = 0; dc <= 1; ++dc) {
            const int c = c0 + dc, r = r0 + dr;
            if (c < 0 || r < 0 || c >= picture.width || r >= picture.height || !region.contains(c, r) ||
                !colour.mayMatch(picture.at(c, r)))
                continue;
            total += (dc ? fc : 1.0 - fc) * (dr ? fr : 1.0 - fr) * static_cast<double>(colour.weightAt(picture, c, r));
        }
    return total;
}

std::vector<Run> runsOn(const PixelView& picture, const ColourMatch& colour, const Region& region, const Ray& ray)
{
    std::vector<Run> runs;
    const double length = std::hypot(ray.unit.column, ray.unit.row);
    if (!(length > 0.0) || !(ray.reach > 0.0))
        return runs;
    const double dt = 0.25 / length; // a quarter pixel
    Run run;
    double moment = 0.0;
    for (double t = 0.0; t <= ray.reach; t += dt) {
        const double w = weightBetween(picture, colour, region, ray.origin.column + t * ray.unit.column,
                                       ray.origin.row + t * ray.unit.row);
        if (w > 0.05) {
            if (run.mass == 0.0)
                run.from = t;
            run.to = t;
            run.mass += w;
            moment += w * t;
        } else if (run.mass > 0.0) {
            run.t = moment / run.mass;
            runs.push_back(run);
            run = {};
            moment = 0.0;
        }
    }
    if (run.mass > 0.0) {
        run.t = moment / run.mass;
        runs.push_back(run);
    }
    return runs;
}

constexpr int lostAfter = 3;

} // namespace

std::vector<std::optional<double>> followAlongRays(const PixelView& picture, const ColourMatch& colour,
                                                   const Region& region, const std::vector<Ray>& rays,
                                                   const Work& work, bool& cancelled)
{
    std::vector<std::optional<double>> found(rays.size());
    cancelled = false;
    std::optional<double> last, before; // where the curve was on the two rays before
    int missed = 0;                      // rays since the curve was last seen
    std::vector<double> extents;         // how long the cuts through the curve were, in pixels
    for (std::size_t i = 0; i < rays.size(); ++i) {
        if (work.cancelled()) {
            cancelled = true;
            return {};
        }
        if (i % 16 == 0)
            work.report(static_cast<double>(i) / static_cast<double>(rays.size()));
        const std::vector<Run> runs = runsOn(picture, colour, region, rays[i]);
        if (runs.empty())
            continue;
        const Run* chosen = nullptr;
        if (!last) {
            chosen = &*std::max_element(runs.begin(), runs.end(),
                                        [](const Run& a, const Run& b) { return a.mass < b.mass; });
        } else {
            // Where the curve is heading: on from the last two rays.
            const double expected = before ? 2.0 * *last - *before : *last;
            const double length = std::hypot(rays[i].unit.column, rays[i].unit.row);
            const double nearEnough = 6.0 / length; // six pixels
            for (const Run& run : runs)
                if (std::abs(run.t - expected) <= nearEnough &&
                    (chosen == nullptr || std::abs(run.t - expected) < std::abs(chosen->t - expected)))
                    chosen = &run;
        }
        // A ray that grazes the curve runs along its stroke: the run's middle is no place
        // on it. Runs over three times as long as the curve's usual cut are passed over.
        if (chosen != nullptr) {
            const double extent = (chosen->to - chosen->from) * std::hypot(rays[i].unit.column, rays[i].unit.row);
            if (extents.size() >= 5) {
                std::vector<double> sorted = extents;
                std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                                 sorted.end());
                if (extent > 3.0 * std::max(sorted[sorted.size() / 2], 1.0))
                    chosen = nullptr;
            }
            if (chosen != nullptr)
                extents.push_back(extent);
        }
        if (chosen == nullptr) {
            // Lost for a few rays (into the centre, as a pattern's lobes go, or behind a
            // gap): where it was says nothing about where it comes back.
            if (++missed >= lostAfter)
                last = before = std::nullopt;
            continue;
        }
        missed = 0;
        found[i] = chosen->t;
        before = last;
        last = chosen->t;
    }
    return found;
}
