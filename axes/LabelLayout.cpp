#include "axes/LabelLayout.h"

#include <algorithm>
#include <cmath>

namespace {

bool sameRow(const Word& a, const Word& b)
{
    const double h = std::max(a.box.height(), b.box.height());
    const double lower = std::min(a.box.height(), b.box.height());
    return std::abs(a.box.bottom - b.box.bottom) <= std::max(2.0, 0.25 * h) && lower >= 0.6 * h;
}

bool sameColumn(const Word& a, const Word& b)
{
    const double h = std::max(a.box.height(), b.box.height());
    return std::abs(a.box.right - b.box.right) <= std::max(2.0, 0.3 * h);
}

// Groups words transitively by the relation, keeping groups of at least `fewest`.
template <typename Related>
std::vector<std::vector<Word>> groups(const std::vector<Word>& words, Related related, std::size_t fewest)
{
    std::vector<int> group(words.size(), -1);
    std::vector<std::vector<Word>> out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (group[i] >= 0)
            continue;
        std::vector<std::size_t> members = {i};
        group[i] = 0;
        for (std::size_t m = 0; m < members.size(); ++m)
            for (std::size_t j = 0; j < words.size(); ++j)
                if (group[j] < 0 && related(words[members[m]], words[j])) {
                    group[j] = 0;
                    members.push_back(j);
                }
        if (members.size() >= fewest) {
            std::vector<Word> run;
            for (const std::size_t k : members)
                run.push_back(words[k]);
            out.push_back(std::move(run));
        }
    }
    return out;
}

// More words than this on one line or in one column are not an axis' labels (a picture
// of noise or of text), and reading them all would take long.
constexpr std::size_t mostLabels = 40;

// Short strokes in a row (minor ticks) are no labels: a label of one glyph is a digit, never
// much narrower than a third of its height.
bool plausibleLabel(const Word& w)
{
    return w.box.height() >= 4 && w.box.width() <= 12 * w.box.height() && w.glyphs.size() <= 16 &&
           (w.glyphs.size() > 1 || w.box.width() * 10 > w.box.height() * 3);
}

} // namespace

std::vector<std::vector<Word>> labelRuns(const std::vector<Word>& words, Axis axis, int pictureWidth,
                                         std::size_t fewest)
{
    std::vector<Word> plausible;
    for (const Word& w : words)
        if (plausibleLabel(w))
            plausible.push_back(w);
    std::vector<std::vector<Word>> runs;
    if (axis == Axis::x) {
        runs = groups(plausible, sameRow, fewest);
        std::erase_if(runs, [](const std::vector<Word>& run) { return run.size() > mostLabels; });
        for (auto& run : runs)
            std::sort(run.begin(), run.end(), [](const Word& a, const Word& b) { return a.box.left < b.box.left; });
        std::sort(runs.begin(), runs.end(),
                  [](const auto& a, const auto& b) { return a.front().box.bottom > b.front().box.bottom; });
    } else {
        runs = groups(plausible, sameColumn, fewest);
        std::erase_if(runs, [](const std::vector<Word>& run) { return run.size() > mostLabels; });
        // A column's words must lie one above the other, not side by side.
        std::erase_if(runs, [](const std::vector<Word>& run) {
            for (std::size_t i = 0; i < run.size(); ++i)
                for (std::size_t j = i + 1; j < run.size(); ++j)
                    if (std::min(run[i].box.bottom, run[j].box.bottom) > std::max(run[i].box.top, run[j].box.top))
                        return true;
            return false;
        });
        for (auto& run : runs)
            std::sort(run.begin(), run.end(), [](const Word& a, const Word& b) { return a.box.top < b.box.top; });
        const auto key = [&](const std::vector<Word>& run) {
            const int right = run.front().box.right;
            return right <= pictureWidth / 2 ? right : -right;
        };
        std::sort(runs.begin(), runs.end(), [&](const auto& a, const auto& b) { return key(a) > key(b); });
    }
    return runs;
}
