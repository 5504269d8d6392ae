#pragma once

// Plots drawn with QPainter whose truth is known exactly: where each curve's centreline and
// each marker's centre lies, in the extraction's pixel coordinates (the centre of pixel
// (c, r) at (c, r); QPainter puts it at (c + 0.5, r + 0.5)). The accuracy test and the
// extraction benchmark measure the automatic extraction against them.
#include "extraction/LineExtraction.h"

#include <QImage>
#include <QTransform>
#include <cstddef>
#include <vector>

// y = offset + slope * x + amplitude * sin(frequency * x + phase): a curve in plot
// coordinates, whose origin is the frame's centre, x to the right and y up, in pixels.
struct CurveShape {
    double offset = 0.0;
    double slope = 0.0;
    double amplitude = 0.0;
    double frequency = 0.0;
    double phase = 0.0;

    double value(double x) const;
    double slopeAt(double x) const;
};

// A curve as drawn: its shape over [first, last], and where plot coordinates land in the
// picture.
class CurveTruth {
  public:
    CurveTruth() = default;
    CurveTruth(CurveShape shape, double first, double last, double penWidth, const QTransform& plotToPixels);

    struct Nearest {
        double distance = 0.0; // pixels
        double x = 0.0;        // the nearest centreline point's plot x
    };
    // Exact below `reach` pixels; beyond it, some distance above `reach`.
    Nearest nearest(PixelPoint point, double reach = 50.0) const;
    double distance(PixelPoint point) const { return nearest(point).distance; }

    double first() const { return first_; }
    double last() const { return last_; }
    const CurveShape& shape() const { return shape_; }
    double penWidth() const { return penWidth_; }
    // Whether the other curve's stroke, anti-aliasing included, reaches into this one's
    // cut across the plot at plot x: there this curve is partly hidden.
    bool overlaps(const CurveTruth& other, double x) const;
    PixelPoint at(double x) const; // the centreline point at plot x

  private:
    CurveShape shape_;
    double first_ = 0.0;
    double last_ = 0.0;
    double penWidth_ = 0.0;
    QTransform plotToPixels_;
    QTransform pixelsToPlot_;
    std::vector<double> xs_; // fine polyline along the curve, in plot coordinates
    std::vector<double> ys_;
};

struct LinePlotOptions {
    int width = 800;
    int height = 600;
    double penWidth = 1.0;
    double rotation = 0.0; // degrees, clockwise on the screen, about the picture's centre
    unsigned seed = 1;     // the curves' phases, offsets and slopes
    bool secondCurve = true;
    bool grid = true; // the frame is always drawn
    // Overrides the first curve's random shape (a straight level line checks the truth).
    bool levelCurve = false;
    double levelOffset = 0.0;
};

struct LinePlot {
    QImage image; // Format_RGB32
    CurveTruth curve;
    CurveTruth other; // drawn over `curve`, crossing it; empty when there is none
    Rgb curveColour;
    Rgb otherColour;
    Rgb background;
    PixelBox plotArea; // inside the frame, clear of its stroke
    AxisDirections axes;
};

LinePlot renderLinePlot(const LinePlotOptions& options);

struct MarkerPlotOptions {
    int width = 800;
    int height = 600;
    unsigned seed = 1;
    int markers = 60;      // of the colour looked for
    int otherMarkers = 20; // of another colour, mixed in
    bool squares = true;   // every third marker a square instead of a disc
    bool grid = true;
};

struct MarkerPlot {
    QImage image;
    std::vector<PixelPoint> centres; // of the markers of `markerColour`
    std::vector<double> sizes;       // each marker's diameter, or a square's side
    Rgb markerColour;
    Rgb otherColour;
    Rgb background;
    PixelBox plotArea;
    AxisDirections axes;
};

MarkerPlot renderMarkerPlot(const MarkerPlotOptions& options);

// The picture after saving and loading again, as Format_RGB32.
enum class Encoding { png, jpeg75 };
QByteArray encodedPicture(const QImage& image, Encoding encoding);
QImage decodedPicture(const QByteArray& bytes);
QImage roundTrip(const QImage& image, Encoding encoding);
const char* encodingName(Encoding encoding);

// Borrows `image`'s pixels (Format_RGB32 or Format_ARGB32), which must outlive the view.
PixelView pixelViewOf(const QImage& image);

// How close line-mode points are to the plot's curve.
//   rms, worst: distance of every point to the curve's centreline, in pixels.
//   offCurve: points further than 1.5 px from it (on the other curve or the grid).
//   coverage: the share of the curve's visible x-range, measured along the plot's x axis,
//     that is within 1.5 px of an on-curve point's position along x. Points one pixel
//     apart cover it all; a gap of g > 3 px between neighbours leaves g - 3 px uncovered.
//     Visible: where the other curve, drawn over this one, does not reach into its cut
//     across the plot (see CurveTruth::overlaps); points there still count in the others.
//   hidden: the share of the x-range left out of `coverage` as not visible.
struct LineFigures {
    std::size_t points = 0;
    double rms = 0.0;
    double worst = 0.0;
    double coverage = 0.0;
    int offCurve = 0;
    double hidden = 0.0;
};
inline constexpr double offCurveDistance = 1.5;
LineFigures lineFigures(const std::vector<PixelPoint>& points, const LinePlot& plot);

// How markers-mode points match the true centres: each point is matched to the nearest
// unmatched centre within 2 px (closest pairs first); the others are false. rms over the
// matched pairs.
struct MarkerFigures {
    std::size_t truth = 0;
    std::size_t matched = 0;
    std::size_t falsePoints = 0;
    double rms = 0.0;
};
MarkerFigures markerFigures(const std::vector<PixelPoint>& points, const std::vector<PixelPoint>& centres);
