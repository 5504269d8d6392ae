#include "extraction/LineExtraction.h"

#include "extraction/Pass.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

// A run whose strongest pixel is this faint is a gridline's or a smudge's shadow, not a line.
constexpr float minimumPeak = 0.3f;
// Cuts read together, so that upright cuts walk the picture's rows in memory order.
constexpr int batchSize = 256;
// How far (in pixels along the curve) the follower bridges a gap; longer when the gap is
// where another curve of the same colour lies on top.
constexpr double shortGap = 20.0;
constexpr double crossingGap = 80.0;
// Candidates for the start of a curve: the runs within this distance of the first cut with any.
constexpr double seedSpan = 10.0;
// Chains shorter than this (in pixels along the x axis) are specks, not curves; measured in
// pixels so that a coarse step over a narrow box still finds its few points.
constexpr double shortestChain = 5.0;

struct Run {
    double t = 0.0;     // centre, along the cut
    double major = 0.0; // centre, in rows (upright cuts) or columns (flat cuts)
    double low = 0.0;   // extent along the cut
    double high = 0.0;
    PixelPoint centre;
    double mass = 0.0; // sum of weights
    float peak = 0.0f;
    bool foreignEdge = false; // next to a strongly coloured pixel of another colour
};

struct Cut {
    double s = 0.0; // position along `along`
    std::vector<Run> runs;
};

// Cuts as lines s = constant in the frame of the unit along and across directions. The
// cut is walked one pixel at a time along its major axis (rows when it is upright, columns
// when it lies nearly flat); at each step it passes between two pixels of the minor axis.
struct Frame {
    double ux = 1.0, uy = 0.0, vx = 0.0, vy = -1.0;
    bool flat = false; // major axis = columns
    double uMajor = 0.0, uMinor = 0.0, vMajor = 0.0, vMinor = 0.0;

    double s(double column, double row) const { return (column * vy - row * vx) / (ux * vy - uy * vx); }
    double t(double cutS, double major) const { return (major - cutS * uMajor) / vMajor; }
    double minor(double cutS, double major) const { return cutS * uMinor + t(cutS, major) * vMinor; }
};

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

// A pixel that is neither the target, a blend of it, nor near the background: another
// curve's colour. Measured as the distance from the background-to-target line in sRGB.
class Foreign {
  public:
    explicit Foreign(const ColourMatch& colour)
        : background_(colour.background()), dr_(colour.target().red - background_.red),
          dg_(colour.target().green - background_.green), db_(colour.target().blue - background_.blue)
    {
        const int length = dr_ * dr_ + dg_ * dg_ + db_ * db_;
        inverse_ = length > 0 ? 1.0 / length : 0.0;
    }

    bool operator()(std::uint32_t pixel) const
    {
        constexpr double limit = 120.0;
        const Rgb p = rgbOf(pixel);
        const int r = p.red - background_.red;
        const int g = p.green - background_.green;
        const int b = p.blue - background_.blue;
        const double along = r * dr_ + g * dg_ + b * db_;
        const double off = r * r + g * g + b * b - along * along * inverse_;
        return off > limit * limit;
    }

  private:
    Rgb background_;
    int dr_, dg_, db_;
    double inverse_ = 0.0;
};

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

// Walks every cut and keeps its runs; false when cancelled.
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

struct Link {
    std::size_t cut = 0;
    std::size_t run = 0;
};

// The slope dt/ds of the last few points of a chain (least squares).
double recentSlope(const std::vector<Cut>& cuts, const std::vector<Link>& chain)
{
    const std::size_t n = std::min<std::size_t>(chain.size(), 6);
    if (n < 2)
        return 0.0;
    double ms = 0.0, mt = 0.0;
    for (std::size_t i = chain.size() - n; i < chain.size(); ++i) {
        ms += cuts[chain[i].cut].s;
        mt += cuts[chain[i].cut].runs[chain[i].run].t;
    }
    ms /= static_cast<double>(n);
    mt /= static_cast<double>(n);
    double sst = 0.0, sss = 0.0;
    for (std::size_t i = chain.size() - n; i < chain.size(); ++i) {
        const double ds = cuts[chain[i].cut].s - ms;
        sst += ds * (cuts[chain[i].cut].runs[chain[i].run].t - mt);
        sss += ds * ds;
    }
    return sss > 0.0 ? sst / sss : 0.0;
}

// A line's run along a cut is longer the steeper the line: mass per unit of the line's width.
double massAcross(double mass, double slope)
{
    return mass / std::sqrt(1.0 + slope * slope);
}

// Follows one curve from `seed` to the end of the cuts or the first gap too long to bridge.
std::vector<Link> follow(const std::vector<Cut>& cuts, Link seed)
{
    const double stepLength = cuts.size() > 1 ? cuts[1].s - cuts[0].s : 1.0;
    std::vector<Link> chain{seed};
    std::vector<double> masses{cuts[seed.cut].runs[seed.run].mass};
    std::vector<double> window;
    bool crossing = false; // a gap where the curve merges with another of its colour
    for (std::size_t k = seed.cut + 1; k < cuts.size(); ++k) {
        const Run& previous = cuts[chain.back().cut].runs[chain.back().run];
        const double gap = cuts[k].s - cuts[chain.back().cut].s;
        // A gap is never shorter than the steps asked for: at a step of 50 pixels every
        // cut is 50 pixels from the last.
        if (gap > std::max(crossing ? crossingGap : shortGap, 2.5 * stepLength))
            break;
        if (cuts[k].runs.empty())
            continue;
        const double slope = recentSlope(cuts, chain);
        const double predicted = previous.t + slope * gap;
        // From a lone seed the slope is unknown: at a coarse step a steep curve moves
        // several pixels along the cut between two cuts, so the second link may be up to a
        // slope of 4 away; after that, the curve's own slope predicts it.
        // The straight line through the last links misses a bending curve by about half its
        // curvature times the gap squared: the gap-squared term allows for the bends of a
        // plotted curve (0.02 px per px squared) at coarse steps, and is nothing at fine ones.
        const double limit =
            (chain.size() == 1 ? 1.5 + gap * 4.0 : 1.5 + gap * (0.2 + 0.1 * std::abs(slope))) + 0.01 * gap * gap;
        // The first links' masses were measured before the slope was known: a steep
        // curve's long runs would set the median far above its later ones.
        if (chain.size() == 3)
            for (std::size_t i = 0; i < 3; ++i)
                masses[i] = massAcross(cuts[chain[i].cut].runs[chain[i].run].mass, slope);
        double median = 0.0;
        if (masses.size() >= 3) {
            window.assign(masses.end() - static_cast<std::ptrdiff_t>(std::min<std::size_t>(masses.size(), 15)),
                          masses.end());
            std::nth_element(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(window.size() / 2),
                             window.end());
            median = window[window.size() / 2];
        }
        std::size_t best = cuts[k].runs.size();
        double bestScore = 0.0;
        for (std::size_t i = 0; i < cuts[k].runs.size(); ++i) {
            const Run& run = cuts[k].runs[i];
            const double outside = std::max({0.0, run.low - predicted, predicted - run.high});
            if (outside > limit)
                continue;
            const double off = std::abs(run.t - predicted);
            if (median > 0.0) {
                const double mass = massAcross(run.mass, slope);
                if (mass < 0.6 * median || (run.foreignEdge && mass < 0.85 * median))
                    continue; // partly hidden under another curve: its centre is off
                if (mass > 1.25 * median && off > 0.3) {
                    crossing = true; // merged with another curve: its centre lies between
                    continue;
                }
            }
            const double score = 4.0 * outside + off;
            if (best == cuts[k].runs.size() || score < bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best == cuts[k].runs.size())
            continue;
        chain.push_back({k, best});
        masses.push_back(massAcross(cuts[k].runs[best].mass, slope));
        crossing = false;
    }
    return chain;
}

double sinc(double x)
{
    return x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

// The weighted mean of a line's pixels along a cut misses the line's middle by a fraction of
// a pixel that depends on where the middle falls between pixel centres: the pixels sample
// the line's profile (its band, blurred by the square pixel and by the slope across the
// pixel) at whole steps. With `length` the band's extent along the cut (the run's mass) and
// `slope` the line's rise in cut steps per pixel across the cut, the miss is the sum below
// (the Poisson sum of the sampled profile's first moment); the middle is found by undoing it.
double middleOffset(double mean, double length, double slope)
{
    auto miss = [&](double middle) {
        double sum = 0.0;
        for (int k = 1; k <= 8; ++k) {
            const double sign = k % 2 == 1 ? -1.0 : 1.0;
            sum += sign / (std::numbers::pi * k) * sinc(slope * k) * sinc(length * k) *
                   std::sin(2.0 * std::numbers::pi * k * middle);
        }
        return sum;
    };
    double middle = mean;
    for (int i = 0; i < 4; ++i)
        middle = mean - miss(middle);
    return middle - mean;
}

// Moves a run's centre from its pixels' weighted mean onto the line's middle.
void refine(Run& run, double slope, const Frame& frame)
{
    const double offset = middleOffset(run.major, run.mass, slope);
    const double sideways = offset * frame.vMinor / frame.vMajor;
    run.major += offset;
    run.t += offset / frame.vMajor;
    if (frame.flat) {
        run.centre.column += offset;
        run.centre.row += sideways;
    } else {
        run.centre.row += offset;
        run.centre.column += sideways;
    }
}

struct LocalSlope {
    double across = 0.0; // dt/ds
    double rise = 0.0;   // major per minor, in pixels
};

// Each link's slope, by least squares over its neighbours in the chain.
std::vector<LocalSlope> localSlopes(const std::vector<Cut>& cuts, const std::vector<Link>& chain, const Frame& frame)
{
    std::vector<LocalSlope> slopes(chain.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::size_t from = i >= 3 ? i - 3 : 0;
        const std::size_t to = std::min(chain.size(), i + 4);
        const Run& middle = cuts[chain[i].cut].runs[chain[i].run];
        const double middleMinor = frame.flat ? middle.centre.row : middle.centre.column;
        double ss = 0.0, st = 0.0, mm = 0.0, mj = 0.0;
        for (std::size_t j = from; j < to; ++j) {
            const Run& run = cuts[chain[j].cut].runs[chain[j].run];
            const double ds = cuts[chain[j].cut].s - cuts[chain[i].cut].s;
            const double minor = (frame.flat ? run.centre.row : run.centre.column) - middleMinor;
            ss += ds * ds;
            st += ds * (run.t - middle.t);
            mm += minor * minor;
            mj += minor * (run.major - middle.major);
        }
        slopes[i].across = ss > 0.0 ? st / ss : 0.0;
        slopes[i].rise = mm > 1e-6 ? mj / mm : 1e6;
    }
    return slopes;
}

double medianOf(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

struct Chain {
    std::vector<Link> links;
    std::vector<LocalSlope> slopes;
    std::vector<double> masses; // across the line
};

// Drops the links whose run is merged with another curve or half hidden (judged against
// the typical run of all the chains, which the follower could not do at a chain's start),
// and centres the others.
std::vector<PixelPoint> settle(const std::vector<Cut>& cuts, std::vector<Chain>& chains, const Frame& frame)
{
    std::vector<double> all;
    for (Chain& chain : chains) {
        chain.slopes = localSlopes(cuts, chain.links, frame);
        for (std::size_t i = 0; i < chain.links.size(); ++i) {
            chain.masses.push_back(
                massAcross(cuts[chain.links[i].cut].runs[chain.links[i].run].mass, chain.slopes[i].across));
            all.push_back(chain.masses.back());
        }
    }
    std::vector<PixelPoint> points;
    if (all.empty())
        return points;
    const double median = medianOf(all);
    for (const Chain& chain : chains) {
        for (std::size_t i = 0; i < chain.links.size(); ++i) {
            Run run = cuts[chain.links[i].cut].runs[chain.links[i].run];
            const double mass = chain.masses[i];
            if (mass > 1.3 * median || mass < 0.6 * median || (run.foreignEdge && mass < 0.85 * median))
                continue;
            refine(run, chain.slopes[i].rise, frame);
            points.push_back(run.centre);
        }
    }
    return points;
}

// Follows the curve from the start of the cuts, restarting after each gap too long to bridge:
// of the runs near each start, the one that leads the longest way.
std::vector<PixelPoint> followCurve(const std::vector<Cut>& cuts, const Frame& frame)
{
    std::vector<Chain> chains;
    std::size_t start = 0;
    while (true) {
        while (start < cuts.size() && cuts[start].runs.empty())
            ++start;
        if (start >= cuts.size())
            break;
        std::vector<Link> best;
        double bestMass = 0.0;
        // A seed on a chain already followed from here would mostly walk the rest of that
        // chain again, and come out shorter: each curve is walked about once, not once
        // for every run near its start.
        std::vector<Link> walked;
        const auto onWalked = [&walked](Link link) {
            return std::any_of(walked.begin(), walked.end(),
                               [link](Link w) { return w.cut == link.cut && w.run == link.run; });
        };
        for (std::size_t k = start; k < cuts.size() && cuts[k].s <= cuts[start].s + seedSpan; ++k) {
            for (std::size_t i = 0; i < cuts[k].runs.size(); ++i) {
                if (onWalked({k, i}))
                    continue;
                std::vector<Link> chain = follow(cuts, {k, i});
                for (const Link& link : chain) {
                    if (cuts[link.cut].s > cuts[start].s + seedSpan)
                        break;
                    walked.push_back(link);
                }
                const double mass = cuts[k].runs[i].mass;
                if (chain.size() > best.size() || (chain.size() == best.size() && mass > bestMass)) {
                    best = std::move(chain);
                    bestMass = mass;
                }
            }
        }
        if (cuts[best.back().cut].s - cuts[best.front().cut].s >= shortestChain) {
            start = best.back().cut + 1;
            chains.push_back({std::move(best), {}, {}});
        } else {
            start = best.front().cut + 1;
        }
    }
    return settle(cuts, chains, frame);
}

} // namespace

Extraction extractLine(const PixelView& picture, const ColourMatch& colour, const Region& region,
                       const LineOptions& options, const Work& work)
{
    Extraction result;
    Pass pass(work);
    const PixelBox box = clippedBox(picture, region);
    Frame frame;
    if (box.empty() || !makeFrame(options.axes, frame)) {
        result.cancelled = pass.cancelled();
        return result;
    }
    const double step = options.step >= 0.1 && std::isfinite(options.step) ? options.step : 1.0;

    std::vector<Cut> cuts;
    if (!gatherRuns(picture, colour, region, box, frame, step, cuts, pass) || pass.cancelled()) {
        result.cancelled = true;
        return result;
    }
    if (options.keepAllRuns) {
        for (const Cut& cut : cuts)
            for (const Run& run : cut.runs)
                result.points.push_back(run.centre);
    } else {
        result.points = followCurve(cuts, frame);
    }
    return result;
}
