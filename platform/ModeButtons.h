#pragma once

// The group of mode buttons, one per row: row 0 is calibration, any other acquisition.
class ModeButtons {
  public:
    virtual ~ModeButtons() = default;
    virtual int selectedRow() const = 0;
    // Shows the given button as chosen without sending the buttons' action.
    virtual void selectCellAtRow(int row, int column) = 0;
};
