#pragma once

#include <string>

// `plotmeter check PROJECT`: how well the calibration points of a project agree with the
// transform fitted to them, as text for the standard output (the layout is described in
// the usage text of Command.cpp).
struct CheckOutcome {
    int status = 1;      // 0: nothing to warn about; 3: warnings; 1: no check possible
    std::string report;  // the lines for the standard output; empty when there is no check
    std::string problem; // with status 1, why, as one sentence naming the project
};

CheckOutcome checkProject(const std::string& path);
