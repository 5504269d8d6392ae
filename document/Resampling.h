#pragma once

#include "document/Series.h"
#include "document/WorldMap.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A series' points at chosen x values rather than where they were taken: on one x grid
// for every curve, every half second, or at the wavelengths of another data set. y is
// interpolated in the axes' own space, between the series' points sorted by x: each value
// by its axis' scale (log10 of the values on a log axis, seconds on a date axis), so that a
// straight line on the plot stays straight whatever its axes; on polar axes x is the
// angle and y the radius (log10 on a log radius).
struct Resampling {
    enum class Grid {
        none,   // the points as they were taken
        step,   // x at the whole multiples of `step`, within the series' x-range
        count,  // `count` x values evenly spaced from the series' smallest x to its largest
        values, // exactly `values`, in their order, less those outside the series' x-range
    };
    enum class Interpolation { linear, cubic }; // straight lines, or a natural cubic spline

    Grid grid = Grid::none;
    double step = 0.0;     // in x's own units: decades on a log axis, seconds on a date axis, the angle's on polar axes
    std::size_t count = 0; // 2 or more
    std::vector<double> values; // world values of x (seconds on a date axis)
    Interpolation interpolation = Interpolation::linear;

    bool resamples() const { return grid != Grid::none; }
};

// Reads the text given for a grid (the step, the count, or x values separated by commas;
// on a date axis each a date in ISO 8601 form or a number of seconds) into `resampling`.
// Empty when it was read; otherwise what the text needs, for a sentence that names the
// choice before it: "needs a number above 0, not \"-1\"". Nothing is changed then.
std::string readGrid(Resampling::Grid grid, std::string_view text, AxisScale x, Resampling& resampling);
// "linear" or "cubic"; empty for anything else.
std::optional<Resampling::Interpolation> interpolationNamed(std::string_view name);
// How a resampling reads in a sentence: "at x every 0.25, along straight lines", "at angle
// every 15 degrees, along a cubic spline".
std::string describeResampling(const Resampling& resampling, const AxisScales& axes);
// What a step is counted in on these axes: "decades", "seconds", "degrees", "radians", or
// "" (x's own units).
std::string stepUnit(const AxisScales& axes);

// A point as the files write it: where the calibration puts it in the picture, and its
// world values (of x, exactly those of the grid).
struct SampledPoint {
    DPoint screen;
    DPoint world;
};

// No export writes more points than this: a step far too small for the data is refused,
// not written until the disk is full.
inline constexpr std::size_t maxResampledPoints = 10'000'000;

struct Resampled {
    std::vector<SampledPoint> points;
    std::string problem; // when the grid would give more than the room left
};

// The points (picture coordinates) at the grid's x values. Points with equal x (to a
// billionth of the x-range) count as one at their mean; points with no world values are
// left out. An x within a billionth of the x-range of either end counts as inside (and
// takes the end's y); nothing is extrapolated. `room` is how many points may be made.
Resampled resample(const std::vector<DPoint>& points, const WorldMap& map, const Resampling& resampling,
                   std::size_t room = maxResampledPoints);

struct SampledSeries {
    std::string name;
    std::vector<SampledPoint> points;
};
struct ResampledSeries {
    std::vector<SampledSeries> series;
    std::string problem; // names the series whose grid has too many points
};

// Every series, or only the one given, resampled; at most maxResampledPoints in all.
ResampledSeries resampleSeries(const std::vector<Series>& series, const WorldMap& map, const Resampling& resampling,
                               std::optional<std::size_t> only = std::nullopt);
