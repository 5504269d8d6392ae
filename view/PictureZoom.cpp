#include "view/PictureZoom.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double farthestOut = 1.0 / 32.0;
constexpr double farthestIn = 32.0;

} // namespace

double ZoomRange::clamp(double factor) const
{
    return std::isfinite(factor) ? std::clamp(factor, low, high) : low;
}

ZoomRange zoomRange(double fit)
{
    const double low = std::min(fit, farthestOut);
    return {std::isfinite(low) && low > 0.0 ? low : farthestOut, farthestIn};
}

double fitFactor(Size picture, Size area)
{
    if (!(picture.width > 0.0f && picture.height > 0.0f && area.width > 0.0f && area.height > 0.0f))
        return 1.0;
    return std::min(static_cast<double>(area.width) / static_cast<double>(picture.width),
                    static_cast<double>(area.height) / static_cast<double>(picture.height));
}

double openingFactor(Size picture, Size area)
{
    const double fit = fitFactor(picture, area);
    return fit < 1.0 ? zoomRange(fit).clamp(fit) : 1.0;
}

DPoint scrollKeeping(DPoint scroll, DPoint anchor, double from, double to)
{
    const double ratio = to / from;
    return {(scroll.x + anchor.x) * ratio - anchor.x, (scroll.y + anchor.y) * ratio - anchor.y};
}

std::optional<std::size_t> pointNear(const std::vector<DPoint>& points, const PictureZoom& zoom, DPoint screen,
                                     double radius)
{
    std::optional<std::size_t> nearest;
    double best = radius * radius;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const DPoint p = zoom.screenOf(points[k]);
        const double d = (p.x - screen.x) * (p.x - screen.x) + (p.y - screen.y) * (p.y - screen.y);
        if (d <= best) {
            best = d;
            nearest = k;
        }
    }
    return nearest;
}
