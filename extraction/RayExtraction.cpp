#include "extraction/RayExtraction.h"

#include <algorithm>
#include <cmath>

namespace {

struct Run {
    double t = 0.0; // its weighted middle
    double mass = 0.0;
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

} // namespace

std::vector<std::optional<double>> followAlongRays(const PixelView& picture, const ColourMatch& colour,
                                                   const Region& region, const std::vector<Ray>& rays,
                                                   const Work& work, bool& cancelled)
{
    std::vector<std::optional<double>> found(rays.size());
    cancelled = false;
    std::optional<double> last, before; // where the curve was on the two rays before
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
        if (chosen == nullptr)
            continue;
        found[i] = chosen->t;
        before = last;
        last = chosen->t;
    }
    return found;
}
