#pragma once

#include "common/FigureTable.h"

#include <vector>

// The automatic extraction's figures, each file giving its own rows of the table:
//   10. accuracy on plots drawn with known truth (800 x 600, PNG and JPEG at quality 75);
//   11. time to extract on a 12-megapixel plot against decoding its file;
//   12. working memory of an extraction per pixel of the picture;
//   15. plots as papers print them: black line styles, curves crossing, markers among text.
// The large plots (LargePlots.h) are drawn once, before any benchmark runs.
void registerSpeedBenchmarks();
void speedRows(const RunTimes& times, std::vector<FigureRow>& rows);
void memoryRows(std::vector<FigureRow>& rows);
void accuracyRows(std::vector<FigureRow>& rows);
void printedRows(std::vector<FigureRow>& rows);
