#include "document/CalibrationCheck.h"

#include "document/WorldMap.h"

#include <cmath>
#include <cstdio>

std::string readableValue(AxisScale scale, double value)
{
    if (scale == AxisScale::date)
        return showWorldValue(scale, std::round(value));
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::optional<CalibrationCheck> checkCalibration(const Document& document)
{
    const AxisScales scales = document.axes();
    std::vector<std::size_t> rows;
    std::vector<DPoint> screen;
    std::vector<DPoint> world;
    const std::vector<CalibrationPoint>& calibration = document.calibration();
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const FitPoint point = fitSpaceOf(calibration[i], i + 1, scales);
        if (!point.fit)
            continue;
        rows.push_back(i);
        screen.push_back(calibration[i].screen);
        world.push_back(*point.fit);
    }
    std::optional<FitReport> report = diagnoseFit(screen, world);
    if (!report)
        return std::nullopt;
    std::vector<CalibrationPoint> takingPart;
    for (const std::size_t row : rows)
        takingPart.push_back(calibration[row]);
    const FitOutcome fit = fitCalibration(takingPart, scales);
    if (!fit.map)
        return std::nullopt;
    CalibrationCheck check{std::move(rows), std::move(*report), {}, *fit.map};
    // The report speaks in fit space and numbers only the points it saw; on linear axes
    // with every row complete that is the user's own view. Otherwise the point the others
    // disagree with is told again by its row, in the axes' units.
    const bool asTyped = !scales.polar && scales.x == AxisScale::linear && scales.y == AxisScale::linear &&
                         check.rows.back() + 1 == check.rows.size();
    for (std::size_t w = 0; w < check.report.warnings.size(); ++w) {
        if (w == 0 && check.report.outlier && !asTyped) {
            const Outlier& outlier = *check.report.outlier;
            const CalibrationPoint& typed = calibration[check.rows[outlier.index]];
            const DPoint predicted = fromFitSpace(scales, outlier.predicted);
            check.warnings.push_back("Point " + std::to_string(check.rows[outlier.index] + 1) + ": typed (" +
                                     showWorldValue(scales.x, *typed.worldX) + ", " +
                                     showWorldValue(scales.y, *typed.worldY) + "), the other points put it at (" +
                                     readableValue(scales.x, predicted.x) + ", " +
                                     readableValue(scales.y, predicted.y) + ")");
            continue;
        }
        check.warnings.push_back(check.report.warnings[w]);
    }
    return check;
}
