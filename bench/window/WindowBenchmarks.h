#pragma once

#include "common/FigureTable.h"

#include <QString>
#include <QStringList>
#include <vector>

class WindowRig;

// The benchmarks of the assembled window, each file registering its own and turning
// their times into rows of the table. `pictures` are the files make_bench_pictures
// wrote, named plot-<megapixels>mp.<png|jpg|tif>.
void registerOpenBenchmarks(const QStringList& pictures);
void openRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerPaintBenchmarks(const QStringList& pictures);
void paintRows(const RunTimes& times, std::vector<FigureRow>& rows);

// The zoom on the 120-megapixel picture: repaints at several zooms, and the cursor's
// coordinates and the magnifier following the mouse.
void registerZoomBenchmarks(const QStringList& pictures);
void zoomRows(const RunTimes& times, std::vector<FigureRow>& rows);
void registerPointerBenchmarks(const QStringList& pictures);
void pointerRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerTableBenchmarks();
void tableRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerRecoveryBenchmarks();
void recoveryRows(const RunTimes& times, std::vector<FigureRow>& rows);

// Windows kept from one benchmark to the next (a 120-megapixel picture takes seconds to
// open); all go before the application does.
WindowRig& keptWindowWithPicture(const QString& path);
WindowRig& keptWindowWithDataRows(int rows);
void closeKeptWindows();

// "plot-48mp.png" -> "48 MP PNG"
QString pictureLabel(const QString& path);
