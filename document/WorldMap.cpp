#include "document/WorldMap.h"

#include "calibration/CartesianPlotmeter.h"
#include "platform/NumberText.h"

WorldMap WorldMap::of(const CartesianPlotmeter& p, AxisScales scales)
{
    return {p.a(0, 0),        p.a(0, 1),        p.a(1, 0),        p.a(1, 1),        p.xOffset(), p.yOffset(),
            p.aInverse(0, 0), p.aInverse(0, 1), p.aInverse(1, 0), p.aInverse(1, 1), scales};
}

FitPoint fitSpaceOf(const CalibrationPoint& point, std::size_t row, AxisScales scales)
{
    const std::string name = "row " + std::to_string(row);
    if (!point.complete()) {
        const char* missing = !point.worldX && !point.worldY ? "world values" : !point.worldX ? "world x" : "world y";
        return {std::nullopt, name + " has no " + missing};
    }
    std::string why;
    const std::optional<DPoint> fit = toFitSpace(scales, {*point.worldX, *point.worldY}, &why);
    if (fit)
        return {fit, {}};
    if (scales.polar)
        return {std::nullopt, name + ": " + why + " (angle " + shortestNumber(*point.worldX) + ", radius " +
                                  shortestNumber(*point.worldY) + ")"};
    const bool x = why == "world x";
    return {std::nullopt, name + ": a log axis takes only values above zero, and " + (x ? "world x" : "world y") +
                              " is " + shortestNumber(x ? *point.worldX : *point.worldY)};
}

FitOutcome fitCalibration(const std::vector<CalibrationPoint>& calibration, AxisScales scales)
{
    if (calibration.size() < 3)
        return {std::nullopt,
                "the calibration has " + std::to_string(calibration.size()) + " points; at least three are needed"};
    CartesianPlotmeter plotmeter;
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const FitPoint point = fitSpaceOf(calibration[i], i + 1, scales);
        if (!point.fit)
            return {std::nullopt, "calibration " + point.problem};
        plotmeter.addScreenPoint(calibration[i].screen);
        plotmeter.addWorldPoint(*point.fit);
    }
    if (!plotmeter.findTransform()) {
        // The fit names the side at fault: "Calibration screen (or world) points do not span the plane".
        const std::string& why = plotmeter.problem();
        if (why.starts_with("Calibration screen"))
            return {std::nullopt, "the clicked points lie on one line"};
        if (why.starts_with("Calibration world"))
            return {std::nullopt, "the typed world values lie on one line"};
        return {std::nullopt, "the calibration points do not define a transform"};
    }
    return {WorldMap::of(plotmeter, scales), {}};
}
