#include "extraction/LineExtraction.h"

#include "extraction/CurveFollower.h"
#include "extraction/CurvePoints.h"
#include "extraction/LineCuts.h"
#include "extraction/StraightLines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// Candidates for the start of a curve: the runs within this distance of the first cut with any.
constexpr double seedSpan = 10.0;
// Chains shorter than this (in pixels along the x axis) are specks, not curves; measured in
// pixels so that a coarse step over a narrow box still finds its few points.
constexpr double shortestChain = 5.0;

// A chain's typical weight across the line: the upper quartile of its runs'.
double weightOf(const std::vector<Cut>& cuts, const std::vector<Link>& links, const Frame& frame)
{
    const std::vector<LocalSlope> slopes = localSlopes(cuts, links, frame);
    std::vector<double> weights;
    for (std::size_t i = 0; i < links.size(); ++i)
        weights.push_back(massAcross(cuts[links[i].cut].runs[links[i].run].mass, slopes[i].across));
    return weights.empty() ? 0.0 : quantileOf(weights, 0.75);
}

// Follows the curve from the start of the cuts, restarting after each gap too long to bridge:
// of the runs near each start, the one that leads the longest way. Lines along the axes
// are never a start. `lightest`: chains of a lower weight are passed over, as pixels of another line that
// its colour makes match here and there, joined.
std::vector<Chain> chooseCurve(const std::vector<Cut>& cuts, const CurveFollower& follower, double step,
                               const Frame& frame, double lightest)
{
    std::vector<Chain> chains;
    std::size_t start = 0;
    const auto usable = [](const Cut& cut) {
        return std::any_of(cut.runs.begin(), cut.runs.end(), [](const Run& run) { return run.straight == 0; });
    };
    while (true) {
        while (start < cuts.size() && !usable(cuts[start]))
            ++start;
        if (start >= cuts.size())
            break;
        std::vector<Link> best;
        double bestMass = 0.0;
        // A seed on a chain already followed from here would mostly walk the rest of that
        // chain again, and come out shorter: each curve is walked about once, not once
        // for every run near its start.
        std::vector<Link> walked;
        for (std::size_t k = start; k < cuts.size() && cuts[k].s <= cuts[start].s + seedSpan; ++k) {
            for (std::size_t i = 0; i < cuts[k].runs.size(); ++i) {
                const Link seed{k, i};
                if (cuts[k].runs[i].straight != 0 || std::find(walked.begin(), walked.end(), seed) != walked.end())
                    continue;
                std::vector<Link> chain = follower.onwardFrom(seed);
                for (const Link& link : chain) {
                    if (cuts[link.cut].s > cuts[start].s + seedSpan)
                        break;
                    walked.push_back(link);
                }
                const double mass = cuts[k].runs[i].mass;
                if (lightest > 0.0 && weightOf(cuts, chain, frame) < lightest)
                    continue;
                if (chain.size() > best.size() || (chain.size() == best.size() && mass > bestMass)) {
                    best = std::move(chain);
                    bestMass = mass;
                }
            }
        }
        if (best.empty()) {
            ++start;
            continue;
        }
        if (cuts[best.back().cut].s - cuts[best.front().cut].s >= shortestChain) {
            start = best.back().cut + 1;
            chains.push_back({std::move(best), {}, {}});
        } else {
            start = best.front().cut + 1;
        }
    }
    // Besides the longest chain, the curve beyond gaps too long to bridge is drawn in
    // stretches without a break; a chain of specks only (pixels of a line of a near colour
    // that JPEG's smudged colour makes match), joined as though dots, is none of it.
    if (chains.size() > 1) {
        const auto longest = std::max_element(chains.begin(), chains.end(), [](const Chain& a, const Chain& b) {
            return a.links.size() < b.links.size();
        });
        const auto drawn = [&cuts, step](const Chain& chain) {
            for (std::size_t first = 0, i = 1; i <= chain.links.size(); ++i)
                if (i == chain.links.size() ||
                    std::abs(cuts[chain.links[i].cut].s - cuts[chain.links[i - 1].cut].s) > 1.5 * step) {
                    if (cuts[chain.links[i - 1].cut].s - cuts[chain.links[first].cut].s >= shortestChain)
                        return true;
                    first = i;
                }
            return false;
        };
        std::vector<Chain> kept;
        for (auto chain = chains.begin(); chain != chains.end(); ++chain)
            if (chain == longest || drawn(*chain))
                kept.push_back(std::move(*chain));
        chains = std::move(kept);
    }
    return chains;
}

// The run nearest to `start` within startReach, a run on a line along the x axis only when
// nothing else is that near (that line is then the curve); nothing when none is.
std::optional<Link> runNear(std::vector<Cut>& cuts, const Frame& frame, PixelPoint start)
{
    const double s0 = frame.s(start.column, start.row);
    const double t0 = frame.across(start.column, start.row);
    std::optional<Link> best;
    double bestDistance = 0.0;
    bool bestStraight = true;
    const auto first = std::lower_bound(cuts.begin(), cuts.end(), s0 - startReach,
                                        [](const Cut& cut, double s) { return cut.s < s; });
    for (auto cut = first; cut != cuts.end() && cut->s <= s0 + startReach; ++cut)
        for (std::size_t i = 0; i < cut->runs.size(); ++i) {
            const Run& run = cut->runs[i];
            if (run.straight == acrossLine)
                continue;
            const double distance = std::hypot(cut->s - s0, std::max({0.0, run.low - t0, t0 - run.high}));
            const bool straight = run.straight != 0;
            if (distance > startReach)
                continue;
            if (!best || (straight == bestStraight ? distance < bestDistance : !straight)) {
                best = Link{static_cast<std::size_t>(cut - cuts.begin()), i};
                bestDistance = distance;
                bestStraight = straight;
            }
        }
    if (best && bestStraight)
        unmarkStraightLine(cuts, cuts[best->cut].runs[best->run].straight);
    return best;
}

// The curve through the run nearest to `start`, followed both ways from it.
std::vector<Chain> curveThrough(std::vector<Cut>& cuts, const Frame& frame, PixelPoint start, const FollowRules& rules)
{
    const std::optional<Link> seed = runNear(cuts, frame, start);
    if (!seed)
        return {};
    return {{CurveFollower(cuts, rules).through(*seed), {}, {}}};
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
        return result;
    }
    markStraightLines(cuts, frame, box);
    FollowRules rules;
    rules.gap = options.gap >= 0.0 && std::isfinite(options.gap) ? options.gap : defaultGap;
    rules.step = step;
    // Where another colour lies on the curve's course, the curve is hidden, not broken off.
    const Foreign foreign(colour);
    rules.covered = [&](double s, double t) {
        const PixelPoint p = frame.pointAt(s, t);
        const double column = std::round(p.column), row = std::round(p.row);
        if (!(column >= box.left && column < box.right && row >= box.top && row < box.bottom))
            return false;
        return foreign(picture.at(static_cast<int>(column), static_cast<int>(row)));
    };
    const bool started = options.start && std::isfinite(options.start->column) && std::isfinite(options.start->row);
    std::vector<Chain> chains;
    if (started && step > 1.5) {
        std::vector<Cut> fine;
        if (!gatherRuns(picture, colour, region, box, frame, 1.0, fine, pass) || pass.cancelled()) {
            result.cancelled = true;
            return result;
        }
        markStraightLines(fine, frame, box);
        FollowRules fineRules = rules;
        fineRules.step = 1.0;
        std::vector<Chain> course = curveThrough(fine, frame, *options.start, fineRules);
        result.points = atCuts(cuts, settle(fine, course, frame, 1.0), frame);
        return result;
    }
    if (started) {
        chains = curveThrough(cuts, frame, *options.start, rules);
    } else {
        std::optional<CurveFollower> follower(std::in_place, cuts, rules);
        chains = chooseCurve(cuts, *follower, step, frame, 0.0);
        if (chains.empty()) {
            // Nothing but straight lines along the axes: one of them is the curve (a
            // constant, or a threshold drawn across the plot) after all.
            for (Cut& cut : cuts)
                for (Run& run : cut.runs)
                    if (run.straight > 0)
                        run.straight = 0;
            follower.emplace(cuts, rules);
            chains = chooseCurve(cuts, *follower, step, frame, 0.0);
        }
        // The curve is of the weight of its longest chain; lighter chains are pixels of
        // another line that its colour makes match here and there, and where one was
        // chosen the curve itself may have been passed over.
        std::vector<double> weights;
        for (const Chain& chain : chains)
            weights.push_back(weightOf(cuts, chain.links, frame));
        const auto longest = std::max_element(chains.begin(), chains.end(), [](const Chain& a, const Chain& b) {
            return a.links.size() < b.links.size();
        });
        if (longest != chains.end() && step <= 1.5) {
            const double lightest = 0.7 * weights[static_cast<std::size_t>(longest - chains.begin())];
            if (std::any_of(weights.begin(), weights.end(), [lightest](double w) { return w < lightest; }))
                chains = chooseCurve(cuts, *follower, step, frame, lightest);
        }
        // Across the gaps between the chains, what lies on the curve drawn from both sides
        // (read where the cuts are neighbours).
        if (chains.size() > 1 && step <= 1.5) {
            Chain all;
            for (const Chain& chain : chains)
                all.links.insert(all.links.end(), chain.links.begin(), chain.links.end());
            follower->fillIn(all.links);
            chains = {std::move(all)};
        }
    }
    result.points = settle(cuts, chains, frame, step);
    return result;
}
