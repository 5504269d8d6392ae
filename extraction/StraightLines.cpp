#include "extraction/StraightLines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace {

// A line along the y axis reaches across at least this share of the box.
constexpr double acrossShare = 0.6;
// A line along the x axis has runs in at least this share of the cuts (dashed and dotted
// gridlines have fewer than solid ones), spread over at least `spanShare` of the box.
constexpr double presentShare = 0.3;
constexpr double spanShare = 0.6;
// Its runs are thin, lie within this RMS distance of one straight line, and that line
// runs along the x axis to within `flattest` (a slope across over along).
constexpr double thinRun = 6.0;
constexpr double straightness = 0.35;
constexpr double flattest = 0.01;
// Runs voted into bins this wide across, and looked for in windows of three bins.
constexpr double binWidth = 2.0;

struct Member {
    std::size_t cut = 0;
    std::size_t run = 0;
};

struct LineFit {
    double s0 = 0.0, t0 = 0.0, slope = 0.0, rms = 0.0;
    double at(double s) const { return t0 + slope * (s - s0); }
};

LineFit fitLine(const std::vector<Cut>& cuts, const std::vector<Member>& members)
{
    LineFit fit;
    const auto n = static_cast<double>(members.size());
    for (const Member& m : members) {
        fit.s0 += cuts[m.cut].s / n;
        fit.t0 += cuts[m.cut].runs[m.run].t / n;
    }
    double st = 0.0, ss = 0.0;
    for (const Member& m : members) {
        const double ds = cuts[m.cut].s - fit.s0;
        st += ds * (cuts[m.cut].runs[m.run].t - fit.t0);
        ss += ds * ds;
    }
    fit.slope = ss > 0.0 ? st / ss : 0.0;
    double squares = 0.0;
    for (const Member& m : members) {
        const double off = cuts[m.cut].runs[m.run].t - fit.at(cuts[m.cut].s);
        squares += off * off;
    }
    fit.rms = std::sqrt(squares / n);
    return fit;
}

// Takes the share of a line along x (`mass` centred at `middle`) out of a run it touches.
// Exact where the two share no pixel, as when a curve runs close along a gridline; where
// they overlap, the remainder is lighter than the curve and its centre off, and the points
// judge it by its weight.
void liftOff(Run& run, double middle, double mass, const Frame& frame)
{
    const double left = run.mass - mass;
    const double t = (run.mass * run.t - mass * middle) / left;
    const double shift = t - run.t;
    run.centre = {run.centre.column + shift * frame.vx, run.centre.row + shift * frame.vy};
    run.major += shift * frame.vMajor;
    run.t = t;
    run.mass = left;
    run.lifted = true;
}

} // namespace

void markStraightLines(std::vector<Cut>& cuts, const Frame& frame, PixelBox box)
{
    if (cuts.size() < 2 || box.empty())
        return;
    const double corners[4][2] = {{static_cast<double>(box.left), static_cast<double>(box.top)},
                                  {static_cast<double>(box.right - 1), static_cast<double>(box.top)},
                                  {static_cast<double>(box.left), static_cast<double>(box.bottom - 1)},
                                  {static_cast<double>(box.right - 1), static_cast<double>(box.bottom - 1)}};
    double tLow = frame.across(corners[0][0], corners[0][1]), tHigh = tLow;
    for (const auto& corner : corners) {
        tLow = std::min(tLow, frame.across(corner[0], corner[1]));
        tHigh = std::max(tHigh, frame.across(corner[0], corner[1]));
    }

    // Along y: one run reaching across most of the box.
    for (Cut& cut : cuts)
        for (Run& run : cut.runs)
            if (run.high - run.low >= acrossShare * (tHigh - tLow))
                run.straight = acrossLine;

    // Along x: thin runs at one place across in many cuts, on a straight line.
    const auto bins = static_cast<std::size_t>((tHigh - tLow) / binWidth) + 3;
    const auto binOf = [&](double t) {
        return static_cast<std::size_t>(std::clamp((t - tLow) / binWidth + 1.0, 0.0, static_cast<double>(bins - 1)));
    };
    std::vector<std::size_t> votes(bins, 0);
    for (const Cut& cut : cuts)
        for (const Run& run : cut.runs)
            if (run.straight == 0 && run.high - run.low <= thinRun)
                ++votes[binOf(run.t)];
    const double wanted = presentShare * static_cast<double>(cuts.size());
    const double span = cuts.back().s - cuts.front().s;
    std::vector<std::size_t> order(bins);
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto window = [&](std::size_t b) {
        return votes[b] + (b > 0 ? votes[b - 1] : 0) + (b + 1 < bins ? votes[b + 1] : 0);
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return window(a) > window(b); });
    int number = 0;
    std::vector<Member> members;
    for (const std::size_t b : order) {
        if (static_cast<double>(window(b)) < wanted)
            break;
        const double centre = tLow + (static_cast<double>(b) - 0.5) * binWidth;
        members.clear();
        std::vector<double> ts;
        for (std::size_t k = 0; k < cuts.size(); ++k)
            for (std::size_t i = 0; i < cuts[k].runs.size(); ++i) {
                const Run& run = cuts[k].runs[i];
                if (run.straight == 0 && run.high - run.low <= thinRun && std::abs(run.t - centre) <= 1.5 * binWidth) {
                    members.push_back({k, i});
                    ts.push_back(run.t);
                }
            }
        if (static_cast<double>(members.size()) < wanted)
            continue;
        // The line: about the median place, then the runs near the first fit.
        std::nth_element(ts.begin(), ts.begin() + static_cast<std::ptrdiff_t>(ts.size() / 2), ts.end());
        const double median = ts[ts.size() / 2];
        std::erase_if(members, [&](const Member& m) { return std::abs(cuts[m.cut].runs[m.run].t - median) > 1.0; });
        if (members.size() < 2)
            continue;
        LineFit fit = fitLine(cuts, members);
        std::erase_if(members, [&](const Member& m) {
            return std::abs(cuts[m.cut].runs[m.run].t - fit.at(cuts[m.cut].s)) > 2.0 * straightness;
        });
        if (static_cast<double>(members.size()) < wanted)
            continue;
        fit = fitLine(cuts, members);
        const double reach = cuts[members.back().cut].s - cuts[members.front().cut].s;
        if (std::abs(fit.slope) > flattest || fit.rms > straightness || reach < spanShare * span)
            continue;
        std::vector<double> widths;
        for (const Member& m : members)
            widths.push_back(cuts[m.cut].runs[m.run].high - cuts[m.cut].runs[m.run].low);
        std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2),
                         widths.end());
        const double halfWidth = 0.5 * widths[widths.size() / 2] + 0.75;
        std::vector<double> masses;
        for (const Member& m : members)
            masses.push_back(cuts[m.cut].runs[m.run].mass);
        std::nth_element(masses.begin(), masses.begin() + static_cast<std::ptrdiff_t>(masses.size() / 2),
                         masses.end());
        const double lineMass = masses[masses.size() / 2];
        ++number;
        // Every run that reaches onto the line: its own, and those of curves crossing it or
        // running along it, whose pixels touch the line's: what is left of these once the
        // line's share is taken out is theirs.
        for (Cut& cut : cuts)
            for (Run& run : cut.runs) {
                const double middle = fit.at(cut.s);
                if (run.straight != 0 || run.low > middle + halfWidth || run.high < middle - halfWidth)
                    continue;
                if (run.mass > 1.5 * lineMass)
                    liftOff(run, middle, lineMass, frame);
                else
                    run.straight = number;
            }
    }
}

void unmarkStraightLine(std::vector<Cut>& cuts, int number)
{
    if (number <= 0)
        return;
    for (Cut& cut : cuts)
        for (Run& run : cut.runs)
            if (run.straight == number)
                run.straight = 0;
}
