#pragma once

#include "document/Resampling.h"
#include "document/Series.h"
#include "document/WorldMap.h"

#include <string>

// One line of the data file: screen x, screen y, world x, world y of a data point, as
//     "  %8.3f  %8.3f   %14.6f  %14.6f\n"
// in the C locale, from the double values themselves; except that a world value that is
// not zero but smaller than 0.001 in magnitude, which six decimals would print with three
// significant digits or none (a plot of nanoamperes as a file of zeros), is written as
// "%14.6e" in the same column. Readers that split lines at blanks read both forms.
void appendDataLine(std::string& out, DPoint screen, DPoint world);

// The data file of a series: one line a point, in the order they were taken.
std::string dataFileText(const Series& series, const WorldMap& map);
// The data file of points already placed, as resampling gives them.
std::string dataFileText(const std::vector<SampledPoint>& points);
