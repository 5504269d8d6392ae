#pragma once

#include "axes/LabelReader.h"
#include "cli/ExtractCommand.h"

#include <string>

// `plotmeter calibrate PICTURE [--page N] [--dpi D] -o OUT.plotmeter`: reads the plot's
// axes with Find Axes and writes a project naming the picture, with the axes' scales and
// the four proposed calibration points.
struct CalibrateOutcome {
    // 0: both axes read with confidence; 3: written, with doubts; 1: nothing written.
    int status = 1;
    // A line per axis ("x: linear, 6 labels: 0 2 4 6 8 10"), then a "warning: " line per doubt.
    std::string report;
    std::string problem; // why nothing was written, one sentence (status 1)
};

// argv[1] is "calibrate".
CalibrateOutcome runCalibrate(int argc, char** argv, const PictureDecoder& decode, const LabelReaders& readers);
