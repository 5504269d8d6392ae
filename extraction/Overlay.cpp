#include "extraction/Overlay.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

void matchOverlay(const PixelView& picture, const ColourMatch& colour, PixelBox box, int block, std::uint8_t* out)
{
    if (box.empty() || block < 1 || out == nullptr)
        return;
    const int cellsAcross = (box.right - box.left + block - 1) / block;
    const int cellsDown = (box.bottom - box.top + block - 1) / block;
    std::fill(out, out + static_cast<std::ptrdiff_t>(cellsAcross) * cellsDown, std::uint8_t{0});
    const int top = std::max(box.top, 0);
    const int bottom = std::min(box.bottom, picture.height);
    const int left = std::max(box.left, 0);
    const int right = std::min(box.right, picture.width);
    if (picture.pixels == nullptr)
        return;
    for (int r = top; r < bottom; ++r) {
        std::uint8_t* cells = out + static_cast<std::ptrdiff_t>((r - box.top) / block) * cellsAcross;
        for (int c = left; c < right; ++c) {
            if (!colour.mayMatch(picture.at(c, r)))
                continue;
            const float w = colour.weightAt(picture, c, r);
            if (w <= 0.0f)
                continue;
            const auto value = static_cast<std::uint8_t>(std::lround(std::min(w, 1.0f) * 255.0f));
            std::uint8_t& cell = cells[(c - box.left) / block];
            cell = std::max(cell, value);
        }
    }
}
