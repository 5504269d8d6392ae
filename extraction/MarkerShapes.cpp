#include "extraction/MarkerShapes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

Patch::Patch(const PixelView& picture, const ColourMatch& colour, const Region& region, const MarkerGroup& group)
    : box_(group.bounds),
      weights_(static_cast<std::size_t>(group.width()) * static_cast<std::size_t>(group.height()), 0.0f)
{
    for (const MarkerSpan& span : group.spans)
        for (int column = span.left; column < span.right; ++column)
            weights_[static_cast<std::size_t>((span.row - box_.top) * group.width() + (column - box_.left))] =
                markerWeightAt(picture, colour, region, column, span.row);
}

float Patch::at(int column, int row) const
{
    if (!box_.contains(column, row))
        return 0.0f;
    return weights_[static_cast<std::size_t>((row - box_.top) * (box_.right - box_.left) + (column - box_.left))];
}

double Patch::between(double column, double row) const
{
    const double left = std::floor(column), top = std::floor(row);
    const double fx = column - left, fy = row - top;
    const int c = static_cast<int>(left), r = static_cast<int>(top);
    return (1.0 - fy) * ((1.0 - fx) * at(c, r) + fx * at(c + 1, r)) + fy * ((1.0 - fx) * at(c, r + 1) + fx * at(c + 1, r + 1));
}

Shape shapeOf(const MarkerGroup& group, const Patch& patch)
{
    Shape shape;
    shape.centre = group.centre();
    const double wide = group.width(), high = group.height();
    shape.size = std::max(1.0, std::max(wide, high) - 1.0);
    shape.aspect = std::min(wide, high) / std::max(wide, high);
    shape.fill = group.mass / (shape.size * shape.size);
    // Mirrored through its centre, across it and along it: a marker (a disc, a ring, a
    // square, a diamond, a triangle) is its own image in one of them at least.
    const PixelPoint c = shape.centre;
    double total = 0.0, point = 0.0, across = 0.0, along = 0.0;
    for (const MarkerSpan& span : group.spans)
        for (int column = span.left; column < span.right; ++column) {
            const double w = patch.at(column, span.row);
            total += w;
            point += std::min(w, patch.between(2.0 * c.column - column, 2.0 * c.row - span.row));
            across += std::min(w, patch.between(2.0 * c.column - column, span.row));
            along += std::min(w, patch.between(column, 2.0 * c.row - span.row));
        }
    shape.symmetry = total > 0.0 ? std::max({point, across, along}) / total : 0.0;
    return shape;
}

std::optional<MarkerTemplate> MarkerTemplate::average(const std::vector<const Patch*>& patches,
                                                      const std::vector<PixelPoint>& centres, double size)
{
    if (patches.empty() || patches.size() != centres.size())
        return std::nullopt;
    MarkerTemplate result;
    result.size_ = size;
    result.half_ = static_cast<int>(std::ceil(0.5 * size + 1.5));
    const int side = 2 * result.half_ + 1;
    result.weights_.assign(static_cast<std::size_t>(side * side), 0.0f);
    for (std::size_t i = 0; i < patches.size(); ++i)
        for (int dy = -result.half_; dy <= result.half_; ++dy)
            for (int dx = -result.half_; dx <= result.half_; ++dx)
                result.weights_[static_cast<std::size_t>((dy + result.half_) * side + dx + result.half_)] +=
                    static_cast<float>(patches[i]->between(centres[i].column + dx, centres[i].row + dy) /
                                       static_cast<double>(patches.size()));
    for (const float w : result.weights_)
        result.total_ += w;
    if (!(result.total_ > 0.0))
        return std::nullopt;
    return result;
}

double MarkerTemplate::at(double dx, double dy) const
{
    const int side = 2 * half_ + 1;
    const auto grid = [&](int x, int y) -> double {
        if (x < -half_ || x > half_ || y < -half_ || y > half_)
            return 0.0;
        return weights_[static_cast<std::size_t>((y + half_) * side + x + half_)];
    };
    const double left = std::floor(dx), top = std::floor(dy);
    const double fx = dx - left, fy = dy - top;
    const int x = static_cast<int>(left), y = static_cast<int>(top);
    return (1.0 - fy) * ((1.0 - fx) * grid(x, y) + fx * grid(x + 1, y)) +
           fy * ((1.0 - fx) * grid(x, y + 1) + fx * grid(x + 1, y + 1));
}

double MarkerTemplate::cover(const WeightAt& weight, PixelPoint centre) const
{
    const int c0 = static_cast<int>(std::floor(centre.column)), r0 = static_cast<int>(std::floor(centre.row));
    double held = 0.0;
    for (int r = r0 - half_; r <= r0 + half_ + 1; ++r)
        for (int c = c0 - half_; c <= c0 + half_ + 1; ++c) {
            const double t = at(c - centre.column, r - centre.row);
            if (t > 0.0)
                held += std::min(static_cast<double>(weight(c, r)), t);
        }
    return held / total_;
}

double MarkerTemplate::crowded(const WeightAt& weight, PixelPoint centre) const
{
    const double outer = 0.5 * size_ + 3.0;
    const int reach = static_cast<int>(std::ceil(outer));
    const int c0 = static_cast<int>(std::lround(centre.column)), r0 = static_cast<int>(std::lround(centre.row));
    double ring = 0.0, full = 0.0;
    for (int r = r0 - reach; r <= r0 + reach; ++r)
        for (int c = c0 - reach; c <= c0 + reach; ++c) {
            const double dx = c - centre.column, dy = r - centre.row;
            if (std::hypot(dx, dy) > outer || at(dx, dy) > 0.02)
                continue;
            ring += 1.0;
            full += weight(c, r) > 0.3f ? 1.0 : 0.0;
        }
    return ring > 0.0 ? full / ring : 0.0;
}

double MarkerTemplate::within(const Patch& patch, PixelPoint centre) const
{
    const PixelBox& box = patch.box();
    double total = 0.0, covered = 0.0;
    for (int r = box.top; r < box.bottom; ++r)
        for (int c = box.left; c < box.right; ++c) {
            const double w = patch.at(c, r);
            total += w;
            covered += std::min(w, at(c - centre.column, r - centre.row));
        }
    return total > 0.0 ? covered / total : 0.0;
}

PixelPoint MarkerTemplate::settle(const WeightAt& weight, PixelPoint start) const
{
    PixelPoint centre = start;
    for (int round = 0; round < 8; ++round) {
        const int c0 = static_cast<int>(std::floor(centre.column)), r0 = static_cast<int>(std::floor(centre.row));
        double sum = 0.0, column = 0.0, row = 0.0;
        for (int r = r0 - half_; r <= r0 + half_ + 1; ++r)
            for (int c = c0 - half_; c <= c0 + half_ + 1; ++c) {
                const double t = at(c - centre.column, r - centre.row);
                if (!(t > 0.0))
                    continue;
                const double u = std::min(static_cast<double>(weight(c, r)), t);
                sum += u;
                column += u * c;
                row += u * r;
            }
        if (!(sum > 0.0))
            return centre;
        const PixelPoint next{column / sum, row / sum};
        const bool still = std::hypot(next.column - centre.column, next.row - centre.row) < 0.002;
        centre = next;
        if (still)
            break;
    }
    return centre;
}
