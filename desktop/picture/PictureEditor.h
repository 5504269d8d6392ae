#pragma once

#include "controller/PlotmeterManager.h"
#include "view/PictureZoom.h"

#include <QObject>
#include <optional>
#include <vector>

class DataScrollView;
class PointTableView;
class QItemSelectionModel;

// Editing points on the picture. The points that can be picked are the rows of the table
// on show: the calibration while calibrating, the active series while acquiring; there,
// the calibration rings can still be dragged. Selecting a mark selects its table row and
// selecting rows selects their marks: the table's selection is the only one.
class PictureEditor : public QObject {
    Q_OBJECT
  public:
    using PointKind = PlotmeterManager::PointKind;

    PictureEditor(PlotmeterManager& manager, DataScrollView& tables, QObject* parent = nullptr);

    // Follows the selection of a table view from when it is made.
    void watch(PointTableView& view);

    // A press at `screen` (picture-area pixels). On a mark: selects its row (or adds it to
    // the selection, or takes it out, with `toggle`) and makes it ready to be dragged; true.
    // Elsewhere: clears the selection; false.
    bool press(DPoint screen, const PictureZoom& zoom, bool toggle);
    // While dragging: how far the pressed points have moved (picture units), shown but not
    // yet applied.
    void dragBy(DPoint by);
    // The drag ends: the points move, as one step to undo.
    void drop();
    void cancelDrag();
    // Moves the selected points; false when none is selected.
    bool nudge(DPoint by);
    // Deletes the selected points; false when none is selected.
    bool deleteSelected();

    PointKind kindOnShow() const;
    std::vector<std::size_t> selectedRows() const;

    // The points being dragged, and by how much.
    struct Moving {
        PointKind kind;
        std::vector<std::size_t> rows;
        DPoint by;
    };
    const std::optional<Moving>& moving() const { return moving_; }

  signals:
    // The marks look different: a selection or a drag changed.
    void marksChanged();

  private:
    QItemSelectionModel* selection() const;
    PointTableView* tableOnShow() const;

    PlotmeterManager& manager_;
    DataScrollView& tables_;
    std::optional<Moving> moving_;
};
