#pragma once

#include "extraction/ColourMatch.h"
#include "extraction/PixelView.h"
#include "extraction/Region.h"
#include "extraction/Work.h"

#include <optional>
#include <vector>

// A straight cut through the picture from `origin`: the point at t is origin + t * unit,
// for t from 0 to `reach`.
struct Ray {
    PixelPoint origin;
    PixelPoint unit;
    double reach = 0.0;
};

// Polar plots: one curve r(angle) followed from ray to ray (the rays drawn from the centre,
// one every step of angle, in order). On each ray the runs of the colour are found, sampled
// every quarter pixel with each sample's weight taken between the pixels around it; the
// run nearest to where the curve was on the rays before (at first, and again after the
// curve was lost for three rays, the heaviest) gives the t of its weighted middle. Empty
// where no run lies near enough.
std::vector<std::optional<double>> followAlongRays(const PixelView& picture, const ColourMatch& colour,
                                                   const Region& region, const std::vector<Ray>& rays,
                                                   const Work& work, bool& cancelled);
