#pragma once

#include "axes/InkImage.h"

#include <vector>

// Whole pixels [left, right) x [top, bottom) of the upright picture.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    double centreColumn() const { return 0.5 * (left + right - 1); }
    double centreRow() const { return 0.5 * (top + bottom - 1); }
    Box joined(const Box& other) const;
    friend bool operator==(const Box&, const Box&) = default;
};

// One connected patch of ink (8-connected) small enough to be a character.
struct Glyph {
    Box box;
    int area = 0;
};

// A glyph starts at a pixel with at least glyphInk and takes in the pixels around with
// at least glyphJoiningInk: small text drawn with thin strokes breaks into pieces at the
// first threshold where its anti-aliased strokes run faint.
inline constexpr float glyphInk = 0.4f;
inline constexpr float glyphJoiningInk = 0.32f;

// Every patch of ink no wider and no taller than `largest` pixels; lines, frames and
// curves are larger and left out.
std::vector<Glyph> glyphsOf(const InkImage& image, int largest);

// Glyphs set close together on one line of text: a number as drawn, with its sign, point
// and raised exponent. Glyphs in left-to-right order.
struct Word {
    Box box;
    std::vector<Glyph> glyphs;
};

std::vector<Word> wordsOf(std::vector<Glyph> glyphs);
