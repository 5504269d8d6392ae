#pragma once

// A curve's course in the frame of the cuts (LineCuts.h): where it lies along the cut (t)
// as a function of the cut's place along x (s), fitted through samples of it: the centres
// of its whole runs, and the centres of its dots. Internal to extraction/.
#include <cstddef>
#include <vector>

struct Sample {
    double s = 0.0;
    double t = 0.0;
};

struct Course {
    double t = 0.0;     // where the curve is expected, along the cut
    double slope = 0.0; // dt/ds there
};

// The least-squares polynomial of `degree` (1 or 2) in s through samples [first, end) of
// `samples`, evaluated at s. With fewer samples than it needs, or all at one place, the
// straight line, or the level of their mean.
Course fitThrough(const std::vector<Sample>& samples, std::size_t first, int degree, double s);

// Where the curve whose samples so far are `samples` (in the order travelled) is expected
// at s: a straight line through those of the last dozen pixels (at least six of them), or,
// further ahead than a few pixels, a parabola through those of the last forty when they
// reach far enough back. From one sample, its level.
Course predict(const std::vector<Sample>& samples, double s);
