#include "axes/LabelWindow.h"
#include "InkCanvas.h"
#include "axes/Glyphs.h"
#include "axes/TickLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

// A label that does not fit its axis' scale is read again from a window cut to where it
// must lie, and in ways that trust the glyphs' points or OCR's. Pictures of bars and dots
// drawn here, with the labels' places known.

namespace {

// "Digits" as upright bars, a label as two of them about its middle; the x axis' labels
// stand on row 60.
void drawXLabel(Canvas& canvas, double middle)
{
    canvas.stroke(middle - 3, 50, middle - 3, 60, 1.0);
    canvas.stroke(middle + 3, 50, middle + 3, 60, 1.0);
}

const Word& wordAt(const std::vector<Word>& words, int column, int row)
{
    const auto found = std::find_if(words.begin(), words.end(), [&](const Word& w) {
        return column >= w.box.left && column < w.box.right && row >= w.box.top && row < w.box.bottom;
    });
    EXPECT_NE(found, words.end()) << column << ", " << row;
    return found != words.end() ? *found : words.front();
}

TEST(LabelWindows, LeaveOutTheLabelRunIntoTheFirstInTheCorner)
{
    Canvas canvas(200, 80);
    const std::vector<double> ticks = {60.0, 110.0, 160.0};
    for (const double tick : ticks)
        drawXLabel(canvas, tick);
    drawXLabel(canvas, 14.0);
    // The y axis' lowest label, above and left of the first x label, its last bar running
    // into that label's first.
    canvas.stroke(3, 34, 3, 47, 1.0);
    canvas.stroke(11, 34, 11, 50, 1.0);
    const std::vector<Word> words = wordsOf(glyphsOf(canvas.image(), 40));
    const Word& corner = wordAt(words, 11, 40);
    ASSERT_LT(corner.box.top, 40);
    std::vector<Word> others;
    for (const double tick : ticks)
        others.push_back(wordAt(words, static_cast<int>(tick) + 3, 55));
    const Word label = others.front();

    const std::optional<LabelWindow> window = labelWindow(canvas.image(), corner, 14.0, Axis::x, others, ticks);
    ASSERT_TRUE(window);
    // The first x label's two bars, as tall as the others' (less the top rows cut where the
    // two labels met), and nothing of the y label.
    ASSERT_EQ(window->word.glyphs.size(), 2u);
    for (const Glyph& g : window->word.glyphs) {
        EXPECT_LE(g.box.height(), label.glyphs.front().box.height());
        EXPECT_GE(g.box.height(), label.glyphs.front().box.height() - 3);
    }
    EXPECT_EQ(window->word.box.width(), label.box.width());
    // A label that lies in its window already is not cut.
    EXPECT_FALSE(labelWindow(canvas.image(), label, ticks.front(), Axis::x, others, ticks));
}

TEST(LabelWindows, BrighterFindFaintStrokesAndTheWordTheySplit)
{
    // y labels "d.d", right-aligned, at rows 20, 50, 80; the fourth's point drawn faint, so
    // that it falls into two words.
    Canvas canvas(120, 160);
    const std::vector<double> ticks = {20.0, 50.0, 80.0};
    for (const double tick : {20.0, 50.0, 80.0, 110.0}) {
        canvas.stroke(40, tick - 5, 40, tick + 5, 1.0);
        canvas.stroke(50, tick - 5, 50, tick + 5, 1.0);
        if (tick < 100.0)
            canvas.stroke(45, tick + 5, 45, tick + 5, 1.0);
    }
    canvas.ink[static_cast<std::size_t>(115 * canvas.width + 45)] = 0.3f;
    canvas.ink[static_cast<std::size_t>(115 * canvas.width + 46)] = 0.3f;
    const std::vector<Word> words = wordsOf(glyphsOf(canvas.image(), 40));
    const Word& split = wordAt(words, 40, 110);
    ASSERT_EQ(split.glyphs.size(), 1u);
    std::vector<Word> others;
    for (const double tick : ticks)
        others.push_back(wordAt(words, 40, static_cast<int>(tick)));

    const std::optional<LabelWindow> plain = labelWindow(canvas.image(), split, 110.0, Axis::y, others, ticks);
    EXPECT_TRUE(!plain || plain->word.glyphs.size() == 1u);
    const std::optional<LabelWindow> brighter = labelWindow(canvas.image(), split, 110.0, Axis::y, others, ticks, 1.6f);
    ASSERT_TRUE(brighter);
    EXPECT_EQ(brighter->word.glyphs.size(), 3u);
    // Without its tick, the window is centred on the word itself.
    const std::optional<LabelWindow> unticked =
        labelWindow(canvas.image(), split, std::nullopt, Axis::y, others, ticks, 1.6f);
    ASSERT_TRUE(unticked);
    EXPECT_EQ(unticked->word.glyphs.size(), 3u);
}

// Reads every crop as the same text.
struct FixedReader : LabelReader {
    explicit FixedReader(std::string t) : text(std::move(t)) {}
    const std::string& problem() const override { return none; }
    Reading read(const GreyCrop& /*crop*/) override { return {text, 90}; }
    std::string text, none;
};

struct PointCase {
    const char* read;
    bool pointDrawn;
    bool loose;
    std::optional<double> value;
};

class PointsReadAgain : public testing::TestWithParam<PointCase> {};

TEST_P(PointsReadAgain, TrustTheGlyphsOrOCROnlyWhenLoose)
{
    const PointCase& c = GetParam();
    // Two bars with a point between them at their foot, or none.
    Canvas canvas(60, 40);
    canvas.stroke(19, 15, 19, 25, 1.0);
    canvas.stroke(27, 15, 27, 25, 1.0);
    if (c.pointDrawn)
        canvas.stroke(23, 25, 23, 25, 1.0);
    const InkImage image = canvas.image();
    Word word;
    word.glyphs = glyphsOf(image, 30);
    std::sort(word.glyphs.begin(), word.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.box.left < b.box.left; });
    word.box = word.glyphs.front().box;
    for (const Glyph& g : word.glyphs)
        word.box = word.box.joined(g.box);
    ASSERT_EQ(word.glyphs.size(), c.pointDrawn ? 3u : 2u);
    FixedReader reader(c.read);
    CropStyle style;
    style.loosePoints = c.loose;
    const TickLabel label = readTickLabel(image, word, reader, style);
    ASSERT_EQ(label.value.has_value(), c.value.has_value()) << label.text;
    if (c.value) {
        EXPECT_DOUBLE_EQ(*label.value, *c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Labels, PointsReadAgain,
                         testing::Values(PointCase{"1.5", true, false, 1.5}, PointCase{"15", true, false, {}},
                                         PointCase{"15", true, true, 1.5}, PointCase{"155", true, true, {}},
                                         PointCase{"1.5", false, false, {}}, PointCase{"1.5", false, true, 1.5},
                                         PointCase{"15", false, true, 15.0}));

} // namespace
