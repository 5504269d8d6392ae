#pragma once

#include "document/Document.h"
#include "document/Resampling.h"
#include "document/WorldMap.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How the data points are laid out as delimited text. The defaults are the CSV of
// `plotmeter export` (RFC 4180):
//
//     series,x,y,screen_x,screen_y
//     Series 1,12.5,0.25,120.5,88.25
struct TextLayout {
    char separator = ',';      // ',', '\t' or ';'
    bool decimalComma = false; // a comma as decimal mark: only with '\t' or ';'
    bool seriesColumn = true;
    bool screenColumns = true;
    bool header = true;

    // Why this layout cannot be written; empty when it can.
    std::string problem() const;
};

// What a file name's extension asks for: a comma-separated file for ".csv" (semicolons
// with a decimal comma), a tab-separated one for ".tsv"; none for anything else (the data
// file). Case does not matter.
std::optional<char> separatorForName(std::string_view path, bool decimalComma = false);

// One row a point, series after series in their order (or only the series given; an index
// past the last series gives the header alone). x and y are world values through `map`
// (ISO 8601 text on a date axis), screen_x and screen_y picture coordinates. Numbers are in
// their shortest form that reads back as the same double, with the decimal mark the layout
// asks for whatever the locale. Rows end in CR LF; a series name holding the separator, a
// double quote, CR or LF is quoted, its double quotes doubled. The layout must have no
// problem.
std::string delimitedText(const Document& document, const WorldMap& map, const TextLayout& layout,
                          std::optional<std::size_t> onlySeries = std::nullopt);

// The same for points already placed, as resampling gives them: their world values as
// they are, on axes of these scales.
std::string delimitedText(const std::vector<SampledSeries>& series, AxisScales scales, const TextLayout& layout);

// The CSV of `plotmeter export`: the default layout.
inline std::string csvText(const Document& document, const WorldMap& map,
                           std::optional<std::size_t> onlySeries = std::nullopt)
{
    return delimitedText(document, map, TextLayout{}, onlySeries);
}
