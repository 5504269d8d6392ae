#include "axes/InkImage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

float InkImage::sample(double column, double row) const
{
    const double c0 = std::floor(column);
    const double r0 = std::floor(row);
    const auto c = static_cast<int>(c0);
    const auto r = static_cast<int>(r0);
    const auto fc = static_cast<float>(column - c0);
    const auto fr = static_cast<float>(row - r0);
    const auto value = [&](int cc, int rr) { return contains(cc, rr) ? at(cc, rr) : 0.0f; };
    const float top = value(c, r) * (1.0f - fc) + value(c + 1, r) * fc;
    const float bottom = value(c, r + 1) * (1.0f - fc) + value(c + 1, r + 1) * fc;
    return top * (1.0f - fr) + bottom * fr;
}

InkImage inkOf(const PixelView& pixels)
{
    InkImage image;
    image.width = std::max(0, pixels.width);
    image.height = std::max(0, pixels.height);
    image.ink.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int r = 0; r < image.height; ++r)
        for (int c = 0; c < image.width; ++c) {
            const std::uint32_t argb = pixels.at(c, r);
            const auto red = static_cast<float>((argb >> 16) & 0xffu);
            const auto green = static_cast<float>((argb >> 8) & 0xffu);
            const auto blue = static_cast<float>(argb & 0xffu);
            image.at(c, r) = 1.0f - (0.299f * red + 0.587f * green + 0.114f * blue) / 255.0f;
        }
    return image;
}

namespace {

constexpr double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// Edges strong enough to carry a line: a step of this much ink between neighbours.
constexpr float edgeStep = 0.12f;

struct Edge {
    float column;
    float row;
    float weight;
};

// How well the edges line up when the picture is taken as turned by `degrees`: the sum of
// squares of their projection onto the turned rows (horizontal edges) and columns
// (vertical ones), each edge split between its two nearest bins.
double alignment(const std::vector<Edge>& horizontal, const std::vector<Edge>& vertical, int width, int height,
                 double degrees)
{
    const double t = std::tan(radians(degrees));
    const int margin = static_cast<int>(std::ceil(std::abs(t) * std::max(width, height))) + 2;
    std::vector<double> bins(static_cast<std::size_t>(std::max(width, height) + 2 * margin + 2), 0.0);
    const auto project = [&](const std::vector<Edge>& edges, bool rows) {
        std::fill(bins.begin(), bins.end(), 0.0);
        for (const Edge& e : edges) {
            // A horizontal line of the upright plot runs up to the right: row = r0 - column * t.
            const double at = rows ? e.row + e.column * t : e.column - e.row * t;
            const double shifted = at + margin;
            const double low = std::floor(shifted);
            const auto i = static_cast<std::size_t>(std::max(0.0, low));
            if (i + 1 >= bins.size())
                continue;
            const double f = shifted - low;
            bins[i] += e.weight * (1.0 - f);
            bins[i + 1] += e.weight * f;
        }
        double sum = 0.0;
        for (const double b : bins)
            sum += b * b;
        return sum;
    };
    return project(horizontal, true) + project(vertical, false);
}

} // namespace

double skewDegrees(const InkImage& image)
{
    std::vector<Edge> horizontal;
    std::vector<Edge> vertical;
    for (int r = 0; r + 1 < image.height; ++r)
        for (int c = 0; c + 1 < image.width; ++c) {
            const float here = image.at(c, r);
            const float below = std::abs(image.at(c, r + 1) - here);
            const float right = std::abs(image.at(c + 1, r) - here);
            // At whole positions, so that an upright edge falls whole into one bin: between
            // bins it would be split in halves, which squares to less than any tilt does.
            if (below >= edgeStep)
                horizontal.push_back({static_cast<float>(c), static_cast<float>(r), below});
            if (right >= edgeStep)
                vertical.push_back({static_cast<float>(c), static_cast<float>(r), right});
        }
    if (horizontal.empty() && vertical.empty())
        return 0.0;

    // Coarse steps over the whole range, then finer ones about the best, then the top of the
    // parabola through the best and its neighbours.
    double best = 0.0;
    double step = 0.1;
    double from = -maxSkewDegrees;
    double to = maxSkewDegrees;
    for (int pass = 0; pass < 2; ++pass) {
        double bestScore = -1.0;
        for (double a = from; a <= to + 1e-9; a += step) {
            const double score = alignment(horizontal, vertical, image.width, image.height, a);
            if (score > bestScore || (score == bestScore && std::abs(a) < std::abs(best))) {
                bestScore = score;
                best = a;
            }
        }
        from = best - step;
        to = best + step;
        step = 0.01;
    }
    const double left = alignment(horizontal, vertical, image.width, image.height, best - step);
    const double middle = alignment(horizontal, vertical, image.width, image.height, best);
    const double right = alignment(horizontal, vertical, image.width, image.height, best + step);
    const double curvature = left - 2.0 * middle + right;
    if (curvature < 0.0)
        best += step * std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5);
    return std::clamp(best, -maxSkewDegrees, maxSkewDegrees);
}

PixelPoint Turn::toPicture(PixelPoint upright) const
{
    const double a = radians(degrees);
    const double dc = upright.column - centreColumn;
    const double dr = upright.row - centreRow;
    return {centreColumn + std::cos(a) * dc + std::sin(a) * dr, centreRow - std::sin(a) * dc + std::cos(a) * dr};
}

PixelPoint Turn::toUpright(PixelPoint picture) const
{
    const double a = radians(degrees);
    const double dc = picture.column - centreColumn;
    const double dr = picture.row - centreRow;
    return {centreColumn + std::cos(a) * dc - std::sin(a) * dr, centreRow + std::sin(a) * dc + std::cos(a) * dr};
}

InkImage upright(const InkImage& image, const Turn& turn)
{
    InkImage out;
    out.width = image.width;
    out.height = image.height;
    out.ink.resize(image.ink.size());
    for (int r = 0; r < out.height; ++r)
        for (int c = 0; c < out.width; ++c) {
            const PixelPoint from = turn.toPicture({static_cast<double>(c), static_cast<double>(r)});
            out.at(c, r) = image.sample(from.column, from.row);
        }
    return out;
}
