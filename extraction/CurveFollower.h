#pragma once

// Following one curve through the cuts (LineCuts.h), keeping its direction.
//
// The runs first fall into pieces: runs of neighbouring cuts that overlap one another and
// nothing else, of about the same weight. A solid curve clear of others is one piece; a
// dash, a dot, a stretch where two curves lie merged, a stroke of a character each another.
// The curve is then a chain of pieces, joined where one ends and the next begins: from the
// course of the chain so far (a line, or a parabola over a long stretch, through its last
// links) the follower looks ahead for the piece that continues it, of the curve's weight,
// starting where the course goes and, when it is long enough to show one, leaving in the
// course's direction: at a crossing of curves of one colour the other curve's piece leaves
// in its own direction, and is passed over. Between pieces lies either something (a
// crossing, a gridline, another colour over the curve) or nothing, a gap, bridged up to
// the longest gap asked for (dashed and dotted lines). Internal to extraction/.
#include "extraction/LineCuts.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

struct Link {
    std::size_t cut = 0;
    std::size_t run = 0;
    friend bool operator==(const Link&, const Link&) = default;
};

struct FollowRules {
    double gap = defaultGap; // the longest stretch with nothing drawn to bridge, along the curve
    double step = 1.0;       // between cuts
    // Whether the picture at (s, t) of the cuts' frame shows another colour, over the curve.
    std::function<bool(double s, double t)> covered;
};

class CurveFollower {
  public:
    CurveFollower(const std::vector<Cut>& cuts, FollowRules rules);

    // The curve through the run `seed`, followed both ways; its links in order of cut.
    std::vector<Link> through(Link seed) const;
    // The curve from the run `seed` on towards higher cuts only.
    std::vector<Link> onwardFrom(Link seed) const;

  private:
    struct Piece {
        std::vector<Link> links; // in order of cut
    };
    // Extends `chain` (in the order travelled) by the pieces that continue it, going
    // `direction`; `used` marks the pieces taken.
    // `slope`: the way to go while the chain is too short to show its own.
    void extend(std::vector<Link>& chain, int direction, std::vector<char>& used, std::optional<double> slope) const;
    bool extendOnce(std::vector<Link>& chain, int direction, std::vector<char>& used,
                    std::optional<double> slope) const;
    // For a piece too short to show its direction (a dot), the slope of the line through
    // it that passes through the most runs of the pieces about it; none when there is none.
    std::optional<double> startingSlope(int number) const;
    void buildPieces();
    // Whether `run`, continuing `piece`, is of about the weight of its last runs.
    bool keepsWeight(const Piece& piece, const Run& run) const;
    // A link's run's weight across the line: with its piece's slope about it, or `slope`
    // for a piece too short to show one.
    double massOf(Link link, double slope) const;
    // Whether a piece is of the curve's weight `whole` (none yet: 0).
    bool ofWeight(const Piece& piece, double slope, double whole) const;
    // The runs of piece `number` from where it begins going `direction`, and of the pieces
    // that lie on in its line after it, within a short distance: enough to show its way.
    std::vector<Link> wayFrom(int number, int direction, double slope, double whole,
                              const std::vector<char>& used) const;

    const std::vector<Cut>& cuts_;
    FollowRules rules_;
    std::vector<Piece> pieces_;
    std::vector<std::vector<int>> pieceOf_;     // [cut][run]: the piece's number, -1 for none
    std::vector<std::vector<double>> slopeOf_; // [cut][run]: the piece's slope there, NaN for none
};
