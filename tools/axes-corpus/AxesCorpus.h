#pragma once

#include "axes/FindAxes.h"

#include <array>
#include <string>
#include <vector>

// The Find Axes corpus: plots drawn by matplotlib and gnuplot at test or benchmark time by
// tools/axes-corpus/make-axes-corpus, each with the plotting program's own truth of where
// its data lies.
struct TruthPoint {
    double worldX = 0.0;
    double worldY = 0.0;
    DPoint picture;
};

struct CorpusPicture {
    std::string name; // the file name without its folder
    std::string path;
    bool readable = true; // false: no calibration may be claimed from it
    // false: the labels give the values only with the offset or factor at the axis' end
    bool labelsAlone = true;
    AxisScales axes;
    std::array<double, 4> area{}; // xmin, xmax, ymin, ymax of the plot area, in world units
    std::vector<TruthPoint> points;
    std::string drawnBy; // matplotlib, gnuplot, noise
};

// Draws the corpus ("quick" or "full") into `folder`; empty on success, else why not.
std::string makeAxesCorpus(const std::string& folder, const std::string& set);
// Every picture of a corpus folder, by name.
std::vector<CorpusPicture> readAxesCorpus(const std::string& folder);

// How a proposal compares with the truth.
struct AxesVerdict {
    bool proposed = false;
    bool confident = false;
    // Every point of the plot area lies within 1 px of the truth under the proposal's
    // calibration, and the scales are the truth's. Both programs draw axis-aligned lines
    // (ticks, frames) at whole pixels, up to half a pixel off (matplotlib: up to one pixel
    // in one direction) from where their transform puts them, and the picture shows no
    // more: 0.5 px of that is allowed on top of the 1 px.
    bool right = false;
    double worstMiss = 0.0; // pixels; infinite when the scales differ
    // Claimed with confidence, yet wrong (or claimed at all on a picture without axes).
    bool confidentlyWrong() const { return confident && !right; }
};
inline constexpr double rightWithinPixels = 1.0 + 0.5;

// Where the truth puts a world point in the picture.
DPoint truthAt(const CorpusPicture& truth, double worldX, double worldY);

AxesVerdict judge(const CorpusPicture& truth, const AxesProposal& proposal);

// Decodes the picture (Qt) and runs Find Axes on it; `seconds` gets its time, decoding left out.
AxesProposal findAxesIn(const CorpusPicture& picture, double* seconds = nullptr);
