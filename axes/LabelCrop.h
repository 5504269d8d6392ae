#pragma once

#include "axes/Glyphs.h"
#include "axes/LabelReader.h"

#include <vector>

// Crops of a label's glyphs as OCR reads them best: dark text on white, scaled up, with a
// white margin of this many pixels.
inline constexpr int cropMargin = 20;

// How the crops for OCR are made: the height glyphs are scaled to, and the ink below which
// a pixel counts as white.
struct CropStyle {
    double height = 28.0;
    float faint = 0.12f;
    // A power of ten read whole, as drawn ("10" and its raised exponent on one crop, read
    // "10" then the exponent), for exponents run into the digits too far to be cut apart.
    bool whole = false;
    // Where OCR and the glyphs disagree on the points: the points where the glyphs have
    // them, when OCR read every other glyph of the label as one character (else no value);
    // where the glyphs show none, as OCR read them (a point too faint to be a glyph). For a
    // label read again, whose reading is kept only when it fits the scale of the others.
    bool loosePoints = false;
};
// Other ways, to read a label again that the first way read badly.
inline constexpr CropStyle otherCropStyles[] = {
    {40.0, 0.12f, false, false}, {24.0, 0.25f, false, false}, {28.0, 0.12f, true, false}, {28.0, 0.12f, false, true}};

// The glyphs as a crop for OCR: dark on white, scaled so that glyphs of `glyphHeight`
// pixels become about the style's height tall, with a white margin; the pixels of their
// box, less those of the `others` not among them (the rest of the label).
GreyCrop cropOf(const InkImage& image, const std::vector<Glyph>& glyphs, const std::vector<Glyph>& others,
                int glyphHeight, const CropStyle& style = {});

// Two crops on one line, their bottoms (the baselines) level, a small gap between them.
GreyCrop sideBySide(const GreyCrop& left, const GreyCrop& right);
