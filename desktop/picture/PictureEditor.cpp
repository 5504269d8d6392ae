#include "desktop/picture/PictureEditor.h"

#include "desktop/tables/DataScrollView.h"
#include "desktop/tables/PointTableView.h"

#include <QItemSelectionModel>
#include <algorithm>

namespace {

// How near a press must be to a mark's centre, in screen pixels: the size of the marks.
constexpr double pickRadius = 8.0;

std::vector<DPoint> screensOf(const std::vector<CalibrationPoint>& calibration)
{
    std::vector<DPoint> screens;
    screens.reserve(calibration.size());
    for (const CalibrationPoint& point : calibration)
        screens.push_back(point.screen);
    return screens;
}

} // namespace

PictureEditor::PictureEditor(PlotmeterManager& manager, DataScrollView& tables, QObject* parent)
    : QObject(parent), manager_(manager), tables_(tables)
{}

void PictureEditor::watch(PointTableView& view)
{
    connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this, &PictureEditor::marksChanged);
}

PictureEditor::PointKind PictureEditor::kindOnShow() const
{
    return manager_.mode() == PlotmeterManager::calMode ? PointKind::calibration : PointKind::data;
}

PointTableView* PictureEditor::tableOnShow() const
{
    return tables_.viewFor(kindOnShow() == PointKind::calibration ? manager_.calMatrix() : manager_.acquireMatrix());
}

QItemSelectionModel* PictureEditor::selection() const
{
    PointTableView* table = tableOnShow();
    return table != nullptr ? table->selectionModel() : nullptr;
}

std::vector<std::size_t> PictureEditor::selectedRows() const
{
    std::vector<std::size_t> rows;
    if (QItemSelectionModel* model = selection())
        for (const QModelIndex& index : model->selectedIndexes())
            rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool PictureEditor::press(DPoint screen, const PictureZoom& zoom, bool toggle)
{
    moving_.reset();
    const PointKind kind = kindOnShow();
    const Document& document = manager_.document();
    const std::vector<DPoint> shown =
        kind == PointKind::calibration ? screensOf(document.calibration()) : document.active().points;
    const std::optional<std::size_t> hit = pointNear(shown, zoom, screen, pickRadius);
    QItemSelectionModel* model = selection();
    if (hit && model != nullptr) {
        const QModelIndex index = model->model()->index(static_cast<int>(*hit), 0);
        const bool wasSelected = model->isRowSelected(index.row(), {});
        if (toggle)
            model->select(index, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        else if (!wasSelected)
            model->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        model->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        if (PointTableView* table = tableOnShow())
            table->scrollTo(index);
        if (toggle && wasSelected)
            return false;
        moving_ = Moving{kind, selectedRows(), {}};
        return true;
    }
    // While acquiring, a calibration ring can still be moved, though not selected.
    if (kind == PointKind::data) {
        if (const std::optional<std::size_t> ring =
                pointNear(screensOf(document.calibration()), zoom, screen, pickRadius)) {
            moving_ = Moving{PointKind::calibration, {*ring}, {}};
            return true;
        }
    }
    if (model != nullptr && !toggle)
        model->clearSelection();
    return false;
}

void PictureEditor::dragBy(DPoint by)
{
    if (!moving_)
        return;
    moving_->by = by;
    emit marksChanged();
}

void PictureEditor::drop()
{
    if (!moving_)
        return;
    const Moving moving = *moving_;
    moving_.reset();
    manager_.movePoints(moving.kind, moving.rows, moving.by);
    emit marksChanged();
}

void PictureEditor::cancelDrag()
{
    const bool shownMoved = moving_ && (moving_->by.x != 0.0 || moving_->by.y != 0.0);
    moving_.reset();
    if (shownMoved)
        emit marksChanged();
}

bool PictureEditor::nudge(DPoint by)
{
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty())
        return false;
    manager_.movePoints(kindOnShow(), rows, by);
    return true;
}

bool PictureEditor::deleteSelected()
{
    return manager_.deletePoints(selectedRows());
}
