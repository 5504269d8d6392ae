#include "extraction/CourseFit.h"

#include <cmath>

namespace {

// The windows of predict(): a straight line through the samples of the last `shortWindow`
// pixels (at least `fewest` samples); where it looks further ahead than `coasting` pixels,
// a parabola through those of the last `longWindow`, when they reach at least half as far
// back, ten samples or more.
constexpr double shortWindow = 12.0;
constexpr std::size_t fewest = 6;
constexpr double coasting = 3.0;
constexpr double longWindow = 40.0;

double determinant3(const double q[3][3])
{
    return q[0][0] * (q[1][1] * q[2][2] - q[1][2] * q[2][1]) - q[0][1] * (q[1][0] * q[2][2] - q[1][2] * q[2][0]) +
           q[0][2] * (q[1][0] * q[2][1] - q[1][1] * q[2][0]);
}

} // namespace

Course fitThrough(const std::vector<Sample>& samples, std::size_t first, int degree, double s)
{
    if (first >= samples.size())
        return {};
    // Normal equations in powers of (s - origin), solved by Cramer's rule; the origin at
    // the last sample keeps them well conditioned.
    const double origin = samples.back().s;
    double m[3][3] = {}, r[3] = {};
    for (std::size_t i = first; i < samples.size(); ++i) {
        const double x = samples[i].s - origin;
        const double powers[3] = {1.0, x, x * x};
        for (int a = 0; a <= degree; ++a) {
            r[a] += powers[a] * samples[i].t;
            for (int b = 0; b <= degree; ++b)
                m[a][b] += powers[a] * powers[b];
        }
    }
    const double x = s - origin;
    if (degree == 1) {
        const double det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        if (!(std::abs(det) > 1e-9 * (1.0 + m[0][0] * m[1][1])))
            return {r[0] / m[0][0], 0.0};
        const double a = (r[0] * m[1][1] - m[0][1] * r[1]) / det;
        const double b = (m[0][0] * r[1] - m[1][0] * r[0]) / det;
        return {a + b * x, b};
    }
    const double det = determinant3(m);
    if (!(std::abs(det) > 1e-9 * std::abs(m[0][0] * m[1][1] * m[2][2])))
        return fitThrough(samples, first, 1, s);
    double c[3];
    for (int column = 0; column < 3; ++column) {
        double q[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                q[a][b] = b == column ? r[a] : m[a][b];
        c[column] = determinant3(q) / det;
    }
    return {c[0] + c[1] * x + c[2] * x * x, c[1] + 2.0 * c[2] * x};
}

Course predict(const std::vector<Sample>& samples, double s)
{
    if (samples.empty())
        return {};
    const double last = samples.back().s;
    if (samples.size() == 1)
        return {samples.back().t, 0.0};
    std::size_t shortFirst = samples.size() - 1, longFirst = samples.size() - 1;
    for (std::size_t i = samples.size(); i-- > 0;) {
        const double back = std::abs(samples[i].s - last);
        const std::size_t count = samples.size() - i;
        if (back <= shortWindow || count <= fewest)
            shortFirst = i;
        if (back <= longWindow)
            longFirst = i;
        else if (count > fewest)
            break;
    }
    const double reachedBack = std::abs(samples[longFirst].s - last);
    if (std::abs(s - last) > coasting && reachedBack >= 0.5 * longWindow && samples.size() - longFirst >= 10)
        return fitThrough(samples, longFirst, 2, s);
    return fitThrough(samples, shortFirst, 1, s);
}
