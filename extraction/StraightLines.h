#pragma once

// The straight lines along the plot's axes that span the box: its frame, its axes and its
// gridlines, drawn as often as not in the curve's colour on printed plots. What tells them
// from a curve is general: they are straight, they run along one of the axes, and they
// reach across most of the box; a curve bends, slants or ends. Their runs are marked
// (Run::straight) so that the follower never takes them for the curve, only crosses them.
// Internal to extraction/.
#include "extraction/LineCuts.h"

#include <vector>

// The number Run::straight holds for a run along a cut that reaches across most of the
// box: a line along the y axis (a vertical gridline, the y axis), which no curve followed
// along x can be.
inline constexpr int acrossLine = -1;

// Marks the runs of lines along the x axis (each with its number from 1) and along the y
// axis (acrossLine). `box` is the region's box, in pixels.
void markStraightLines(std::vector<Cut>& cuts, const Frame& frame, PixelBox box);

// Takes the mark off line `number` (from 1): the user pointed at it, so it is the curve.
void unmarkStraightLine(std::vector<Cut>& cuts, int number);
