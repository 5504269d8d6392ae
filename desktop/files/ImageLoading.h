#pragma once

#include <QImage>
#include <QString>

struct ImageLoadResult {
    QImage image; // null when the file could not be read
    QString error;
};

// How many bytes one decoded picture may take on this computer: a quarter of its memory,
// within bounds, so that a scan of a few hundred megapixels opens while a file that
// claims a gigantic size is refused before anything is allocated.
qint64 pictureByteLimit();

// Reads a plot picture the way the user expects to see it: turned upright by its
// orientation tag, the first page or frame of a multi-page file. A busy cursor shows
// while it decodes. The decoded picture is the only full-size copy kept. A picture that
// would take more than byteLimit bytes decoded is refused.
ImageLoadResult loadPlotImage(const QString& path, qint64 byteLimit = pictureByteLimit());
