#pragma once

// The accuracy cases the test asserts and the benchmark reports: one curve followed in
// line mode, or markers found, on a plot drawn with known truth and saved as PNG or JPEG,
// with the extraction's default tolerance, over the plot area inside the frame and along
// the axes of the drawing.
#include "plots/RenderedPlots.h"

#include <string>
#include <vector>

struct LineCase {
    double penWidth = 1.0;
    double rotation = 0.0; // degrees
    Encoding encoding = Encoding::png;
};

// Pen widths 1, 2 and 3 px, straight and turned 4 degrees, PNG and JPEG at quality 75.
std::vector<LineCase> lineCases();
std::string describe(const LineCase& given); // "line 2 px, turned 4 deg, JPEG q75"
LineFigures measureLine(const LineCase& given);

inline constexpr Encoding markerCases[] = {Encoding::png, Encoding::jpeg75};
MarkerFigures measureMarkers(Encoding encoding);

// The accuracy goals.
inline constexpr double lineRmsGoal = 0.15;      // px, at most
inline constexpr double lineWorstGoal = 1.0;     // px, at most
inline constexpr double lineCoverageGoal = 0.98; // at least
inline constexpr double markerRmsGoal = 0.1;     // px, at most
