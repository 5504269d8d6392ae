#pragma once

#include "platform/Geometry.h"

#include <cstddef>
#include <optional>
#include <vector>

// The picture laid on screen at a zoom factor: the picture area shows the picture scaled
// by `factor`, its top-left corner at the area's origin, y downward. Picture coordinates
// are those of the data file: x the column, y the height minus the row, the centres of
// picture pixels at whole numbers. So at 100 % a click gives whole numbers, and at 4x it
// gives the centres of the quarter-pixels under the cursor.
struct PictureZoom {
    double factor = 1.0;
    double pictureHeight = 0.0;

    // A position on screen (continuous, in screen pixels from the area's origin) and the
    // picture coordinate under it.
    DPoint pictureOf(DPoint screen) const { return {screen.x / factor - 0.5, pictureHeight + 0.5 - screen.y / factor}; }
    DPoint screenOf(DPoint picture) const
    {
        return {(picture.x + 0.5) * factor, (pictureHeight + 0.5 - picture.y) * factor};
    }
    // The picture coordinate of the centre of the screen pixel at (column, row).
    DPoint pictureAtPixel(long column, long row) const
    {
        return pictureOf({static_cast<double>(column) + 0.5, static_cast<double>(row) + 0.5});
    }
};

// How far the picture may be zoomed: out to 1/32, or further to the factor that fits it in
// the area when that is smaller; in to 32x.
struct ZoomRange {
    double low;
    double high;
    double clamp(double factor) const;
};
ZoomRange zoomRange(double fitFactor);

// The largest factor at which a picture of `picture` pixels fits in an area of `area`
// pixels; 1 for an empty picture or area.
double fitFactor(Size picture, Size area);

// The zoom a picture opens at: fitted when it is larger than the area, else 100 %.
double openingFactor(Size picture, Size area);

// The scroll position (screen pixels) that keeps the picture point under `anchor` (a
// position in the visible area) in place when the factor changes from `from` to `to`.
DPoint scrollKeeping(DPoint scroll, DPoint anchor, double from, double to);

// The point nearest to `screen` among `points` (picture coordinates) that lies within
// `radius` screen pixels of it.
std::optional<std::size_t> pointNear(const std::vector<DPoint>& points, const PictureZoom& zoom, DPoint screen,
                                     double radius);
