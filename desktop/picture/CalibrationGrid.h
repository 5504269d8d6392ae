#pragma once

#include "view/PictureZoom.h"

#include <QRect>
#include <QRectF>
#include <QSize>

class PlotmeterManager;
class QPainter;

// The calibration as a grid over the picture, for View ▸ Show Calibration Grid: lines of
// constant world x and world y at round values, labelled along the bottom and left edges
// of the part of the picture on show, and for each calibration point a small diamond where
// the fit puts its typed values, joined to where it was clicked. When the calibration is
// right the lines lie on the plot's own grid and every diamond sits in its ring.
// Drawn once three points have values, while calibrating too; nothing before.
class CalibrationGrid {
  public:
    explicit CalibrationGrid(const PlotmeterManager& manager) : manager_(manager) {}

    // Paints over a picture of `picture` pixels shown at `zoom`, clipped to `exposed` (a
    // rectangle of the picture area); the labels stay inside `visible`, the part of the
    // picture area the window shows.
    void paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom, QSizeF picture,
               const QRect& visible) const;

  private:
    void paintMisfits(QPainter& painter, const PictureZoom& zoom, const QRectF& area) const;

    const PlotmeterManager& manager_;
};
