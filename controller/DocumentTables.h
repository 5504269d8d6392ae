#pragma once

#include "platform/PointTable.h"

class PlotmeterManager;

// The calibration table: one row a calibration point, screen x and y as clicked, world x
// and y as typed (empty and open for typing until then), and how far the fit of all the
// points misses each: typed minus fitted in world units, and in picture pixels.
class CalibrationTable : public PointTable {
  public:
    CalibrationTable(Rect frame, PlotmeterManager& manager) : PointTable(frame), manager_(manager) {}
    int numberOfRows() const override;
    int numberOfColumns() const override { return 6; }
    std::string columnTitle(int column) const override;
    TableCell cellAtRow(int row, int column) const override;
    bool setStringValue(int row, int column, const std::string& text) override;
    std::string refusal() const override { return refusal_; }
    bool takesDates(int column) const override;
    std::string problemWith(int column, const std::string& text) const override;

  private:
    friend class PlotmeterManager;
    PlotmeterManager& manager_;
    std::string refusal_;
};

// The data table: the points of the active series, with their world values from the
// calibration in force, computed whenever a cell is asked for.
class DataTable : public PointTable {
  public:
    DataTable(Rect frame, const PlotmeterManager& manager) : PointTable(frame), manager_(manager) {}
    int numberOfRows() const override;
    std::string columnTitle(int column) const override;
    TableCell cellAtRow(int row, int column) const override;
    bool setStringValue(int, int, const std::string&) override { return false; }

  private:
    friend class PlotmeterManager;
    const PlotmeterManager& manager_;
};
