#pragma once

// The runs of the cuts (LineCuts.h) gathered for following a curve. A blob is the runs of
// neighbouring cuts that overlap one another and nothing else: a dash, a dot, a solid curve
// clear of others, the stretch where two curves lie merged. A piece is part of a blob
// whose runs are of one weight: the end of a dash that a cut meets only in part is a piece
// of its own, and so is a stretch where a curve grows heavier as another merges into it.
// A blob short enough to be a dot is taken as a whole, at its weighted centre, which lies
// on its curve's middle even where no cut meets all of the dot. Internal to extraction/.
#include "extraction/CourseFit.h"
#include "extraction/LineCuts.h"

#include <cstddef>
#include <vector>

struct Link {
    std::size_t cut = 0;
    std::size_t run = 0;
    friend bool operator==(const Link&, const Link&) = default;
};

class CurvePieces {
  public:
    // Cuts `step` apart; further apart than about a pixel, runs of neighbouring cuts are not
    // read as continuing each other, and every run is a piece (and a blob) of its own.
    CurvePieces(const std::vector<Cut>& cuts, double step);

    std::size_t count() const { return pieces_.size(); }
    // The piece of a run; -1 for a run on a straight line (StraightLines.h).
    int pieceOf(Link link) const { return pieceOf_[link.cut][link.run]; }
    const std::vector<Link>& links(int piece) const { return pieces_[index(piece)].links; }
    // The piece's runs taken in the order travelled (direction +1: towards higher cuts).
    Link at(int piece, std::size_t i, int direction) const;

    int blobOf(int piece) const { return pieces_[index(piece)].blob; }
    bool isDot(int piece) const { return blobs_[index(pieces_[index(piece)].blob)].dot; }
    // The pieces of a piece's blob (in order of cut), and a dot's weighted centre.
    const std::vector<int>& dotPieces(int piece) const { return blobs_[index(pieces_[index(piece)].blob)].pieces; }
    Sample dotCentre(int piece) const { return blobs_[index(pieces_[index(piece)].blob)].centre; }

    double sOf(Link link) const { return cuts_[link.cut].s; }
    const Run& runOf(Link link) const { return cuts_[link.cut].runs[link.run]; }
    Sample sampleOf(Link link) const { return {sOf(link), runOf(link).t}; }
    // A run's weight across the line: with its piece's slope about it, or `slope` for a
    // piece too short to show one.
    double massOf(Link link, double slope) const;

  private:
    struct Piece {
        std::vector<Link> links; // in order of cut
        int blob = 0;
    };
    struct Blob {
        std::vector<int> pieces; // in order of cut
        Sample centre;
        bool dot = false;
    };
    static std::size_t index(int number) { return static_cast<std::size_t>(number); }
    void build(double step);

    const std::vector<Cut>& cuts_;
    std::vector<Piece> pieces_;
    std::vector<Blob> blobs_;
    std::vector<std::vector<int>> pieceOf_;    // [cut][run]
    std::vector<std::vector<double>> slopeOf_; // [cut][run]: its piece's slope there, NaN for none
};
