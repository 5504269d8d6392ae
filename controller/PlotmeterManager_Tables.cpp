#include "controller/PlotmeterManager.h"

#include "platform/ScrollView.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr FloatingPointFormat screenFormat{true, 5, 0};
constexpr FloatingPointFormat worldFormat{false, 5, 6};

} // namespace

void PlotmeterManager::applicationDidFinishLaunching()
{
    plotView_->setHasHorizontalScroller(true);

    CellStyle style;
    style.font = Font::fontWithName("Helvetica", 12.0f);
    style.bezeled = false;
    style.bordered = true;
    style.backgroundColor = Color::lightGrayColor();
    style.textColor = Color::blackColor();
    style.alignment = TextAlignment::left;

    // The placeholder the window put in the data area gives both tables their frame.
    const View* placeholder = dataView_->documentView();
    const Rect frame = placeholder != nullptr ? placeholder->bounds() : Rect{};
    const auto setUp = [&](PointTable& table) {
        table.setCellStyle(style);
        table.setBackgroundColor(Color::darkGrayColor());
        table.setCellSize({93.0f, 20.0f});
        table.setIntercellSpacing({1.0f, 0.0f});
        table.sizeToCells();
    };
    calMatrix_ = std::make_unique<CalibrationTable>(frame, *this);
    acquireMatrix_ = std::make_unique<DataTable>(frame, *this);
    setUp(*calMatrix_);
    setUp(*acquireMatrix_);
    dataView_->setDocumentView(calMatrix_.get());
}

int CalibrationTable::numberOfRows() const
{
    return static_cast<int>(manager_.document().calibration().size());
}

// Typed world values are shown as the shortest text that gives the value back on their
// axis (a date as ISO 8601), which is what the user typed in all but the spelling.
namespace {

// "Angle" and "Radius" on polar axes, "World X" and "World Y" otherwise.
std::string worldTitle(const Document& document, int column, std::string otherwise)
{
    if (document.axes().polar && (column == 2 || column == 3))
        return column == 2 ? "Angle" : "Radius";
    return otherwise;
}

} // namespace

std::string CalibrationTable::columnTitle(int column) const
{
    if (column == 4)
        return "Residual";
    if (column == 5)
        return "Off (px)";
    return worldTitle(manager_.document(), column, PointTable::columnTitle(column));
}

std::string DataTable::columnTitle(int column) const
{
    return worldTitle(manager_.document(), column, PointTable::columnTitle(column));
}

namespace {

// Typed minus fitted, in each axis' own units, and the distance in the picture; empty for
// a row that takes no part in the fit.
TableCell residualCell(const PlotmeterManager& manager, std::size_t row, int column)
{
    const std::optional<CalibrationCheck>& check = manager.calibrationCheck();
    if (!check)
        return TableCell::ofText("");
    const auto found = std::find(check->rows.begin(), check->rows.end(), row);
    if (found == check->rows.end())
        return TableCell::ofText("");
    const PointCheck& point = check->report.points[static_cast<std::size_t>(found - check->rows.begin())];
    if (column == 5)
        return TableCell::ofNumber(point.pixels, {false, 5, 2});
    const CalibrationPoint& typed = manager.document().calibration()[row];
    const AxisScales scales = manager.document().axes();
    // A difference in the last bits of the axis' values is rounding, not a residual: 0.
    double xScale = 0.0;
    double yScale = 0.0;
    for (const std::size_t other : check->rows) {
        const CalibrationPoint& p = manager.document().calibration()[other];
        xScale = std::max(xScale, std::fabs(*p.worldX));
        yScale = std::max(yScale, std::fabs(*p.worldY));
    }
    const DPoint fitted = fromFitSpace(scales, point.fitted);
    const auto residual = [&scales](int axis, double typedValue, double fittedValue, double scale) {
        const double difference = worldDifference(scales, axis, typedValue, fittedValue);
        return std::fabs(difference) <= 1e-12 * scale ? 0.0 : difference;
    };
    const double dx = residual(0, *typed.worldX, fitted.x, xScale);
    const double dy = residual(1, *typed.worldY, fitted.y, yScale);
    const FloatingPointFormat threeDigits{true, 3, 0};
    return TableCell::ofText(formatCellNumber(dx, threeDigits) + ", " + formatCellNumber(dy, threeDigits));
}

} // namespace

TableCell CalibrationTable::cellAtRow(int row, int column) const
{
    const CalibrationPoint& point = manager_.document().calibration().at(static_cast<std::size_t>(row));
    if (column >= 4)
        return residualCell(manager_, static_cast<std::size_t>(row), column);
    if (column < 2)
        return TableCell::ofNumber(column == 0 ? point.screen.x : point.screen.y, screenFormat);
    const std::optional<double>& value = column == 2 ? point.worldX : point.worldY;
    const AxisScales scales = manager_.document().axes();
    return TableCell::ofText(value ? showWorldValue(column == 2 ? scales.x : scales.y, *value) : std::string(), true);
}

bool CalibrationTable::setStringValue(int row, int column, const std::string& text)
{
    const AxisScales scales = manager_.document().axes();
    const std::string problem = readWorldValue(column == 2 ? scales.x : scales.y, text).problem;
    refusal_ = problem.empty() ? std::string() : "Row " + std::to_string(row + 1) + ": " + problem;
    return manager_.setCalibrationValue(row, column, text);
}

std::string CalibrationTable::problemWith(int column, const std::string& text) const
{
    const AxisScales scales = manager_.document().axes();
    return column == 2 || column == 3 ? readWorldValue(column == 2 ? scales.x : scales.y, text).problem : std::string();
}

bool CalibrationTable::takesDates(int column) const
{
    const AxisScales scales = manager_.document().axes();
    return (column == 2 && scales.x == AxisScale::date) || (column == 3 && scales.y == AxisScale::date);
}

int DataTable::numberOfRows() const
{
    return static_cast<int>(manager_.document().active().points.size());
}

TableCell DataTable::cellAtRow(int row, int column) const
{
    const DPoint screen = manager_.document().active().points.at(static_cast<std::size_t>(row));
    if (column < 2)
        return TableCell::ofNumber(column == 0 ? screen.x : screen.y, screenFormat);
    if (!manager_.worldMap())
        return TableCell::ofText("");
    const DPoint world = manager_.worldMap()->world(screen);
    const double value = column == 2 ? world.x : world.y;
    if ((column == 2 ? manager_.worldMap()->scales.x : manager_.worldMap()->scales.y) == AxisScale::date)
        return TableCell::ofText(showWorldValue(AxisScale::date, value));
    return TableCell::ofNumber(value, worldFormat);
}

// The tables show the document; they catch up here with each change.
void PlotmeterManager::documentChanged(const Document& document, const Touched& touched)
{
    if (calMatrix_ == nullptr)
        return;
    const auto follow = [&](auto& table) {
        const int first = static_cast<int>(touched.first);
        const int count = static_cast<int>(touched.count);
        switch (touched.how) {
        case Touched::How::inserted:
            table.rowsInserted(first, count);
            break;
        case Touched::How::erased:
            table.rowsRemoved(first, count);
            break;
        case Touched::How::modified:
            table.setNeedsDisplay(true);
            break;
        }
    };
    switch (touched.part) {
    case Touched::Part::calibration:
        calibrationChanged_ = true;
        check_ = checkCalibration(document_);
        follow(*calMatrix_);
        // Every row's residuals may have moved.
        calMatrix_->setNeedsDisplay(true);
        break;
    case Touched::Part::points:
        if (touched.series == document.activeSeries())
            follow(*acquireMatrix_);
        break;
    case Touched::Part::seriesList:
    case Touched::Part::activeSeries:
        acquireMatrix_->reset();
        break;
    case Touched::Part::axes:
        calibrationChanged_ = true;
        check_ = checkCalibration(document_);
        calMatrix_->setNeedsDisplay(true);
        break;
    case Touched::Part::look:
    case Touched::Part::measurements:
        break;
    }
}

void PlotmeterManager::documentReplaced(const Document& /*document*/)
{
    check_ = checkCalibration(document_);
    if (calMatrix_ == nullptr)
        return;
    calMatrix_->reset();
    acquireMatrix_->reset();
}

// Empties the table on show. Undo brings the rows back, so nothing asks first.
PlotmeterManager& PlotmeterManager::clearData()
{
    if (mode_ == calMode) {
        const std::size_t n = document_.calibration().size();
        if (n > 0) {
            std::vector<Change> changes;
            for (std::size_t i = n; i-- > 0;)
                changes.emplace_back(change::EraseCalibration{i});
            history_.perform(document_, "Clear Calibration", std::move(changes));
            tell();
        }
    } else if (const std::size_t n = document_.active().points.size(); n > 0) {
        perform("Clear Data", change::ErasePoints{document_.activeSeries(), 0, n});
    }
    dataView_->setNeedsDisplay(true);
    return *this;
}

void PlotmeterManager::addSeries()
{
    const std::size_t at = document_.series().size();
    perform("Add Series", change::InsertSeries{at, {defaultLook(document_.unusedSeriesName(), at), {}}, at});
}

void PlotmeterManager::deleteSeries(std::size_t index)
{
    const std::size_t count = document_.series().size();
    if (count <= 1 || index >= count)
        return;
    std::size_t active = document_.activeSeries();
    if (active > index || (active == index && active == count - 1))
        --active;
    perform("Delete Series", change::EraseSeries{index, active});
}

// One step that changes how a series looks; none when nothing changes.
template <typename Edit> void PlotmeterManager::changeLook(std::size_t index, const char* name, Edit edit)
{
    if (index >= document_.series().size())
        return;
    SeriesLook look = document_.series()[index].look;
    edit(look);
    if (look != document_.series()[index].look)
        perform(name, change::SetLook{index, std::move(look)});
}

void PlotmeterManager::renameSeries(std::size_t index, const std::string& name)
{
    if (!name.empty())
        changeLook(index, "Rename Series", [&](SeriesLook& look) { look.name = name; });
}

void PlotmeterManager::setSeriesColour(std::size_t index, Colour colour)
{
    changeLook(index, "Change Series Colour", [&](SeriesLook& look) { look.colour = colour; });
}

void PlotmeterManager::setSeriesMarker(std::size_t index, MarkerShape marker)
{
    changeLook(index, "Change Series Marker", [&](SeriesLook& look) { look.marker = marker; });
}

void PlotmeterManager::setSeriesVisible(std::size_t index, bool visible)
{
    changeLook(index, visible ? "Show Series" : "Hide Series", [&](SeriesLook& look) { look.visible = visible; });
}

void PlotmeterManager::setActiveSeries(std::size_t index)
{
    if (index >= document_.series().size() || index == document_.activeSeries())
        return;
    document_.apply(change::SetActiveSeries{index});
    tell();
}
