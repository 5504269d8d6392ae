#include "extraction/CurveFollower.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

// How far along the curve the follower carries on where something lies on it all the way (a
// curve of its colour crossing at a shallow angle, a gridline it runs along, another colour).
constexpr double crossingGap = 200.0;
// A run this close (along the cut) to where the curve should be shows that something is
// there: its stretch is no gap.
constexpr double evidenceReach = 1.5;
// The course: a straight line through the links of the last `shortWindow` pixels (at
// least `fewest` links); where the follower looks further ahead than `coasting` pixels, a
// parabola through those of the last `longWindow`, when they reach far enough back.
constexpr double shortWindow = 12.0;
constexpr std::size_t fewest = 6;
constexpr double coasting = 3.0;
constexpr double longWindow = 40.0;
// Neighbouring runs of one piece differ in weight by no more than this factor: the end of
// a dash, only partly in its cut, is a piece of its own, and so is the stretch where two
// curves lie merged.
constexpr double weightJump = 1.4;
// A piece's direction is read from its runs within this distance of where it begins, and
// it shows one when they reach at least `showsWay` along x (a dot is no direction).
constexpr double directionSpan = 15.0;
constexpr double showsWay = 4.0;
// The curve's typical whole run is the upper quartile of the last links' weights (a dotted
// line's dots are short enough that many cuts meet only part of one).
constexpr std::size_t weightWindow = 40;

const Run& runOf(const std::vector<Cut>& cuts, Link link)
{
    return cuts[link.cut].runs[link.run];
}

struct Course {
    double t = 0.0;     // where the curve is expected, along the cut
    double slope = 0.0; // dt/ds there
};

// Least squares of t against powers of (s - origin) up to `degree` (1 or 2), over the
// links from `first` to the end, evaluated at s.
Course fitCourse(const std::vector<Cut>& cuts, const std::vector<Link>& links, std::size_t first, int degree,
                 double origin, double s)
{
    // Normal equations of the polynomial, solved by Cramer's rule (2 or 3 unknowns).
    double m[3][3] = {}, r[3] = {};
    for (std::size_t i = first; i < links.size(); ++i) {
        const double x = cuts[links[i].cut].s - origin;
        const double t = runOf(cuts, links[i]).t;
        const double powers[3] = {1.0, x, x * x};
        for (int a = 0; a <= degree; ++a) {
            r[a] += powers[a] * t;
            for (int b = 0; b <= degree; ++b)
                m[a][b] += powers[a] * powers[b];
        }
    }
    const double x = s - origin;
    if (degree == 1) {
        const double det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        if (!(std::abs(det) > 1e-9 * (1.0 + m[1][1] * m[0][0])))
            return {r[0] / m[0][0], 0.0};
        const double a = (r[0] * m[1][1] - m[0][1] * r[1]) / det;
        const double b = (m[0][0] * r[1] - m[1][0] * r[0]) / det;
        return {a + b * x, b};
    }
    const auto det3 = [](const double q[3][3]) {
        return q[0][0] * (q[1][1] * q[2][2] - q[1][2] * q[2][1]) - q[0][1] * (q[1][0] * q[2][2] - q[1][2] * q[2][0]) +
               q[0][2] * (q[1][0] * q[2][1] - q[1][1] * q[2][0]);
    };
    const double det = det3(m);
    if (!(std::abs(det) > 1e-9 * std::abs(m[0][0] * m[1][1] * m[2][2])))
        return fitCourse(cuts, links, first, 1, origin, s);
    double coefficients[3];
    for (int c = 0; c < 3; ++c) {
        double q[3][3];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                q[a][b] = b == c ? r[a] : m[a][b];
        coefficients[c] = det3(q) / det;
    }
    return {coefficients[0] + coefficients[1] * x + coefficients[2] * x * x, coefficients[1] + 2.0 * coefficients[2] * x};
}

// Where the curve of `links` (in the order travelled) is expected at cut position s.
Course predict(const std::vector<Cut>& cuts, const std::vector<Link>& links, double s)
{
    const double last = cuts[links.back().cut].s;
    if (links.size() == 1)
        return {runOf(cuts, links.back()).t, 0.0};
    // The links of the windows, counted back from the last.
    std::size_t shortFirst = links.size() - 1, longFirst = links.size() - 1;
    for (std::size_t i = links.size(); i-- > 0;) {
        const double back = std::abs(cuts[links[i].cut].s - last);
        if (back <= shortWindow || links.size() - i <= fewest)
            shortFirst = i;
        if (back <= longWindow)
            longFirst = i;
        else if (links.size() - i > fewest)
            break;
    }
    const double reachedBack = std::abs(cuts[links[longFirst].cut].s - last);
    if (std::abs(s - last) > coasting && reachedBack >= 0.5 * longWindow && links.size() - longFirst >= 10)
        return fitCourse(cuts, links, longFirst, 2, last, s);
    return fitCourse(cuts, links, shortFirst, 1, last, s);
}

double upperQuartile(std::vector<double> values)
{
    const auto at = static_cast<std::ptrdiff_t>(3 * (values.size() - 1) / 4);
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[static_cast<std::size_t>(at)];
}

bool overlap(const Run& a, const Run& b)
{
    return a.low < b.high + 1.0 && b.low < a.high + 1.0;
}

} // namespace

CurveFollower::CurveFollower(const std::vector<Cut>& cuts, FollowRules rules) : cuts_(cuts), rules_(std::move(rules))
{
    buildPieces();
}

void CurveFollower::buildPieces()
{
    // Cuts further apart than about a pixel are not read as neighbours: every run is then
    // a piece of its own, and the course alone joins them.
    const bool neighbours = rules_.step <= 1.5;
    pieceOf_.resize(cuts_.size());
    std::vector<int> before, after;
    std::vector<std::size_t> successors;
    for (std::size_t k = 0; k < cuts_.size(); ++k) {
        const std::vector<Run>& runs = cuts_[k].runs;
        pieceOf_[k].assign(runs.size(), -1);
        if (neighbours && k > 0) {
            const std::vector<Run>& previous = cuts_[k - 1].runs;
            before.assign(runs.size(), -1);
            std::vector<int> count(runs.size(), 0);
            successors.assign(previous.size(), 0);
            for (std::size_t i = 0; i < runs.size(); ++i)
                for (std::size_t j = 0; j < previous.size(); ++j)
                    if (runs[i].straight == 0 && previous[j].straight == 0 && overlap(runs[i], previous[j])) {
                        ++count[i];
                        ++successors[j];
                        before[i] = static_cast<int>(j);
                    }
            for (std::size_t i = 0; i < runs.size(); ++i) {
                if (count[i] != 1)
                    continue;
                const auto j = static_cast<std::size_t>(before[i]);
                const double ratio = runs[i].mass / previous[j].mass;
                if (successors[j] == 1 && ratio < weightJump && ratio > 1.0 / weightJump &&
                    keepsWeight(pieces_[static_cast<std::size_t>(pieceOf_[k - 1][j])], runs[i]))
                    pieceOf_[k][i] = pieceOf_[k - 1][j];
            }
        }
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (runs[i].straight != 0)
                continue;
            if (pieceOf_[k][i] < 0) {
                pieceOf_[k][i] = static_cast<int>(pieces_.size());
                pieces_.emplace_back();
            }
            pieces_[static_cast<std::size_t>(pieceOf_[k][i])].links.push_back({k, i});
        }
    }
    // Each run's slope, from its piece's runs about it.
    slopeOf_.resize(cuts_.size());
    for (std::size_t k = 0; k < cuts_.size(); ++k)
        slopeOf_[k].assign(cuts_[k].runs.size(), std::numeric_limits<double>::quiet_NaN());
    for (const Piece& piece : pieces_) {
        const std::size_t n = piece.links.size();
        if (n < 3)
            continue;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t first = i >= 3 ? i - 3 : 0;
            const std::vector<Link> near(piece.links.begin() + static_cast<std::ptrdiff_t>(first),
                                         piece.links.begin() + static_cast<std::ptrdiff_t>(std::min(n, i + 4)));
            const double s = cuts_[piece.links[i].cut].s;
            slopeOf_[piece.links[i].cut][piece.links[i].run] = fitCourse(cuts_, near, 0, 1, s, s).slope;
        }
    }
}

bool CurveFollower::keepsWeight(const Piece& piece, const Run& run) const
{
    // Against the median of the piece's last runs: two curves merging slowly at a shallow
    // crossing grow heavier by steps too small to tell one from the next. (The slope, and
    // with it a run's length, changes little over a few runs.)
    constexpr std::size_t recent = 8;
    const std::size_t n = piece.links.size();
    if (n < 4)
        return true;
    std::vector<double> weights;
    for (std::size_t i = n - std::min(n, recent); i < n; ++i)
        weights.push_back(runOf(cuts_, piece.links[i]).mass);
    std::nth_element(weights.begin(), weights.begin() + static_cast<std::ptrdiff_t>(weights.size() / 2), weights.end());
    const double ratio = run.mass / weights[weights.size() / 2];
    return ratio < 1.3 && ratio > 1.0 / weightJump;
}

double CurveFollower::massOf(Link link, double slope) const
{
    const double own = slopeOf_[link.cut][link.run];
    return massAcross(runOf(cuts_, link).mass, std::isnan(own) ? slope : own);
}

bool CurveFollower::ofWeight(const Piece& piece, double slope, double whole) const
{
    if (!(whole > 0.0))
        return true;
    std::vector<double> weights;
    for (const Link& link : piece.links)
        weights.push_back(massOf(link, slope));
    // Neither part of a line only (a dash's end) nor lines merged.
    return *std::max_element(weights.begin(), weights.end()) >= 0.6 * whole && upperQuartile(weights) <= 1.3 * whole;
}

std::vector<Link> CurveFollower::wayFrom(int number, int direction, double slope, double whole,
                                         const std::vector<char>& used) const
{
    const auto inOrder = [direction](const std::vector<Link>& links, std::size_t j) {
        return direction > 0 ? links[j] : links[links.size() - 1 - j];
    };
    const std::vector<Link>& first = pieces_[static_cast<std::size_t>(number)].links;
    const double startS = cuts_[inOrder(first, 0).cut].s;
    std::vector<Link> way;
    for (std::size_t j = 0; j < first.size() && std::abs(cuts_[inOrder(first, j).cut].s - startS) <= directionSpan; ++j)
        way.push_back(inOrder(first, j));
    // The pieces that lie on in its line (the course's slope until the way shows its own)
    // belong to its way: a dotted line's dots, too short to show a direction each.
    for (auto k = static_cast<std::ptrdiff_t>(way.back().cut) + direction;
         k >= 0 && k < static_cast<std::ptrdiff_t>(cuts_.size()) &&
         std::abs(cuts_[static_cast<std::size_t>(k)].s - startS) <= directionSpan;
         k += direction) {
        const Cut& cut = cuts_[static_cast<std::size_t>(k)];
        const Course line = way.size() >= 3 ? fitCourse(cuts_, way, 0, 1, startS, cut.s)
                                            : Course{runOf(cuts_, way.back()).t + slope * (cut.s - cuts_[way.back().cut].s), slope};
        for (std::size_t i = 0; i < cut.runs.size(); ++i) {
            const int next = pieceOf_[static_cast<std::size_t>(k)][i];
            if (next < 0 || next == number || used[static_cast<std::size_t>(next)])
                continue;
            const Piece& piece = pieces_[static_cast<std::size_t>(next)];
            if (!(inOrder(piece.links, 0) == Link{static_cast<std::size_t>(k), i}) ||
                std::abs(cut.runs[i].t - line.t) > 1.0 || !ofWeight(piece, slope, whole))
                continue;
            for (std::size_t j = 0;
                 j < piece.links.size() && std::abs(cuts_[inOrder(piece.links, j).cut].s - startS) <= directionSpan; ++j)
                way.push_back(inOrder(piece.links, j));
            k = static_cast<std::ptrdiff_t>(way.back().cut);
            break;
        }
    }
    return way;
}

std::vector<Link> CurveFollower::through(Link seed) const
{
    const int number = seed.cut < pieceOf_.size() && seed.run < pieceOf_[seed.cut].size() ? pieceOf_[seed.cut][seed.run] : -1;
    if (number < 0)
        return {};
    std::vector<char> used(pieces_.size(), 0);
    used[static_cast<std::size_t>(number)] = 1;
    std::vector<Link> chain = pieces_[static_cast<std::size_t>(number)].links;
    const std::optional<double> slope = startingSlope(number);
    extend(chain, +1, used, slope);
    std::reverse(chain.begin(), chain.end());
    extend(chain, -1, used, slope);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::optional<double> CurveFollower::startingSlope(int number) const
{
    const std::vector<Link>& seed = pieces_[static_cast<std::size_t>(number)].links;
    if (std::abs(cuts_[seed.back().cut].s - cuts_[seed.front().cut].s) >= showsWay)
        return std::nullopt; // it shows its own
    // The middle of a piece's runs near the seed.
    const auto middleOf = [this](const std::vector<Link>& links, double about) {
        double s = 0.0, t = 0.0, n = 0.0;
        for (const Link& link : links)
            if (std::abs(cuts_[link.cut].s - about) <= directionSpan) {
                s += cuts_[link.cut].s;
                t += runOf(cuts_, link).t;
                n += 1.0;
            }
        return std::pair{s / n, t / n};
    };
    const auto [seedS, seedT] = middleOf(seed, cuts_[seed.front().cut].s);
    // The pieces about it, each a place (the middle of its runs near the seed) and a
    // number of runs there.
    struct Near {
        double s, t, runs;
    };
    std::vector<Near> near;
    std::vector<char> seen(pieces_.size(), 0);
    const auto first = std::lower_bound(cuts_.begin(), cuts_.end(), seedS - directionSpan,
                                        [](const Cut& cut, double s) { return cut.s < s; });
    for (auto cut = first; cut != cuts_.end() && cut->s <= seedS + directionSpan; ++cut) {
        const auto k = static_cast<std::size_t>(cut - cuts_.begin());
        for (std::size_t i = 0; i < cut->runs.size(); ++i) {
            const int other = pieceOf_[k][i];
            if (other < 0 || other == number || seen[static_cast<std::size_t>(other)])
                continue;
            seen[static_cast<std::size_t>(other)] = 1;
            const auto [s, t] = middleOf(pieces_[static_cast<std::size_t>(other)].links, seedS);
            double runs = 0.0;
            for (const Link& link : pieces_[static_cast<std::size_t>(other)].links)
                runs += std::abs(cuts_[link.cut].s - seedS) <= directionSpan ? 1.0 : 0.0;
            near.push_back({s, t, runs});
        }
    }
    // A piece too short to show its direction (a dot): the line through it that passes
    // through the most pieces about it (then the most runs) shows the way of its curve, as
    // the dots of a dotted line, or the dashes beside the dot of a dash-dot line, do.
    std::optional<double> best;
    double bestPieces = 0.0, bestRuns = 0.0;
    for (const Near& candidate : near) {
        if (std::abs(candidate.s - seedS) < 2.0)
            continue;
        const double slope = (candidate.t - seedT) / (candidate.s - seedS);
        double runs = 0.0, pieces = 0.0;
        for (const Near& other : near)
            if (std::abs(seedT + slope * (other.s - seedS) - other.t) <= 1.0) {
                runs += other.runs;
                pieces += 1.0;
            }
        if (pieces >= 3.0 && (pieces > bestPieces || (pieces == bestPieces && runs > bestRuns))) {
            best = slope;
            bestPieces = pieces;
            bestRuns = runs;
        }
    }
    return best;
}

std::vector<Link> CurveFollower::onwardFrom(Link seed) const
{
    const int number = seed.cut < pieceOf_.size() && seed.run < pieceOf_[seed.cut].size() ? pieceOf_[seed.cut][seed.run] : -1;
    if (number < 0)
        return {};
    std::vector<char> used(pieces_.size(), 0);
    used[static_cast<std::size_t>(number)] = 1;
    const std::vector<Link>& links = pieces_[static_cast<std::size_t>(number)].links;
    std::vector<Link> chain(std::find(links.begin(), links.end(), seed), links.end());
    extend(chain, +1, used, std::nullopt);
    return chain;
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
    const Link last = chain.back();
    const double endS = cuts_[last.cut].s;
    // The curve's weight and its course, drawn through the whole runs of its last links:
    // not through a dash's end or a run half hidden, whose centres are off the middle.
    const std::size_t from = chain.size() > weightWindow ? chain.size() - weightWindow : 0;
    const double slopeHere = predict(cuts_, chain, endS).slope;
    std::vector<double> weights;
    for (std::size_t i = from; i < chain.size(); ++i)
        weights.push_back(massOf(chain[i], slopeHere));
    const double whole = chain.size() >= 5 ? upperQuartile(weights) : 0.0;
    std::vector<Link> course;
    for (std::size_t i = chain.size() > 4 * weightWindow ? chain.size() - 4 * weightWindow : 0; i < chain.size(); ++i) {
        const double weight = massOf(chain[i], slopeHere);
        if (!(weight < 0.6 * whole) && !(runOf(cuts_, chain[i]).foreignEdge && weight < 0.85 * whole))
            course.push_back(chain[i]);
    }
    // Not the last two pixels' worth, where the curve may run into another line whose edge
    // pulls them aside.
    while (course.size() > 8 && std::abs(cuts_[course.back().cut].s - endS) < 2.0)
        course.pop_back();
    if (course.empty())
        course.push_back(last);
    const double bridge = std::max(rules_.gap + 2.0, 2.5 * rules_.step);

    int best = -1;
    double bestScore = 0.0, firstS = 0.0;
    double seenAt = endS; // the last cut where something lay on the course
    for (auto k = static_cast<std::ptrdiff_t>(last.cut) + direction;
         k >= 0 && k < static_cast<std::ptrdiff_t>(cuts_.size()); k += direction) {
        const Cut& cut = cuts_[static_cast<std::size_t>(k)];
        const double ds = std::abs(cut.s - endS);
        // A chain too short to show its way goes the way of the pieces about its start.
        const bool young = std::abs(cuts_[course.front().cut].s - cuts_[course.back().cut].s) < showsWay;
        const Course expected = young && slope ? Course{runOf(cuts_, course.back()).t +
                                                            *slope * (cut.s - cuts_[course.back().cut].s),
                                                        *slope}
                                               : predict(cuts_, course, cut.s);
        const double stretch = std::sqrt(1.0 + expected.slope * expected.slope);
        // The best of the pieces that begin near the first that could continue the curve:
        // past a crossing, the other curve's piece may come first.
        if (best >= 0 && std::abs(cut.s - firstS) > std::max(1.0, 0.5 * std::abs(firstS - endS)))
            break;
        if (ds * stretch > crossingGap)
            break;
        bool seen = rules_.covered && rules_.covered(cut.s, expected.t);
        for (const Run& run : cut.runs)
            seen = seen || std::max({0.0, run.low - expected.t, expected.t - run.high}) <= evidenceReach;
        if (seen)
            seenAt = cut.s;
        else if (std::abs(cut.s - seenAt) * stretch > bridge)
            break; // a gap longer than the longest to bridge
        // From a lone link the slope is unknown: at a coarse step a steep curve moves
        // several pixels along the cut between two cuts, so the next may be up to a slope
        // of 4 away; after that, the course predicts it, closely once it has a few links.
        // The gap-squared term allows for the bends of a plotted curve (0.02 px per px
        // squared) at coarse steps and over long crossings.
        const double limit = (course.size() == 1 && !(young && slope) ? 1.5 + ds * 4.0
                                                 : (course.size() >= fewest ? 1.0 : 1.5) +
                                                       ds * (0.2 + 0.1 * std::abs(expected.slope))) +
                             0.01 * ds * ds;
        for (std::size_t i = 0; i < cut.runs.size(); ++i) {
            const int number = pieceOf_[static_cast<std::size_t>(k)][i];
            if (number < 0 || used[static_cast<std::size_t>(number)])
                continue;
            const Piece& piece = pieces_[static_cast<std::size_t>(number)];
            const Link entry = direction > 0 ? piece.links.front() : piece.links.back();
            if (!(entry == Link{static_cast<std::size_t>(k), i}))
                continue; // pieces are joined at their ends
            const Run& run = cut.runs[i];
            const double off = course.size() == 1 ? std::max({0.0, run.low - expected.t, expected.t - run.high})
                                                  : std::abs(run.t - expected.t);
            if (off > limit || !ofWeight(piece, expected.slope, whole))
                continue;
            // Its direction, when it and the pieces just after it (a dotted line's dots)
            // show one: where it leaves the course, halfway between the chain's end and the
            // piece, it must run on as the course does, at the same place and slope.
            const std::vector<Link> way = wayFrom(number, direction, expected.slope, whole, used);
            double score = off + 0.5; // a piece that shows no direction must do better
            const bool courseShows = course.size() >= 3 && std::abs(cuts_[course.front().cut].s - endS) >= showsWay;
            if (courseShows && way.size() >= 3 && std::abs(cuts_[way.back().cut].s - cut.s) >= showsWay) {
                const double middle = 0.5 * (endS + cut.s);
                const Course before = predict(cuts_, course, middle);
                // Not its first two runs, where it may leave another line that pulls them aside.
                const Course after = fitCourse(cuts_, way, way.size() >= 7 ? 2 : 0, 1, cut.s, middle);
                score = std::abs(after.t - before.t) + 0.5 * ds * std::abs(after.slope - before.slope);
                if (score > 0.75 + 0.05 * ds + 0.005 * ds * ds)
                    continue;
            } else if (courseShows && ds * stretch > bridge) {
                continue; // past a long stretch, only a piece that shows its direction
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
    used[static_cast<std::size_t>(best)] = 1;
    const std::vector<Link>& links = pieces_[static_cast<std::size_t>(best)].links;
    if (direction > 0)
        chain.insert(chain.end(), links.begin(), links.end());
    else
        chain.insert(chain.end(), links.rbegin(), links.rend());
    return true;
}
