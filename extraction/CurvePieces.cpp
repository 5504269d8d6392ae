#include "extraction/CurvePieces.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Neighbouring runs of one piece differ in weight by no more than this factor; and no run
// of it is more than `heavier` times the median of the piece's last `recent` runs, since
// two curves merging slowly at a shallow crossing grow heavier by steps too small to tell
// one from the next. (The slope, and with it a run's length, changes little over a few
// runs: raw weights compare alike.)
constexpr double weightJump = 1.4;
constexpr double heavier = 1.3;
constexpr std::size_t recent = 8;

bool overlap(const Run& a, const Run& b)
{
    return a.low < b.high + 1.0 && b.low < a.high + 1.0;
}

} // namespace

CurvePieces::CurvePieces(const std::vector<Cut>& cuts, double step) : cuts_(cuts)
{
    build(step);
}

Link CurvePieces::at(int piece, std::size_t i, int direction) const
{
    const std::vector<Link>& all = pieces_[index(piece)].links;
    return direction > 0 ? all[i] : all[all.size() - 1 - i];
}

double CurvePieces::massOf(Link link, double slope) const
{
    const double own = slopeOf_[link.cut][link.run];
    return massAcross(runOf(link).mass, std::isnan(own) ? slope : own);
}

void CurvePieces::build(double step)
{
    const bool neighbours = step <= 1.5;
    const auto keepsWeight = [this](const Piece& piece, const Run& run) {
        const std::size_t n = piece.links.size();
        if (n < 4)
            return true;
        std::vector<double> weights;
        for (std::size_t i = n - std::min(n, recent); i < n; ++i)
            weights.push_back(runOf(piece.links[i]).mass);
        std::nth_element(weights.begin(), weights.begin() + static_cast<std::ptrdiff_t>(weights.size() / 2),
                         weights.end());
        return run.mass < heavier * weights[weights.size() / 2];
    };
    std::vector<std::vector<int>> blobOf(cuts_.size());
    pieceOf_.resize(cuts_.size());
    std::vector<int> before, count;
    std::vector<int> successors;
    for (std::size_t k = 0; k < cuts_.size(); ++k) {
        const std::vector<Run>& runs = cuts_[k].runs;
        pieceOf_[k].assign(runs.size(), -1);
        blobOf[k].assign(runs.size(), -1);
        if (neighbours && k > 0) {
            const std::vector<Run>& previous = cuts_[k - 1].runs;
            before.assign(runs.size(), -1);
            count.assign(runs.size(), 0);
            successors.assign(previous.size(), 0);
            for (std::size_t i = 0; i < runs.size(); ++i)
                for (std::size_t j = 0; j < previous.size(); ++j)
                    if (runs[i].straight == 0 && previous[j].straight == 0 && overlap(runs[i], previous[j])) {
                        ++count[i];
                        ++successors[j];
                        before[i] = static_cast<int>(j);
                    }
            for (std::size_t i = 0; i < runs.size(); ++i) {
                if (count[i] != 1 || successors[index(before[i])] != 1)
                    continue;
                const std::size_t j = index(before[i]);
                blobOf[k][i] = blobOf[k - 1][j];
                const double ratio = runs[i].mass / previous[j].mass;
                if (ratio < weightJump && ratio > 1.0 / weightJump && keepsWeight(pieces_[index(pieceOf_[k - 1][j])], runs[i]))
                    pieceOf_[k][i] = pieceOf_[k - 1][j];
            }
        }
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (runs[i].straight != 0)
                continue;
            if (blobOf[k][i] < 0) {
                blobOf[k][i] = static_cast<int>(blobs_.size());
                blobs_.emplace_back();
            }
            if (pieceOf_[k][i] < 0) {
                pieceOf_[k][i] = static_cast<int>(pieces_.size());
                pieces_.push_back({{}, blobOf[k][i]});
                blobs_[index(blobOf[k][i])].pieces.push_back(pieceOf_[k][i]);
            }
            pieces_[index(pieceOf_[k][i])].links.push_back({k, i});
        }
    }

    // A blob no longer along x, nor wider across, than its heaviest run (a line's width
    // along the cut) and a pixel of smoothing each way is a dot: whole, clear of other
    // lines and colours, its weighted centre is on its curve's middle.
    for (Blob& blob : blobs_) {
        double mass = 0.0, s = 0.0, t = 0.0, heaviest = 0.0;
        double sLow = std::numeric_limits<double>::infinity(), sHigh = -sLow, tLow = sLow, tHigh = -sLow;
        bool clear = true;
        for (const int piece : blob.pieces)
            for (const Link& link : pieces_[index(piece)].links) {
                const Run& run = runOf(link);
                mass += run.mass;
                s += run.mass * sOf(link);
                t += run.mass * run.t;
                heaviest = std::max(heaviest, run.mass);
                sLow = std::min(sLow, sOf(link));
                sHigh = std::max(sHigh, sOf(link));
                tLow = std::min(tLow, run.low);
                tHigh = std::max(tHigh, run.high);
                clear = clear && !run.lifted && !run.foreignEdge;
            }
        blob.centre = {s / mass, t / mass};
        blob.dot = neighbours && clear && sHigh - sLow + step <= heaviest + 2.0 && tHigh - tLow <= heaviest + 2.0;
    }

    // Each run's slope, from its piece's runs about it.
    slopeOf_.resize(cuts_.size());
    for (std::size_t k = 0; k < cuts_.size(); ++k)
        slopeOf_[k].assign(cuts_[k].runs.size(), std::numeric_limits<double>::quiet_NaN());
    std::vector<Sample> near;
    for (const Piece& piece : pieces_) {
        const std::size_t n = piece.links.size();
        if (n < 3)
            continue;
        for (std::size_t i = 0; i < n; ++i) {
            near.clear();
            for (std::size_t j = i >= 3 ? i - 3 : 0; j < std::min(n, i + 4); ++j)
                near.push_back(sampleOf(piece.links[j]));
            slopeOf_[piece.links[i].cut][piece.links[i].run] = fitThrough(near, 0, 1, sOf(piece.links[i])).slope;
        }
    }
}
