#pragma once

#include "plots/RenderedPlots.h"

#include <QByteArray>
#include <QImage>

// A 12-megapixel (4000 x 3000) line plot, 2 px curves over a grid, saved as PNG and as
// JPEG at quality 75, and a scatter plot of the same size as PNG; each file also decoded.
struct LargePlots {
    LinePlot line;
    MarkerPlot markers;
    QByteArray linePng, lineJpeg, markersPng;
    QImage linePngPicture, lineJpegPicture, markersPngPicture;
};

void drawLargePlots();
const LargePlots& largePlots();

// One extraction over the plot area with the default tolerance, as the program makes it.
Extraction extractCurve(const QImage& picture);
Extraction extractMarkerPoints(const QImage& picture);
