#pragma once

#include "axes/LabelReader.h"
#include "calibration/AxisScale.h"
#include "extraction/PixelView.h"
#include "extraction/Work.h"
#include "platform/Geometry.h"

#include <string>
#include <vector>

// What Find Axes read on one axis.
struct AxisReading {
    bool claimed = false; // a scale was found that enough labels agree with
    AxisScale scale = AxisScale::linear;
    std::vector<double> values;    // the agreeing labels' values, along the axis
    std::vector<std::string> read; // every label read there, as text, along the axis
};

// A calibration point proposed: where in the picture (picture coordinates: x the column,
// y the picture height minus the row, pixel centres at whole numbers) and its world value.
struct ProposedPoint {
    DPoint picture;
    double worldX = 0.0;
    double worldY = 0.0;
};

// Find Axes' answer for one picture: four calibration points at the corners where the
// tick lines of the outermost agreeing labels of the two axes cross, with the axes'
// scales; or no points and why.
struct AxesProposal {
    std::vector<ProposedPoint> points; // four, or none when nothing is proposed
    AxisScales axes;
    AxisReading x;
    AxisReading y;
    // Both axes read with no doubt left. Never set for a picture whose axes were not read.
    bool confident = false;
    std::vector<std::string> doubts; // one sentence each, what is uncertain
    // What was found, for the window: "x axis: linear, 6 labels, 0 to 10; y axis: log10,
    // 7 labels, 10⁻³ to 10³. Check that the grid lies on the plot's own, then choose
    // Acquire.", with the doubts, if any, before the last sentence.
    std::string summary;
    std::string problem; // why nothing is proposed; empty when points are

    bool proposed() const { return !points.empty(); }
};

// Reads the axes of the plot in the picture: tick labels through OCR (a reader made by
// `readers` for this call), their ticks, the scale of each axis. Runs on any thread; no
// state is shared. Cancelling through `work` gives a proposal without points.
AxesProposal findAxes(const PixelView& pixels, const Work& work, const LabelReaders& readers);
