#pragma once

#include "platform/PointTable.h"

class PlotmeterManager;

// The calibration table: one row a calibration point, screen x and y as clicked, world x
// and y as typed (empty and open for typing until then).
class CalibrationTable : public PointTable {
  public:
    CalibrationTable(Rect frame, PlotmeterManager& manager) : PointTable(frame), manager_(manager) {}
    int numberOfRows() const override;
    TableCell cellAtRow(int row, int column) const override;
    bool setStringValue(int row, int column, const std::string& text) override;

  private:
    friend class PlotmeterManager;
    PlotmeterManager& manager_;
};

// The data table: the points of the active series, with their world values from the
// calibration in force, computed whenever a cell is asked for.
class DataTable : public PointTable {
  public:
    DataTable(Rect frame, const PlotmeterManager& manager) : PointTable(frame), manager_(manager) {}
    int numberOfRows() const override;
    TableCell cellAtRow(int row, int column) const override;
    bool setStringValue(int, int, const std::string&) override { return false; }

  private:
    friend class PlotmeterManager;
    const PlotmeterManager& manager_;
};
