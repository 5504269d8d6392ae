// Find Axes' geometric stages on arbitrary small pictures, without OCR: the turn, the
// upright copy, glyphs, words, label runs and ticks, a label's window, and the scale fit
// on arbitrary values and positions. Nothing may crash or hang; a turn stays within its
// range, every glyph and tick lies in the picture (a window's glyphs in the window), every
// fit agrees with at least two labels.

#include "FuzzInput.h"
#include "axes/Glyphs.h"
#include "axes/InkImage.h"
#include "axes/LabelLayout.h"
#include "axes/LabelWindow.h"
#include "axes/ScaleFit.h"
#include "axes/Ticks.h"

#include <cmath>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int width = 1 + input.take<std::uint8_t>() % 64;
    const int height = 1 + input.take<std::uint8_t>() % 64;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (std::uint32_t& pixel : pixels)
        pixel = input.take<std::uint8_t>() % 3 == 0 ? 0xff000000u : 0xffffffffu | input.take<std::uint8_t>();
    const PixelView picture{pixels.data(), width, height, width};

    InkImage ink = inkOf(picture);
    const double skew = skewDegrees(ink);
    require(std::abs(skew) <= maxSkewDegrees, "the turn found is within the range searched");
    const Turn turn{skew, 0.5 * (width - 1), 0.5 * (height - 1)};
    const PixelPoint back = turn.toUpright(turn.toPicture({3.0, 5.0}));
    require(std::abs(back.column - 3.0) < 1e-9 && std::abs(back.row - 5.0) < 1e-9, "turning back returns the point");
    if (input.take<std::uint8_t>() % 2 == 0)
        ink = upright(ink, turn);

    const std::vector<Glyph> glyphs = glyphsOf(ink, 1 + input.take<std::uint8_t>() % 32);
    for (const Glyph& g : glyphs)
        require(g.box.left >= 0 && g.box.top >= 0 && g.box.right <= width && g.box.bottom <= height && g.area > 0,
                "a glyph lies in the picture");
    const std::vector<Word> words = wordsOf(glyphs);
    for (const Axis axis : {Axis::x, Axis::y})
        for (const std::vector<Word>& run : labelRuns(words, axis, width, 2)) {
            std::vector<Box> boxes;
            for (const Word& w : run)
                boxes.push_back(w.box);
            const std::vector<std::optional<double>> ticks = tickPositions(ink, boxes, axis);
            for (const std::optional<double>& tick : ticks)
                if (tick)
                    require(std::isfinite(*tick), "a tick's position is finite");
            // Each word's window, with the run's other words taken as the agreeing labels.
            std::vector<Word> others;
            std::vector<double> at;
            for (std::size_t i = 1; i < run.size(); ++i) {
                others.push_back(run[i]);
                at.push_back(ticks[i] ? *ticks[i] : run[i].box.centreColumn());
            }
            for (const float gain : {1.0f, 1.6f})
                if (const std::optional<LabelWindow> window =
                        labelWindow(ink, run.front(), ticks.front(), axis, others, at, gain))
                    for (const Glyph& g : window->word.glyphs)
                        require(g.box.left >= 0 && g.box.top >= 0 && g.box.right <= window->image.width &&
                                    g.box.bottom <= window->image.height,
                                "a glyph of a label's window lies in the window");
        }

    std::vector<ValueAt> labels(input.take<std::uint8_t>() % 12);
    for (ValueAt& label : labels)
        label = {input.takeNumber(), input.takeNumber()};
    if (const std::optional<AxisFit> fit = fitAxis(labels))
        require(fit->agreeing.size() >= 2 && std::isfinite(fit->slope) && fit->slope != 0.0,
                "a fit agrees with two labels at least and has a finite slope");
    return 0;
}
