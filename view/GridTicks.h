#pragma once

#include "calibration/AxisScale.h"

#include <string>
#include <vector>

// Where to draw the lines of a grid over a calibrated picture, and what to write on them.
// Positions are in fit space (log10 of the values on a log axis, seconds since 1970-01-01
// UTC on a date axis), so that each line is straight in the picture.

// Round values that fall in [low, high], in increasing order, about `wanted` of them.
// linear: the multiples of a step 1, 2 or 5 times a power of ten. log10: the whole
// decades (every second, fifth, ... of them on a range of many decades); on fewer than
// three decades also 2 and 5 times each decade; under one decade, round values of the
// axis itself. date: the multiples, counted from 1970-01-01T00:00Z, of a step of 1, 2, 5,
// 10, 15 or 30 seconds or minutes, 1, 2, 3, 6 or 12 hours, 1, 2, 7 or 14 days, 30, 91 or
// 182 days, or 1, 2, 5, 10, ... years of 365 days (so a step of whole days falls on UTC
// midnights); fractions 1, 2, 5 times a power of ten under a second.
// Never more than a few hundred values, and none for a range that is empty or not finite
// or too narrow for its doubles to tell the values apart.
std::vector<double> gridTicks(AxisScale scale, double low, double high, int wanted);

// The text for the grid line at `tick` (fit space) of ticks `spacing` apart: with as many
// digits as tell neighbours apart ("0.3", "1700000003", "2.5e-7"); a log axis' value to six
// significant digits ("200", "1e6"); a date as ISO 8601 UTC ("2024-03-01", "2024-03-01T06:00").
std::string gridLabel(AxisScale scale, double tick, double spacing);
