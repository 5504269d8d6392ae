#include "axes/FindAxes.h"

#include "axes/AxisSearch.h"
#include "axes/Glyphs.h"
#include "axes/InkImage.h"
#include "axes/LabelLayout.h"
#include "axes/LabelReader.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double largestPicture = 60e6; // pixels
constexpr double leastTurn = 0.02;      // degrees: below this the picture is read as it is

struct Cancelled {};

} // namespace

AxesProposal findAxes(const PixelView& pixels, const Work& work, const LabelReaders& readers)
{
    AxesProposal proposal;
    if (pixels.pixels == nullptr || pixels.width < 32 || pixels.height < 32) {
        proposal.problem = "the picture is too small to hold a plot's axes";
        return proposal;
    }
    if (static_cast<double>(pixels.width) * pixels.height > largestPicture) {
        proposal.problem = "the picture is too large for Find Axes (more than 60 megapixels)";
        return proposal;
    }
    try {
        const auto checkpoint = [&](double fraction) {
            if (work.cancelled())
                throw Cancelled{};
            work.report(fraction);
        };
        InkImage ink = inkOf(pixels);
        checkpoint(0.05);
        Turn turn{skewDegrees(ink), 0.5 * (ink.width - 1), 0.5 * (ink.height - 1)};
        if (std::abs(turn.degrees) < leastTurn)
            turn.degrees = 0.0;
        else
            ink = upright(ink, turn);
        checkpoint(0.2);
        const int largestGlyph = std::max(16, std::min(ink.width, ink.height) / 8);
        const std::vector<Word> words = wordsOf(glyphsOf(ink, largestGlyph));
        checkpoint(0.3);

        const std::unique_ptr<LabelReader> reader = readers ? readers() : nullptr;
        if (reader == nullptr) {
            proposal.problem = "this Plotmeter cannot read tick labels: its OCR module (libplotmeter-ocr) is missing";
            return proposal;
        }
        if (!reader->problem().empty()) {
            proposal.problem = reader->problem();
            return proposal;
        }
        const AxisSearch x = searchAxis(ink, words, Axis::x, *reader, [&](double f) { checkpoint(0.3 + 0.35 * f); });
        const AxisSearch y = searchAxis(ink, words, Axis::y, *reader, [&](double f) { checkpoint(0.65 + 0.35 * f); });
        proposal = proposalOf(x, y, words, turn, ink.height);
        return proposal;
    } catch (const Cancelled&) {
        AxesProposal cancelled;
        cancelled.problem = "Find Axes was cancelled";
        return cancelled;
    }
}
