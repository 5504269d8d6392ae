#include "document/ProjectSlots.h"

namespace projectformat {

std::string placeOf(Slot slot, const Counts& at)
{
    const std::string calibrationPoint = "calibration point " + std::to_string(at.calibrationPoint);
    const std::string series = "series " + std::to_string(at.series);
    const std::string point = series + ", point " + std::to_string(at.point);
    const char* const axis = at.coordinate <= 1 ? "x" : "y";
    switch (slot) {
    case Slot::refused:
    case Slot::project:
    case Slot::skipped:
        return "the file";
    case Slot::version:
        return "\"plotmeter\"";
    case Slot::picture:
        return "\"picture\"";
    case Slot::axes:
        return "\"axes\"";
    case Slot::axisX:
        return "the \"x\" axis scale";
    case Slot::axisY:
        return "the \"y\" axis scale";
    case Slot::calibrationList:
        return "\"calibration\"";
    case Slot::calibrationPoint:
        return calibrationPoint;
    case Slot::screenPair:
        return calibrationPoint + ": \"screen\"";
    case Slot::worldPair:
        return calibrationPoint + ": \"world\"";
    case Slot::screenValue:
        return calibrationPoint + ": screen " + axis;
    case Slot::worldValue:
        return calibrationPoint + ": world " + axis;
    case Slot::seriesList:
        return "\"series\"";
    case Slot::series:
        return series;
    case Slot::name:
        return series + ": \"name\"";
    case Slot::colour:
        return series + ": \"colour\"";
    case Slot::marker:
        return series + ": \"marker\"";
    case Slot::visible:
        return series + ": \"visible\"";
    case Slot::points:
        return series + ": \"points\"";
    case Slot::point:
        return point;
    case Slot::coordinate:
        return point + ": " + axis;
    case Slot::activeSeries:
        return "\"active_series\"";
    case Slot::page:
        return "\"page\"";
    case Slot::dpi:
        return "\"dpi\"";
    case Slot::axesKind:
        return "the axes' \"kind\"";
    case Slot::angleUnit:
        return "the polar axes' \"angle\" unit";
    case Slot::clockwise:
        return "the polar axes' \"clockwise\"";
    case Slot::radiusScale:
        return "the polar axes' \"radius\" scale";
    case Slot::radiusAtCentre:
        return "the polar axes' \"radius_at_centre\"";
    case Slot::measurementList:
        return "\"measurements\"";
    case Slot::measurement:
        return "measurement " + std::to_string(at.measurement);
    case Slot::measurementKind:
        return "measurement " + std::to_string(at.measurement) + ": \"kind\"";
    case Slot::measurementClosed:
        return "measurement " + std::to_string(at.measurement) + ": \"closed\"";
    case Slot::measurementPoints:
        return "measurement " + std::to_string(at.measurement) + ": \"points\"";
    case Slot::measurementPoint:
    case Slot::measurementValue:
        return "measurement " + std::to_string(at.measurement) + ", a point";
    case Slot::scale:
        return "\"scale\"";
    case Slot::scaleScreen:
    case Slot::scaleEnd:
    case Slot::scaleValue:
        return "the scale bar's \"screen\" ends";
    case Slot::scaleLength:
        return "the scale bar's \"length\"";
    case Slot::scaleUnit:
        return "the scale bar's \"unit\"";
    }
    return "the file";
}

const char* kindExpected(Slot slot)
{
    switch (slot) {
    case Slot::axes:
    case Slot::calibrationPoint:
    case Slot::series:
    case Slot::measurement:
    case Slot::scale:
        return "an object";
    case Slot::measurementList:
    case Slot::measurementPoints:
        return "a list";
    case Slot::scaleScreen:
        return "a pair of points";
    case Slot::measurementPoint:
    case Slot::scaleEnd:
        return "a pair of numbers";
    case Slot::measurementValue:
    case Slot::scaleValue:
        return "a number";
    case Slot::scaleLength:
        return "a length above zero";
    case Slot::measurementClosed:
        return "true or false";
    case Slot::calibrationList:
    case Slot::seriesList:
    case Slot::points:
        return "a list";
    case Slot::screenPair:
    case Slot::point:
        return "a pair of numbers";
    case Slot::worldPair:
        return "a pair of numbers or nulls";
    case Slot::screenValue:
    case Slot::coordinate:
        return "a number";
    case Slot::worldValue:
        return "a number or null";
    case Slot::visible:
    case Slot::clockwise:
        return "true or false";
    case Slot::radiusAtCentre:
        return "a number";
    case Slot::activeSeries:
        return "a series number";
    case Slot::page:
        return "a page number, counted from 1";
    case Slot::dpi:
        return "a resolution in dots per inch, from 10 to 2400";
    default:
        return "text";
    }
}

} // namespace projectformat
