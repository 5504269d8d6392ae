#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"

#include <optional>

// Snap for hand clicks. `radius` is how far from the click to look, in pixels.

// The centre of the line or marker nearest to `click` within `radius`, of the colour under
// (or nearest to) the click: a marker's weighted centroid, or the point on a line's middle
// nearest to the click. Nothing when no mark differs from the background there.
std::optional<PixelPoint> snapToMark(const PixelView& picture, PixelPoint click, double radius, double tolerance);

// The centre of the tick or the gridline crossing under `click`: where the middles of the
// darkest horizontal-ish and vertical-ish strokes within `radius` meet. Nothing when there
// is no such pair.
std::optional<PixelPoint> snapToCrossing(const PixelView& picture, PixelPoint click, double radius);
