#include "LargePlots.h"

#include "extraction/ColourResolution.h"
#include "extraction/MarkerExtraction.h"

#include <memory>

namespace {

std::unique_ptr<LargePlots> plots;

} // namespace

void drawLargePlots()
{
    plots = std::make_unique<LargePlots>();
    plots->line = renderLinePlot({.width = 4000, .height = 3000, .penWidth = 2.0});
    plots->markers = renderMarkerPlot({.width = 4000, .height = 3000, .markers = 1500, .otherMarkers = 500});
    plots->linePng = encodedPicture(plots->line.image, Encoding::png);
    plots->lineJpeg = encodedPicture(plots->line.image, Encoding::jpeg75);
    plots->markersPng = encodedPicture(plots->markers.image, Encoding::png);
    plots->linePngPicture = decodedPicture(plots->linePng);
    plots->lineJpegPicture = decodedPicture(plots->lineJpeg);
    plots->markersPngPicture = decodedPicture(plots->markersPng);
}

const LargePlots& largePlots()
{
    return *plots;
}

Extraction extractCurve(const QImage& picture)
{
    const LinePlot& plot = plots->line;
    const PixelView pixels = pixelViewOf(picture);
    const ColourMatch colour(plot.curveColour, plot.background, defaultTolerance, colourSpread(pixels, plot.plotArea));
    LineOptions options;
    options.axes = plot.axes;
    return extractLine(pixels, colour, Region(plot.plotArea), options, Work{});
}

Extraction extractMarkerPoints(const QImage& picture)
{
    const MarkerPlot& plot = plots->markers;
    const PixelView pixels = pixelViewOf(picture);
    const ColourMatch colour(plot.markerColour, plot.background, defaultTolerance, colourSpread(pixels, plot.plotArea));
    return extractMarkers(pixels, colour, Region(plot.plotArea), MarkerOptions{}, Work{});
}
