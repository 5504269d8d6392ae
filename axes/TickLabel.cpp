#include "axes/TickLabel.h"

#include "axes/LabelText.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The glyphs of a label by what they are.
struct Anatomy {
    bool minus = false;          // the first glyph is a minus sign
    std::vector<Glyph> body;     // what OCR reads (without the minus)
    int points = 0;              // decimal points among the body's glyphs
    std::vector<bool> point;     // whether each of the body's glyphs is one
    std::vector<Glyph> exponent; // raised glyphs at the end
    bool exponentMinus = false;  // the exponent's first glyph is a minus sign
    int bodyHeight = 0;
    std::vector<Glyph> all; // every glyph, the enclosed ones too
};

bool flat(const Glyph& g, int height)
{
    return g.box.height() * 10 <= height * 3 && g.box.width() * 10 >= g.box.height() * 14 &&
           g.box.width() * 4 >= height;
}

// The word's glyphs without those enclosed by another (the dot inside a dotted zero), which
// OCR would take for part of a 6 or an 8.
std::vector<Glyph> withoutEnclosed(const std::vector<Glyph>& glyphs)
{
    std::vector<Glyph> kept;
    for (const Glyph& g : glyphs) {
        const bool enclosed = std::any_of(glyphs.begin(), glyphs.end(), [&](const Glyph& h) {
            return &h != &g && h.box.left < g.box.left && h.box.right > g.box.right && h.box.top < g.box.top &&
                   h.box.bottom > g.box.bottom;
        });
        if (!enclosed)
            kept.push_back(g);
    }
    return kept;
}

// Small text run together: a minus sign touching the digit beside it (the exponent's "-"
// after "10", or a label's own "-" before its first digit). Columns at the glyph's end
// that hold only a thin stroke between `lowest` and `highest` rows are cut off as a glyph
// of their own; `fromRight` says which end.
std::optional<Glyph> cutMinus(const InkImage& image, Glyph& g, int digit, int highest, int lowest, bool fromRight)
{
    int thin = 0;
    int top = g.box.bottom;
    int bottom = g.box.top;
    for (int k = 0; k < g.box.width(); ++k) {
        const int c = fromRight ? g.box.right - 1 - k : g.box.left + k;
        int first = -1, last = -1;
        for (int r = g.box.top; r < g.box.bottom; ++r)
            if (image.at(c, r) >= glyphInk) {
                if (first < 0)
                    first = r;
                last = r;
            }
        if (first < 0 || last - first + 1 > std::max(2, digit / 5) || first < highest || last > lowest)
            break;
        ++thin;
        top = std::min(top, first);
        bottom = std::max(bottom, last + 1);
    }
    if (thin < std::max(2, digit / 4) || thin > g.box.width() - 3)
        return std::nullopt;
    Glyph minus;
    minus.area = thin * (bottom - top);
    if (fromRight) {
        minus.box = {g.box.right - thin, top, g.box.right, bottom};
        g.box.right -= thin;
    } else {
        minus.box = {g.box.left, top, g.box.left + thin, bottom};
        g.box.left += thin;
    }
    return minus;
}

// A raised exponent run into the digit before it, so that no glyph of its own stands
// raised: the columns at the word's right end whose ink all lies clearly above the
// baseline, one of them reaching above the digits' tops, are cut off as one glyph (the
// glyphs they cut are made narrower).
std::optional<Glyph> cutRaisedEnd(const InkImage& image, std::vector<Glyph>& glyphs, int digit, int baseline)
{
    if (glyphs.empty())
        return std::nullopt;
    Box word = glyphs.front().box;
    for (const Glyph& g : glyphs)
        word = word.joined(g.box);
    const int digitTop = baseline - digit;
    const int raisedBottom = baseline - std::max(2, digit / 4); // raised ink ends above this row
    int cut = word.right;
    int top = word.bottom, bottom = word.top;
    bool reachesUp = false;
    for (int c = word.right - 1; c > word.left; --c) {
        int first = -1, last = -1;
        for (int r = word.top; r < word.bottom; ++r)
            if (image.at(c, r) >= glyphInk) {
                if (first < 0)
                    first = r;
                last = r;
            }
        if (first < 0) {
            if (reachesUp)
                break; // a gap before the raised part: it was a glyph of its own after all
            continue;
        }
        if (last >= raisedBottom)
            break;
        cut = c;
        top = std::min(top, first);
        bottom = std::max(bottom, last + 1);
        reachesUp = reachesUp || digitTop - first >= std::max(1, (digit * 15) / 100);
    }
    if (!reachesUp || cut - word.left < digit / 2 || word.right - cut < 2)
        return std::nullopt;
    for (Glyph& g : glyphs)
        g.box.right = std::min(g.box.right, cut);
    std::erase_if(glyphs, [](const Glyph& g) { return g.box.width() <= 0; });
    Glyph raised;
    raised.box = {cut, top, word.right, bottom};
    raised.area = raised.box.width() * raised.box.height();
    return raised;
}

Anatomy anatomyOf(const InkImage& image, const Word& word)
{
    std::vector<Glyph> glyphs = withoutEnclosed(word.glyphs);
    Anatomy a;
    a.all = word.glyphs;
    int tallest = 0;
    int baseline = 0;
    for (const Glyph& g : glyphs) {
        tallest = std::max(tallest, g.box.height());
        baseline = std::max(baseline, g.box.bottom);
    }
    // The digits' height: the lower middle of the heights of the glyphs standing on the
    // baseline that are taller than half the tallest (a digit run into its raised exponent
    // is taller than the others).
    std::vector<int> heights;
    for (const Glyph& g : glyphs)
        if (baseline - g.box.bottom <= std::max(1, tallest / 7) && g.box.height() * 2 > tallest)
            heights.push_back(g.box.height());
    std::sort(heights.begin(), heights.end());
    const int digit = heights.empty() ? tallest : heights[(heights.size() - 1) / 2];
    const int digitTop = baseline - digit;

    // A raised exponent: every glyph from some place on sits clearly above the baseline, and
    // one of them reaches above the digits' tops.
    std::size_t exponentStart = glyphs.size();
    for (std::size_t k = glyphs.size(); k-- > 1;) {
        if (baseline - glyphs[k].box.bottom < std::max(2, digit / 4))
            break;
        exponentStart = k;
    }
    bool reachesUp = false;
    for (std::size_t k = exponentStart; k < glyphs.size(); ++k)
        reachesUp = reachesUp || digitTop - glyphs[k].box.top >= std::max(1, (digit * 15) / 100);
    if (!reachesUp)
        exponentStart = glyphs.size();
    if (exponentStart == glyphs.size())
        if (const std::optional<Glyph> raised = cutRaisedEnd(image, glyphs, digit, baseline)) {
            glyphs.push_back(*raised);
            a.all.push_back(*raised);
            exponentStart = glyphs.size() - 1;
        }
    if (exponentStart < glyphs.size() && exponentStart > 0)
        if (const std::optional<Glyph> minus =
                cutMinus(image, glyphs[exponentStart - 1], digit, glyphs[exponentStart - 1].box.top,
                         baseline - 1 - digit / 2, true)) {
            glyphs.insert(glyphs.begin() + static_cast<std::ptrdiff_t>(exponentStart), *minus);
            a.all.push_back(*minus);
        }

    if (exponentStart >= 1 && !flat(glyphs[0], digit))
        if (const std::optional<Glyph> minus =
                cutMinus(image, glyphs[0], digit, digitTop + digit / 5, baseline - 1 - digit / 5, false)) {
            glyphs.insert(glyphs.begin(), *minus);
            a.all.push_back(*minus);
            ++exponentStart;
        }
    std::size_t first = 0;
    if (exponentStart > 1 && flat(glyphs[0], digit) && glyphs[0].box.centreRow() > digitTop + 0.2 * digit &&
        glyphs[0].box.centreRow() < baseline - 0.2 * digit) {
        a.minus = true;
        first = 1;
    }
    for (std::size_t k = first; k < exponentStart; ++k) {
        const Glyph& g = glyphs[k];
        a.body.push_back(g);
        const bool alone = std::none_of(glyphs.begin(), glyphs.end(), [&](const Glyph& h) {
            return &h != &g && h.box.left < g.box.right && h.box.right > g.box.left;
        });
        const bool point = alone && g.box.width() * 100 <= digit * 35 && g.box.height() * 100 <= digit * 35 &&
                           baseline - g.box.bottom <= std::max(1, digit / 5);
        a.point.push_back(point);
        a.points += point ? 1 : 0;
    }
    a.bodyHeight = digit;
    for (std::size_t k = exponentStart; k < glyphs.size(); ++k)
        a.exponent.push_back(glyphs[k]);
    if (a.exponent.size() > 1) {
        int height = 0;
        for (const Glyph& g : a.exponent)
            height = std::max(height, g.box.height());
        if (flat(a.exponent.front(), height)) {
            a.exponentMinus = true;
            a.exponent.erase(a.exponent.begin());
        }
    }
    return a;
}

// One glyph read alone. Of the digits only a one is narrow (less than half as wide as it
// is tall, in any common face); OCR often reads a lone one as nothing, or as a seven.
std::string oneGlyphText(const Glyph& g, std::string text)
{
    if (g.box.width() * 20 <= g.box.height() * 9 && (text.empty() || text == "7" || text == "-"))
        return "1";
    return text;
}

std::string withoutSigns(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\u2212") == 0) {
            out += '-';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The digits read, with the points put where the glyphs have them: OCR loses a point, or
// reads one where a speck lies, more often than it misreads a digit. Only when every other
// glyph of the body was read as one character; else the text as it was.
std::string withPointsOfGlyphs(const std::string& text, const Anatomy& a)
{
    const bool negative = text.starts_with('-');
    std::string digits;
    for (const char c : text)
        if (c != '.' && c != '-')
            digits += c;
    if (digits.size() + static_cast<std::size_t>(a.points) != a.body.size())
        return text;
    std::string out = negative ? "-" : "";
    std::size_t next = 0;
    for (const bool point : a.point)
        out += point ? '.' : digits[next++];
    return out;
}

} // namespace

TickLabel readTickLabel(const InkImage& image, const Word& word, LabelReader& reader, const CropStyle& style)
{
    TickLabel label;
    label.box = word.box;
    const Anatomy a = anatomyOf(image, word);
    if (a.body.empty())
        return label;
    const GreyCrop bodyCrop = cropOf(image, a.body, a.all, a.bodyHeight, style);
    const LabelReader::Reading body = reader.read(bodyCrop);
    std::string text = withoutSigns(body.text);
    if (a.body.size() == 1)
        text = oneGlyphText(a.body.front(), text);
    label.confidence = body.confidence;
    // The sign is the glyphs' to say: OCR's own leading '-' (a speck, a tick's end) is not.
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.erase(text.begin());
    if (a.minus)
        text.insert(text.begin(), '-');
    const auto pointsRead = [&] { return static_cast<int>(std::count(text.begin(), text.end(), '.')); };
    if (style.loosePoints && a.points > 0 && pointsRead() != a.points)
        text = withPointsOfGlyphs(text, a);
    if (pointsRead() != a.points && !(style.loosePoints && a.points == 0)) {
        label.text = text;
        return label; // a point read where none is drawn, or one lost: not to be trusted at first
    }
    if (!a.exponent.empty() && style.whole) {
        // Read as drawn: "10", then the exponent's digits.
        std::vector<Glyph> drawn = a.body;
        drawn.insert(drawn.end(), a.exponent.begin(), a.exponent.end());
        const std::string whole = withoutSigns(reader.read(cropOf(image, drawn, a.all, a.bodyHeight, style)).text);
        const std::size_t ten = whole.rfind("10");
        if (text.ends_with("10") && ten != std::string::npos && ten + 2 < whole.size()) {
            std::string power = whole.substr(ten + 2);
            const bool negative = a.exponentMinus || power.starts_with('-');
            if (power.starts_with('-') || power.starts_with('+'))
                power.erase(power.begin());
            text += negative ? "^-" : "^";
            text += power;
        } else {
            text += "^?";
        }
    } else if (!a.exponent.empty()) {
        int height = 0;
        for (const Glyph& g : a.exponent)
            height = std::max(height, g.box.height());
        const GreyCrop exponentCrop = cropOf(image, a.exponent, a.all, height, style);
        LabelReader::Reading exponent = reader.read(exponentCrop);
        // OCR reads a lone small digit worse than the same digit after others on a line: the
        // exponent, scaled to the digits' size, is read again after the label's own digits,
        // and that reading wins when it starts with what the digits read alone.
        const LabelReader::Reading together = reader.read(sideBySide(bodyCrop, exponentCrop));
        const std::string both = withoutSigns(together.text);
        const std::string digits = withoutSigns(body.text);
        if (!digits.empty() && both.size() > digits.size() && both.starts_with(digits))
            exponent = {both.substr(digits.size()), together.confidence};
        // A minus in the exponent may be too small to tell apart as a glyph of its own; what
        // OCR reads there counts as well.
        std::string power = withoutSigns(exponent.text);
        if (a.exponent.size() == 1)
            power = oneGlyphText(a.exponent.front(), power);
        const bool negative = a.exponentMinus || power.starts_with('-');
        if (!power.empty() && (power.front() == '-' || power.front() == '+'))
            power.erase(power.begin());
        text += "^";
        if (negative)
            text += '-';
        text += power;
        label.confidence = std::min(label.confidence, exponent.confidence);
    }
    label.text = text;
    label.value = labelValue(text);
    return label;
}
