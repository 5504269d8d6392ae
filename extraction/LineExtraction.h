#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"
#include "extraction/Region.h"
#include "extraction/Work.h"

#include <optional>
#include <vector>

// Which way the plot's axes run in the picture, in pixel coordinates (column right, row
// down). `along` is the direction in which world x grows with world y fixed; `across` the
// direction in which world y grows with world x fixed. Neither needs to be of unit length;
// on a rotated or skewed scan they are neither horizontal nor at right angles.
struct AxisDirections {
    PixelPoint along{1.0, 0.0};
    PixelPoint across{0.0, -1.0};
};

// The longest gap between the drawn pieces of a dashed, dotted or dash-dot line that the
// follower bridges, in pixels, when the user gives none.
inline constexpr double defaultGap = 12.0;
// How far from the start point the curve to follow may pass, in pixels.
inline constexpr double startReach = 5.0;

struct LineOptions {
    AxisDirections axes;
    double step = 1.0;        // sampling step along `along`, in pixels
    bool keepAllRuns = false; // every run in every cut, instead of following one curve
    // The curve to follow: the one passing nearest this point, within startReach, followed
    // both ways from it. Without one the follower chooses the curve itself.
    std::optional<PixelPoint> start;
    double gap = defaultGap; // the longest stretch with nothing drawn that is bridged
};

struct Extraction {
    std::vector<PixelPoint> points; // line mode: in order along `along`
    bool cancelled = false;         // stopped by Work::cancel; `points` is then empty
};

// Line mode. At each sampling position along `along` (every `step` pixels across the
// region), cuts the picture along `across` and finds the runs of matching pixels on the
// cut; each run's centre, weighted by ColourMatch::weight, is a candidate. Unless
// keepAllRuns, one curve is followed: at each cut the run nearest to where the curve is
// heading, keeping its direction through crossings with other curves (of its colour too)
// and over the gaps of dashed and dotted lines, up to `gap`. Points come only from what is
// drawn, never from across a gap. Straight lines along either axis that span the region
// (the frame, axes, gridlines) are never taken for the curve, unless the start is on one.
Extraction extractLine(const PixelView& picture, const ColourMatch& colour, const Region& region,
                       const LineOptions& options, const Work& work);
