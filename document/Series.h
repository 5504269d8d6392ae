#pragma once

#include "calibration/AxisScale.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A calibration point: where it was clicked and the world values typed for it. A value
// the user has not typed yet is empty.
struct CalibrationPoint {
    DPoint screen;
    std::optional<double> worldX;
    std::optional<double> worldY;
    bool complete() const { return worldX.has_value() && worldY.has_value(); }
    friend bool operator==(const CalibrationPoint&, const CalibrationPoint&) = default;
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;

    // "#rrggbb", lower case.
    std::string name() const;
    // Reads "#rrggbb" (either case); empty for anything else.
    static std::optional<Colour> named(std::string_view name);
};

enum class MarkerShape { cross, plus, circle, square, diamond, triangle };
inline constexpr MarkerShape allMarkerShapes[] = {MarkerShape::cross,  MarkerShape::plus,    MarkerShape::circle,
                                                  MarkerShape::square, MarkerShape::diamond, MarkerShape::triangle};

// "cross", "plus", ...; the names the project file uses.
std::string_view markerShapeName(MarkerShape shape);
std::optional<MarkerShape> markerShapeNamed(std::string_view name);

// How a series is named and drawn.
struct SeriesLook {
    std::string name;
    Colour colour;
    MarkerShape marker = MarkerShape::cross;
    bool visible = true;
    friend bool operator==(const SeriesLook&, const SeriesLook&) = default;
};

// The n-th colour and marker a new series gets, so neighbours differ at a glance.
SeriesLook defaultLook(std::string name, std::size_t n);

struct Series {
    SeriesLook look;
    std::vector<DPoint> points; // picture coordinates, in the order they were taken
    friend bool operator==(const Series&, const Series&) = default;
};
