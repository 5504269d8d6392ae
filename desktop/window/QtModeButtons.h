#pragma once

#include "platform/ModeButtons.h"

class QButtonGroup;

// The mode buttons of the window: a group of exclusive buttons, row n being the button
// with id n.
class QtModeButtons : public ModeButtons {
  public:
    explicit QtModeButtons(QButtonGroup& group) : group_(group) {}
    int selectedRow() const override;
    void selectCellAtRow(int row, int column) override;

  private:
    QButtonGroup& group_;
};
