#include "cli/CheckCommand.h"

#include "calibration/SpanTest.h"
#include "document/CalibrationCheck.h"
#include "document/ProjectFile.h"
#include "document/WorldMap.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

using Cells = std::vector<std::string>;

CheckOutcome refused(std::string problem)
{
    return {1, {}, std::move(problem)};
}

// A number to six significant digits, as residuals are read.
std::string number(double value)
{
    return readableValue(AxisScale::linear, value);
}

// A fitted value rounded to the decimal place of a tenth of a pixel's worth on its axis
// (on a date axis to the calendar's unit below it)
// (`perPixel`: how much its fit space value changes across one pixel), then shown as a
// typed value is. The fit places nothing closer than that; the digits below would be
// noise, and six significant digits would hide the tens on an axis offset by 1e9.
std::string fittedText(AxisScale scale, double fitValue, double perPixel)
{
    const double value = fromFitSpace(scale, fitValue);
    double step = 0.1 * perPixel;
    if (scale == AxisScale::log10)
        step *= value * std::log(10.0);
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(value))
        return showWorldValue(scale, value);
    if (scale == AxisScale::date && step >= 1.0) {
        // Dates round to whole days, hours, minutes or seconds, not to powers of ten of
        // seconds (which would turn an exact 2024-01-01 into 2023-12-31T23:56:40).
        double unit = 1.0;
        for (const double calendarUnit : {86400.0, 3600.0, 60.0})
            if (step >= calendarUnit) {
                unit = calendarUnit;
                break;
            }
        return showWorldValue(scale, std::round(value / unit) * unit);
    }
    const int place = static_cast<int>(std::floor(std::log10(step)));
    const double unit = std::pow(10.0, std::abs(place));
    const double rounded = place < 0 ? std::round(value * unit) / unit : std::round(value / unit) * unit;
    return showWorldValue(scale, std::isfinite(rounded) ? rounded + 0.0 : value);
}

// A number with `decimals` digits after the point, never "-0.0".
std::string fixed(double value, int decimals)
{
    const double unit = std::pow(10.0, decimals);
    std::string text;
    appendFixed(text, std::round(value * unit) / unit + 0.0, 0, decimals);
    return text;
}

bool spans(const double (&m)[2][2])
{
    const double* const rows[2] = {m[0], m[1]};
    return spansThePlane(rows);
}

// Why the fit would refuse these pairs, judged as the fit judges them (the clicked points'
// offsets from the first must span the plane, and so must the fitted matrix); empty when
// it would not. Asked first, so that the refusal can say which side is at fault.
std::string whyNoTransform(const std::vector<DPoint>& screen, const std::vector<DPoint>& world)
{
    double n00 = 0.0, n01 = 0.0, n11 = 0.0, c00 = 0.0, c01 = 0.0, c10 = 0.0, c11 = 0.0;
    for (std::size_t i = 1; i < screen.size(); ++i) {
        const double sx = screen[i].x - screen[0].x, sy = screen[i].y - screen[0].y;
        const double wx = world[i].x - world[0].x, wy = world[i].y - world[0].y;
        n00 += sx * sx, n01 += sx * sy, n11 += sy * sy;
        c00 += sx * wx, c01 += sx * wy, c10 += sy * wx, c11 += sy * wy;
    }
    if (!spans({{n00, n01}, {n01, n11}}))
        return "the clicked points lie on one line";
    const double det = n00 * n11 - n01 * n01;
    if (!spans({{(n11 * c00 - n01 * c10) / det, (n11 * c01 - n01 * c11) / det},
                {(n00 * c10 - n01 * c00) / det, (n00 * c11 - n01 * c01) / det}}))
        return "the typed world values lie on one line";
    return {};
}

// The cells right-aligned under each other, two spaces apart, each row's note after it.
std::string aligned(const std::vector<Cells>& table, const std::vector<std::string>& notes)
{
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const Cells& cells : table)
        for (std::size_t c = 0; c < cells.size(); ++c)
            widths[c] = std::max(widths[c], cells[c].size());
    std::string text;
    for (std::size_t r = 0; r < table.size(); ++r) {
        for (std::size_t c = 0; c < widths.size(); ++c) {
            if (c > 0)
                text += "  ";
            text.append(widths[c] - table[r][c].size(), ' ');
            text += table[r][c];
        }
        if (!notes[r].empty())
            text += "  " + notes[r];
        text += '\n';
    }
    return text;
}

} // namespace

CheckOutcome checkProject(const std::string& path)
{
    const ProjectReading reading = readProjectFile(path);
    if (!reading.document)
        return refused(reading.error);
    const Document& document = *reading.document;
    const AxisScales scales = document.axes();
    const std::vector<CalibrationPoint>& calibration = document.calibration();

    std::vector<std::string> skipped(calibration.size()); // why a row takes no part
    std::vector<std::size_t> skippedRows;
    std::vector<CalibrationPoint> usable;
    std::vector<DPoint> screen, world;
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const FitPoint point = fitSpaceOf(calibration[i], i + 1, scales);
        if (point.fit) {
            usable.push_back(calibration[i]);
            screen.push_back(calibration[i].screen);
            world.push_back(*point.fit);
        } else {
            skipped[i] = point.problem;
            skippedRows.push_back(i + 1);
        }
    }
    if (calibration.size() < 3)
        return refused(path + ": the calibration has " + std::to_string(calibration.size()) +
                       " points; at least three are needed");
    if (screen.size() < 3)
        return refused(path + ": only " + std::to_string(screen.size()) + " of the " +
                       std::to_string(calibration.size()) + " calibration points can take part (" +
                       skipped[skippedRows.front() - 1] + "); at least three are needed");
    if (const std::string why = whyNoTransform(screen, world); !why.empty())
        return refused(path + ": the calibration points do not define a transform: " + why);
    const FitOutcome fit = fitCalibration(usable, scales);
    const std::optional<CalibrationCheck> check = checkCalibration(document);
    if (!fit.map || !check)
        return refused(path + ": the calibration points do not define a transform");
    const WorldMap& map = *fit.map;
    const DPoint perPixel{std::hypot(map.a00, map.a01), std::hypot(map.a10, map.a11)};

    std::vector<Cells> table{{"row", "screen_x", "screen_y", "typed_x", "typed_y", "fitted_x", "fitted_y", "residual_x",
                              "residual_y", "residual_px"}};
    std::vector<std::string> notes{""};
    std::size_t used = 0;
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const CalibrationPoint& point = calibration[i];
        Cells cells{std::to_string(i + 1), shortestNumber(point.screen.x), shortestNumber(point.screen.y),
                    point.worldX ? showWorldValue(scales.x, *point.worldX) : "-",
                    point.worldY ? showWorldValue(scales.y, *point.worldY) : "-"};
        if (used < check->rows.size() && check->rows[used] == i) {
            const PointCheck& agreement = check->report.points[used++];
            const DPoint fitted = agreement.fitted;
            const DPoint fittedWorld = fromFitSpace(scales, fitted);
            // Residuals in the axis' own units: seconds on a date axis; an angle the short
            // way round. Polar values have no pixel's worth of their own: six digits.
            cells.insert(cells.end(),
                         {scales.polar ? readableValue(scales.x, fittedWorld.x) : fittedText(scales.x, fitted.x, perPixel.x),
                          scales.polar ? readableValue(scales.y, fittedWorld.y) : fittedText(scales.y, fitted.y, perPixel.y),
                          number(worldDifference(scales, 0, *point.worldX, fittedWorld.x)),
                          number(worldDifference(scales, 1, *point.worldY, fittedWorld.y)), fixed(agreement.pixels, 2)});
            notes.emplace_back();
        } else {
            cells.resize(table.front().size(), "-");
            notes.push_back(skipped[i]);
        }
        table.push_back(std::move(cells));
    }

    const FitReport& report = check->report;
    std::string text = aligned(table, notes);
    text += "rms_pixels          " + fixed(report.rmsPixels, 2) + "\n";
    text += "rotation_degrees    " + fixed(report.rotationDegrees, 1) + "\n";
    text += "axis_angle_degrees  " + fixed(report.axisAngleDegrees, 1) + "\n";
    if (report.exact)
        text += "note: 3 points fit exactly: add a fourth to check them\n";
    std::vector<std::string> warnings = check->warnings;
    if (!skippedRows.empty()) {
        std::string rows = skippedRows.size() == 1 ? "row " : "rows ";
        for (std::size_t r = 0; r < skippedRows.size(); ++r)
            rows += (r > 0 ? ", " : "") + std::to_string(skippedRows[r]);
        warnings.push_back(rows + (skippedRows.size() == 1 ? " takes" : " take") +
                           " no part, and Plotmeter uses the calibration only when every row does");
    }
    for (const std::string& warning : warnings)
        text += "warning: " + warning + "\n";
    return {warnings.empty() ? 0 : 3, std::move(text), {}};
}
