#pragma once

#include "document/Series.h"

#include <QRect>

class PlotmeterManager;
class QPainter;
class QPointF;

// Marks every point of the document on the picture, where it was double-clicked: a red
// ring for each calibration point, and each data point in its series' colour and marker
// shape (hidden series not at all), so the user sees what has been taken and what is left.
class PlotMarks {
  public:
    explicit PlotMarks(const PlotmeterManager& manager) : manager_(manager) {}

    // Paints the marks that fall inside `exposed`, a rectangle in widget pixels of a
    // picture `pictureHeight` pixels tall.
    void paint(QPainter& painter, const QRect& exposed, int pictureHeight) const;

    // One marker of the given shape centred on p, in the painter's pen (and its brush
    // for filled shapes); also used for the series list's icons.
    static void drawMarker(QPainter& painter, MarkerShape shape, const QPointF& p);

  private:
    const PlotmeterManager& manager_;
};
