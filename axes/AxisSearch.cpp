#include "axes/AxisSearch.h"

#include "axes/LabelLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The runs worth reading: those with at least three words, at most this many of them,
// and no more words than this in all (a picture of noise has rows of "words" everywhere).
constexpr std::size_t runsTried = 4;
constexpr std::size_t wordsRead = 60;

AxisSearch readRun(const InkImage& image, const std::vector<Word>& run, Axis axis, LabelReader& reader)
{
    AxisSearch search;
    search.axis = axis;
    std::vector<Box> boxes;
    for (const Word& word : run) {
        search.labels.push_back(readTickLabel(image, word, reader));
        boxes.push_back(word.box);
    }
    search.ticks = tickPositions(image, boxes, axis);
    std::vector<ValueAt> placed;
    std::vector<std::size_t> index;
    for (std::size_t i = 0; i < search.labels.size(); ++i) {
        if (!search.labels[i].value)
            ++search.unread;
        else if (search.ticks[i]) {
            placed.push_back({*search.labels[i].value, *search.ticks[i]});
            index.push_back(i);
        }
    }
    search.fit = fitAxis(placed);
    if (search.fit) {
        for (const std::size_t k : search.fit->agreeing)
            search.agreeing.push_back(index[k]);
        search.claimed = search.agreeing.size() >= 3 && search.fit->regular;
        std::vector<double> offsets;
        double longest = 0.0;
        for (const std::size_t i : search.agreeing) {
            const Box& box = search.labels[i].box;
            offsets.push_back(*search.ticks[i] - (axis == Axis::x ? box.centreColumn() : box.centreRow()));
            longest = std::max<double>(longest, axis == Axis::x ? box.width() : box.height());
        }
        if (!offsets.empty()) {
            std::nth_element(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(offsets.size() / 2),
                             offsets.end());
            search.offCentre = std::abs(offsets[offsets.size() / 2]) > 0.25 * longest + 3.0;
        }
        for (std::size_t i = 0; i < search.labels.size(); ++i) {
            const TickLabel& label = search.labels[i];
            if (!label.value || std::find(search.agreeing.begin(), search.agreeing.end(), i) != search.agreeing.end())
                continue;
            if (search.fit->scale == AxisScale::log10 && !(*label.value > 0.0)) {
                ++search.misfits;
                continue;
            }
            const double expected = search.fit->positionOf(*label.value);
            const double centre = axis == Axis::x ? label.box.centreColumn() : label.box.centreRow();
            const double extent = axis == Axis::x ? label.box.width() : label.box.height();
            // Its value belongs where it stands: at its tick, or (the tick taken for another
            // stroke, or not found) centred on the place the scale gives its value.
            const bool fits = (search.ticks[i] && std::abs(*search.ticks[i] - expected) <= 1.0) ||
                              std::abs(centre - expected) <= 0.25 * extent + 2.0;
            search.misfits += fits ? 0u : 1u;
        }
    }
    return search;
}

// How near a failed search came, to keep the best for the messages.
std::size_t promise(const AxisSearch& s)
{
    return s.agreeing.size() * 4 + (s.labels.size() - s.unread);
}

} // namespace

AxisSearch searchAxis(const InkImage& image, const std::vector<Word>& words, Axis axis, LabelReader& reader,
                      const std::function<void(double)>& progress)
{
    std::vector<std::vector<Word>> runs = labelRuns(words, axis, image.width, 3);
    if (runs.empty())
        runs = labelRuns(words, axis, image.width, 2);
    if (runs.size() > runsTried)
        runs.resize(runsTried);
    AxisSearch best;
    best.axis = axis;
    std::size_t read = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        read += runs[i].size();
        if (read > wordsRead && i > 0)
            break;
        AxisSearch search = readRun(image, runs[i], axis, reader);
        progress(static_cast<double>(i + 1) / static_cast<double>(runs.size()));
        if (search.claimed)
            return search;
        if (best.labels.empty() || promise(search) > promise(best))
            best = std::move(search);
    }
    progress(1.0);
    return best;
}
