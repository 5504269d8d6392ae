#pragma once

#include <QRect>

class PlotmeterManager;
class QPainter;

// Marks every point of the two tables on the picture, where it was double-clicked: a red
// ring for each calibration point, a blue cross for each data point, so the user sees
// what has been taken and what is left.
class PlotMarks {
  public:
    explicit PlotMarks(const PlotmeterManager& manager) : manager_(manager) {}

    // Paints the marks that fall inside `exposed`, a rectangle in widget pixels of a
    // picture `pictureHeight` pixels tall.
    void paint(QPainter& painter, const QRect& exposed, int pictureHeight) const;

  private:
    const PlotmeterManager& manager_;
};
