#pragma once

#include <QImage>
#include <QString>

struct ImageLoadResult {
    QImage image; // null when the file could not be read
    QString error;
};

// Reads a plot picture the way the user expects to see it: turned upright by its
// orientation tag, the first page or frame of a multi-page file. A busy cursor shows
// while it decodes.
ImageLoadResult loadPlotImage(const QString& path);
