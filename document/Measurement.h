#pragma once

#include "platform/Geometry.h"

#include <optional>
#include <string>
#include <vector>

// What the user measured on the picture, in picture coordinates: a distance (two points),
// an angle (three, at the middle one) or a path (clicks along it; closed, it encloses an
// area). Values are worked out from the calibration or the scale bar whenever they are
// shown (Measuring.h), never stored.
enum class MeasurementKind { distance, angle, path };

struct Measurement {
    MeasurementKind kind = MeasurementKind::distance;
    std::vector<DPoint> points;
    bool closed = false; // a path back to its first point, enclosing an area
    friend bool operator==(const Measurement&, const Measurement&) = default;
};

// A scale bar for pictures without axes (maps, micrographs, photographs): its two ends as
// clicked and the length it stands for, in `unit` ("µm"): an isotropic scale.
struct ScaleBar {
    DPoint ends[2];
    double length = 0.0;
    std::string unit;
    friend bool operator==(const ScaleBar&, const ScaleBar&) = default;
};

// Everything measured on a document, and its scale bar; one change replaces it whole.
struct Measurements {
    std::vector<Measurement> list;
    std::optional<ScaleBar> scale;
    friend bool operator==(const Measurements&, const Measurements&) = default;
};

// "distance", "angle", "path": the names the project file uses.
std::string measurementKindName(MeasurementKind kind);
std::optional<MeasurementKind> measurementKindNamed(const std::string& name);
