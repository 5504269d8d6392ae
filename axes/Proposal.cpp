// The proposal made from the two axes' searches: corners, doubts and sentences.
#include "axes/AxisSearch.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

std::string number(double value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("?");
}

const char* nameOf(Axis axis)
{
    return axis == Axis::x ? "x" : "y";
}

AxisReading readingOf(const AxisSearch& s)
{
    AxisReading r;
    r.claimed = s.claimed;
    if (s.fit)
        r.scale = s.fit->scale;
    for (const TickLabel& label : s.labels)
        r.read.push_back(label.text.empty() ? "?" : label.text);
    for (const std::size_t i : s.agreeing)
        r.values.push_back(*s.labels[i].value);
    return r;
}

std::string joined(const std::vector<std::string>& parts, const char* between)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i == 0 ? "" : between) + parts[i];
    return out;
}

// Why an axis was not claimed, as a clause: "read 2 labels on the y axis: 10, 20".
std::string shortfall(const AxisSearch& s)
{
    const std::string axis = std::string(nameOf(s.axis)) + " axis";
    std::vector<std::string> numbers;
    for (const TickLabel& label : s.labels)
        if (label.value)
            numbers.push_back(label.text);
    if (s.labels.empty())
        return "found no tick labels on the " + axis;
    if (numbers.empty())
        return "could not read the " + std::to_string(s.labels.size()) + " tick labels on the " + axis;
    const std::size_t count = numbers.size();
    if (numbers.size() > 8) {
        numbers.resize(8);
        numbers.push_back("...");
    }
    std::string clause = "read " + std::to_string(count) + (count == 1 ? " label" : " labels") + " on the " + axis +
                         ": " + joined(numbers, ", ");
    if (s.agreeing.size() >= 3 && s.fit && !s.fit->regular)
        clause += ", not evenly stepped";
    else if (count >= 3)
        clause += ", but no three of them agree with one scale and their ticks";
    return clause;
}

// Text set just past the axis' last label, where plotting programs put an offset or a
// common factor ("+1e6", "1e-3", "×10⁴") that the labels' values are to be read with: for
// the x axis beside its last label, or under the labels' right end; for the y axis above
// its top label. Such text stands alone; a word with others beside it on its line is part
// of a title or an axis' name.
bool textAtAxisEnd(const AxisSearch& s, const std::vector<Word>& words)
{
    if (s.labels.size() < 2)
        return false;
    int height = 0;
    for (const TickLabel& l : s.labels)
        height = std::max(height, l.box.height());
    const auto isLabel = [&](const Word& w) {
        return std::any_of(s.labels.begin(), s.labels.end(), [&](const TickLabel& l) { return l.box == w.box; });
    };
    const auto alone = [&](const Word& w) {
        return std::none_of(words.begin(), words.end(), [&](const Word& o) {
            const int shared = std::min(o.box.bottom, w.box.bottom) - std::max(o.box.top, w.box.top);
            const bool sameLine = 2 * shared >= std::min(o.box.height(), w.box.height());
            const int gap = std::max(o.box.left - w.box.right, w.box.left - o.box.right);
            return &o != &w && !isLabel(o) && sameLine && gap < 3 * height / 2;
        });
    };
    const auto inZone = [&](const Box& zone) {
        return std::any_of(words.begin(), words.end(), [&](const Word& w) {
            return w.box.right > zone.left && w.box.left < zone.right && w.box.bottom > zone.top &&
                   w.box.top < zone.bottom && alone(w);
        });
    };
    if (s.axis == Axis::x) {
        const Box& last = s.labels.back().box;
        int bottom = 0;
        for (const TickLabel& l : s.labels)
            bottom = std::max(bottom, l.box.bottom);
        const bool beside = std::any_of(words.begin(), words.end(), [&](const Word& w) {
            return w.box.left >= last.right && w.box.left <= last.right + 3 * height && w.box.bottom > last.top &&
                   w.box.top < last.bottom;
        });
        const Box under{last.left - height, bottom, last.right + 4 * height, bottom + 3 * height};
        return beside || inZone(under);
    }
    const Box& top = s.labels.front().box;
    int left = top.left;
    for (const TickLabel& l : s.labels)
        left = std::min(left, l.box.left);
    return inZone({left - height, top.top - 3 * height, top.right + 2 * height, top.top});
}

void noteDoubts(const AxisSearch& s, const std::vector<Word>& words, std::vector<std::string>& doubts)
{
    const std::string axis = std::string("the ") + nameOf(s.axis) + " axis";
    const std::size_t left = s.unread + s.misfits;
    if (left > 1 || (left == 1 && s.agreeing.size() < 4))
        doubts.push_back(std::to_string(left) + " of the " + std::to_string(s.labels.size()) + " labels on " + axis +
                         " could not be read or do not agree with the others");
    const bool forward = s.axis == Axis::x ? s.fit->slope > 0.0 : s.fit->slope < 0.0;
    if (!forward)
        doubts.push_back(axis + std::string(s.axis == Axis::x ? " runs from right to left" : " runs downwards") +
                         "; check its labels");
    if (s.offCentre)
        doubts.push_back("the ticks found on " + axis +
                         " are not centred on their labels; check that they are its own");
    if (textAtAxisEnd(s, words))
        doubts.push_back("there is text at the end of " + axis +
                         ", perhaps an offset or a factor for its labels, which Find Axes does not read");
}

// A value as the sentence shows it: a whole power of ten on a log axis as drawn, "10⁻³".
std::string shown(AxisScale scale, double value)
{
    const double power = std::round(std::log10(value));
    if (scale != AxisScale::log10 || !(value > 0.0) || std::abs(power) > 300 || std::pow(10.0, power) != value)
        return number(value);
    static constexpr const char* superscript[] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                                  "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string text = power < 0 ? "10\u207b" : "10";
    for (const char digit : std::to_string(static_cast<int>(std::abs(power))))
        text += superscript[digit - '0'];
    return text;
}

std::string axisSentence(const char* name, const AxisReading& r)
{
    return std::string(name) + " axis: " + std::string(axisScaleName(r.scale)) + ", " +
           std::to_string(r.values.size()) + " labels, " + shown(r.scale, r.values.front()) + " to " +
           shown(r.scale, r.values.back());
}

} // namespace

AxesProposal proposalOf(const AxisSearch& x, const AxisSearch& y, const std::vector<Word>& words, const Turn& turn,
                        int pictureHeight)
{
    AxesProposal p;
    p.x = readingOf(x);
    p.y = readingOf(y);
    if (!x.claimed || !y.claimed) {
        std::vector<std::string> clauses;
        for (const AxisSearch* s : {&x, &y})
            if (!s->claimed)
                clauses.push_back(shortfall(*s));
        p.problem = "Find Axes " + joined(clauses, "; it ") + ", so it proposes no calibration";
        return p;
    }
    // The values along each axis in order, the ends being the outermost agreeing labels.
    std::sort(p.x.values.begin(), p.x.values.end());
    std::sort(p.y.values.begin(), p.y.values.end());
    p.axes = {x.fit->scale, y.fit->scale};
    const double xs[2] = {p.x.values.front(), p.x.values.back()};
    const double ys[2] = {p.y.values.front(), p.y.values.back()};
    for (const double wy : ys)
        for (const double wx : xs) {
            const PixelPoint at = turn.toPicture({x.fit->positionOf(wx), y.fit->positionOf(wy)});
            p.points.push_back({{at.column, pictureHeight - at.row}, wx, wy});
        }
    noteDoubts(x, words, p.doubts);
    noteDoubts(y, words, p.doubts);
    p.confident = p.doubts.empty();
    p.summary = axisSentence("x", p.x) + "; " + axisSentence("y", p.y) + ". ";
    for (std::string doubt : p.doubts) {
        doubt.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(doubt.front())));
        p.summary += doubt + ". ";
    }
    p.summary += "Check that the grid lies on the plot's own, then choose Acquire.";
    return p;
}
