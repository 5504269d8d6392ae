#pragma once

#include <cstddef>
#include <cstdint>

// A picture's pixels as extraction reads them, borrowed from whoever decoded the picture:
// rows from the top, columns from the left, one 0xAARRGGBB word per pixel. Pictures with
// transparency are flattened onto their background before they get here.
//
// Pixel coordinates: (column, row) with the centre of pixel (c, r) at exactly (c, r), so a
// result at row 10.25 lies a quarter pixel below the centre of row 10.
struct PixelView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0; // words from the start of one row to the start of the next

    std::uint32_t at(int column, int row) const { return pixels[row * stride + column]; }
};

// A point found in the picture, in pixel coordinates (see PixelView).
struct PixelPoint {
    double column = 0.0;
    double row = 0.0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Whole pixels [left, right) x [top, bottom).
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int column, int row) const { return column >= left && column < right && row >= top && row < bottom; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};
