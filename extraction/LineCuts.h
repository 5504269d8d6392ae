#pragma once

// The cuts line mode reads across the curve, one every step along the plot's x axis, and
// the runs of matching pixels on each: what the follower (CurveFollower.h) chooses from.
// Internal to extraction/.
#include "extraction/LineExtraction.h"
#include "extraction/Pass.h"

#include <cmath>
#include <cstddef>
#include <vector>

struct Run {
    double t = 0.0;     // centre, along the cut
    double major = 0.0; // centre, in rows (upright cuts) or columns (flat cuts)
    double low = 0.0;   // extent along the cut
    double high = 0.0;
    PixelPoint centre;
    double mass = 0.0; // sum of weights
    float peak = 0.0f;
    bool foreignEdge = false; // next to a strongly coloured pixel of another colour
    int straight = 0;         // on the straight line of that number (StraightLines.h); 0: none
    bool lifted = false;      // what is left of a run once the straight line it met is taken out
};

struct Cut {
    double s = 0.0; // position along `along`
    std::vector<Run> runs;
};

// Cuts as lines s = constant in the frame of the unit along and across directions. The
// cut is walked one pixel at a time along its major axis (rows when it is upright, columns
// when it lies nearly flat); at each step it passes between two pixels of the minor axis.
struct Frame {
    double ux = 1.0, uy = 0.0, vx = 0.0, vy = -1.0;
    bool flat = false; // major axis = columns
    double uMajor = 0.0, uMinor = 0.0, vMajor = 0.0, vMinor = 0.0;

    double s(double column, double row) const { return (column * vy - row * vx) / (ux * vy - uy * vx); }
    double across(double column, double row) const { return (ux * row - uy * column) / (ux * vy - uy * vx); }
    PixelPoint pointAt(double cutS, double cutT) const { return {cutS * ux + cutT * vx, cutS * uy + cutT * vy}; }
    double t(double cutS, double major) const { return (major - cutS * uMajor) / vMajor; }
    double minor(double cutS, double major) const { return cutS * uMinor + t(cutS, major) * vMinor; }
};

// A pixel that is neither the target, a blend of it, nor near the background: another
// curve's colour. Measured as the distance from the background-to-target line in sRGB.
class Foreign {
  public:
    explicit Foreign(const ColourMatch& colour)
        : background_(colour.background()), dr_(colour.target().red - background_.red),
          dg_(colour.target().green - background_.green), db_(colour.target().blue - background_.blue)
    {
        const int length = dr_ * dr_ + dg_ * dg_ + db_ * db_;
        inverse_ = length > 0 ? 1.0 / length : 0.0;
    }

    bool operator()(std::uint32_t pixel) const
    {
        constexpr double limit = 120.0;
        const Rgb p = rgbOf(pixel);
        const int r = p.red - background_.red;
        const int g = p.green - background_.green;
        const int b = p.blue - background_.blue;
        const double along = r * dr_ + g * dg_ + b * db_;
        const double off = r * r + g * g + b * b - along * along * inverse_;
        return off > limit * limit;
    }

  private:
    Rgb background_;
    int dr_, dg_, db_;
    double inverse_ = 0.0;
};

bool makeFrame(const AxisDirections& axes, Frame& frame);

// Walks every cut of the box and keeps its runs, in order along each cut; false when
// cancelled. The cuts lie `step` apart along the x axis, in order.
bool gatherRuns(const PixelView& picture, const ColourMatch& colour, const Region& region, PixelBox box,
                const Frame& frame, double step, std::vector<Cut>& cuts, Pass& pass);

// A line's run along a cut is longer the steeper the line: mass per unit of the line's width.
inline double massAcross(double mass, double slope)
{
    return mass / std::sqrt(1.0 + slope * slope);
}
