#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"

#include <vector>

// The picture's background: its most common colour within `box`.
Rgb backgroundColour(const PixelView& picture, PixelBox box);

struct PaletteColour {
    Rgb colour;
    double share = 0.0; // of the box's pixels
};

// Up to `count` dominant colours within `box`, the most common first, leaving out the
// background and greys (gridlines, text), so that the curves' and markers' colours remain.
std::vector<PaletteColour> dominantColours(const PixelView& picture, PixelBox box, int count);
