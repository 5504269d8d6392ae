#include "extraction/ColourResolution.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Rows and columns read, at most, evenly spaced over the box.
constexpr int sampledLines = 256;
// An edge: the brightness changes by at least this much (of 255) over three pixel steps,
// nearly all of it within the middle one, and the colour (JPEG's chroma) by at least
// `colourStep` over the three steps.
constexpr float brightnessStep = 40.0f;
constexpr float sharpShare = 0.8f;
constexpr float colourStep = 20.0f;
// Fewer edges than this tell nothing.
constexpr int fewestEdges = 32;
// Over sharp edges, the colour's change within the middle step against its change over the
// three: about 1 where colour is kept per pixel, about a half where JPEG halved it.
constexpr double spreadBelow = 0.75;

struct Ycc {
    float luma, blue, red;
};

Ycc yccOf(std::uint32_t pixel)
{
    const auto r = static_cast<float>((pixel >> 16) & 0xFFu);
    const auto g = static_cast<float>((pixel >> 8) & 0xFFu);
    const auto b = static_cast<float>(pixel & 0xFFu);
    return {0.299f * r + 0.587f * g + 0.114f * b, -0.168736f * r - 0.331264f * g + 0.5f * b,
            0.5f * r - 0.418688f * g - 0.081312f * b};
}

float colourDistance(const Ycc& a, const Ycc& b)
{
    return std::hypot(a.blue - b.blue, a.red - b.red);
}

struct Tally {
    double within = 0.0; // the colour's change within the middle step, summed over edges
    double across = 0.0; // its change over the three steps
    int edges = 0;

    // Four pixels in a row along a line of the picture.
    void look(const Ycc& a, const Ycc& b, const Ycc& c, const Ycc& d)
    {
        const float wide = d.luma - a.luma;
        if (std::abs(wide) < brightnessStep || std::abs(c.luma - b.luma) < sharpShare * std::abs(wide))
            return;
        const float colourAcross = colourDistance(a, d);
        if (colourAcross < colourStep)
            return;
        within += colourDistance(b, c);
        across += colourAcross;
        ++edges;
    }
};

} // namespace

bool colourSpread(const PixelView& picture, PixelBox box)
{
    box = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, picture.width),
           std::min(box.bottom, picture.height)};
    if (picture.pixels == nullptr || box.right - box.left < 4 || box.bottom - box.top < 4)
        return true;
    Tally tally;
    const int rowStep = std::max(1, (box.bottom - box.top) / sampledLines);
    for (int row = box.top; row < box.bottom; row += rowStep) {
        Ycc window[4] = {};
        for (int column = box.left; column < box.right; ++column) {
            window[0] = window[1];
            window[1] = window[2];
            window[2] = window[3];
            window[3] = yccOf(picture.at(column, row));
            if (column - box.left >= 3)
                tally.look(window[0], window[1], window[2], window[3]);
        }
    }
    const int columnStep = std::max(1, (box.right - box.left) / sampledLines);
    for (int column = box.left; column < box.right; column += columnStep) {
        Ycc window[4] = {};
        for (int row = box.top; row < box.bottom; ++row) {
            window[0] = window[1];
            window[1] = window[2];
            window[2] = window[3];
            window[3] = yccOf(picture.at(column, row));
            if (row - box.top >= 3)
                tally.look(window[0], window[1], window[2], window[3]);
        }
    }
    return tally.edges < fewestEdges || tally.within < spreadBelow * tally.across;
}
