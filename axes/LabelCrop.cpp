#include "axes/LabelCrop.h"

#include <algorithm>
#include <cmath>

GreyCrop cropOf(const InkImage& image, const std::vector<Glyph>& glyphs, const std::vector<Glyph>& others,
                int glyphHeight, const CropStyle& style)
{
    GreyCrop crop;
    if (glyphs.empty())
        return crop;
    Box box = glyphs.front().box;
    float peak = glyphInk;
    for (const Glyph& g : glyphs) {
        box = box.joined(g.box);
        for (int r = g.box.top; r < g.box.bottom; ++r)
            for (int c = g.box.left; c < g.box.right; ++c)
                peak = std::max(peak, image.at(c, r));
    }
    const double scale = std::clamp(style.height / std::max(1, glyphHeight), 1.0, 8.0);
    const int inner = static_cast<int>(std::ceil(box.width() * scale));
    const int innerHeight = static_cast<int>(std::ceil(box.height() * scale));
    crop.width = inner + 2 * cropMargin;
    crop.height = innerHeight + 2 * cropMargin;
    crop.grey.assign(static_cast<std::size_t>(crop.width) * static_cast<std::size_t>(crop.height), 255);
    const auto inside = [](const std::vector<Glyph>& set, int c, int r) {
        return std::any_of(set.begin(), set.end(), [&](const Glyph& g) {
            return c >= g.box.left && c < g.box.right && r >= g.box.top && r < g.box.bottom;
        });
    };
    std::vector<Glyph> left;
    for (const Glyph& o : others)
        if (std::none_of(glyphs.begin(), glyphs.end(), [&](const Glyph& g) { return g.box == o.box; }))
            left.push_back(o);
    // Those left out that lie inside a kept glyph's box (the dot inside a dotted zero).
    std::vector<Glyph> enclosed;
    for (const Glyph& o : left)
        if (std::any_of(glyphs.begin(), glyphs.end(), [&](const Glyph& g) {
                return g.box.left <= o.box.left && g.box.right >= o.box.right && g.box.top <= o.box.top &&
                       g.box.bottom >= o.box.bottom;
            }))
            enclosed.push_back(o);
    // Every pixel of the glyphs' box, the faint ones between glyphs too, but none of the
    // glyphs left out.
    const auto inGlyph = [&](int c, int r) {
        return !inside(enclosed, c, r) && (inside(glyphs, c, r) || !inside(left, c, r));
    };
    for (int y = 0; y < innerHeight; ++y)
        for (int x = 0; x < inner; ++x) {
            // The centre of the crop's pixel, back in the picture.
            const double c = box.left + (x + 0.5) / scale - 0.5;
            const double r = box.top + (y + 0.5) / scale - 0.5;
            const int nc = static_cast<int>(std::lround(c));
            const int nr = static_cast<int>(std::lround(r));
            if (!inGlyph(std::clamp(nc, box.left, box.right - 1), std::clamp(nr, box.top, box.bottom - 1)))
                continue;
            // Faint ink (JPEG noise around the strokes) goes to white.
            const float ink = std::clamp((image.sample(c, r) - style.faint) / (peak - style.faint), 0.0f, 1.0f);
            crop.grey[static_cast<std::size_t>(y + cropMargin) * static_cast<std::size_t>(crop.width) +
                      static_cast<std::size_t>(x + cropMargin)] =
                static_cast<unsigned char>(std::lround(255.0f * (1.0f - ink)));
        }
    return crop;
}

GreyCrop sideBySide(const GreyCrop& left, const GreyCrop& right)
{
    if (left.width == 0 || right.width == 0)
        return left.width == 0 ? right : left;
    GreyCrop out;
    const int overlap = cropMargin + cropMargin / 2; // of the two cropMargins between them, half of one is left
    out.width = left.width + right.width - overlap;
    out.height = std::max(left.height, right.height);
    out.grey.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 255);
    const auto paste = [&](const GreyCrop& crop, int x0) {
        const int y0 = out.height - crop.height;
        for (int y = 0; y < crop.height; ++y)
            for (int x = 0; x < crop.width; ++x) {
                unsigned char& to = out.grey[static_cast<std::size_t>(y + y0) * static_cast<std::size_t>(out.width) +
                                             static_cast<std::size_t>(x + x0)];
                to = std::min(to, crop.grey[static_cast<std::size_t>(y) * static_cast<std::size_t>(crop.width) +
                                            static_cast<std::size_t>(x)]);
            }
    };
    paste(left, 0);
    paste(right, left.width - overlap);
    return out;
}
