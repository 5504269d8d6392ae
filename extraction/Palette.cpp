#include "extraction/Palette.h"

#include "extraction/ColourSpace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// Huge boxes are sampled on a grid of about this many pixels.
constexpr double sampledPixels = 1 << 20;

PixelBox clipped(const PixelView& picture, PixelBox box)
{
    PixelBox b{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, picture.width),
               std::min(box.bottom, picture.height)};
    return picture.pixels == nullptr || b.empty() ? PixelBox{} : b;
}

// Colours counted in bins of `bits` bits a channel, with the exact colours' sums per bin.
struct Histogram {
    int bits;
    std::vector<std::uint32_t> counts;
    std::vector<std::uint64_t> sums; // red, green, blue per bin
    std::uint64_t total = 0;

    Histogram(const PixelView& picture, PixelBox box, int bitsPerChannel)
        : bits(bitsPerChannel), counts(std::size_t{1} << (3 * bitsPerChannel), 0), sums(3 * counts.size(), 0)
    {
        const double area = static_cast<double>(box.right - box.left) * (box.bottom - box.top);
        const int stride = std::max(1, static_cast<int>(std::ceil(std::sqrt(area / sampledPixels))));
        for (int r = box.top; r < box.bottom; r += stride) {
            for (int c = box.left; c < box.right; c += stride) {
                const Rgb p = rgbOf(picture.at(c, r));
                const std::size_t bin = binOf(p);
                ++counts[bin];
                sums[3 * bin] += p.red;
                sums[3 * bin + 1] += p.green;
                sums[3 * bin + 2] += p.blue;
                ++total;
            }
        }
    }

    std::size_t binOf(Rgb p) const
    {
        const int shift = 8 - bits;
        return (static_cast<std::size_t>(p.red >> shift) << (2 * bits)) |
               (static_cast<std::size_t>(p.green >> shift) << bits) | static_cast<std::size_t>(p.blue >> shift);
    }

    Rgb mean(std::size_t bin) const
    {
        const double n = counts[bin];
        auto channel = [&](std::size_t i) {
            return static_cast<std::uint8_t>(std::lround(static_cast<double>(sums[3 * bin + i]) / n));
        };
        return {channel(0), channel(1), channel(2)};
    }
};

double chroma(const Lab& lab)
{
    return std::hypot(lab.a, lab.b);
}

struct Cluster {
    double count = 0.0;
    double red = 0.0, green = 0.0, blue = 0.0; // sums of the member bins' colours times counts
    Rgb colour() const
    {
        auto channel = [&](double sum) { return static_cast<std::uint8_t>(std::lround(sum / count)); };
        return {channel(red), channel(green), channel(blue)};
    }
};

} // namespace

Rgb backgroundColour(const PixelView& picture, PixelBox box)
{
    box = clipped(picture, box);
    if (box.empty())
        return {255, 255, 255};
    const Histogram histogram(picture, box, 5);
    const auto winner = static_cast<std::size_t>(std::max_element(histogram.counts.begin(), histogram.counts.end()) -
                                                 histogram.counts.begin());
    return histogram.mean(winner);
}

std::vector<PaletteColour> dominantColours(const PixelView& picture, PixelBox box, int count)
{
    std::vector<PaletteColour> result;
    box = clipped(picture, box);
    if (box.empty() || count <= 0)
        return result;
    const Rgb background = backgroundColour(picture, box);
    const Histogram histogram(picture, box, 4);

    std::vector<std::size_t> bins;
    for (std::size_t bin = 0; bin < histogram.counts.size(); ++bin)
        if (histogram.counts[bin] > 0)
            bins.push_back(bin);
    std::sort(bins.begin(), bins.end(),
              [&](std::size_t a, std::size_t b) { return histogram.counts[a] > histogram.counts[b]; });

    // Bins from the most common: near the background or grey, left out; near a colour found
    // already, or on the way from the background to it (anti-aliased edges), part of it.
    std::vector<Cluster> clusters;
    for (const std::size_t bin : bins) {
        const Rgb colour = histogram.mean(bin);
        const Lab lab = labOf(colour);
        if (colourDifference(colour, background) < 15.0 || chroma(lab) < 15.0)
            continue;
        const double n = histogram.counts[bin];
        Cluster* home = nullptr;
        bool edge = false;
        for (Cluster& cluster : clusters) {
            const Rgb centre = cluster.colour();
            if (colourDifference(colour, centre) <= 15.0) {
                home = &cluster;
                break;
            }
            if (!edge && ColourMatch(centre, background, 10.0)
                                 .blendWeight(0xFF000000u | (std::uint32_t{colour.red} << 16) |
                                              (std::uint32_t{colour.green} << 8) | colour.blue) > 0.0f) {
                home = &cluster;
                edge = true;
            }
        }
        if (home == nullptr) {
            clusters.push_back({});
            home = &clusters.back();
        }
        home->count += n;
        if (!edge) {
            home->red += n * colour.red;
            home->green += n * colour.green;
            home->blue += n * colour.blue;
        } else {
            // Blends count toward the colour's share without pulling it toward the background.
            const Rgb centre = home->colour();
            home->red += n * centre.red;
            home->green += n * centre.green;
            home->blue += n * centre.blue;
        }
    }
    std::sort(clusters.begin(), clusters.end(), [](const Cluster& a, const Cluster& b) { return a.count > b.count; });
    // Where curves cross, their blends make a few pixels of colours no curve has.
    for (const Cluster& cluster : clusters) {
        if (static_cast<int>(result.size()) >= count || cluster.count < 0.03 * clusters.front().count)
            break;
        result.push_back({cluster.colour(), cluster.count / static_cast<double>(histogram.total)});
    }
    return result;
}
