#pragma once

#include "axes/InkImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

// A canvas of ink: white with dark strokes, each pixel covered by the fraction of it that a
// stroke covers (sampled 8 x 8 times a pixel).
struct Canvas {
    int width, height;
    std::vector<float> ink;

    Canvas(int w, int h) : width(w), height(h), ink(static_cast<std::size_t>(w * h), 0.0f) {}

    // Every point within `halfWidth` of the segment from (c0, r0) to (c1, r1), in pixel
    // coordinates (pixel centres at whole numbers).
    void stroke(double c0, double r0, double c1, double r1, double halfWidth)
    {
        const double dc = c1 - c0, dr = r1 - r0, length2 = std::max(1e-12, dc * dc + dr * dr);
        const int reach = static_cast<int>(std::ceil(halfWidth)) + 1;
        const int left = std::max(0, static_cast<int>(std::floor(std::min(c0, c1))) - reach);
        const int right = std::min(width - 1, static_cast<int>(std::ceil(std::max(c0, c1))) + reach);
        const int top = std::max(0, static_cast<int>(std::floor(std::min(r0, r1))) - reach);
        const int bottom = std::min(height - 1, static_cast<int>(std::ceil(std::max(r0, r1))) + reach);
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c) {
                int covered = 0;
                for (int i = 0; i < 8; ++i)
                    for (int j = 0; j < 8; ++j) {
                        const double pc = c - 0.5 + (i + 0.5) / 8.0, pr = r - 0.5 + (j + 0.5) / 8.0;
                        const double t = std::clamp(((pc - c0) * dc + (pr - r0) * dr) / length2, 0.0, 1.0);
                        covered += std::hypot(pc - c0 - t * dc, pr - r0 - t * dr) <= halfWidth ? 1 : 0;
                    }
                float& v = ink[static_cast<std::size_t>(r * width + c)];
                v = std::max(v, static_cast<float>(covered) / 64.0f);
            }
    }

    InkImage image() const { return {width, height, ink}; }
};
