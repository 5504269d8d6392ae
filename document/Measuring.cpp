#include "document/Measuring.h"

#include "platform/NumberText.h"

#include <cmath>
#include <numbers>

std::string measurementKindName(MeasurementKind kind)
{
    switch (kind) {
    case MeasurementKind::angle:
        return "angle";
    case MeasurementKind::path:
        return "path";
    case MeasurementKind::distance:
        break;
    }
    return "distance";
}

std::optional<MeasurementKind> measurementKindNamed(const std::string& name)
{
    for (const MeasurementKind kind : {MeasurementKind::distance, MeasurementKind::angle, MeasurementKind::path})
        if (measurementKindName(kind) == name)
            return kind;
    return std::nullopt;
}

namespace {

double length(DPoint a, DPoint b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

// The polygon's area by the shoelace formula, its sign dropped.
double shoelace(const std::vector<DPoint>& points)
{
    double twice = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const DPoint a = points[i], b = points[(i + 1) % points.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2.0;
}

// Why world values mean nothing as lengths and areas on these axes; empty when they do.
std::string notEuclidean(const AxisScales& scales)
{
    if (scales.polar)
        return "on polar axes, measure with a scale bar";
    if (scales.x == AxisScale::log10 || scales.y == AxisScale::log10)
        return "lengths and areas are not defined along a log axis";
    if (scales.x == AxisScale::date || scales.y == AxisScale::date)
        return "lengths and areas are not defined along a date axis";
    return {};
}

// A number to six significant digits, as the panel shows it.
std::string shown(double value)
{
    return formatCellNumber(value, {true, 6, 0});
}

} // namespace

MeasuredValues measure(const Measurement& measurement, const std::optional<WorldMap>& map,
                       const std::optional<ScaleBar>& scale)
{
    MeasuredValues values;
    const std::vector<DPoint>& p = measurement.points;
    if (measurement.kind == MeasurementKind::angle) {
        if (p.size() == 3) {
            const double a = std::atan2(p[0].y - p[1].y, p[0].x - p[1].x);
            const double b = std::atan2(p[2].y - p[1].y, p[2].x - p[1].x);
            double degrees = std::abs(a - b) * 180.0 / std::numbers::pi;
            if (degrees > 180.0)
                degrees = 360.0 - degrees;
            values.angleDegrees = degrees;
        }
        return values;
    }
    for (std::size_t i = 1; i < p.size(); ++i)
        values.pixels += length(p[i - 1], p[i]);
    const bool closed = measurement.kind == MeasurementKind::path && measurement.closed && p.size() >= 3;
    if (closed) {
        values.pixels += length(p.back(), p.front());
        values.pixelArea = shoelace(p);
    }
    if (scale && scale->length > 0.0) {
        const double perPixel = scale->length / length(scale->ends[0], scale->ends[1]);
        if (std::isfinite(perPixel)) {
            values.unit = scale->unit;
            values.length = values.pixels * perPixel;
            if (closed)
                values.area = values.pixelArea * perPixel * perPixel;
            return values;
        }
    }
    if (!map) {
        values.why = "calibrate, or draw a scale bar, for values in units";
        return values;
    }
    if (measurement.kind == MeasurementKind::distance && p.size() == 2 && !map->scales.polar) {
        const DPoint a = map->world(p[0]), b = map->world(p[1]);
        values.dx = b.x - a.x;
        values.dy = b.y - a.y;
    }
    if (values.why = notEuclidean(map->scales); !values.why.empty())
        return values;
    std::vector<DPoint> world;
    for (const DPoint& point : p)
        world.push_back(map->world(point));
    double total = 0.0;
    for (std::size_t i = 1; i < world.size(); ++i)
        total += length(world[i - 1], world[i]);
    if (closed)
        total += length(world.back(), world.front());
    values.length = total;
    if (closed)
        values.area = shoelace(world);
    return values;
}

std::string describe(const Measurement& measurement, const MeasuredValues& values)
{
    const std::string unit = values.unit.empty() ? std::string() : " " + values.unit;
    const std::string squared = values.unit.empty() ? std::string() : " " + values.unit + "²";
    std::string text;
    switch (measurement.kind) {
    case MeasurementKind::angle:
        return "Angle: " + (values.angleDegrees ? shown(*values.angleDegrees) + "°" : std::string("—"));
    case MeasurementKind::distance:
        text = "Distance: ";
        if (values.length)
            text += shown(*values.length) + unit + (values.unit.empty() ? " (if x and y share a unit)" : "") + ", ";
        if (values.dx && values.dy)
            text += "Δx " + shown(*values.dx) + ", Δy " + shown(*values.dy) + ", ";
        text += shown(values.pixels) + " px";
        break;
    case MeasurementKind::path:
        text = "Path: ";
        if (values.length)
            text += shown(*values.length) + unit + ", ";
        text += shown(values.pixels) + " px";
        if (measurement.closed)
            text += values.area ? "; area " + shown(*values.area) + squared : "; area " + shown(values.pixelArea) + " px²";
        break;
    }
    if (!values.why.empty())
        text += " (" + values.why + ")";
    return text;
}
