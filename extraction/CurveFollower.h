#pragma once

// Following one curve through the cuts (LineCuts.h), keeping its direction.
//
// The curve is a chain of pieces (CurvePieces.h), joined where one ends and the next
// begins: from the course of the chain so far (CourseFit.h) the follower looks ahead for
// the piece that continues it, of the curve's weight, starting where the course goes and,
// when it and the pieces on in its line (a dotted line's dots) are long enough to show
// one, leaving in the course's direction. At a crossing of curves of one colour the other
// curve's piece leaves in its own direction, and is passed over. Between pieces lies
// either something (a crossing, a gridline, another colour over the curve), carried
// across, or nothing: a gap, bridged up to the longest gap asked for. Internal to
// extraction/.
#include "extraction/CurvePieces.h"

#include <functional>
#include <optional>
#include <vector>

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
    // Adds to a chain (in order of cut) the runs of the stretches it was carried across
    // (a mark of another colour's edge on it, a crossing), or that lie between the chains
    // of one curve, that lie on the curve drawn from both sides of them and have its weight.
    void fillIn(std::vector<Link>& chain) const;

  private:
    // Extends `chain` (in the order travelled) by the pieces that continue it, going
    // `direction`; `used` marks the pieces taken. `slope`: the way to go while the chain
    // is too short to show its own.
    void extend(std::vector<Link>& chain, int direction, std::vector<char>& used, std::optional<double> slope) const;
    bool extendOnce(std::vector<Link>& chain, int direction, std::vector<char>& used,
                    std::optional<double> slope) const;
    // Appends piece `number` (a dot whole) to the chain, in the order travelled.
    void take(int number, int direction, std::vector<Link>& chain, std::vector<char>& used) const;
    // The samples the chain's course is drawn through: its whole runs (not a dash's end or
    // a run half hidden, whose centres are off the middle) and its dots' centres.
    std::vector<Sample> courseOf(const std::vector<Link>& chain, double whole, double slope) const;
    // The curve's typical whole run, from the chain's last links; 0 while there are few.
    double wholeOf(const std::vector<Link>& chain, double slope) const;
    // Whether a piece (a dot whole) is of the weight `whole` (0: any).
    bool ofWeight(int number, double slope, double whole) const;
    // Where a piece begins, going `direction`: its first run, or a dot's centre.
    Sample entryOf(int number, int direction) const;
    // The samples of piece `number` from where it begins, and of the pieces after it that
    // lie on in its line at `slope`, within a short distance: enough to show its way.
    std::vector<Sample> wayFrom(int number, int direction, double slope, double whole,
                                const std::vector<char>& used) const;
    // For a piece too short to show its direction (a dot), the slope of the line through
    // it that passes through the most pieces about it; none when there is none.
    std::optional<double> startingSlope(int number) const;

    const std::vector<Cut>& cuts_;
    FollowRules rules_;
    CurvePieces pieces_;
};
