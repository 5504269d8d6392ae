#include "document/WorldMap.h"

#include "calibration/CartesianPlotmeter.h"

WorldMap WorldMap::of(const CartesianPlotmeter& p)
{
    return {p.a(0, 0), p.a(0, 1), p.a(1, 0), p.a(1, 1), p.xOffset(), p.yOffset()};
}

FitOutcome fitCalibration(const std::vector<CalibrationPoint>& calibration)
{
    if (calibration.size() < 3)
        return {std::nullopt,
                "the calibration has " + std::to_string(calibration.size()) + " points; at least three are needed"};
    CartesianPlotmeter plotmeter;
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const CalibrationPoint& point = calibration[i];
        if (!point.complete())
            return {std::nullopt, "calibration point " + std::to_string(i + 1) + " has no world value"};
        plotmeter.addScreenPoint(point.screen);
        plotmeter.addWorldPoint({*point.worldX, *point.worldY});
    }
    if (!plotmeter.findTransform())
        return {std::nullopt, "the calibration points do not define a transform"};
    return {WorldMap::of(plotmeter), {}};
}
