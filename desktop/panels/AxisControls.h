#pragma once

#include "calibration/AxisScale.h"

#include <QWidget>

class PlotmeterManager;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;

// The plot's axes, chosen in the side panel or in the Mode menu: Cartesian, each graduated
// linear, log10 or by date; or polar, with the angle's unit and direction, the radius'
// scale and the radius at the centre. Each change is an edit to undo, and the fit follows
// it at once.
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
    void makePolarControls();
    // The polar settings as the controls show them, given to the document.
    void applyPolar();

    PlotmeterManager& manager_;
    QComboBox* kind_;
    Axis axes_[2];
    QWidget* cartesian_;
    QWidget* polar_;
    QComboBox* angleUnit_;
    QCheckBox* clockwise_;
    QComboBox* radius_;
    QLineEdit* centre_;
};
