#include "document/CsvFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace {

void appendField(std::string& out, std::string_view text, char separator)
{
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (text.find_first_of(special) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void appendNumber(std::string& out, double value, bool decimalComma)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (decimalComma)
        std::replace(buffer, result.ptr, '.', ',');
    out.append(buffer, result.ptr);
}

bool endsWith(std::string_view path, std::string_view extension)
{
    return path.size() >= extension.size() &&
           std::equal(extension.rbegin(), extension.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

std::string TextLayout::problem() const
{
    if (separator != ',' && separator != '\t' && separator != ';')
        return "the separator must be a comma, a tab or a semicolon";
    if (decimalComma && separator == ',')
        return "a decimal comma needs a tab or a semicolon between the values";
    return {};
}

std::optional<char> separatorForName(std::string_view path, bool decimalComma)
{
    if (endsWith(path, ".csv"))
        return decimalComma ? ';' : ',';
    if (endsWith(path, ".tsv"))
        return '\t';
    return std::nullopt;
}

namespace {

void appendHeader(std::string& out, const TextLayout& layout, const AxisScales& scales)
{
    if (!layout.header)
        return;
    // Polar axes: "series,angle,radius,screen_x,screen_y".
    const bool polar = scales.polar.has_value();
    const std::string_view titles[] = {"series", polar ? "angle" : "x", polar ? "radius" : "y", "screen_x",
                                       "screen_y"};
    bool first = true;
    for (std::size_t k = 0; k < 5; ++k) {
        if ((k == 0 && !layout.seriesColumn) || (k >= 3 && !layout.screenColumns))
            continue;
        if (!first)
            out += layout.separator;
        out += titles[k];
        first = false;
    }
    out += "\r\n";
}

// The series column of every row of a series, with its separator; empty without it.
std::string nameField(const std::string& name, const TextLayout& layout)
{
    std::string field;
    if (layout.seriesColumn) {
        appendField(field, name, layout.separator);
        field += layout.separator;
    }
    return field;
}

void appendRow(std::string& out, const std::string& name, DPoint screen, DPoint world, const AxisScales& scales,
               const TextLayout& layout)
{
    const char separator = layout.separator;
    out += name;
    const std::pair<double, AxisScale> worlds[] = {{world.x, scales.x}, {world.y, scales.y}};
    for (std::size_t k = 0; k < 2; ++k) {
        if (k > 0)
            out += separator;
        if (worlds[k].second == AxisScale::date)
            out += showWorldValue(AxisScale::date, worlds[k].first);
        else
            appendNumber(out, worlds[k].first, layout.decimalComma);
    }
    if (layout.screenColumns)
        for (const double value : {screen.x, screen.y}) {
            out += separator;
            appendNumber(out, value, layout.decimalComma);
        }
    out += "\r\n";
}

} // namespace

std::string delimitedText(const Document& document, const WorldMap& map, const TextLayout& layout,
                          std::optional<std::size_t> onlySeries)
{
    std::string out;
    appendHeader(out, layout, map.scales);
    const auto& allSeries = document.series();
    std::size_t bytes = 0;
    for (std::size_t s = 0; s < allSeries.size(); ++s)
        if (!onlySeries || *onlySeries == s)
            bytes += allSeries[s].points.size() * (allSeries[s].look.name.size() + 48);
    out.reserve(out.size() + bytes);
    for (std::size_t s = 0; s < allSeries.size(); ++s) {
        if (onlySeries && *onlySeries != s)
            continue;
        const Series& series = allSeries[s];
        const std::string name = nameField(series.look.name, layout);
        for (const DPoint& screen : series.points)
            appendRow(out, name, screen, map.world(screen), map.scales, layout);
    }
    return out;
}

std::string delimitedText(const std::vector<SampledSeries>& series, AxisScales scales, const TextLayout& layout)
{
    std::string out;
    appendHeader(out, layout, scales);
    std::size_t bytes = 0;
    for (const SampledSeries& one : series)
        bytes += one.points.size() * (one.name.size() + 48);
    out.reserve(out.size() + bytes);
    for (const SampledSeries& one : series) {
        const std::string name = nameField(one.name, layout);
        for (const SampledPoint& point : one.points)
            appendRow(out, name, point.screen, point.world, scales, layout);
    }
    return out;
}
