#pragma once

#include "axes/Glyphs.h"

#include <optional>
#include <vector>

// Which axis a row or column of labels belongs to: the x axis' labels lie under it (its
// ticks above them), the y axis' to its left (its ticks to their right).
enum class Axis { x, y };

// The position of each label's tick along the axis, in pixels of the upright picture (a
// column for the x axis, a row for the y axis), to a fraction of a pixel; empty for a
// label with no tick beside it. Ticks are short strokes across the axis, outside or
// inside it, or gridlines, found in the band where the labels' neighbourhoods agree
// that there is a narrow stroke across.
std::vector<std::optional<double>> tickPositions(const InkImage& image, const std::vector<Box>& labels, Axis axis);
