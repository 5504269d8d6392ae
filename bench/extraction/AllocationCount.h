#pragma once

#include <cstddef>

// The bytes this program holds through operator new, counted by the replacements of the
// global operator new and delete in AllocationCount.cpp (usable sizes as malloc gives
// them). Memory taken with malloc directly is not counted; the extraction takes none.
namespace allocations {

std::size_t live();
// Starts watching for a new peak from the bytes live now.
void startPeak();
// The most bytes live since startPeak(), less those live then.
std::size_t peakSinceStart();

} // namespace allocations
