#include "controller/PlotmeterManager.h"

#include "platform/ModeButtons.h"
#include "platform/NumberText.h"
#include "platform/Platform.h"
#include "platform/ScrollView.h"
#include "view/PlotmeterView.h"

PlotmeterManager::PlotmeterManager(Platform& platform) : platform_(platform) {}

PlotmeterManager::~PlotmeterManager() = default;

void PlotmeterManager::connectOutlets(ScrollView& plotView, ScrollView& dataView, ModeButtons& modeButtons)
{
    plotView_ = &plotView;
    dataView_ = &dataView;
    modeButtons_ = &modeButtons;
}

PointTable& PlotmeterManager::tableOfMode() const
{
    return mode_ == calMode ? *calMatrix_ : *acquireMatrix_;
}

void PlotmeterManager::newScreenPoint(DPoint p)
{
    if (mode_ == calMode && isColinear(p)) {
        platform_.runAlertPanel("Co-linear Data Point",
                                "This point is co-linear with a previous pair of points and does not "
                                "contribute new calibration information.  This point will be discarded");
        return;
    }
    PointTable& table = tableOfMode();
    table.addRow();
    const int r = table.numberOfRows() - 1;

    for (int column = 0; column < 2; ++column) {
        TableCell& cell = table.cellAtRow(r, column);
        cell.setEditable(false);
        cell.setFloatingPointFormat(true, 5, 0);
        cell.setFloatValue(toSinglePrecision(column == 0 ? p.x : p.y));
    }

    if (mode_ == calMode) {
        for (int column = 2; column < 4; ++column) {
            TableCell& cell = table.cellAtRow(r, column);
            cell.setEditable(true);
            cell.setFloatingPointFormat(false, 5, 6);
            cell.setStringValue("");
        }
    } else {
        unsavedData_ = true;
        const DPoint w = plotmeter_.calcWorldFromScreen(p);
        for (int column = 2; column < 4; ++column) {
            TableCell& cell = table.cellAtRow(r, column);
            cell.setEditable(false);
            cell.setFloatingPointFormat(false, 5, 6);
            cell.setFloatValue(toSinglePrecision(column == 2 ? w.x : w.y));
        }
    }

    table.sizeToCells();
    table.setNeedsDisplay(true);
}

// Calibration keeps everything as it is; acquisition demands at least three calibration
// rows with both world values typed, and a calibration that defines a transform.
PlotmeterManager& PlotmeterManager::setMode()
{
    if (modeButtons_->selectedRow() == 0) {
        mode_ = calMode;
        dataView_->setDocumentView(calMatrix_.get());
        return *this;
    }

    const int n = calMatrix_->numberOfRows();
    if (n <= 2) {
        platform_.runAlertPanel("Insufficient Data",
                                "You must have at least three non-colinear calibration data points");
        modeButtons_->selectCellAtRow(0, 0);
        return *this;
    }
    for (int i = 0; i < n; ++i) {
        for (int column = 2; column < 4; ++column) {
            if (calMatrix_->cellAtRow(i, column).stringValue().empty()) {
                platform_.runAlertPanel("Incomplete Data", "Each screen point must have a corresponding World point");
                returnToCalibration();
                return *this;
            }
        }
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

// Every entry into acquisition fits afresh from the whole calibration table, so world
// values edited since the last fit take effect. The formats are set again before each
// read, as the values are read back through them.
bool PlotmeterManager::loadCalibrationAndFit()
{
    plotmeter_.clear();
    for (int i = 0; i < calMatrix_->numberOfRows(); ++i) {
        DPoint screen;
        DPoint world;
        double* const targets[] = {&screen.x, &screen.y, &world.x, &world.y};
        for (int column = 0; column < 4; ++column) {
            TableCell& cell = calMatrix_->cellAtRow(i, column);
            cell.setFloatingPointFormat(true, 5, column < 2 ? 0 : 6);
            *targets[column] = cell.floatValue();
        }
        plotmeter_.addScreenPoint(screen);
        plotmeter_.addWorldPoint(world);
    }
    return plotmeter_.findTransform();
}
