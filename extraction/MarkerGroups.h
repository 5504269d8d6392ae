#pragma once

// The connected groups of matching pixels that markers mode reads: each a marker, several
// markers touching, a marker touching a line or a label, a character of text, a line.
// Internal to extraction/.
#include "extraction/ColourMatch.h"
#include "extraction/Pass.h"
#include "extraction/Region.h"

#include <vector>

// The pixels [left, right) of one row.
struct MarkerSpan {
    int row = 0;
    int left = 0;
    int right = 0;
};

struct MarkerGroup {
    double mass = 0.0; // sum of the weights
    double sumColumn = 0.0;
    double sumRow = 0.0;
    double sumSquares = 0.0; // of the distance from the box's corner, weighted
    PixelBox bounds;
    std::vector<MarkerSpan> spans; // in order of row

    PixelPoint centre() const { return {sumColumn / mass, sumRow / mass}; }
    int width() const { return bounds.right - bounds.left; }
    int height() const { return bounds.bottom - bounds.top; }
};

// The groups of the region's matching pixels within `box` that touch at edges or corners,
// each of at least `lightest` weight; false when cancelled.
bool findMarkerGroups(const PixelView& picture, const ColourMatch& colour, const Region& region, PixelBox box,
                      double lightest, std::vector<MarkerGroup>& groups, Pass& pass);

// A matching pixel's weight, 0 outside the region.
inline float markerWeightAt(const PixelView& picture, const ColourMatch& colour, const Region& region, int column,
                            int row)
{
    if (!region.contains(column, row) || column < 0 || row < 0 || column >= picture.width || row >= picture.height)
        return 0.0f;
    return colour.weightAt(picture, column, row);
}
