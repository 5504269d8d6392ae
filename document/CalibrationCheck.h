#pragma once

#include "calibration/FitDiagnostics.h"
#include "document/Document.h"
#include "document/WorldMap.h"

#include <optional>
#include <string>
#include <vector>

// The calibration checked against its own fit: which calibration rows took part (those
// whose world values have a place on their axes, in order) and how well they agree.
struct CalibrationCheck {
    std::vector<std::size_t> rows;
    FitReport report;
    // The report's sentences, naming calibration rows, with values in the axes' own units.
    std::vector<std::string> warnings;
    // The transform fitted to those rows: what acquiring would use, shown while calibrating.
    WorldMap map;
};

// Empty while fewer than three calibration points can take part or they fit no transform.
std::optional<CalibrationCheck> checkCalibration(const Document& document);

// A computed value as the user reads it on its axis: a date as ISO 8601 to the second, a
// number to six significant digits. (Typed values are shown exactly, with showWorldValue.)
std::string readableValue(AxisScale scale, double value);
