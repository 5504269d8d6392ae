#pragma once

#include "extraction/LineExtraction.h"

struct MarkerOptions {
    double minimumArea = 4.0;    // pixels of matching weight; smaller groups are noise
    double maximumArea = 2500.0; // larger groups are lines or legends, not markers
    bool splitTouching = true;   // groups several times the typical marker's size are split
};

// Markers mode: connected groups of matching pixels (touching at edges or corners), each
// giving its centre weighted by ColourMatch::weight. Points in no particular order.
Extraction extractMarkers(const PixelView& picture, const ColourMatch& colour, const Region& region,
                          const MarkerOptions& options, const Work& work);
