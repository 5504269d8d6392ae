#pragma once

#include "axes/Glyphs.h"
#include "axes/LabelCrop.h"
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
TickLabel readTickLabel(const InkImage& image, const Word& word, LabelReader& reader, const CropStyle& style = {});
