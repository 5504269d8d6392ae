#include "extraction/ColourResolution.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Rows and columns read, at most, evenly spaced over the box; enough edges end the reading
// early (half of them across rows, half down columns, where the box has them).
constexpr int sampledLines = 128;
constexpr int enoughEdges = 1024;
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

// JPEG's luma and chroma of the pixels along a line of the picture, four at a time; a
// repeated pixel (the background, mostly) is not converted again.
struct Window {
    Ycc ycc[4] = {};
    std::uint32_t last = 0;
    int filled = 0;

    // True once four pixels are in.
    bool push(std::uint32_t pixel)
    {
        ycc[0] = ycc[1];
        ycc[1] = ycc[2];
        ycc[2] = ycc[3];
        if (filled == 0 || pixel != last)
            ycc[3] = yccOf(pixel);
        last = pixel;
        filled = std::min(filled + 1, 4);
        return filled == 4;
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
    for (int row = box.top; row < box.bottom && tally.edges < enoughEdges; row += rowStep) {
        Window window;
        for (int column = box.left; column < box.right; ++column)
            if (window.push(picture.at(column, row) & 0x00FFFFFFu))
                tally.look(window.ycc[0], window.ycc[1], window.ycc[2], window.ycc[3]);
    }
    // Down the columns, a row of the picture at a time, in the order the pixels lie in memory.
    const int columnStep = std::max(1, (box.right - box.left) / sampledLines);
    std::vector<Window> windows(static_cast<std::size_t>((box.right - box.left + columnStep - 1) / columnStep));
    for (int row = box.top; row < box.bottom && tally.edges < 2 * enoughEdges; ++row) {
        std::size_t k = 0;
        for (int column = box.left; column < box.right; column += columnStep, ++k)
            if (windows[k].push(picture.at(column, row) & 0x00FFFFFFu))
                tally.look(windows[k].ycc[0], windows[k].ycc[1], windows[k].ycc[2], windows[k].ycc[3]);
    }
    return tally.edges < fewestEdges || tally.within < spreadBelow * tally.across;
}
