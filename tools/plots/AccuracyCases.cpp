#include "plots/AccuracyCases.h"

#include "extraction/ColourResolution.h"
#include "extraction/MarkerExtraction.h"

#include <cstdio>

std::vector<LineCase> lineCases()
{
    std::vector<LineCase> cases;
    for (const double width : {1.0, 2.0, 3.0})
        for (const double rotation : {0.0, 4.0})
            for (const Encoding encoding : {Encoding::png, Encoding::jpeg75})
                cases.push_back({width, rotation, encoding});
    return cases;
}

std::string describe(const LineCase& given)
{
    char text[80];
    std::snprintf(text, sizeof text, "line %.0f px, %s, %s", given.penWidth,
                  given.rotation == 0.0 ? "straight" : "turned 4 deg", encodingName(given.encoding));
    return text;
}

LineFigures measureLine(const LineCase& given)
{
    // A different curve for every width and angle; the same one for PNG and JPEG.
    LinePlotOptions options{.penWidth = given.penWidth, .rotation = given.rotation};
    options.seed = static_cast<unsigned>(10.0 * given.penWidth + given.rotation + 1.0);
    const LinePlot plot = renderLinePlot(options);
    const QImage picture = roundTrip(plot.image, given.encoding);
    const PixelView pixels = pixelViewOf(picture);
    const ColourMatch colour(plot.curveColour, plot.background, defaultTolerance, colourSpread(pixels, plot.plotArea));
    LineOptions lineOptions;
    lineOptions.axes = plot.axes;
    const Extraction found = extractLine(pixels, colour, Region(plot.plotArea), lineOptions, Work{});
    return lineFigures(found.points, plot);
}

MarkerFigures measureMarkers(Encoding encoding)
{
    const MarkerPlot plot = renderMarkerPlot({.seed = encoding == Encoding::png ? 3u : 4u});
    const QImage picture = roundTrip(plot.image, encoding);
    const PixelView pixels = pixelViewOf(picture);
    const ColourMatch colour(plot.markerColour, plot.background, defaultTolerance, colourSpread(pixels, plot.plotArea));
    const Extraction found = extractMarkers(pixels, colour, Region(plot.plotArea), MarkerOptions{}, Work{});
    return markerFigures(found.points, plot.centres);
}
