#pragma once

#include "document/Resampling.h"
#include "platform/PointTable.h"

#include <string>
#include <vector>

// Rows of a point table as tab-separated text for the clipboard, ready to paste into a
// spreadsheet: the column titles, then one line a row, numbers in their shortest form
// that reads back exactly (not the rounded form the cells show). Lines end in LF; a tab or
// line break inside a cell becomes a space. Rows past the end are left out.
std::string tableText(const PointTable& table, const std::vector<int>& rows);

// Points already placed, as resampling gives them, as the same text under the data table's
// titles: screen x, screen y, world x, world y; a value on a date axis as ISO 8601 text.
std::string sampledRowsText(const std::vector<SampledPoint>& points, AxisScales scales);
