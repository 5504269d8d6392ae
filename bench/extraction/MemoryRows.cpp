// Goal 12, memory: the bytes an extraction allocates at its peak, the points it returns
// included, are at most 1 byte per pixel of the picture, in line mode and markers mode, on
// the 12-megapixel plots. Counted by the replaced operator new (AllocationCount.h).
#include "AllocationCount.h"
#include "ExtractionBenchmarks.h"
#include "LargePlots.h"

#include <cstdio>

namespace {

FigureRow memoryRow(std::string figure, Extraction (*extraction)(const QImage&), const QImage& picture)
{
    allocations::startPeak();
    const std::size_t points = extraction(picture).points.size();
    const auto peak = static_cast<double>(allocations::peakSinceStart());
    const double pixels = static_cast<double>(picture.width()) * picture.height();
    char ratio[32];
    std::snprintf(ratio, sizeof ratio, "%.3f", peak / pixels);
    const bool met = points > 0 && peak <= pixels;
    return {12,
            std::move(figure),
            points > 0 ? formatBytes(peak) : "nothing was found",
            withThousands(static_cast<long long>(pixels)) + " px",
            std::string(ratio) + " B/px",
            "<= 1 B/px",
            met ? "pass" : "FAIL"};
}

} // namespace

void memoryRows(std::vector<FigureRow>& rows)
{
    const LargePlots& plots = largePlots();
    rows.push_back(memoryRow("peak allocated while following one curve in line mode, 12 MP PNG plot: per pixel",
                             extractCurve, plots.linePngPicture));
    rows.push_back(memoryRow("peak allocated while finding markers, 12 MP PNG scatter plot: per pixel",
                             extractMarkerPoints, plots.markersPngPicture));
}
