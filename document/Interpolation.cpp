#include "document/Interpolation.h"

#include <algorithm>
#include <iterator>

Interpolant::Interpolant(std::vector<DPoint> knots, bool cubic) : knots_(std::move(knots))
{
    const std::size_t n = knots_.size();
    if (!cubic || n < 3)
        return;
    // The natural spline's second derivatives M solve, for each inner knot i,
    //     h[i-1]·M[i-1] + 2(h[i-1] + h[i])·M[i] + h[i]·M[i+1] = 6·(s[i] - s[i-1]),
    // h the knot spacings and s the slopes between knots, with M = 0 at both ends. The
    // system is tridiagonal and strictly diagonally dominant, so elimination without
    // pivoting is stable and never divides by zero.
    curvature_.assign(n, 0.0);
    std::vector<double> diagonal(n, 0.0);
    std::vector<double> right(n, 0.0);
    const auto h = [&](std::size_t i) { return knots_[i + 1].x - knots_[i].x; };
    const auto slope = [&](std::size_t i) { return (knots_[i + 1].y - knots_[i].y) / h(i); };
    for (std::size_t i = 1; i + 1 < n; ++i) {
        diagonal[i] = 2.0 * (h(i - 1) + h(i));
        right[i] = 6.0 * (slope(i) - slope(i - 1));
        if (i > 1) {
            const double factor = h(i - 1) / diagonal[i - 1];
            diagonal[i] -= factor * h(i - 1);
            right[i] -= factor * right[i - 1];
        }
    }
    for (std::size_t i = n - 2; i >= 1; --i)
        curvature_[i] = (right[i] - h(i) * curvature_[i + 1]) / diagonal[i];
}

double Interpolant::at(double x) const
{
    if (x <= knots_.front().x)
        return knots_.front().y;
    if (x >= knots_.back().x)
        return knots_.back().y;
    // The interval [j, j + 1] holding x.
    const auto after = std::upper_bound(knots_.begin(), knots_.end(), x,
                                        [](double value, const DPoint& knot) { return value < knot.x; });
    const auto j = static_cast<std::size_t>(std::distance(knots_.begin(), after)) - 1;
    const DPoint& a = knots_[j];
    const DPoint& b = knots_[j + 1];
    const double h = b.x - a.x;
    const double t = (x - a.x) / h;
    // Weighted so that either end gives its knot's y exactly.
    double y = (1.0 - t) * a.y + t * b.y;
    if (!curvature_.empty())
        y -= h * h / 6.0 * t * (1.0 - t) * ((2.0 - t) * curvature_[j] + (1.0 + t) * curvature_[j + 1]);
    return y;
}
