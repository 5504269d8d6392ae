#pragma once

#include "platform/Geometry.h"

#include <cstdint>

// A fixed linear congruential sequence, so that every run clicks the same points.
class PointSequence {
  public:
    explicit PointSequence(std::uint32_t seed) : seed_(seed) {}

    // In [0, 1).
    double nextUnit()
    {
        seed_ = seed_ * 1664525u + 1013904223u;
        return static_cast<double>(seed_ >> 8) / static_cast<double>(1u << 24);
    }

    // A point of a 4000 x 3000 picture.
    DPoint nextPoint()
    {
        const double x = nextUnit() * 4000.0;
        return {x, nextUnit() * 3000.0};
    }

  private:
    std::uint32_t seed_;
};
