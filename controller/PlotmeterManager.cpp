#include "controller/PlotmeterManager.h"

#include "platform/ModeButtons.h"
#include "platform/Platform.h"
#include "platform/ScrollView.h"
#include "view/PlotmeterView.h"

PlotmeterManager::PlotmeterManager(Platform& platform) : platform_(platform)
{
    document_.setObserver(this);
}

PlotmeterManager::~PlotmeterManager()
{
    document_.setObserver(nullptr);
}

void PlotmeterManager::connectOutlets(ScrollView& plotView, ScrollView& dataView, ModeButtons& modeButtons)
{
    plotView_ = &plotView;
    dataView_ = &dataView;
    modeButtons_ = &modeButtons;
}

PointTable& PlotmeterManager::tableOfMode() const
{
    if (mode_ == calMode)
        return *calMatrix_;
    return *acquireMatrix_;
}

void PlotmeterManager::perform(std::string name, Change change)
{
    history_.perform(document_, std::move(name), std::move(change));
    tell();
}

// Points added to a hidden series would vanish as they are made: the series is shown
// again, in the same step, so that undo hides it again with the points gone.
void PlotmeterManager::showIfHidden(std::size_t series, std::vector<Change>& changes) const
{
    if (series >= document_.series().size() || document_.series()[series].look.visible)
        return;
    SeriesLook look = document_.series()[series].look;
    look.visible = true;
    changes.emplace_back(change::SetLook{series, std::move(look)});
}

void PlotmeterManager::tell()
{
    if (listener_)
        listener_();
}

void PlotmeterManager::newScreenPoint(DPoint p)
{
    if (mode_ == calMode) {
        if (isColinear(p)) {
            platform_.runAlertPanel("Co-linear Data Point",
                                    "This point is co-linear with a previous pair of points and does not "
                                    "contribute new calibration information.  This point will be discarded");
            return;
        }
        perform("Add Calibration Point", change::InsertCalibration{document_.calibration().size(), {p, {}, {}}});
    } else {
        const std::size_t series = document_.activeSeries();
        std::vector<Change> changes{change::InsertPoints{series, document_.series()[series].points.size(), {p}}};
        showIfHidden(series, changes);
        history_.perform(document_, "Add Point", std::move(changes));
        tell();
    }
}

bool PlotmeterManager::setCalibrationValue(int row, int column, const std::string& text)
{
    if (row < 0 || static_cast<std::size_t>(row) >= document_.calibration().size() || column < 2 || column > 3)
        return false;
    const AxisScales scales = document_.axes();
    const WorldEntry entry = readWorldValue(column == 2 ? scales.x : scales.y, text);
    if (!entry.problem.empty())
        return false;
    const std::optional<double> value = entry.value;
    const auto index = static_cast<std::size_t>(row);
    CalibrationPoint point = document_.calibration()[index];
    std::optional<double>& target = column == 2 ? point.worldX : point.worldY;
    if (target == value)
        return true;
    target = value;
    perform("Edit Calibration Value", change::SetCalibration{index, point});
    return true;
}

// Calibration keeps everything as it is; acquisition demands at least three calibration
// points with both world values typed, and a calibration that defines a transform.
PlotmeterManager& PlotmeterManager::setMode()
{
    if (modeButtons_->selectedRow() == 0) {
        mode_ = calMode;
        dataView_->setDocumentView(calMatrix_.get());
        return *this;
    }

    const std::vector<CalibrationPoint>& calibration = document_.calibration();
    if (calibration.size() <= 2) {
        const std::size_t n = calibration.size();
        platform_.runAlertPanel("Insufficient Data",
                                "You must have at least three non-colinear calibration data points. The calibration "
                                "table has " +
                                    std::to_string(n) + (n == 1 ? " point." : " points."));
        modeButtons_->selectCellAtRow(0, 0);
        return *this;
    }
    // The first row that cannot take part says why: a value missing, or one its axis
    // cannot hold.
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        FitPoint point = fitSpaceOf(calibration[i], i + 1, document_.axes());
        if (point.fit)
            continue;
        point.problem[0] = 'R';
        if (!calibration[i].complete())
            platform_.runAlertPanel("Incomplete Data",
                                    "Each screen point must have a corresponding World point. " + point.problem + ".");
        else
            platform_.runAlertPanel("Invalid Calibration", point.problem + ". Correct it, or choose a linear axis.");
        returnToCalibration();
        return *this;
    }

    if (!loadCalibrationAndFit()) {
        platform_.runAlertPanel("Invalid Calibration",
                                "The calibration points do not define a transform. Check that the world values "
                                "of the calibration points do not all lie on one line.");
        returnToCalibration();
        return *this;
    }
    mode_ = acquireMode;
    dataView_->setDocumentView(acquireMatrix_.get());
    return *this;
}

void PlotmeterManager::returnToCalibration()
{
    mode_ = calMode;
    modeButtons_->selectCellAtRow(0, 0);
    dataView_->setDocumentView(calMatrix_.get());
}

// Every entry into acquisition fits afresh from the whole calibration, and every data row
// shows its world values through the new fit from then on.
bool PlotmeterManager::loadCalibrationAndFit()
{
    plotmeter_.clear();
    const std::vector<CalibrationPoint>& calibration = document_.calibration();
    for (std::size_t i = 0; i < calibration.size(); ++i) {
        const FitPoint point = fitSpaceOf(calibration[i], i + 1, document_.axes());
        if (!point.fit)
            return false;
        plotmeter_.addScreenPoint(calibration[i].screen);
        plotmeter_.addWorldPoint(*point.fit);
    }
    if (!plotmeter_.findTransform()) {
        platform_.logDiagnostic(plotmeter_.problem());
        return false;
    }
    worldMap_ = WorldMap::of(plotmeter_, document_.axes());
    calibrationChanged_ = false;
    acquireMatrix_->setNeedsDisplay(true);
    return true;
}

// Undo and redo can change the calibration while points are being acquired: the data
// must follow at once, or the calibration must be looked at again.
void PlotmeterManager::calibrationChangedUnderAcquisition()
{
    if (!calibrationChanged_ || mode_ == calMode)
        return;
    if (!loadCalibrationAndFit())
        returnToCalibration();
}

void PlotmeterManager::replaceCalibration(const std::string& name, const std::vector<CalibrationPoint>& points,
                                          AxisScales axes)
{
    std::vector<Change> changes;
    for (std::size_t i = document_.calibration().size(); i-- > 0;)
        changes.emplace_back(change::EraseCalibration{i});
    changes.emplace_back(change::SetAxes{axes});
    for (std::size_t i = 0; i < points.size(); ++i)
        changes.emplace_back(change::InsertCalibration{i, points[i]});
    if (mode_ != calMode)
        returnToCalibration();
    history_.perform(document_, name, std::move(changes));
    calMatrix_->setNeedsDisplay(true);
    tell();
}

void PlotmeterManager::setAxisScale(int axis, AxisScale scale)
{
    AxisScales scales = document_.axes();
    AxisScale& changed = axis == 0 ? scales.x : scales.y;
    if (changed == scale && !scales.polar)
        return;
    changed = scale;
    if (scales.polar) // a scale for x or y makes the axes Cartesian again
        scales = AxisScales(axis == 0 ? scale : AxisScale::linear, axis == 1 ? scale : AxisScale::linear);
    setAxes(scales, "Change Axis Scale");
}

void PlotmeterManager::setAxes(const AxisScales& scales, const std::string& name)
{
    if (scales == document_.axes())
        return;
    history_.perform(document_, name, change::SetAxes{scales});
    if (mode_ != calMode && !loadCalibrationAndFit()) {
        returnToCalibration();
        const std::vector<CalibrationPoint>& calibration = document_.calibration();
        for (std::size_t i = 0; i < calibration.size(); ++i) {
            FitPoint point = fitSpaceOf(calibration[i], i + 1, scales);
            if (!point.fit) {
                point.problem[0] = 'R';
                platform_.runAlertPanel("Invalid Calibration",
                                        point.problem + ". Correct it, or choose a linear axis.");
                break;
            }
        }
    }
    calMatrix_->setNeedsDisplay(true);
    acquireMatrix_->setNeedsDisplay(true);
    tell();
}

void PlotmeterManager::undo()
{
    if (history_.undo(document_)) {
        calibrationChangedUnderAcquisition();
        tell();
    }
}

void PlotmeterManager::redo()
{
    if (history_.redo(document_)) {
        calibrationChangedUnderAcquisition();
        tell();
    }
}
