#include "document/ProjectParts.h"

#include "calibration/AxesSpace.h"
#include "document/Change.h"

#include <algorithm>

namespace projectformat {
namespace {

template <typename Range> std::string joined(const Range& names)
{
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

} // namespace

std::optional<std::string> ProjectParts::takeText(Slot slot, std::string&& value)
{
    switch (slot) {
    case Slot::picture:
        picture = std::move(value);
        return "";
    case Slot::axisX:
    case Slot::axisY: {
        const auto named = axisScaleNamed(value);
        if (!named)
            return " is not one of: linear, log10, date";
        (slot == Slot::axisX ? axes.x : axes.y) = *named;
        return "";
    }
    case Slot::axesKind:
        if (value != "cartesian" && value != "polar")
            return " is not one of: cartesian, polar";
        polarAxes = value == "polar";
        return "";
    case Slot::angleUnit: {
        const auto unit = angleUnitNamed(value);
        if (!unit)
            return " is not one of: degrees, radians";
        polar.angle = *unit;
        return "";
    }
    case Slot::radiusScale: {
        const auto named = axisScaleNamed(value);
        if (!named || *named == AxisScale::date)
            return " is not one of: linear, log10";
        polar.radius = *named;
        return "";
    }
    case Slot::measurementKind: {
        const auto kind = measurementKindNamed(value);
        if (!kind)
            return " is not one of: distance, angle, path";
        measurements.list.back().kind = *kind;
        return "";
    }
    case Slot::scaleUnit:
        scale.unit = std::move(value);
        return "";
    case Slot::name:
        series.back().look.name = std::move(value);
        return "";
    case Slot::colour: {
        const auto colour = Colour::named(value);
        if (!colour)
            return " is not a colour written #rrggbb";
        series.back().look.colour = *colour;
        return "";
    }
    case Slot::marker: {
        const auto shape = markerShapeNamed(value);
        if (!shape) {
            std::vector<std::string_view> names;
            for (const MarkerShape known : allMarkerShapes)
                names.push_back(markerShapeName(known));
            return " is not one of: " + joined(names);
        }
        series.back().look.marker = *shape;
        return "";
    }
    default:
        return std::nullopt;
    }
}

bool ProjectParts::takeNumber(Slot slot, double value, bool firstOfPair, bool firstEnd)
{
    switch (slot) {
    // The page's resolution is checked once the whole file is read: a file cut short in
    // the middle of a number must be refused as cut short, not for the part it holds.
    case Slot::dpi:
        page.dpi = value;
        pageSeen = true;
        return true;
    case Slot::radiusAtCentre:
        polar.radiusAtCentre = value;
        return true;
    case Slot::measurementValue: {
        DPoint& point = measurements.list.back().points.back();
        (firstOfPair ? point.x : point.y) = value;
        return true;
    }
    case Slot::scaleValue: {
        DPoint& end = scale.ends[firstEnd ? 0 : 1];
        (firstOfPair ? end.x : end.y) = value;
        return true;
    }
    case Slot::scaleLength:
        scale.length = value;
        return true;
    case Slot::screenValue: {
        DPoint& screen = calibration.back().screen;
        (firstOfPair ? screen.x : screen.y) = value;
        return true;
    }
    case Slot::worldValue: {
        CalibrationPoint& point = calibration.back();
        (firstOfPair ? point.worldX : point.worldY) = value;
        return true;
    }
    case Slot::coordinate: {
        DPoint& point = series.back().points.back();
        (firstOfPair ? point.x : point.y) = value;
        return true;
    }
    default:
        return false;
    }
}

ProjectReading assembleDocument(ProjectParts parts, const std::string& folder)
{
    const std::size_t seriesCount = std::max<std::size_t>(parts.series.size(), 1);
    if (parts.active >= seriesCount)
        return {std::nullopt, "\"active_series\" is " + std::to_string(parts.active) + ", but the project has " +
                                  std::to_string(seriesCount) + " series, numbered from 0"};
    if (parts.pageSeen) {
        if (parts.pageNumber == 0 || parts.pageNumber > 1'000'000)
            return {std::nullopt, placeOf(Slot::page, {}) + " is not " + kindExpected(Slot::page)};
        if (!(parts.page.dpi >= PdfPage::lowestDpi && parts.page.dpi <= PdfPage::highestDpi))
            return {std::nullopt, placeOf(Slot::dpi, {}) + " is not " + kindExpected(Slot::dpi)};
        parts.page.number = static_cast<int>(parts.pageNumber);
    }
    if (parts.polarAxes) {
        if (const std::string problem = polarProblem(parts.polar); !problem.empty())
            return {std::nullopt, "the polar axes are refused: " + problem};
        parts.axes = AxisScales::polarOf(parts.polar);
    }
    if (parts.scaleSeen) {
        if (!(parts.scale.length > 0.0))
            return {std::nullopt, placeOf(Slot::scaleLength, {}) + " is not " + kindExpected(Slot::scaleLength)};
        if (parts.scale.ends[0] == parts.scale.ends[1])
            return {std::nullopt, "the scale bar's two ends are the same point"};
        parts.measurements.scale = parts.scale;
    }
    Document document;
    document.setPicture(pictureAsRead(parts.picture, folder));
    if (parts.pageSeen)
        document.setPdfPage(parts.page);
    document.apply(change::SetAxes{parts.axes});
    for (std::size_t i = 0; i < parts.calibration.size(); ++i)
        document.apply(change::InsertCalibration{i, parts.calibration[i]});
    for (std::size_t i = 0; i < parts.series.size(); ++i) {
        Series& series = parts.series[i];
        if (i == 0)
            document.apply(change::SetLook{0, std::move(series.look)});
        else
            document.apply(change::InsertSeries{i, Series{std::move(series.look), {}}, 0});
        if (!series.points.empty())
            document.apply(change::InsertPoints{i, 0, std::move(series.points)});
    }
    document.apply(change::SetActiveSeries{parts.active});
    if (!parts.measurements.list.empty() || parts.measurements.scale)
        document.apply(change::SetMeasurements{std::move(parts.measurements)});
    return {std::move(document), {}};
}

} // namespace projectformat
