#pragma once

#include "document/Measurement.h"
#include "document/Series.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

// The few kinds of change a document knows. Every edit the user makes is one or more of
// them, and applying one gives back the change that undoes it, so undo restores the
// document exactly.
namespace change {

struct InsertPoints {
    std::size_t series;
    std::size_t at;
    std::vector<DPoint> points;
};
struct ErasePoints {
    std::size_t series;
    std::size_t at;
    std::size_t count;
};
struct MovePoint {
    std::size_t series;
    std::size_t index;
    DPoint to;
};
struct InsertCalibration {
    std::size_t at;
    CalibrationPoint point;
};
struct EraseCalibration {
    std::size_t at;
};
struct SetCalibration {
    std::size_t index;
    CalibrationPoint point;
};
// The active series after an insertion or an erasure is part of the change, so that undo
// gives back the one that was active.
struct InsertSeries {
    std::size_t at;
    Series series;
    std::size_t activeAfter;
};
struct EraseSeries {
    std::size_t at;
    std::size_t activeAfter;
};
struct SetLook {
    std::size_t series;
    SeriesLook look;
};
struct SetAxes {
    AxisScales axes;
};
struct SetActiveSeries {
    std::size_t series;
};
// Held apart, shared and unchanging, so that this rare change does not make every step
// of the history (of which there may be a hundred thousand) as large as itself.
struct SetMeasurements {
    explicit SetMeasurements(Measurements given) : measurements(std::make_shared<const Measurements>(std::move(given)))
    {
    }
    std::shared_ptr<const Measurements> measurements;
};

} // namespace change

using Change = std::variant<change::InsertPoints, change::ErasePoints, change::MovePoint, change::InsertCalibration,
                            change::EraseCalibration, change::SetCalibration, change::InsertSeries, change::EraseSeries,
                            change::SetLook, change::SetAxes, change::SetActiveSeries, change::SetMeasurements>;
