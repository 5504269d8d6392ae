#pragma once

#include "document/Measurement.h"
#include "document/WorldMap.h"

#include <optional>
#include <string>

// A measurement's values, from the picture coordinates of its points: in pixels always; in
// the scale bar's unit when there is one (an isotropic scale); else in the calibration's
// world units where they mean something (not along or across a log axis, not on a date or
// polar axis: then `why` says so). Angles are in the picture's plane, in degrees.
struct MeasuredValues {
    double pixels = 0.0;                // distance or path length; for an angle, 0
    double pixelArea = 0.0;             // closed paths: the area in square pixels
    std::optional<double> dx, dy;       // distance: along each world axis
    std::optional<double> length;       // distance or path length in world or scale units
    std::optional<double> area;         // closed paths, in world or scale units squared
    std::optional<double> angleDegrees; // angles, (0, 180]
    std::string unit;                   // the scale bar's, or empty for world units
    std::string why;                    // why world values are missing
};

MeasuredValues measure(const Measurement& measurement, const std::optional<WorldMap>& map,
                       const std::optional<ScaleBar>& scale);

// One line for the Measurements panel and the clipboard: "Distance: 12.5 µm (96.1 px)",
// "Angle: 37.2°", "Path: 140 mm, area 1204 mm² (closed, 5 points)".
std::string describe(const Measurement& measurement, const MeasuredValues& values);
