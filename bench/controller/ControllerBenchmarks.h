#pragma once

#include "common/FigureTable.h"

#include <vector>

// The benchmarks of the framework-free code, each file registering its own and turning
// their medians into rows of the table.
void registerAppendBenchmarks();
void appendRows(const MedianCollector& times, std::vector<FigureRow>& rows);

void registerSaveBenchmarks();
void saveRows(const MedianCollector& times, std::vector<FigureRow>& rows);

void registerFitBenchmarks();
void fitRows(const MedianCollector& times, std::vector<FigureRow>& rows);
