#pragma once

// Plots as papers print them, drawn by matplotlib at run time (printed_plots.py beside this
// file, run with Debian's python3 and its matplotlib) with their truth: black curves of
// every line style crossing over black gridlines with a legend and a note; two red curves
// crossing at 15 degrees; black hollow circles and filled squares among text. The accuracy
// test and the extraction benchmark hold the extraction to its goals on them.
#include "document/PictureExtraction.h"
#include "extraction/PixelView.h"

#include <QImage>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct PrintedTruth {
    std::string picture; // the file's name in the folder
    int width = 0;
    int height = 0;
    PixelBox box; // where to look: the axes with their frame and ticks
    Rgb colour;
    struct Curve {
        std::string style; // solid, dashed, dotted, dashdot; first, second
        std::vector<PixelPoint> points;
    };
    std::vector<Curve> curves;
    std::vector<std::vector<PixelPoint>> lines; // frame, gridlines, legend samples, other lines
    struct Marker {
        bool circle = true; // else a filled square
        PixelPoint centre;
        double size = 0.0;
    };
    std::vector<Marker> markers;
    struct Text {
        double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    };
    std::vector<Text> texts;
};

// The three plots drawn with matplotlib into `folder` (lines, crossing, markers; PNG or
// JPEG at quality 75) for `seed`; why not, when it failed.
std::string drawPrintedPlots(const std::string& folder, unsigned seed, bool jpeg, int dpi = 100);
// The truth of plot `name` in `folder`; nothing when it cannot be read.
std::optional<PrintedTruth> readPrintedTruth(const std::string& folder, const std::string& name);

// A point on curve `curve` at `fraction` of its x-range, moved along it, if need be, until
// it is clear of every other thing drawn (as a user clicking the curve would choose).
PixelPoint startOn(const PrintedTruth& truth, std::size_t curve, double fraction);

// The extraction as the program makes it (document/PictureExtraction.h) on the picture,
// over the truth's box, with a calibration that makes world values picture coordinates;
// the points in pixel coordinates. Line mode follows the curve through `start` when given.
std::vector<PixelPoint> extractPrinted(const QImage& picture, const PrintedTruth& truth, ExtractionMode mode,
                                       std::optional<PixelPoint> start);

// How a curve followed from a start point matches curve `curve` of the truth:
//   coverage: the share of 2 % bins of the curve's x-range that hold a point on it;
//   rms: the RMS distance of the points on it (within 1.5 px) to its centreline;
//   offShare: the share of the points not on it (further than 1.5 px).
struct PrintedLineFigures {
    std::size_t points = 0;
    double coverage = 0.0;
    double rms = 0.0;
    double offShare = 0.0;
};
PrintedLineFigures printedLineFigures(const std::vector<PixelPoint>& points, const PrintedTruth& truth,
                                      std::size_t curve);

// Markers found against the true centres, a point within 2 px of a centre matching it
// (closest pairs first): recall = matched / true markers, precision = matched / points,
// rms over the matched pairs.
struct PrintedMarkerFigures {
    std::size_t truth = 0;
    std::size_t points = 0;
    std::size_t matched = 0;
    double recall = 0.0;
    double precision = 0.0;
    double rms = 0.0;
};
PrintedMarkerFigures printedMarkerFigures(const std::vector<PixelPoint>& points, const PrintedTruth& truth);

// The goals.
inline constexpr double printedCoverageGoal = 0.90;  // of a curve's x-range, at least
inline constexpr double printedCrossingGoal = 0.95;  // of each crossing curve's x-range, at least
inline constexpr double printedRmsGoal = 0.3;        // px, at most
inline constexpr double printedOffShareGoal = 0.02;  // of the points, at most
inline constexpr double printedRecallGoal = 0.95;    // at least
inline constexpr double printedPrecisionGoal = 0.90; // at least
inline constexpr double printedMarkerRmsGoal = 0.3;  // px, at most
