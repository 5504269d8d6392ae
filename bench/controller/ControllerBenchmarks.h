#pragma once

#include "common/FigureTable.h"

#include <vector>

// The benchmarks of the framework-free code, each file registering its own and turning
// their times into rows of the table.
void registerAppendBenchmarks();
void appendRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerSaveBenchmarks();
void saveRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerFitBenchmarks();
void fitRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerProjectBenchmarks();
void projectRows(const RunTimes& times, std::vector<FigureRow>& rows);

void registerUndoBenchmarks();
void undoRows(const RunTimes& times, std::vector<FigureRow>& rows);
