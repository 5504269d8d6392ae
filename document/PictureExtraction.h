#pragma once

#include "document/Series.h"
#include "document/WorldMap.h"
#include "extraction/ColourMatch.h"
#include "extraction/MarkerExtraction.h"
#include "extraction/Region.h"
#include "extraction/Work.h"

#include <optional>
#include <string>
#include <vector>

// Automatic extraction applied to a document's picture: where to look and which way the
// axes run come from the calibration, and what is found comes back in the document's
// picture coordinates (x the column, y the picture's height minus the row).

// Line: a curve (on polar axes r(angle), a cut along the radius every step of angle).
// Markers: the centre of each. Bars and horizontal bars: one point a bar, at its centre
// and its end away from the baseline.
enum class ExtractionMode { line, markers, bars, horizontalBars };

struct ExtractionSettings {
    Rgb colour;
    double tolerance = defaultTolerance;
    ExtractionMode mode = ExtractionMode::line;
    // Two opposite corners, in picture coordinates, in either order; the calibration
    // points' bounding box when there are none.
    std::optional<std::pair<DPoint, DPoint>> box;
    double step = 1.0; // line mode: picture pixels along world x
    // Line mode: the step in world x units instead (in decades on a log axis, seconds on a
    // date axis), when given.
    std::optional<double> worldStep;
    bool keepAllRuns = false;
    // Line mode: the curve through this point (picture coordinates), followed both ways
    // from it; without it the extraction chooses the curve.
    std::optional<DPoint> start;
    double gap = defaultGap; // line mode: the longest gap bridged between dashes or dots, in pixels
    MarkerOptions markers;   // the markers' sizes as diameters in picture pixels
    // Bars: the value their baseline stands at (world y; world x for horizontal bars); by
    // default the value axis' zero where the box holds it, else the box's lower end.
    std::optional<double> baseline;
    // Painted out (legends, labels): discs of picture coordinates and radius in pixels.
    struct Disc {
        DPoint centre;
        double radius = 0.0;
    };
    std::vector<Disc> excluded;

    // Why these settings cannot be used; empty when they can.
    std::string problem() const;
};

struct PictureExtraction {
    std::vector<DPoint> points; // in order of world x
    bool cancelled = false;
    std::string problem; // why nothing was found or nothing could be done, as a sentence
};

// Between picture coordinates (x the column, y the height minus the row) and the pixel
// coordinates extraction works in (column, row from the top), for a picture `height` rows tall.
inline PixelPoint pixelOf(DPoint picture, int height)
{
    return {picture.x, static_cast<double>(height) - picture.y};
}
inline DPoint pictureOf(PixelPoint pixel, int height)
{
    return {pixel.column, static_cast<double>(height) - pixel.row};
}

// The whole pixels inside two corners given in picture coordinates, clipped to the picture.
PixelBox pixelBoxOf(DPoint a, DPoint b, int width, int height);
// The calibration points' bounding box, in picture coordinates.
std::optional<std::pair<DPoint, DPoint>> calibrationBox(const std::vector<CalibrationPoint>& calibration);
// Which way world x and world y grow in the picture under `map` (pixel coordinates).
AxisDirections axisDirections(const WorldMap& map);

// Runs the extraction the settings ask for on `picture` (the document's picture, or
// another of the same layout). An empty result carries the reason for the user.
PictureExtraction extractFromPicture(const PixelView& picture, const WorldMap& map,
                                     const std::vector<CalibrationPoint>& calibration,
                                     const ExtractionSettings& settings, const Work& work);
