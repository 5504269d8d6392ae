#pragma once

#include "axes/FindAxes.h"
#include "axes/Glyphs.h"
#include "axes/InkImage.h"
#include "axes/LabelReader.h"
#include "axes/ScaleFit.h"
#include "axes/TickLabel.h"
#include "axes/Ticks.h"

#include <functional>
#include <optional>
#include <vector>

// One axis' labels as found in the upright picture: the run of words chosen, each read
// and placed at its tick, and the scale they agree on.
struct AxisSearch {
    Axis axis = Axis::x;
    std::vector<TickLabel> labels;            // along the axis
    std::vector<std::optional<double>> ticks; // each label's tick position, if found
    std::optional<AxisFit> fit;               // over the labels with a value and a tick
    std::vector<std::size_t> agreeing;        // indices into labels
    bool claimed = false;                     // >= 3 agree, evenly stepped
    std::size_t unread = 0;                   // words that did not read as numbers
    // Labels read whose value does not fit the scale: neither at a tick within a pixel of
    // where the scale puts the value (the plotting program's rounding to whole pixels may
    // put it there), nor centred there.
    std::size_t misfits = 0;
    // The agreeing labels' ticks lie to one side of their middles, more than a label's
    // placing explains: the ticks found may be other strokes (minor ticks, say).
    bool offCentre = false;
};

// Tries the runs of words laid out as the axis' labels, in their order, and keeps the
// first whose labels claim a scale (or else the one that came nearest). `progress` gets
// the fraction of the search done.
AxisSearch searchAxis(const InkImage& image, const std::vector<Word>& words, Axis axis, LabelReader& reader,
                      const std::function<void(double)>& progress);

// The proposal from the two axes' searches: corners, world values, scales, the doubts
// and the sentences. `turn` takes the upright picture back to the picture.
AxesProposal proposalOf(const AxisSearch& x, const AxisSearch& y, const std::vector<Word>& words, const Turn& turn,
                        int pictureHeight);
