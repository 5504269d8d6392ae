#include "extraction/LineCuts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A run whose strongest pixel is this faint is a gridline's or a smudge's shadow, not a line.
constexpr float minimumPeak = 0.3f;
// Cuts read together, so that upright cuts walk the picture's rows in memory order.
constexpr int batchSize = 256;

// Gathers one cut's runs as the cut is walked.
struct RunBuilder {
    Cut* cut = nullptr;
    bool open = false;
    Run run;
    double sumColumn = 0.0, sumRow = 0.0, sumT = 0.0, sumMajor = 0.0;
    std::uint32_t quiet[2] = {};
    int quietCount = 0;       // pixels read at the last zero-weight step
    bool quietOutside = true; // that step (or the cut's start) reached out of the region
    bool clipped = false;     // the open run reaches the region's edge: its centre is off
    int recorded = -2;        // the step whose pixels `quiet` holds

    // `outside`: the step reads pixels out of the region (out of the box or painted out).
    void add(float w, double column, double row, double t, double major, const std::uint32_t* pixels, int count,
             bool outside, const Foreign& foreign)
    {
        if (w > 0.0f) {
            if (!open) {
                open = true;
                clipped = quietOutside;
                run = Run{};
                run.low = run.high = t;
                sumColumn = sumRow = sumT = sumMajor = 0.0;
                for (int i = 0; i < quietCount; ++i)
                    run.foreignEdge = run.foreignEdge || foreign(quiet[i]);
            }
            clipped = clipped || outside;
            sumColumn += w * column;
            sumRow += w * row;
            sumT += w * t;
            sumMajor += w * major;
            run.mass += w;
            run.peak = std::max(run.peak, w);
            run.low = std::min(run.low, t);
            run.high = std::max(run.high, t);
            return;
        }
        recorded = static_cast<int>(major);
        quietCount = count;
        quietOutside = outside;
        for (int i = 0; i < count; ++i)
            quiet[i] = pixels[i];
        if (open)
            close(foreign);
    }

    void close(const Foreign& foreign)
    {
        open = false;
        for (int i = 0; i < quietCount; ++i)
            run.foreignEdge = run.foreignEdge || foreign(quiet[i]);
        if (run.peak < minimumPeak || clipped || quietOutside)
            return;
        run.centre = {sumColumn / run.mass, sumRow / run.mass};
        run.t = sumT / run.mass;
        run.major = sumMajor / run.mass;
        cut->runs.push_back(run);
    }
};

} // namespace

bool makeFrame(const AxisDirections& axes, Frame& frame)
{
    const double alongLength = std::hypot(axes.along.column, axes.along.row);
    const double acrossLength = std::hypot(axes.across.column, axes.across.row);
    if (!(alongLength > 0.0) || !(acrossLength > 0.0) || !std::isfinite(alongLength) || !std::isfinite(acrossLength))
        return false;
    frame.ux = axes.along.column / alongLength;
    frame.uy = axes.along.row / alongLength;
    frame.vx = axes.across.column / acrossLength;
    frame.vy = axes.across.row / acrossLength;
    if (std::abs(frame.ux * frame.vy - frame.uy * frame.vx) < 1e-3)
        return false; // parallel axes: no cut crosses the curve
    frame.flat = std::abs(frame.vx) > std::abs(frame.vy);
    frame.uMajor = frame.flat ? frame.ux : frame.uy;
    frame.uMinor = frame.flat ? frame.uy : frame.ux;
    frame.vMajor = frame.flat ? frame.vx : frame.vy;
    frame.vMinor = frame.flat ? frame.vy : frame.vx;
    return true;
}

bool gatherRuns(const PixelView& picture, const ColourMatch& colour, const Region& region, PixelBox box,
                const Frame& frame, double step, std::vector<Cut>& cuts, Pass& pass)
{
    const double corners[4][2] = {{static_cast<double>(box.left), static_cast<double>(box.top)},
                                  {static_cast<double>(box.right - 1), static_cast<double>(box.top)},
                                  {static_cast<double>(box.left), static_cast<double>(box.bottom - 1)},
                                  {static_cast<double>(box.right - 1), static_cast<double>(box.bottom - 1)}};
    double sLow = frame.s(corners[0][0], corners[0][1]);
    double sHigh = sLow;
    for (const auto& corner : corners) {
        sLow = std::min(sLow, frame.s(corner[0], corner[1]));
        sHigh = std::max(sHigh, frame.s(corner[0], corner[1]));
    }
    const auto count = static_cast<std::size_t>(std::floor((sHigh - sLow) / step + 1e-9)) + 1;
    cuts.assign(count, Cut{});
    for (std::size_t k = 0; k < count; ++k)
        cuts[k].s = sLow + static_cast<double>(k) * step;

    const int majorLow = frame.flat ? box.left : box.top;
    const int majorHigh = frame.flat ? box.right : box.bottom;
    const int minorLow = frame.flat ? box.top : box.left;
    const int minorHigh = frame.flat ? box.bottom : box.right;
    const bool masked = region.hasExclusions();
    const Foreign foreign(colour);

    // The weight of the pixel at (minor, major), zero outside the region; records the pixel.
    auto weightAt = [&](int minor, int major, std::uint32_t* pixels, int& read, bool& outside) -> float {
        if (minor < minorLow || minor >= minorHigh) {
            outside = true;
            return 0.0f;
        }
        const int column = frame.flat ? major : minor;
        const int row = frame.flat ? minor : major;
        if (masked && region.excluded(column, row)) {
            outside = true;
            return 0.0f;
        }
        pixels[read++] = picture.at(column, row);
        return colour.weightAt(picture, column, row);
    };

    std::vector<RunBuilder> builders(batchSize);
    std::vector<std::uint8_t> opened(batchSize); // builders[k].open, kept apart so the quick way stays in cache
    std::vector<double> startMinor(batchSize), startT(batchSize);
    const Rgb background = colour.background();
    const std::uint32_t backgroundPixel =
        (std::uint32_t{background.red} << 16) | (std::uint32_t{background.green} << 8) | background.blue;
    const bool backgroundWeighs = colour.mayMatch(backgroundPixel);
    const double tPerStep = 1.0 / frame.vMajor;
    const double minorPerStep = frame.vMinor / frame.vMajor;
    for (std::size_t first = 0; first < count; first += batchSize) {
        const std::size_t last = std::min(count, first + batchSize);
        for (std::size_t k = first; k < last; ++k) {
            builders[k - first] = RunBuilder{};
            builders[k - first].cut = &cuts[k];
            opened[k - first] = 0;
        }
        // Along a cut, the minor coordinate and t grow by fixed amounts per step.
        for (std::size_t k = first; k < last; ++k) {
            startMinor[k - first] = frame.minor(cuts[k].s, 0.0);
            startT[k - first] = frame.t(cuts[k].s, 0.0);
        }
        for (int major = majorLow; major < majorHigh; ++major) {
            if (pass.cancelled())
                return false;
            const double m = major;
            const double tStep = m * tPerStep;
            const double minorStep = m * minorPerStep;
            // Upright cuts read along the row in memory order.
            const std::uint32_t* line = frame.flat ? nullptr : picture.pixels + major * picture.stride;
            for (std::size_t k = first; k < last; ++k) {
                // Eight neighbouring cuts with no run open, over pixels that are all exactly
                // the background: passed over together, in one sweep the compiler vectorizes.
                if (line != nullptr && !masked && !backgroundWeighs && (k - first) % 8 == 0 && k + 8 <= last) {
                    std::uint64_t anyOpen = 0;
                    std::memcpy(&anyOpen, &opened[k - first], sizeof anyOpen);
                    const double a = startMinor[k - first] + minorStep;
                    const double b = startMinor[k - first + 7] + minorStep;
                    const double low = std::min(a, b), high = std::max(a, b);
                    if (anyOpen == 0 && low >= minorLow && high < minorHigh - 1 && high - low < 16.0) {
                        std::uint32_t differs = 0;
                        for (int c = static_cast<int>(low), end = static_cast<int>(high) + 1; c <= end; ++c)
                            differs |= (line[c] & 0x00FFFFFFu) ^ backgroundPixel;
                        if (differs == 0) {
                            k += 7;
                            continue;
                        }
                    }
                }
                const double minor = startMinor[k - first] + minorStep;
                // The common case first: well inside an upright cut, nothing painted out, no
                // run open, and pixels whose colour cannot match (the background). Nothing is
                // written: should a run open at the next step, the pixels of this one are
                // read again (below). Truncation is the floor here (minor >= 0).
                if (line != nullptr && !masked && opened[k - first] == 0 && minor >= minorLow &&
                    minor < minorHigh - 1) {
                    const int index = static_cast<int>(minor);
                    if (!colour.mayMatch(line[index]) && (minor == index || !colour.mayMatch(line[index + 1])))
                        continue;
                }
                RunBuilder& builder = builders[k - first];
                const double below = std::floor(minor);
                const double fraction = minor - below;
                const int index = static_cast<int>(below);
                std::uint32_t pixels[2];
                int read = 0;
                float w = 0.0f;
                bool outside = true;
                if (below >= minorLow - 1 && below < minorHigh) {
                    outside = false;
                    const float near = weightAt(index, major, pixels, read, outside);
                    w = near;
                    if (fraction > 0.0) {
                        const float far = weightAt(index + 1, major, pixels, read, outside);
                        w = static_cast<float>((1.0 - fraction) * near + fraction * far);
                    }
                }
                const double column = frame.flat ? m : minor;
                const double row = frame.flat ? minor : m;
                if (line != nullptr && w > 0.0f && !builder.open && builder.recorded != major - 1 && major > majorLow) {
                    // The step before went by the quick way: take its pixels again, for the
                    // run's edge.
                    const double previous = minor - minorPerStep;
                    const int at = static_cast<int>(previous);
                    const std::uint32_t* above = line - picture.stride;
                    builder.quiet[0] = above[at];
                    builder.quiet[1] = above[at + 1];
                    builder.quietCount = previous > at ? 2 : 1;
                    builder.quietOutside = false;
                }
                builder.add(w, column, row, startT[k - first] + tStep, m, pixels, read, outside, foreign);
                opened[k - first] = builder.open ? 1 : 0;
            }
        }
        for (std::size_t k = first; k < last; ++k) {
            RunBuilder& builder = builders[k - first];
            if (builder.open) {
                builder.quietCount = 0;
                builder.quietOutside = true;
                builder.close(foreign);
            }
            std::sort(cuts[k].runs.begin(), cuts[k].runs.end(), [](const Run& a, const Run& b) { return a.t < b.t; });
        }
        pass.done(static_cast<double>(last) / static_cast<double>(count));
    }
    return true;
}

