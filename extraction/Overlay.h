#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"

#include <cstdint>

// The matching pixels for the overlay: each cell of `out` (width ceil(box width / block),
// height ceil(box height / block), row by row) is the largest weight in its block of
// block x block pixels of the box, scaled to 0..255.
void matchOverlay(const PixelView& picture, const ColourMatch& colour, PixelBox box, int block, std::uint8_t* out);
