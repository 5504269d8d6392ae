#pragma once

#include "document/Series.h"
#include "view/PictureZoom.h"

#include <QRect>

class PictureEditor;
class PlotmeterManager;
class QPainter;
class QPointF;

// Marks every point of the document on the picture, where it was double-clicked: a red
// ring for each calibration point, and each data point in its series' colour and marker
// shape (hidden series not at all), so the user sees what has been taken and what is left.
// Selected points wear a halo; points being dragged are drawn where they would land.
class PlotMarks {
  public:
    PlotMarks(const PlotmeterManager& manager, const PictureEditor& editor) : manager_(manager), editor_(editor) {}

    // Paints the marks that fall inside `exposed`, a rectangle of the picture area shown
    // at `zoom`. Marks keep their size at any zoom.
    void paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const;

    // One marker of the given shape centred on p, in the painter's pen (and its brush
    // for filled shapes); also used for the series list's icons.
    static void drawMarker(QPainter& painter, MarkerShape shape, const QPointF& p);

  private:
    const PlotmeterManager& manager_;
    const PictureEditor& editor_;
};
