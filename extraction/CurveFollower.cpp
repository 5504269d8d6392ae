#include "extraction/CurveFollower.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// How far along the curve the follower carries on where something lies on it all the way (a
// curve of its colour crossing at a shallow angle, a gridline it runs along, another colour).
constexpr double crossingGap = 200.0;
// A run this close (along the cut) to where the curve should be shows that something is
// there: its stretch is no gap.
constexpr double evidenceReach = 1.5;
// A piece's direction is read from samples within this distance of where it begins, and a
// course or a way shows one when its samples reach at least `showsWay` along x.
constexpr double directionSpan = 15.0;
constexpr double showsWay = 4.0;
// The curve's typical whole run is the upper quartile of the last links' weights (a dotted
// line's dots are short enough that many cuts meet only part of one), once there are
// `enoughWeights` of them.
constexpr std::size_t weightWindow = 40;
constexpr std::size_t enoughWeights = 8;
// Far out, the course's error grows no more with the distance squared: beyond this, the
// curve's bends have been read into the parabola.
constexpr double bendReach = 30.0;
// A stretch the curve was carried across no longer than this is filled in afterwards, with
// the runs of its weight that lie on the curve drawn from both sides of it.
constexpr double fillSpan = 40.0;

double upperQuartile(std::vector<double> values)
{
    const auto at = static_cast<std::ptrdiff_t>(3 * (values.size() - 1) / 4);
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[static_cast<std::size_t>(at)];
}

} // namespace

CurveFollower::CurveFollower(const std::vector<Cut>& cuts, FollowRules rules)
    : cuts_(cuts), rules_(std::move(rules)), pieces_(cuts, rules_.step)
{
}

std::vector<Link> CurveFollower::through(Link seed) const
{
    int number = pieces_.pieceOf(seed);
    if (number < 0)
        return {};
    // Started on the end of a dash, which a cut meets only in part: from the dash itself,
    // the longest piece of its blob.
    for (const int other : pieces_.dotPieces(number))
        if (pieces_.links(other).size() > pieces_.links(number).size())
            number = other;
    std::vector<char> used(pieces_.count(), 0);
    std::vector<Link> chain;
    take(number, +1, chain, used);
    const std::optional<double> slope = startingSlope(number);
    extend(chain, +1, used, slope);
    std::reverse(chain.begin(), chain.end());
    extend(chain, -1, used, slope);
    std::reverse(chain.begin(), chain.end());
    fillIn(chain);
    return chain;
}

std::vector<Link> CurveFollower::onwardFrom(Link seed) const
{
    const int number = pieces_.pieceOf(seed);
    if (number < 0)
        return {};
    std::vector<char> used(pieces_.count(), 0);
    std::vector<Link> chain;
    take(number, +1, chain, used);
    std::erase_if(chain, [seed](Link link) { return link.cut < seed.cut; });
    extend(chain, +1, used, std::nullopt);
    fillIn(chain);
    return chain;
}

void CurveFollower::fillIn(std::vector<Link>& chain) const
{
    if (rules_.step > 1.5 || chain.size() < 8)
        return;
    std::vector<Sample> samples;
    for (const Link& link : chain)
        samples.push_back(pieces_.sampleOf(link));
    std::vector<double> weights(chain.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::vector<Sample> near(samples.begin() + static_cast<std::ptrdiff_t>(i >= 3 ? i - 3 : 0),
                                       samples.begin() + static_cast<std::ptrdiff_t>(std::min(chain.size(), i + 4)));
        weights[i] = pieces_.massOf(chain[i], fitThrough(near, 0, 1, samples[i].s).slope);
    }
    const double whole = upperQuartile(weights);
    const auto isWhole = [&](std::size_t i) {
        const Run& run = pieces_.runOf(chain[i]);
        return std::abs(weights[i] / whole - 1.0) <= 0.2 && !run.foreignEdge && !run.lifted;
    };
    std::vector<Link> found;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        const double from = samples[i].s, to = samples[i + 1].s;
        if (chain[i + 1].cut <= chain[i].cut + 1 || to - from > fillSpan)
            continue;
        // The curve across the stretch, from both sides of it.
        std::vector<Sample> sides;
        std::size_t before = 0, after = 0;
        for (std::size_t j = 0; j < chain.size(); ++j) {
            if (!isWhole(j))
                continue;
            if (samples[j].s <= from && samples[j].s >= from - directionSpan) {
                sides.push_back(samples[j]);
                ++before;
            } else if (samples[j].s >= to && samples[j].s <= to + directionSpan) {
                sides.push_back(samples[j]);
                ++after;
            }
        }
        if (before < 3 || after < 3)
            continue;
        for (std::size_t k = chain[i].cut + 1; k < chain[i + 1].cut; ++k) {
            const Course across = fitThrough(sides, 0, 2, cuts_[k].s);
            for (std::size_t r = 0; r < cuts_[k].runs.size(); ++r) {
                const Run& run = cuts_[k].runs[r];
                const double weight = massAcross(run.mass, across.slope);
                if (run.straight == 0 && !run.foreignEdge && std::abs(run.t - across.t) <= 0.5 &&
                    std::abs(weight / whole - 1.0) <= 0.2)
                    found.push_back({k, r});
            }
        }
    }
    chain.insert(chain.end(), found.begin(), found.end());
    std::sort(chain.begin(), chain.end(), [](Link a, Link b) { return a.cut < b.cut; });
}

void CurveFollower::take(int number, int direction, std::vector<Link>& chain, std::vector<char>& used) const
{
    const std::vector<int> one{number};
    const std::vector<int>& taken = pieces_.isDot(number) ? pieces_.dotPieces(number) : one;
    const std::size_t from = chain.size();
    for (const int piece : taken) {
        used[static_cast<std::size_t>(piece)] = 1;
        const std::vector<Link>& links = pieces_.links(piece);
        chain.insert(chain.end(), links.begin(), links.end());
    }
    std::sort(chain.begin() + static_cast<std::ptrdiff_t>(from), chain.end(),
              [direction](Link a, Link b) { return direction > 0 ? a.cut < b.cut : a.cut > b.cut; });
}

double CurveFollower::wholeOf(const std::vector<Link>& chain, double slope) const
{
    std::vector<double> weights;
    for (std::size_t i = chain.size() > weightWindow ? chain.size() - weightWindow : 0; i < chain.size(); ++i)
        weights.push_back(pieces_.massOf(chain[i], slope));
    return weights.size() >= enoughWeights ? upperQuartile(weights) : 0.0;
}

std::vector<Sample> CurveFollower::courseOf(const std::vector<Link>& chain, double whole, double slope) const
{
    std::vector<Sample> course;
    std::vector<char> dot; // whether each sample is a dot's centre
    int lastDot = -1;
    for (std::size_t i = chain.size() > 4 * weightWindow ? chain.size() - 4 * weightWindow : 0; i < chain.size(); ++i) {
        const Link link = chain[i];
        const int number = pieces_.pieceOf(link);
        if (pieces_.isDot(number)) {
            if (pieces_.blobOf(number) != lastDot) {
                course.push_back(pieces_.dotCentre(number));
                dot.push_back(1);
            }
            lastDot = pieces_.blobOf(number);
            continue;
        }
        const double weight = pieces_.massOf(link, slope);
        if (!(weight < 0.6 * whole) && !(pieces_.runOf(link).foreignEdge && weight < 0.85 * whole)) {
            course.push_back(pieces_.sampleOf(link));
            dot.push_back(0);
        }
    }
    // Not the runs of the last two pixels, where the curve may run into another line whose
    // edge pulls them aside. (A dot is clear of other lines.)
    const double endS = pieces_.sOf(chain.back());
    while (course.size() > 8 && !dot.back() && std::abs(course.back().s - endS) < 2.0) {
        course.pop_back();
        dot.pop_back();
    }
    if (course.empty())
        course.push_back(pieces_.sampleOf(chain.back()));
    return course;
}

bool CurveFollower::ofWeight(int number, double slope, double whole) const
{
    if (!(whole > 0.0))
        return true;
    std::vector<double> weights;
    const std::vector<int> one{number};
    for (const int piece : pieces_.isDot(number) ? pieces_.dotPieces(number) : one)
        for (const Link& link : pieces_.links(piece))
            weights.push_back(pieces_.massOf(link, slope));
    // Neither part of a line only (a dash's end) nor lines merged.
    return *std::max_element(weights.begin(), weights.end()) >= 0.6 * whole && upperQuartile(weights) <= 1.3 * whole;
}

Sample CurveFollower::entryOf(int number, int direction) const
{
    return pieces_.isDot(number) ? pieces_.dotCentre(number) : pieces_.sampleOf(pieces_.at(number, 0, direction));
}

std::vector<Sample> CurveFollower::wayFrom(int number, int direction, double slope, double whole,
                                           const std::vector<char>& used) const
{
    const double startS = entryOf(number, direction).s;
    std::vector<Sample> way;
    // A piece's samples near the start, and where it lies: a dot's centre, or its
    // heaviest run (of a dot-like piece, the cut that meets all of it).
    const auto takeFrom = [&](int piece) {
        if (pieces_.isDot(piece)) {
            way.push_back(pieces_.dotCentre(piece));
            return pieces_.dotCentre(piece);
        }
        Sample heaviest = pieces_.sampleOf(pieces_.at(piece, 0, direction));
        double mass = 0.0;
        for (const Link& link : pieces_.links(piece)) {
            if (std::abs(pieces_.sOf(link) - startS) > directionSpan)
                continue;
            if (!(pieces_.massOf(link, slope) < 0.6 * whole))
                way.push_back(pieces_.sampleOf(link));
            if (pieces_.runOf(link).mass > mass) {
                mass = pieces_.runOf(link).mass;
                heaviest = pieces_.sampleOf(link);
            }
        }
        return heaviest;
    };
    const auto lastCut = [&](int piece) {
        const std::vector<int> one{piece};
        std::size_t cut = pieces_.at(piece, 0, direction).cut;
        for (const int part : pieces_.isDot(piece) ? pieces_.dotPieces(piece) : one) {
            const std::size_t end = pieces_.at(part, pieces_.links(part).size() - 1, direction).cut;
            cut = direction > 0 ? std::max(cut, end) : std::min(cut, end);
        }
        return cut;
    };
    const Sample anchor = takeFrom(number);
    // The pieces after it that lie on the line through it at the course's slope belong to
    // its way: a dotted line's dots, each too short to show a direction.
    for (auto k = static_cast<std::ptrdiff_t>(lastCut(number)) + direction;
         k >= 0 && k < static_cast<std::ptrdiff_t>(cuts_.size()) &&
         std::abs(cuts_[static_cast<std::size_t>(k)].s - startS) <= directionSpan;
         k += direction) {
        const auto cut = static_cast<std::size_t>(k);
        for (std::size_t i = 0; i < cuts_[cut].runs.size(); ++i) {
            const int next = pieces_.pieceOf({cut, i});
            if (next < 0 || used[static_cast<std::size_t>(next)] || pieces_.blobOf(next) == pieces_.blobOf(number) ||
                !(pieces_.at(next, 0, direction) == Link{cut, i}) || !ofWeight(next, slope, whole))
                continue;
            // On the line all along, not only where another curve crosses it.
            const std::size_t had = way.size();
            const Sample place = takeFrom(next);
            const auto offLine = [&](const Sample& sample) {
                return std::abs(sample.t - (anchor.t + slope * (sample.s - anchor.s))) > 1.0;
            };
            if (offLine(place) || std::any_of(way.begin() + static_cast<std::ptrdiff_t>(had), way.end(), offLine)) {
                way.resize(had);
                continue;
            }
            k = static_cast<std::ptrdiff_t>(lastCut(next));
            break;
        }
    }
    return way;
}

std::optional<double> CurveFollower::startingSlope(int number) const
{
    const std::vector<Link>& seed = pieces_.links(number);
    if (!pieces_.isDot(number) && std::abs(pieces_.sOf(seed.back()) - pieces_.sOf(seed.front())) >= showsWay)
        return std::nullopt; // it shows its own
    const Sample middle = entryOf(number, +1);
    // Where each piece about it lies (a dot's centre, or the middle of its runs near the
    // seed), and how many runs it has there.
    std::vector<Sample> near;
    std::vector<double> runs;
    std::vector<char> seen(pieces_.count(), 0);
    const auto first = std::lower_bound(cuts_.begin(), cuts_.end(), middle.s - directionSpan,
                                        [](const Cut& cut, double s) { return cut.s < s; });
    for (auto cut = first; cut != cuts_.end() && cut->s <= middle.s + directionSpan; ++cut)
        for (std::size_t i = 0; i < cut->runs.size(); ++i) {
            const int other = pieces_.pieceOf({static_cast<std::size_t>(cut - cuts_.begin()), i});
            if (other < 0 || pieces_.blobOf(other) == pieces_.blobOf(number) || seen[static_cast<std::size_t>(other)])
                continue;
            seen[static_cast<std::size_t>(other)] = 1;
            if (pieces_.isDot(other)) {
                const Sample centre = pieces_.dotCentre(other);
                if (std::hypot(centre.s - middle.s, centre.t - middle.t) <= directionSpan) {
                    near.push_back(centre);
                    runs.push_back(1.0);
                }
                continue;
            }
            Sample sum;
            double n = 0.0;
            for (const Link& link : pieces_.links(other))
                if (std::abs(pieces_.sOf(link) - middle.s) <= directionSpan) {
                    sum.s += pieces_.sOf(link);
                    sum.t += pieces_.runOf(link).t;
                    n += 1.0;
                }
            if (std::hypot(sum.s / n - middle.s, sum.t / n - middle.t) > directionSpan)
                continue; // the pieces about it, not those of other curves across the plot
            near.push_back({sum.s / n, sum.t / n});
            runs.push_back(n);
        }
    // The line through it that passes through the most pieces about it (then the most of
    // their runs) shows the way of its curve, as the dots of a dotted line, or the dashes
    // beside the dot of a dash-dot line, do.
    std::optional<double> best;
    double bestPieces = 0.0, bestRuns = 0.0;
    for (const Sample& candidate : near) {
        if (std::abs(candidate.s - middle.s) < 2.0)
            continue;
        const double slope = (candidate.t - middle.t) / (candidate.s - middle.s);
        double pieces = 0.0, count = 0.0;
        for (std::size_t i = 0; i < near.size(); ++i)
            if (std::abs(middle.t + slope * (near[i].s - middle.s) - near[i].t) <= 1.0) {
                pieces += 1.0;
                count += runs[i];
            }
        if (pieces >= 2.0 && (pieces > bestPieces || (pieces == bestPieces && count > bestRuns))) {
            best = slope;
            bestPieces = pieces;
            bestRuns = count;
        }
    }
    return best;
}

void CurveFollower::extend(std::vector<Link>& chain, int direction, std::vector<char>& used,
                           std::optional<double> slope) const
{
    while (extendOnce(chain, direction, used, slope)) {
    }
}

bool CurveFollower::extendOnce(std::vector<Link>& chain, int direction, std::vector<char>& used,
                               std::optional<double> slope) const
{
    const double endS = pieces_.sOf(chain.back());
    std::vector<Sample> recent;
    for (std::size_t i = chain.size() > 12 ? chain.size() - 12 : 0; i < chain.size(); ++i)
        recent.push_back(pieces_.sampleOf(chain[i]));
    const double slopeHere = fitThrough(recent, 0, 1, endS).slope;
    const double whole = wholeOf(chain, slopeHere);
    const std::vector<Sample> course = courseOf(chain, whole, slopeHere);
    const double courseS = course.back().s;
    // A chain too short to show its way goes the way of the pieces about its start.
    const bool young = std::abs(course.front().s - courseS) < showsWay;
    const auto expectedAt = [&](double s) {
        return young && slope ? Course{course.back().t + *slope * (s - courseS), *slope} : predict(course, s);
    };
    const bool lone = course.size() == 1 && !(young && slope);
    const bool courseShows = !young;
    const double bridge = std::max(rules_.gap + 2.0, 2.5 * rules_.step);

    int best = -1;
    double bestScore = 0.0, firstS = 0.0;
    double seenAt = endS; // the last cut where something lay on the course
    for (auto k = static_cast<std::ptrdiff_t>(chain.back().cut) + direction;
         k >= 0 && k < static_cast<std::ptrdiff_t>(cuts_.size()); k += direction) {
        const Cut& cut = cuts_[static_cast<std::size_t>(k)];
        // The best of the pieces that begin near the first that could continue the curve:
        // past a crossing, the other curve's piece may come first.
        if (best >= 0 && std::abs(cut.s - firstS) > std::max(1.0, 0.5 * std::abs(firstS - endS)))
            break;
        const Course expected = expectedAt(cut.s);
        const double stretch = std::sqrt(1.0 + expected.slope * expected.slope);
        if (std::abs(cut.s - endS) * stretch > crossingGap)
            break;
        bool seen = rules_.covered && rules_.covered(cut.s, expected.t);
        for (const Run& run : cut.runs)
            seen = seen || std::max({0.0, run.low - expected.t, expected.t - run.high}) <= evidenceReach;
        if (seen)
            seenAt = cut.s;
        else if (std::abs(cut.s - seenAt) * stretch > bridge)
            break; // a gap longer than the longest to bridge
        for (std::size_t i = 0; i < cut.runs.size(); ++i) {
            const int number = pieces_.pieceOf({static_cast<std::size_t>(k), i});
            if (number < 0 || used[static_cast<std::size_t>(number)] ||
                !(pieces_.at(number, 0, direction) == Link{static_cast<std::size_t>(k), i}))
                continue; // pieces are joined where they begin
            if (pieces_.isDot(number) &&
                pieces_.dotPieces(number)[direction > 0 ? 0 : pieces_.dotPieces(number).size() - 1] != number)
                continue; // a dot is taken whole, where it begins
            const Sample entry = entryOf(number, direction);
            const Course there = expectedAt(entry.s);
            // How far the course reaches out from its last sample: what its error grows
            // with. From one sample the slope is unknown: at a coarse step a steep curve
            // moves several pixels along the cut between two cuts, so the next may be up
            // to a slope of 4 away; after that the course predicts it, closely once it
            // has a few samples. The squared term allows for the bends of a plotted curve
            // (0.02 px per px squared) at coarse steps and over long crossings.
            const double reach = std::abs(entry.s - courseS);
            const double bend = 0.01 * std::min(reach * reach, bendReach * bendReach);
            const double limit =
                lone ? 1.5 + reach * 4.0 + bend
                     : (course.size() >= 6 ? 1.0 : 1.5) + reach * (0.2 + 0.1 * std::abs(there.slope)) + bend;
            const Run& run = cut.runs[i];
            const double off = lone && !pieces_.isDot(number)
                                   ? std::max({0.0, run.low - there.t, there.t - run.high})
                                   : std::abs(entry.t - there.t);
            if (off > limit || !ofWeight(number, there.slope, whole))
                continue;
            // Its direction, when it and the pieces just after it show one: where it
            // leaves the course, halfway between the course's last sample and the piece, it
            // must run on as the course does, at the same place and slope.
            const std::vector<Sample> way = wayFrom(number, direction, there.slope, whole, used);
            double score = off + 0.5; // a piece that shows no direction must do better
            if (courseShows && way.size() >= 3 && std::abs(way.back().s - way.front().s) >= showsWay) {
                const double middle = 0.5 * (courseS + entry.s);
                const Course before = expectedAt(middle);
                // Not its first two samples, where it may leave another line that pulls them aside.
                const Course after = fitThrough(way, way.size() >= 7 ? 2 : 0, 1, middle);
                score = std::abs(after.t - before.t) + 0.5 * reach * std::abs(after.slope - before.slope);
                if (score > 0.75 + 0.05 * reach + 0.5 * bend)
                    continue;
            } else if (courseShows && std::abs(entry.s - endS) * stretch > bridge) {
                continue; // past a long stretch, only a piece that shows its direction
            } else if (courseShows && rules_.step <= 1.5 && !pieces_.isDot(number) &&
                       off > 0.5 + 0.1 * reach + 0.5 * bend) {
                continue; // a fragment (of a line where it meets another) must lie on the course
            }
            if (best < 0)
                firstS = cut.s;
            if (best < 0 || score < bestScore) {
                best = number;
                bestScore = score;
            }
        }
    }
    if (best < 0)
        return false;
    take(best, direction, chain, used);
    return true;
}
