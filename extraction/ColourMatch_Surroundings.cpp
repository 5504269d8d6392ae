// What a pixel's neighbours tell about it: whether its colour may be spread by JPEG, and
// whether a partly covered pixel lies beside the mark's own colour.
#include "extraction/ColourMatch.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A mark must somewhere be the target colour, or nearly: a pixel covered at least this
// much. A line of 1.4 px or more always has such pixels; a 1 px line lying exactly between
// two rows (two half-covered rows) has none, and is lost with the lighter blends it cannot
// be told from.
constexpr float coreCoverage = 0.68f;
// How far from a core pixel a partly covered one may lie, in pixels each way. An edge
// pixel of an anti-aliased mark touches its core; two pixels out, JPEG's ripples and the
// gridlines a mark crosses were taken too, and pulled markers' centres by 0.1 px.
constexpr int coreReach = 1;
// How much of the colour JPEG leaves in the 3 x 3 pixels around a pixel, against what
// their brightness says, falls with how little of them the mark fills: at quality 75, 0.3
// and more around a 1 px line (a third filled), 0.5 and more around a 2 px one, 0.6 and
// more inside a 5 px marker. Colour kept must be at least this factor times the share
// filled; brown, with a third of red's colour wherever it is as dark, falls short once
// the mark fills two thirds of the 3 x 3 pixels.
constexpr float keptShare = 0.5f;

} // namespace

float ColourMatch::weightAt(const PixelView& picture, int column, int row) const
{
    const Verdict v = verdict(picture.at(column, row));
    if (v.kind == Kind::none)
        return 0.0f;
    if (v.kind == Kind::washed && !washedFits(picture, column, row, v))
        return 0.0f;
    if (v.coverage >= coreCoverage || nearCore(picture, column, row))
        return v.coverage;
    return 0.0f;
}

// JPEG keeps the brightness of every pixel but only the local mean of the colour, and
// rounds part of the colour's finest detail away: the colour of a thin line's pixel is
// shared with its neighbours, and a neighbour of the line gets some. So the pixel may show
// any share of the target's colour up to the mean coverage around it (from the
// brightness), provided the 3 x 3 pixels around it together keep enough of the colour
// their brightness says they hold (see keptShare).
bool ColourMatch::washedFits(const PixelView& picture, int column, int row, const Verdict& v) const
{
    float coverage = 0.0f, share = 0.0f;
    int count = 0;
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, picture.height - 1); ++r)
        for (int c = std::max(column - 1, 0); c <= std::min(column + 1, picture.width - 1); ++c) {
            const Verdict around = verdict(picture.at(c, r));
            coverage += around.coverage;
            share += around.share;
            ++count;
        }
    const float mean = coverage / static_cast<float>(count);
    if (share < keptShare * mean * coverage)
        return false;
    const float high = std::max(v.coverage, mean);
    if (v.share <= high)
        return true; // measure() found the blend at that share within the tolerance
    return blendDifference(rgbOf(picture.at(column, row)), v.coverage, high) <= limitAt(v.coverage);
}

bool ColourMatch::isCore(const PixelView& picture, int column, int row) const
{
    const Verdict v = verdict(picture.at(column, row));
    if (v.kind == Kind::none || v.coverage < coreCoverage)
        return false;
    return v.kind == Kind::blend || washedFits(picture, column, row, v);
}

bool ColourMatch::nearCore(const PixelView& picture, int column, int row) const
{
    // The nearest ring first: an edge pixel's core is nearly always its neighbour.
    for (int reach = 1; reach <= coreReach; ++reach)
        for (int r = std::max(row - reach, 0); r <= std::min(row + reach, picture.height - 1); ++r)
            for (int c = std::max(column - reach, 0); c <= std::min(column + reach, picture.width - 1); ++c)
                if (std::max(std::abs(r - row), std::abs(c - column)) == reach && isCore(picture, c, r))
                    return true;
    return false;
}
