#pragma once

#include "axes/Glyphs.h"
#include "axes/InkImage.h"
#include "axes/Ticks.h"

#include <optional>
#include <vector>

// A label's word cut down to where the label itself must lie: across the axis within the
// band of the axis' other labels, along it centred on its tick as those labels are on
// theirs. In a plot's corner the y axis' lowest label may touch the x axis' first, and
// their glyphs join into one word; the window leaves the other label's ink out.
struct LabelWindow {
    InkImage image; // the window's ink alone, with a white margin
    Word word;      // the glyphs found there, in the window's own pixels
};

// The axis' agreeing labels' words and their ticks, one for one; the label's tick, if
// found. The window's ink is the picture's times `gain`: above 1, faint strokes (a thin
// "1", a point, blurred by scaling or by a turn) become glyphs; the window then reaches
// along the axis as far as the word and the widest of the others, and on the y axis across
// it a label's width beyond the others' band on each side, and the label is the word found
// there that covers most of the word it was. Empty when a window of gain 1 would hold the
// whole word, or when the window is too small.
std::optional<LabelWindow> labelWindow(const InkImage& image, const Word& word, std::optional<double> tick, Axis axis,
                                       const std::vector<Word>& others, const std::vector<double>& otherTicks,
                                       float gain = 1.0f);
