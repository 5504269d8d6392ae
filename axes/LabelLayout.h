#pragma once

#include "axes/Glyphs.h"
#include "axes/Ticks.h"

#include <vector>

// Words set out as an axis' tick labels are: a row of at least `fewest` words side by side
// on one line (the x axis'), or a column of words one above the other, their right edges
// aligned (the y axis'). Candidates in the order worth trying: for the x axis lowest
// first, for the y axis the one nearest to the plot (the rightmost) first among the
// columns left of the picture's middle, then the others.
std::vector<std::vector<Word>> labelRuns(const std::vector<Word>& words, Axis axis, int pictureWidth,
                                         std::size_t fewest);
