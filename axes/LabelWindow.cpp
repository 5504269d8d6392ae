#include "axes/LabelWindow.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int windowMargin = 2; // white pixels around the window's ink

// The digits of a line of labels: the middle of the tops and of the heights of their
// glyphs standing on each label's baseline (a raised exponent's are not).
struct Digits {
    int top = 0;
    int height = 0;
};

Digits digitsOf(const std::vector<Word>& words)
{
    std::vector<int> tops, heights;
    for (const Word& w : words)
        for (const Glyph& g : w.glyphs)
            if (w.box.bottom - g.box.bottom <= std::max(1, w.box.height() / 7) && 2 * g.box.height() > w.box.height()) {
                tops.push_back(g.box.top);
                heights.push_back(g.box.height());
            }
    if (tops.empty())
        return {words.front().box.top, words.front().box.height()};
    const auto middle = [](std::vector<int>& v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    return {middle(tops), middle(heights)};
}

} // namespace

std::optional<LabelWindow> labelWindow(const InkImage& image, const Word& word, std::optional<double> tick, Axis axis,
                                       const std::vector<Word>& others, const std::vector<double>& otherTicks,
                                       float gain)
{
    if (others.empty() || others.size() != otherTicks.size())
        return std::nullopt;
    const bool x = axis == Axis::x;
    // Across the axis: the band the other labels fill, a pixel wider on each side.
    int low = x ? others.front().box.top : others.front().box.left;
    int high = x ? others.front().box.bottom : others.front().box.right;
    std::vector<double> offsets;
    for (std::size_t i = 0; i < others.size(); ++i) {
        const Box& b = others[i].box;
        low = std::min(low, x ? b.top : b.left);
        high = std::max(high, x ? b.bottom : b.right);
        offsets.push_back((x ? b.centreColumn() : b.centreRow()) - otherTicks[i]);
    }
    // Along it: centred where the others are centred against their ticks (without a tick,
    // where the word is). Cut down, as wide as the word's edge nearer that centre allows
    // (the other label's ink lies beyond the far one); with more gain, as wide as the word
    // and the widest of the others.
    std::nth_element(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(offsets.size() / 2), offsets.end());
    const double centre =
        tick ? *tick + offsets[offsets.size() / 2] : (x ? word.box.centreColumn() : word.box.centreRow());
    const int first = x ? word.box.left : word.box.top;
    const int last = (x ? word.box.right : word.box.bottom) - 1;
    double half = std::min(centre - first, last - centre) + 1.0;
    if (gain > 1.0f) {
        half = std::max(centre - first, last - centre) + 1.0;
        int widest = 0;
        for (const Word& w : others) {
            half = std::max(half, 0.5 * (x ? w.box.width() : w.box.height()) + 1.0);
            widest = std::max(widest, w.box.width());
        }
        // A y axis' label runs across the axis: faint glyphs at either end may have split
        // it into words, of which the others' band holds only some.
        if (!x) {
            low -= widest;
            high += widest;
        }
    }
    if (!std::isfinite(centre) || !(half > 1.0))
        return std::nullopt;
    const double length = x ? image.width : image.height;
    const int from = static_cast<int>(std::clamp(std::floor(centre - half), 0.0, length));
    const int to = static_cast<int>(std::clamp(std::ceil(centre + half) + 1.0, 0.0, length));
    Box window = x ? Box{from, low - 1, to, high + 1} : Box{low - 1, from, high + 1, to};
    window = {std::max(window.left, 0), std::max(window.top, 0), std::min(window.right, image.width),
              std::min(window.bottom, image.height)};
    const bool holdsWord = window.left <= word.box.left && window.top <= word.box.top &&
                           window.right >= word.box.right && window.bottom >= word.box.bottom;
    if ((holdsWord && !(gain > 1.0f)) || window.width() < 3 || window.height() < 3)
        return std::nullopt;

    LabelWindow out;
    out.image.width = window.width() + 2 * windowMargin;
    out.image.height = window.height() + 2 * windowMargin;
    out.image.ink.assign(static_cast<std::size_t>(out.image.width) * static_cast<std::size_t>(out.image.height), 0.0f);
    for (int r = window.top; r < window.bottom; ++r)
        for (int c = window.left; c < window.right; ++c)
            out.image.at(c - window.left + windowMargin, r - window.top + windowMargin) =
                std::min(1.0f, gain * image.at(c, r));
    const int largest = std::max(out.image.width, out.image.height);
    std::vector<Glyph> glyphs = glyphsOf(out.image, largest);
    if (x) {
        // Ink above the digits' tops on a glyph standing on the baseline (or cut by the
        // window's top, beyond every other label's reach) is the other label's, joined to a
        // digit: it goes, with the digit's topmost rows where the two overlap, and the
        // glyphs are found again.
        const Digits digits = digitsOf(others);
        const int top = digits.top - window.top + windowMargin - 1;
        const int cut = top + 1 + digits.height / 6;
        int baseline = 0;
        for (const Glyph& g : glyphs)
            baseline = std::max(baseline, g.box.bottom);
        bool erased = false;
        for (const Glyph& g : glyphs)
            if (g.box.bottom + 2 >= baseline && (g.box.top < top || (g.box.top <= windowMargin && window.top > 0))) {
                for (int r = g.box.top; r < std::min(cut, out.image.height); ++r)
                    for (int c = g.box.left; c < g.box.right; ++c)
                        out.image.at(c, r) = 0.0f;
                erased = true;
            }
        if (erased)
            glyphs = glyphsOf(out.image, largest);
    }
    if (glyphs.empty())
        return std::nullopt;
    if (!(gain > 1.0f)) {
        std::sort(glyphs.begin(), glyphs.end(), [](const Glyph& a, const Glyph& b) { return a.box.left < b.box.left; });
        out.word.box = glyphs.front().box;
        for (const Glyph& g : glyphs)
            out.word.box = out.word.box.joined(g.box);
        out.word.glyphs = std::move(glyphs);
        return out;
    }
    // The wider window holds other words too (a tick, an axis' name): the label is the word
    // that covers most of the word it was.
    const Box was{word.box.left - window.left + windowMargin, word.box.top - window.top + windowMargin,
                  word.box.right - window.left + windowMargin, word.box.bottom - window.top + windowMargin};
    int most = 0;
    for (Word& w : wordsOf(std::move(glyphs))) {
        const int shared = std::max(0, std::min(w.box.right, was.right) - std::max(w.box.left, was.left)) *
                           std::max(0, std::min(w.box.bottom, was.bottom) - std::max(w.box.top, was.top));
        if (shared > most) {
            most = shared;
            out.word = std::move(w);
        }
    }
    if (most == 0)
        return std::nullopt;
    return out;
}
