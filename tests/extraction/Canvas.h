#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"

#include <cstdint>
#include <vector>

// Pictures painted for the tests, with known truth: anti-aliased strokes and discs whose
// pixels blend the colour over what lies below (in sRGB values, as renderers do) by the
// share of each pixel covered, counted on 8 x 8 samples a pixel.
class Canvas {
  public:
    Canvas(int width, int height, Rgb background);

    PixelView view() const { return {pixels_.data(), width_, height_, width_}; }
    void set(int column, int row, Rgb colour);

    // A polyline of the given width, with round ends and joins.
    void stroke(const std::vector<PixelPoint>& line, double width, Rgb colour);
    void disc(PixelPoint centre, double radius, Rgb colour);

  private:
    std::vector<std::uint64_t> newCover() const { return std::vector<std::uint64_t>(pixels_.size(), 0); }
    void paint(const std::vector<std::uint64_t>& cover, Rgb colour);

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

std::uint32_t pixelOf(Rgb colour);

// How far a point is from a polyline: from its nearest segment.
double distanceToLine(const std::vector<PixelPoint>& line, PixelPoint p);
