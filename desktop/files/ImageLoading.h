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
// while a large one decodes. The decoded picture is the only full-size copy kept. A
// picture that would take more than byteLimit bytes decoded is refused. A picture whose
// first bytes name its format (PNG, JPEG, TIFF, GIF, WebP) goes to that format's decoder
// alone; any other is left to Qt to recognize.
ImageLoadResult loadPlotImage(const QString& path, qint64 byteLimit = pictureByteLimit());

// The picture the program is started with, when it is a PNG, starts decoding on a thread
// before the window is built; loadPlotImage then takes what it gave, or waits for it.
// Forgotten when the start opens something else (work recovered after a crash).
void decodeAhead(const QString& path);
void forgetDecodeAhead();

// Image format plugins (JPEG, TIFF, WebP, ...) are looked for only once they may be
// needed: the program holds them back while its window first shows, since every picture
// it reads then is a PNG of its own or of Qt's style, and Qt, guessing each one's format,
// would load every plugin installed to ask it, a fifth of the start-up. Released by the
// first picture read that is not a PNG (which Qt reads itself), file panel, paste or drop,
// or a moment after the window shows.
void holdImagePlugins();
void releaseImagePlugins();

// A picture of a format known beforehand (the program's own resources), read without
// asking every installed image format plugin whether it knows the file: left to guess,
// the reader loads each of them, which costs a fifth of the start-up.
QImage readImageAs(const QString& path, const char* format);
