#pragma once

// Where the points go on a curve that line mode has followed (CurveFollower.h): each run's
// centre refined for the line's slope, the dots of a dotted line whole at their centres,
// the square ends of dashes left out; and, at a coarse step, the points on a course
// followed through cuts a pixel apart. Internal to extraction/.
#include "extraction/CurvePieces.h"
#include "extraction/LineCuts.h"

#include <vector>

struct LocalSlope {
    double across = 0.0; // dt/ds
    double rise = 0.0;   // major per minor, in pixels
};

// Each link's slope, by least squares over its neighbours in the chain.
std::vector<LocalSlope> localSlopes(const std::vector<Cut>& cuts, const std::vector<Link>& chain, const Frame& frame);

struct Chain {
    std::vector<Link> links;
    std::vector<LocalSlope> slopes;
    std::vector<double> masses; // across the line
};

// The value below which `share` of the values lie.
double quantileOf(std::vector<double> values, double share);

// Drops the links whose run is merged with another curve or half hidden (judged against
// the typical run of all the chains, which the follower could not do at a chain's start),
// and, near a break in a chain (the ends of a dash or a dot), those that hold less than a
// whole run of the line; centres the others.
std::vector<PixelPoint> settle(const std::vector<Cut>& cuts, std::vector<Chain>& chains, const Frame& frame,
                               double step);

// At a coarse step the curve moves too far between cuts to be followed from one to the
// next where it is steep: it is followed, and its points placed, through cuts a pixel apart
// (`fine`), and each coarse cut takes the point on that course where it passes: between
// the two fine points either side of it, never across a gap.
std::vector<PixelPoint> atCuts(const std::vector<Cut>& cuts, const std::vector<PixelPoint>& fine, const Frame& frame);
