#pragma once

#include <cmath>

// The bundled sample plot: where its axes stand in the picture and what they mean, shared
// by the program that draws it and the one that digitizes it for the README screenshot.
namespace samplePlot {

constexpr int width = 900;
constexpr int height = 600;

// Plot area in picture pixels, y downward from the top as painters count.
constexpr double left = 100.0;
constexpr double right = 860.0;
constexpr double top = 50.0;
constexpr double bottom = 520.0;

constexpr double xMin = 0.0, xMax = 10.0;  // time in seconds
constexpr double yMin = 0.0, yMax = 100.0; // signal in millivolts

inline double curve(double t)
{
    return 92.0 * (1.0 - std::exp(-t / 2.2)) + 4.0 * std::sin(1.7 * t);
}

inline double pixelX(double x)
{
    return left + (x - xMin) / (xMax - xMin) * (right - left);
}

inline double pixelY(double y)
{
    return bottom - (y - yMin) / (yMax - yMin) * (bottom - top);
}

} // namespace samplePlot
