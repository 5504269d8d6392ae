#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/LineExtraction.h"
#include "extraction/PixelView.h"
#include "extraction/Region.h"
#include "extraction/Work.h"

// Bar charts, read along the picture's columns (vertical bars) or rows (horizontal ones):
// each run of neighbouring columns where the colour stands at least `minimumLength` pixels
// tall is a bar. Its centre is the coverage-weighted middle of its columns, so that the
// anti-aliased sides place it between pixels; its end is the edge farthest from the
// baseline, to a fraction of a pixel from the coverage of the end pixel, measured on the
// bar's inner columns and averaged. A bar may rise above or hang below the baseline; a
// line of another colour drawn across it (a gridline, the zero line) leaves it whole.
struct BarOptions {
    bool horizontal = false;    // bars along rows, their values on the x axis
    double baseline = 0.0;      // the row (vertical bars) or column (horizontal ones) of the baseline
    int minimumLength = 2;      // pixels of the bar away from the baseline, at least
    int minimumWidth = 2;       // columns (rows) a bar is wide, at least
};

// One point a bar, in pixel coordinates: vertical bars at (centre column, end row),
// horizontal ones at (end column, centre row); in order along the category axis.
Extraction extractBars(const PixelView& picture, const ColourMatch& colour, const Region& region,
                       const BarOptions& options, const Work& work);
