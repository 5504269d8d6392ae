#include "controller/PlotmeterManager.h"

#include "extraction/ColourMatch.h"
#include "platform/ScrollView.h"

#include <algorithm>
#include <cmath>

// Editing on the picture: the points of the table on show, by row.

namespace {

// Distinct rows below `count`, highest first, so that erasing one leaves the others'
// indices alone.
std::vector<std::size_t> validRows(std::vector<std::size_t> rows, std::size_t count)
{
    std::erase_if(rows, [count](std::size_t row) { return row >= count; });
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::string plural(const char* what, std::size_t n)
{
    std::string name = what;
    if (n != 1)
        name += 's';
    return name;
}

} // namespace

bool PlotmeterManager::deletePoints(std::vector<std::size_t> rows)
{
    std::vector<Change> changes;
    std::string name;
    if (mode_ == calMode) {
        rows = validRows(std::move(rows), document_.calibration().size());
        for (const std::size_t row : rows)
            changes.emplace_back(change::EraseCalibration{row});
        name = plural("Delete Calibration Point", rows.size());
    } else {
        const std::size_t series = document_.activeSeries();
        rows = validRows(std::move(rows), document_.active().points.size());
        for (const std::size_t row : rows)
            changes.emplace_back(change::ErasePoints{series, row, 1});
        name = plural("Delete Point", rows.size());
    }
    if (changes.empty())
        return false;
    history_.perform(document_, std::move(name), std::move(changes));
    calibrationChangedUnderAcquisition();
    tell();
    dataView_->setNeedsDisplay(true);
    return true;
}

bool PlotmeterManager::movePoints(PointKind kind, std::vector<std::size_t> rows, DPoint by)
{
    if (!std::isfinite(by.x) || !std::isfinite(by.y) || (by.x == 0.0 && by.y == 0.0))
        return false;
    const auto moved = [by](DPoint p) { return DPoint{p.x + by.x, p.y + by.y}; };
    std::vector<Change> changes;
    std::string name;
    if (kind == PointKind::calibration) {
        rows = validRows(std::move(rows), document_.calibration().size());
        for (const std::size_t row : rows) {
            CalibrationPoint point = document_.calibration()[row];
            point.screen = moved(point.screen);
            changes.emplace_back(change::SetCalibration{row, point});
        }
        name = plural("Move Calibration Point", rows.size());
    } else {
        const std::size_t series = document_.activeSeries();
        rows = validRows(std::move(rows), document_.active().points.size());
        for (const std::size_t row : rows)
            changes.emplace_back(change::MovePoint{series, row, moved(document_.active().points[row])});
        name = plural("Move Point", rows.size());
    }
    if (changes.empty())
        return false;
    history_.perform(document_, std::move(name), std::move(changes));
    calibrationChangedUnderAcquisition();
    tell();
    return true;
}

bool PlotmeterManager::addExtractedPoints(const std::vector<DPoint>& points, bool intoNewSeries, Colour colour)
{
    if (points.empty())
        return false;
    std::vector<Change> changes;
    std::size_t series = document_.activeSeries();
    if (intoNewSeries) {
        series = document_.series().size();
        // Named after the colour it was found in, drawn in the series colour that stands out
        // most from it, so the marks show on the curve.
        SeriesLook look = defaultLook(colour.name(), series);
        const Rgb found{colour.red, colour.green, colour.blue};
        double farthest = -1.0;
        for (std::size_t n = 0; n < 8; ++n) {
            const Colour candidate = defaultLook({}, n).colour;
            const double difference = colourDifference(found, {candidate.red, candidate.green, candidate.blue});
            if (difference > farthest) {
                farthest = difference;
                look.colour = candidate;
            }
        }
        changes.emplace_back(change::InsertSeries{series, {std::move(look), {}}, series});
    }
    changes.emplace_back(change::InsertPoints{series, document_.series().size() > series
                                                          ? document_.series()[series].points.size()
                                                          : 0,
                                              points});
    showIfHidden(series, changes);
    history_.perform(document_, plural("Extract Point", points.size()), std::move(changes));
    tell();
    dataView_->setNeedsDisplay(true);
    return true;
}
