#include "extraction/Snap.h"

#include "extraction/ColourSpace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// The window around a click that snapping looks at, clipped to the picture.
PixelBox windowAround(const PixelView& picture, PixelPoint click, int half)
{
    const auto column = static_cast<int>(std::lround(click.column));
    const auto row = static_cast<int>(std::lround(click.row));
    PixelBox box{std::max(column - half, 0), std::max(row - half, 0), std::min(column + half + 1, picture.width),
                 std::min(row + half + 1, picture.height)};
    return box.empty() ? PixelBox{} : box;
}

bool usable(const PixelView& picture, PixelPoint click)
{
    return picture.pixels != nullptr && std::isfinite(click.column) && std::isfinite(click.row) &&
           click.column > -0.5 && click.row > -0.5 && click.column < picture.width - 0.5 &&
           click.row < picture.height - 0.5;
}

// The most common colour in the box: what the plot is drawn on, near the click.
Rgb localBackground(const PixelView& picture, PixelBox box)
{
    std::vector<std::uint32_t> colours;
    for (int r = box.top; r < box.bottom; ++r)
        for (int c = box.left; c < box.right; ++c)
            colours.push_back(picture.at(c, r) & 0xFFFFFFu);
    std::sort(colours.begin(), colours.end());
    std::uint32_t best = colours.front();
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < colours.size();) {
        std::size_t j = i;
        while (j < colours.size() && colours[j] == colours[i])
            ++j;
        if (j - i > bestCount) {
            best = colours[i];
            bestCount = j - i;
        }
        i = j;
    }
    return rgbOf(best);
}

// At least a pixel and a half; at most what a click zoomed far out can mean (the windows
// grow with its square).
double snapRadius(double radius)
{
    return std::isfinite(radius) ? std::clamp(radius, 1.5, 200.0) : 1.5;
}

double distanceSquared(double c, double r, PixelPoint p)
{
    return (c - p.column) * (c - p.column) + (r - p.row) * (r - p.row);
}

} // namespace

std::optional<PixelPoint> snapToMark(const PixelView& picture, PixelPoint click, double radius, double tolerance)
{
    if (!usable(picture, click))
        return std::nullopt;
    radius = snapRadius(radius);
    const int reach = static_cast<int>(std::ceil(radius));
    const Rgb background = localBackground(picture, windowAround(picture, click, std::max(15, reach)));
    const Lab backgroundLab = labOf(background);

    // The mark: of the pixels near the click that stand out most from the background, the
    // nearest; then the strongest pixel right around it, the mark's own colour rather than
    // an edge's blend.
    const PixelBox near = windowAround(picture, click, reach);
    std::vector<double> differences;
    double strongest = 0.0;
    for (int r = near.top; r < near.bottom; ++r)
        for (int c = near.left; c < near.right; ++c)
            if (distanceSquared(c, r, click) <= radius * radius)
                strongest = std::max(strongest, colourspace::squaredDifference(
                                                    colourspace::fastLab(rgbOf(picture.at(c, r))), backgroundLab));
    strongest = std::sqrt(strongest);
    if (strongest < std::max(tolerance, 5.0) * 0.5)
        return std::nullopt;
    int markColumn = -1, markRow = -1;
    double nearest = 0.0;
    for (int r = near.top; r < near.bottom; ++r) {
        for (int c = near.left; c < near.right; ++c) {
            const double d = distanceSquared(c, r, click);
            if (d > radius * radius || (markColumn >= 0 && d >= nearest))
                continue;
            if (colourDifference(rgbOf(picture.at(c, r)), background) >= 0.7 * strongest) {
                markColumn = c;
                markRow = r;
                nearest = d;
            }
        }
    }
    Rgb target = rgbOf(picture.at(markColumn, markRow));
    double targetDifference = colourDifference(target, background);
    for (int r = std::max(markRow - 1, 0); r <= std::min(markRow + 1, picture.height - 1); ++r) {
        for (int c = std::max(markColumn - 1, 0); c <= std::min(markColumn + 1, picture.width - 1); ++c) {
            const Rgb colour = rgbOf(picture.at(c, r));
            const double d = colourDifference(colour, background);
            if (d > targetDifference) {
                target = colour;
                targetDifference = d;
            }
        }
    }
    const ColourMatch match(target, background, tolerance);

    // The matching group around the mark, within a window: a marker when it ends inside.
    const PixelBox window =
        windowAround(picture, {static_cast<double>(markColumn), static_cast<double>(markRow)}, reach + 12);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    std::vector<float> weights(static_cast<std::size_t>(width * height));
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            weights[static_cast<std::size_t>(r * width + c)] = match.weightAt(picture, window.left + c, window.top + r);
    auto weightAt = [&](int c, int r) {
        return weights[static_cast<std::size_t>((r - window.top) * width + c - window.left)];
    };

    std::vector<bool> seen(weights.size(), false);
    std::vector<std::pair<int, int>> stack{{markColumn, markRow}};
    seen[static_cast<std::size_t>((markRow - window.top) * width + markColumn - window.left)] = true;
    bool touchesEdge = false;
    double mass = 0.0, sumColumn = 0.0, sumRow = 0.0;
    while (!stack.empty()) {
        const auto [c, r] = stack.back();
        stack.pop_back();
        const double w = weightAt(c, r);
        mass += w;
        sumColumn += w * c;
        sumRow += w * r;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const int nc = c + dc;
                const int nr = r + dr;
                if (!window.contains(nc, nr)) {
                    touchesEdge = touchesEdge || nc < 0 || nr < 0 || nc >= picture.width || nr >= picture.height ||
                                  match.matchesAt(picture, nc, nr);
                    continue;
                }
                const auto index = static_cast<std::size_t>((nr - window.top) * width + nc - window.left);
                if (seen[index] || weights[index] <= 0.0f)
                    continue;
                seen[index] = true;
                stack.push_back({nc, nr});
            }
        }
    }
    if (mass <= 0.0)
        return std::nullopt;
    if (!touchesEdge)
        return PixelPoint{sumColumn / mass, sumRow / mass};

    // A line: from its pixel nearest the click, the centre of its pixels within a small disc,
    // a few times over, settles on the line's middle.
    PixelPoint at{static_cast<double>(markColumn), static_cast<double>(markRow)};
    double bestDistance = -1.0;
    for (int r = window.top; r < window.bottom; ++r) {
        for (int c = window.left; c < window.right; ++c) {
            const double d = distanceSquared(c, r, click);
            if (weightAt(c, r) > 0.0f && (bestDistance < 0.0 || d < bestDistance)) {
                bestDistance = d;
                at = {static_cast<double>(c), static_cast<double>(r)};
            }
        }
    }
    constexpr double disc = 2.5;
    for (int iteration = 0; iteration < 4; ++iteration) {
        double m = 0.0, sc = 0.0, sr = 0.0;
        for (int r = static_cast<int>(std::ceil(at.row - disc)); r <= static_cast<int>(std::floor(at.row + disc));
             ++r) {
            for (int c = static_cast<int>(std::ceil(at.column - disc));
                 c <= static_cast<int>(std::floor(at.column + disc)); ++c) {
                if (!window.contains(c, r) || distanceSquared(c, r, at) > disc * disc)
                    continue;
                const double w = weightAt(c, r);
                m += w;
                sc += w * c;
                sr += w * r;
            }
        }
        if (m <= 0.0)
            break;
        at = {sc / m, sr / m};
    }
    return at;
}

std::optional<PixelPoint> snapToCrossing(const PixelView& picture, PixelPoint click, double radius)
{
    if (!usable(picture, click))
        return std::nullopt;
    radius = snapRadius(radius);
    const int reach = static_cast<int>(std::ceil(radius));
    const double backgroundLightness =
        labOf(localBackground(picture, windowAround(picture, click, std::max(15, reach)))).lightness;
    const PixelBox window = windowAround(picture, click, reach);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;

    // How far each pixel's lightness is from the background's, summed along rows and columns.
    std::vector<double> rows(static_cast<std::size_t>(height), 0.0);
    std::vector<double> columns(static_cast<std::size_t>(width), 0.0);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const double darkness =
                std::abs(colourspace::fastLab(rgbOf(picture.at(window.left + c, window.top + r))).lightness -
                         backgroundLightness);
            rows[static_cast<std::size_t>(r)] += darkness;
            columns[static_cast<std::size_t>(c)] += darkness;
        }
    }
    // A stroke's middle: the weighted centre of the profile's peak over its median (the
    // median being what the crossing stroke and the background add to every position).
    // Weak when the peak is no more than a faint stroke across a quarter of the window.
    auto strokeMiddle = [](std::vector<double> profile, int across) -> std::optional<double> {
        std::vector<double> sorted = profile;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
        const double median = sorted[sorted.size() / 2];
        std::size_t peak = 0;
        for (std::size_t i = 0; i < profile.size(); ++i) {
            profile[i] = std::max(profile[i] - median, 0.0);
            if (profile[i] > profile[peak])
                peak = i;
        }
        if (profile[peak] < 4.0 * across)
            return std::nullopt;
        std::size_t low = peak, high = peak;
        while (low > 0 && profile[low - 1] > 0.1 * profile[peak])
            --low;
        while (high + 1 < profile.size() && profile[high + 1] > 0.1 * profile[peak])
            ++high;
        double mass = 0.0, sum = 0.0;
        for (std::size_t i = low; i <= high; ++i) {
            mass += profile[i];
            sum += profile[i] * static_cast<double>(i);
        }
        return sum / mass;
    };
    const std::optional<double> row = strokeMiddle(rows, width);
    const std::optional<double> column = strokeMiddle(columns, height);
    if (!row || !column)
        return std::nullopt;
    return PixelPoint{window.left + *column, window.top + *row};
}
