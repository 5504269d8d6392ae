#include "axes/AxisSearch.h"

#include "axes/LabelLayout.h"
#include "axes/LabelWindow.h"

#include <algorithm>
#include <cmath>

namespace {

// The runs worth reading: those with at least three words, at most this many of them,
// and no more words than this in all (a picture of noise has rows of "words" everywhere).
constexpr std::size_t runsTried = 4;
constexpr std::size_t wordsRead = 60;

// Whether the label's value belongs where it stands under the scale found: at its tick
// within a pixel (the plotting program's rounding to whole pixels may put it there), or
// (the tick taken for another stroke, or not found) centred on the place of its value.
bool fitsScale(const AxisSearch& search, std::size_t i)
{
    const TickLabel& label = search.labels[i];
    if (!label.value || !search.fit || (search.fit->scale == AxisScale::log10 && !(*label.value > 0.0)))
        return false;
    const double expected = search.fit->positionOf(*label.value);
    const bool x = search.axis == Axis::x;
    const double centre = x ? label.box.centreColumn() : label.box.centreRow();
    const double extent = x ? label.box.width() : label.box.height();
    return (search.ticks[i] && std::abs(*search.ticks[i] - expected) <= 1.0) ||
           std::abs(centre - expected) <= 0.25 * extent + 2.0;
}

// The scale the labels read agree on, and what is doubtful about it.
void judge(AxisSearch& search)
{
    search.fit.reset();
    search.agreeing.clear();
    search.claimed = search.offCentre = false;
    search.unread = search.misfits = 0;
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
    if (!search.fit)
        return;
    for (const std::size_t k : search.fit->agreeing)
        search.agreeing.push_back(index[k]);
    search.claimed = search.agreeing.size() >= 3 && search.fit->regular;
    const bool x = search.axis == Axis::x;
    std::vector<double> offsets;
    double longest = 0.0;
    for (const std::size_t i : search.agreeing) {
        const Box& box = search.labels[i].box;
        offsets.push_back(*search.ticks[i] - (x ? box.centreColumn() : box.centreRow()));
        longest = std::max<double>(longest, x ? box.width() : box.height());
    }
    std::nth_element(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(offsets.size() / 2), offsets.end());
    search.offCentre = std::abs(offsets[offsets.size() / 2]) > 0.25 * longest + 3.0;
    for (std::size_t i = 0; i < search.labels.size(); ++i)
        if (search.labels[i].value &&
            std::find(search.agreeing.begin(), search.agreeing.end(), i) == search.agreeing.end() &&
            !fitsScale(search, i))
            ++search.misfits;
}

// The label read again from its word cut down to its window (see labelWindow), in every
// way; kept when its value belongs where it stands.
bool rereadInWindow(const InkImage& image, const std::vector<Word>& run, std::optional<double> tick,
                    LabelReader& reader, AxisSearch& search, std::size_t i)
{
    std::vector<Word> words;
    std::vector<double> ticks;
    for (const std::size_t k : search.agreeing) {
        words.push_back(run[k]);
        ticks.push_back(*search.ticks[k]);
    }
    const TickLabel first = search.labels[i];
    std::vector<CropStyle> styles = {CropStyle{}};
    styles.insert(styles.end(), std::begin(otherCropStyles), std::end(otherCropStyles));
    for (const float gain : {1.0f, 1.6f}) {
        const std::optional<LabelWindow> window = labelWindow(image, run[i], tick, search.axis, words, ticks, gain);
        if (!window)
            continue;
        for (const CropStyle& style : styles) {
            search.labels[i] = readTickLabel(window->image, window->word, reader, style);
            search.labels[i].box = first.box;
            if (fitsScale(search, i))
                return true;
        }
    }
    search.labels[i] = first;
    return false;
}

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
    judge(search);
    if (!search.claimed || search.unread + search.misfits == 0)
        return search;
    // A label read as no number, or as one that does not belong where it stands, is read
    // again from crops made otherwise; a new reading is kept only when its value belongs
    // there under the scale the other labels agree on.
    bool changed = false;
    for (std::size_t i = 0; i < search.labels.size(); ++i) {
        if (std::find(search.agreeing.begin(), search.agreeing.end(), i) != search.agreeing.end() ||
            fitsScale(search, i))
            continue;
        const TickLabel first = search.labels[i];
        if (rereadInWindow(image, run, search.ticks[i], reader, search, i)) {
            changed = true;
            continue;
        }
        for (const CropStyle& style : otherCropStyles) {
            search.labels[i] = readTickLabel(image, run[i], reader, style);
            if (fitsScale(search, i)) {
                changed = true;
                break;
            }
            search.labels[i] = first;
        }
    }
    if (changed)
        judge(search);
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
