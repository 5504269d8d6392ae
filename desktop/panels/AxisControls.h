#pragma once

#include "calibration/AxisScale.h"

#include <QWidget>

class PlotmeterManager;
class QActionGroup;
class QComboBox;
class QMenu;

// How each axis of the plot is graduated (linear, log10 or date), chosen in the side panel
// or in the Mode menu; each change is an edit to undo, and the fit follows it at once.
class AxisControls : public QWidget {
    Q_OBJECT
  public:
    // Adds the axis submenus to `menu`.
    AxisControls(PlotmeterManager& manager, QMenu& menu, QWidget* parent = nullptr);

    // Shows the document's scales as they are now.
    void refresh();

  private:
    struct Axis {
        QComboBox* box;
        QActionGroup* actions;
    };
    Axis makeAxis(int axis, const QString& title, QMenu& menu);

    PlotmeterManager& manager_;
    Axis axes_[2];
};
