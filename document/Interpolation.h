#pragma once

#include "platform/Geometry.h"

#include <vector>

// y between knots of strictly increasing x: along straight lines, or along the natural
// cubic spline through them (second derivative 0 at both ends), which follows a smooth
// curve sampled coarsely far better. Two knots give the straight line either way, one
// knot its y everywhere.
class Interpolant {
  public:
    // The knots must be at least one, their x finite and strictly increasing.
    Interpolant(std::vector<DPoint> knots, bool cubic);

    // y at x; an x beyond the knots takes the end's y (nothing is extrapolated).
    double at(double x) const;

  private:
    std::vector<DPoint> knots_;
    std::vector<double> curvature_; // the spline's second derivative at each knot; empty for straight lines
};
