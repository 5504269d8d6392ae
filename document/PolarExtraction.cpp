#include "document/PolarExtraction.h"

#include "document/PictureExtraction.h"
#include "extraction/RayExtraction.h"

#include <cmath>
#include <numbers>

namespace {

PixelPoint pixelAt(const WorldMap& map, DPoint fit, int height)
{
    return pixelOf(map.screenOfFit(fit), height);
}

} // namespace

Extraction extractPolarLine(const PixelView& picture, const ColourMatch& colour, const Region& region,
                            const WorldMap& map, double angleStep, const Work& work)
{
    Extraction result;
    const PolarAxes& polar = *map.scales.polar;
    const double turn = polar.angle == AngleUnit::degrees ? 360.0 : 2.0 * std::numbers::pi;
    const PixelPoint centre = pixelAt(map, {0.0, 0.0}, picture.height);
    // As far out as the farthest corner of the region, in the plane's units.
    const PixelBox& box = region.box();
    double reach = 0.0;
    for (const int column : {box.left, box.right})
        for (const int row : {box.top, box.bottom}) {
            const DPoint fit = map.fit({static_cast<double>(column), static_cast<double>(picture.height - row)});
            reach = std::max(reach, std::hypot(fit.x, fit.y));
        }
    std::vector<Ray> rays;
    std::vector<DPoint> directions;
    const auto steps = static_cast<std::size_t>(std::floor(turn / angleStep + 1e-9));
    for (std::size_t k = 0; k < steps && k < 1'000'000; ++k) {
        double theta = static_cast<double>(k) * angleStep * (2.0 * std::numbers::pi / turn);
        if (polar.clockwise)
            theta = -theta;
        const DPoint direction{std::cos(theta), std::sin(theta)};
        const PixelPoint out = pixelAt(map, direction, picture.height);
        rays.push_back({centre, {out.column - centre.column, out.row - centre.row}, reach});
        directions.push_back(direction);
    }
    bool cancelled = false;
    const std::vector<std::optional<double>> found = followAlongRays(picture, colour, region, rays, work, cancelled);
    if (cancelled) {
        result.cancelled = true;
        return result;
    }
    for (std::size_t k = 0; k < found.size(); ++k)
        if (found[k])
            result.points.push_back(
                pixelAt(map, {*found[k] * directions[k].x, *found[k] * directions[k].y}, picture.height));
    return result;
}
