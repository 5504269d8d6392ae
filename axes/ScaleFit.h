#pragma once

#include "calibration/AxisScale.h"

#include <cstddef>
#include <optional>
#include <vector>

// A tick label's value beside the position of its tick along the axis, in pixels.
struct ValueAt {
    double value = 0.0;
    double position = 0.0;
};

// An axis' scale as its labels give it: position = offset + slope * f(value), f the
// identity on a linear axis and log10 on a log axis.
struct AxisFit {
    AxisScale scale = AxisScale::linear;
    double offset = 0.0;
    double slope = 0.0;
    std::vector<std::size_t> agreeing; // the labels within the tolerance, by index
    double rms = 0.0;                  // of the agreeing labels, in pixels
    bool regular = false;              // their values are whole steps of one step

    double positionOf(double value) const;
};

// Labels within this many pixels of the scale agree with it.
inline constexpr double agreementPixels = 0.5;

// The scale, linear or log10, with which the most labels agree (every pair of labels is
// tried, then the agreeing ones are fitted by least squares); ties go to the smaller
// error. Empty when no two labels of different values can define one.
std::optional<AxisFit> fitAxis(const std::vector<ValueAt>& labels, double tolerance = agreementPixels);
