#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The places of a project file, for its reader: what each value is meant to be, which keys
// each object takes, and how a place is named in an error message.
namespace projectformat {

// What a value at some place of the file is meant to be. The containers are slots too.
enum class Slot : std::uint8_t {
    refused, // the place itself is wrong; the error is set
    project,
    version,
    picture,
    axes,
    axisX,
    axisY,
    calibrationList,
    calibrationPoint,
    screenPair,
    worldPair,
    screenValue,
    worldValue,
    seriesList,
    series,
    name,
    colour,
    marker,
    visible,
    points,
    point,
    coordinate,
    activeSeries,
    page,
    dpi,
    axesKind,
    angleUnit,
    clockwise,
    radiusScale,
    radiusAtCentre,
    measurementList,
    measurement,
    measurementKind,
    measurementClosed,
    measurementPoints,
    measurementPoint,
    measurementValue,
    scale,
    scaleScreen,
    scaleEnd,
    scaleValue,
    scaleLength,
    scaleUnit,
    skipped, // under a key this format does not name
};

inline std::uint64_t bit(Slot slot)
{
    return std::uint64_t{1} << static_cast<unsigned>(slot);
}

struct Field {
    Slot container;
    std::string_view key;
    Slot slot;
    bool required;
};
inline constexpr Field fields[] = {
    {Slot::project, "plotmeter", Slot::version, true},
    {Slot::project, "picture", Slot::picture, false},
    {Slot::project, "axes", Slot::axes, false},
    {Slot::project, "calibration", Slot::calibrationList, true},
    {Slot::project, "series", Slot::seriesList, true},
    {Slot::project, "active_series", Slot::activeSeries, false},
    {Slot::project, "page", Slot::page, false},
    {Slot::project, "dpi", Slot::dpi, false},
    {Slot::axes, "x", Slot::axisX, false},
    {Slot::axes, "y", Slot::axisY, false},
    {Slot::axes, "kind", Slot::axesKind, false},
    {Slot::axes, "angle", Slot::angleUnit, false},
    {Slot::axes, "clockwise", Slot::clockwise, false},
    {Slot::axes, "radius", Slot::radiusScale, false},
    {Slot::axes, "radius_at_centre", Slot::radiusAtCentre, false},
    {Slot::calibrationPoint, "screen", Slot::screenPair, true},
    {Slot::calibrationPoint, "world", Slot::worldPair, true},
    {Slot::series, "name", Slot::name, true},
    {Slot::series, "colour", Slot::colour, false},
    {Slot::series, "marker", Slot::marker, false},
    {Slot::series, "visible", Slot::visible, false},
    {Slot::series, "points", Slot::points, true},
    {Slot::project, "measurements", Slot::measurementList, false},
    {Slot::measurement, "kind", Slot::measurementKind, true},
    {Slot::measurement, "closed", Slot::measurementClosed, false},
    {Slot::measurement, "points", Slot::measurementPoints, true},
    {Slot::project, "scale", Slot::scale, false},
    {Slot::scale, "screen", Slot::scaleScreen, true},
    {Slot::scale, "length", Slot::scaleLength, true},
    {Slot::scale, "unit", Slot::scaleUnit, false},
};

inline bool holdsNumbers(Slot slot)
{
    return slot == Slot::version || slot == Slot::activeSeries || slot == Slot::page || slot == Slot::dpi ||
           slot == Slot::screenValue || slot == Slot::worldValue || slot == Slot::coordinate ||
           slot == Slot::radiusAtCentre || slot == Slot::measurementValue || slot == Slot::scaleValue ||
           slot == Slot::scaleLength;
}

// Which calibration point, series, point and coordinate (1 for x, 2 for y) the reader is
// at, each counted from 1; 0 where it is not inside one.
struct Counts {
    std::size_t calibrationPoint;
    std::size_t series;
    std::size_t point;
    std::size_t coordinate;
    std::size_t measurement = 0;
};

// "series 2, point 5: x", "calibration point 1: \"world\"", ...
std::string placeOf(Slot slot, const Counts& at);
// What a value of that place must be: "a list", "a pair of numbers", ...
const char* kindExpected(Slot slot);

} // namespace projectformat
