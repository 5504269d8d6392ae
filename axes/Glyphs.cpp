#include "axes/Glyphs.h"

#include <algorithm>
#include <numeric>

Box Box::joined(const Box& other) const
{
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

std::vector<Glyph> glyphsOf(const InkImage& image, int largest)
{
    const auto w = static_cast<std::size_t>(image.width);
    std::vector<unsigned char> seen(image.ink.size(), 0);
    std::vector<std::size_t> stack;
    std::vector<Glyph> glyphs;
    for (std::size_t start = 0; start < image.ink.size(); ++start) {
        if (seen[start] || image.ink[start] < glyphInk)
            continue;
        seen[start] = 1;
        stack.push_back(start);
        Glyph glyph;
        const int c0 = static_cast<int>(start % w);
        const int r0 = static_cast<int>(start / w);
        glyph.box = {c0, r0, c0 + 1, r0 + 1};
        while (!stack.empty()) {
            const std::size_t at = stack.back();
            stack.pop_back();
            const int c = static_cast<int>(at % w);
            const int r = static_cast<int>(at / w);
            ++glyph.area;
            glyph.box = glyph.box.joined({c, r, c + 1, r + 1});
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    if (!image.contains(c + dc, r + dr))
                        continue;
                    const std::size_t next = static_cast<std::size_t>(r + dr) * w + static_cast<std::size_t>(c + dc);
                    if (!seen[next] && image.ink[next] >= glyphJoiningInk) {
                        seen[next] = 1;
                        stack.push_back(next);
                    }
                }
        }
        if (glyph.box.width() <= largest && glyph.box.height() <= largest)
            glyphs.push_back(glyph);
    }
    return glyphs;
}

namespace {

int find(std::vector<std::size_t>& parent, std::size_t i)
{
    while (parent[i] != i) {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return static_cast<int>(i);
}

// Whether two glyphs are neighbours on one line of text: they share part of their height
// and the gap between them is small beside the taller one; or they are pieces of one.
bool sameWord(const Glyph& a, const Glyph& b)
{
    // Pieces of one glyph broken at a faint stroke lie one above the other.
    const int across = std::min(a.box.right, b.box.right) - std::max(a.box.left, b.box.left);
    const int between = std::max(a.box.top, b.box.top) - std::min(a.box.bottom, b.box.bottom);
    const int shorter = std::min(a.box.height(), b.box.height());
    const int longer = std::max(a.box.height(), b.box.height());
    if (across * 2 >= std::min(a.box.width(), b.box.width()) && between <= std::max(2, (longer * 3) / 10) &&
        shorter * 10 < longer * 7)
        return true;
    // Pieces that nearly touch: a small glyph broken apart, or a minus and the exponent
    // digit right after it.
    const int apart = std::max(a.box.left, b.box.left) - std::min(a.box.right, b.box.right);
    if (apart <= 1 && between <= 2)
        return true;
    const int overlap = std::min(a.box.bottom, b.box.bottom) - std::max(a.box.top, b.box.top);
    const int lower = std::min(a.box.height(), b.box.height());
    const int taller = std::max(a.box.height(), b.box.height());
    if (overlap < std::max(1, (3 * lower) / 10))
        return false;
    const int gap = std::max(a.box.left, b.box.left) - std::min(a.box.right, b.box.right);
    return gap <= std::max(1, (taller * 45) / 100);
}

} // namespace

std::vector<Word> wordsOf(std::vector<Glyph> glyphs)
{
    std::sort(glyphs.begin(), glyphs.end(), [](const Glyph& a, const Glyph& b) { return a.box.left < b.box.left; });
    std::vector<std::size_t> parent(glyphs.size());
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    // Glyphs sorted by their left edge: a neighbour to the right starts within a few
    // heights, so the inner loop stops early.
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
            const int reach = glyphs[i].box.right + std::max(glyphs[i].box.height(), 8) * 2;
            if (glyphs[j].box.left > reach)
                break;
            if (sameWord(glyphs[i], glyphs[j])) {
                const auto a = static_cast<std::size_t>(find(parent, i));
                const auto b = static_cast<std::size_t>(find(parent, j));
                parent[std::max(a, b)] = std::min(a, b);
            }
        }
    std::vector<Word> words;
    std::vector<int> wordOf(glyphs.size(), -1);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const auto root = static_cast<std::size_t>(find(parent, i));
        if (wordOf[root] < 0) {
            wordOf[root] = static_cast<int>(words.size());
            words.push_back({glyphs[i].box, {}});
        }
        Word& word = words[static_cast<std::size_t>(wordOf[root])];
        word.box = word.box.joined(glyphs[i].box);
        word.glyphs.push_back(glyphs[i]);
    }
    return words;
}
