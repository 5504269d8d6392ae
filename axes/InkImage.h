#pragma once

#include "extraction/PixelView.h"

#include <cstddef>
#include <vector>

// A picture as ink: 0 where it is white, 1 where it is black (one minus the luminance),
// one float a pixel, rows from the top. Pixel (c, r) has its centre at (c, r).
struct InkImage {
    int width = 0;
    int height = 0;
    std::vector<float> ink;

    bool contains(int column, int row) const { return column >= 0 && row >= 0 && column < width && row < height; }
    float at(int column, int row) const
    {
        return ink[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)];
    }
    float& at(int column, int row)
    {
        return ink[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)];
    }
    // Bilinear between pixel centres; no ink outside the picture.
    float sample(double column, double row) const;
};

InkImage inkOf(const PixelView& pixels);

// The picture's own turn, counterclockwise on screen, in degrees: the angle at which its
// long horizontal and vertical edges (axes, frames, gridlines, text baselines) line up
// best, between -maxSkewDegrees and maxSkewDegrees.
inline constexpr double maxSkewDegrees = 4.0;
double skewDegrees(const InkImage& image);

// Turning between the picture and its upright copy, about the picture's centre.
struct Turn {
    double degrees = 0.0;
    double centreColumn = 0.0;
    double centreRow = 0.0;

    // Where a point of the upright copy lies in the picture, and back.
    PixelPoint toPicture(PixelPoint upright) const;
    PixelPoint toUpright(PixelPoint picture) const;
};

// The upright copy of the picture, the same size, sampled bilinearly.
InkImage upright(const InkImage& image, const Turn& turn);
