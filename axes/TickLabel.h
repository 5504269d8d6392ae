#pragma once

#include "axes/Glyphs.h"
#include "axes/LabelReader.h"

#include <optional>
#include <string>

// One tick label as read: its value, when the text read is a number and agrees with the
// glyphs as drawn, and the text for messages.
struct TickLabel {
    Box box;
    std::string text;
    std::optional<double> value;
    int confidence = 0;
};

// Reads the word as a tick label. The sign, the decimal points and a raised exponent are
// found from the glyphs' shapes and places, not left to OCR: a short flat glyph in front is
// a minus sign, small glyphs on the baseline are points, glyphs raised above the digits'
// tops at the end are an exponent (10³ as drawn), read on their own crop.
// How the crops for OCR are made: the height glyphs are scaled to, and the ink below which
// a pixel counts as white.
struct CropStyle {
    double height = 28.0;
    float faint = 0.12f;
    // A power of ten read whole, as drawn ("10" and its raised exponent on one crop, read
    // "10" then the exponent), for exponents run into the digits too far to be cut apart.
    bool whole = false;
};
// Other ways, to read a label again that the first way read badly.
inline constexpr CropStyle otherCropStyles[] = {{40.0, 0.12f, false}, {24.0, 0.25f, false}, {28.0, 0.12f, true}};

TickLabel readTickLabel(const InkImage& image, const Word& word, LabelReader& reader, const CropStyle& style = {});

// The glyphs as a crop for OCR: dark on white, scaled so that glyphs of `glyphHeight`
// pixels become about the style's height (28 pixels), with a white margin; the pixels of their box, less
// those of the `others` not among them (the rest of the label).
GreyCrop cropOf(const InkImage& image, const std::vector<Glyph>& glyphs, const std::vector<Glyph>& others,
                int glyphHeight, const CropStyle& style = {});
