#include "axes/InkImage.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

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

constexpr double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

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

// The turn measured on the picture's longest lines: along each, the middle of its ink
// across it, to a fraction of a pixel, then a straight line fitted through those middles.
// Horizontal lines (`rows`) run up to the right by tan(turn) a column; vertical ones to
// the right by tan(turn) a row. Empty when there is no such line.
std::optional<double> measuredTurn(const InkImage& image, double degrees, bool rows)
{
    const double t = std::tan(radians(degrees));
    const int along = rows ? image.width : image.height;
    const int across = rows ? image.height : image.width;
    const auto ink = [&](int a, int b) { return rows ? image.at(a, b) : image.at(b, a); };
    // Lines: where the ink lines up best at this turn.
    const int margin = static_cast<int>(std::ceil(std::abs(t) * along)) + 2;
    std::vector<double> bins(static_cast<std::size_t>(across + 2 * margin), 0.0);
    for (int a = 0; a < along; ++a)
        for (int b = 0; b < across; ++b) {
            const float v = ink(a, b);
            if (v >= 0.4f) {
                const long bin = std::lround(rows ? b + a * t : b - a * t) + margin;
                if (bin >= 0 && bin < static_cast<long>(bins.size()))
                    bins[static_cast<std::size_t>(bin)] += v;
            }
        }
    const double longest = *std::max_element(bins.begin(), bins.end());
    if (longest < 0.2 * along)
        return std::nullopt;
    double slopes = 0.0, weights = 0.0;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const bool peak = bins[i] >= 0.5 * longest && (i == 0 || bins[i] >= bins[i - 1]) &&
                          (i + 1 == bins.size() || bins[i] > bins[i + 1]);
        if (!peak)
            continue;
        const double at = static_cast<double>(i) - margin;
        // The middle of the line at each place along it, where it is thin and clear.
        std::vector<double> as, bs;
        for (int a = 0; a < along; ++a) {
            const double expected = rows ? at - a * t : at + a * t;
            const int from = static_cast<int>(std::floor(expected)) - 3;
            double mass = 0.0, moment = 0.0, top = 0.0;
            for (int b = std::max(0, from); b <= std::min(across - 1, from + 7); ++b) {
                const double v = ink(a, b);
                mass += v;
                moment += v * b;
                top = std::max(top, v);
            }
            if (top >= 0.4 && mass <= 4.0 && mass > 0.0) {
                as.push_back(a);
                bs.push_back(moment / mass);
            }
        }
        // Least squares, twice: the second time without the places more than a pixel off.
        double slope = 0.0;
        std::vector<bool> use(as.size(), true);
        std::size_t used = 0;
        for (int round = 0; round < 2; ++round) {
            double n = 0, sa = 0, sb = 0, saa = 0, sab = 0;
            for (std::size_t k = 0; k < as.size(); ++k)
                if (use[k]) {
                    n += 1;
                    sa += as[k];
                    sb += bs[k];
                    saa += as[k] * as[k];
                    sab += as[k] * bs[k];
                }
            const double d = n * saa - sa * sa;
            if (n < 20 || !(d > 0.0))
                break;
            slope = (n * sab - sa * sb) / d;
            const double offset = (sb - slope * sa) / n;
            used = 0;
            for (std::size_t k = 0; k < as.size(); ++k) {
                use[k] = std::abs(bs[k] - offset - slope * as[k]) <= 1.0;
                used += use[k] ? 1u : 0u;
            }
        }
        if (used >= 20 && used >= static_cast<std::size_t>(0.2 * along)) {
            slopes += (rows ? -slope : slope) * static_cast<double>(used);
            weights += static_cast<double>(used);
        }
    }
    if (weights <= 0.0)
        return std::nullopt;
    return std::atan(slopes / weights) * 180.0 / std::numbers::pi;
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
    // The projection has found the turn to a few hundredths of a degree; the lines
    // themselves give it to a few thousandths, where there are long ones.
    const std::optional<double> alongRows = measuredTurn(image, best, true);
    const std::optional<double> alongColumns = measuredTurn(image, best, false);
    if (alongRows && alongColumns && std::abs(*alongRows - *alongColumns) < 0.05)
        best = 0.5 * (*alongRows + *alongColumns);
    else if (alongRows && std::abs(*alongRows - best) < 0.1)
        best = *alongRows;
    else if (alongColumns && std::abs(*alongColumns - best) < 0.1)
        best = *alongColumns;
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
