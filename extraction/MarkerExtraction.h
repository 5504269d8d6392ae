#pragma once

#include "extraction/LineExtraction.h"

#include <optional>

struct MarkerOptions {
    // The markers' diameters (a square's side), smallest and largest, in pixels. Without
    // them, sizes near the most common size among the marker-like shapes found.
    std::optional<double> smallest;
    std::optional<double> largest;
    bool splitTouching = true; // groups several times the typical marker's size are split
};

// Markers mode: connected groups of matching pixels (touching at edges or corners), each
// giving its centre weighted by ColourMatch::weight. A marker is compact and roughly
// symmetric, and the markers of a plot share a size; groups that are not (characters of
// text, lines) are left out, except for the markers they hold: a marker touching a line or
// a label of its colour is found by its shape, taken from the plot's clean markers.
// Points in no particular order.
Extraction extractMarkers(const PixelView& picture, const ColourMatch& colour, const Region& region,
                          const MarkerOptions& options, const Work& work);
