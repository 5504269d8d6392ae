#include "Canvas.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>

namespace {

double distanceToSegment(double x, double y, PixelPoint a, PixelPoint b)
{
    const double dx = b.column - a.column;
    const double dy = b.row - a.row;
    const double length = dx * dx + dy * dy;
    const double t = length > 0.0 ? std::clamp(((x - a.column) * dx + (y - a.row) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(x - a.column - t * dx, y - a.row - t * dy);
}

} // namespace

double distanceToLine(const std::vector<PixelPoint>& line, PixelPoint p)
{
    double best = 1e9;
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        best = std::min(best, distanceToSegment(p.column, p.row, line[i], line[i + 1]));
    return best;
}

std::uint32_t pixelOf(Rgb colour)
{
    return 0xFF000000u | static_cast<std::uint32_t>(colour.red) << 16 | static_cast<std::uint32_t>(colour.green) << 8 |
           colour.blue;
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), pixelOf(background))
{}

void Canvas::set(int column, int row, Rgb colour)
{
    pixels_[static_cast<std::size_t>(row * width_ + column)] = pixelOf(colour);
}

void Canvas::stroke(const std::vector<PixelPoint>& line, double width, Rgb colour)
{
    std::vector<std::uint64_t> cover = newCover();
    const double half = width / 2.0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const PixelPoint a = line[i];
        const PixelPoint b = line[i + 1];
        const int left = std::max(0, static_cast<int>(std::floor(std::min(a.column, b.column) - half)) - 1);
        const int right = std::min(width_ - 1, static_cast<int>(std::ceil(std::max(a.column, b.column) + half)) + 1);
        const int top = std::max(0, static_cast<int>(std::floor(std::min(a.row, b.row) - half)) - 1);
        const int bottom = std::min(height_ - 1, static_cast<int>(std::ceil(std::max(a.row, b.row) + half)) + 1);
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c)
                for (int s = 0; s < 64; ++s) {
                    const double x = c - 0.5 + (s % 8 + 0.5) / 8.0;
                    const double y = r - 0.5 + (s / 8 + 0.5) / 8.0;
                    if (distanceToSegment(x, y, a, b) <= half)
                        cover[static_cast<std::size_t>(r * width_ + c)] |= std::uint64_t{1} << s;
                }
    }
    paint(cover, colour);
}

void Canvas::disc(PixelPoint centre, double radius, Rgb colour)
{
    stroke({centre, centre}, 2.0 * radius, colour);
}

void Canvas::paint(const std::vector<std::uint64_t>& cover, Rgb colour)
{
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        if (cover[i] == 0)
            continue;
        const double a = std::popcount(cover[i]) / 64.0;
        const Rgb below = rgbOf(pixels_[i]);
        auto mix = [a](std::uint8_t under, std::uint8_t over) {
            return static_cast<std::uint8_t>(std::lround((1.0 - a) * under + a * over));
        };
        pixels_[i] =
            pixelOf({mix(below.red, colour.red), mix(below.green, colour.green), mix(below.blue, colour.blue)});
    }
}
