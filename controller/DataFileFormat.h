#pragma once

#include <string>

// One line of the data file: screen x, screen y, world x, world y of a data point, as
//     "  %8.3f  %8.3f   %14.6f  %14.6f\n"
// in the C locale. Each value is the table's single-precision number widened to double.
void appendDataLine(std::string& out, float screenX, float screenY, float worldX, float worldY);
