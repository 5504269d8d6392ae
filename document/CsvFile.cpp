#include "document/CsvFile.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace {

void appendField(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
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

void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

} // namespace

std::string csvText(const Document& document, const WorldMap& map, std::optional<std::size_t> onlySeries)
{
    std::string out = "series,x,y,screen_x,screen_y\r\n";
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
        std::string name;
        appendField(name, series.look.name);
        for (const DPoint& screen : series.points) {
            const DPoint world = map.world(screen);
            out += name;
            for (const auto& [value, scale] : {std::pair{world.x, map.scales.x}, std::pair{world.y, map.scales.y}}) {
                out += ',';
                if (scale == AxisScale::date)
                    out += showWorldValue(AxisScale::date, value);
                else
                    appendNumber(out, value);
            }
            for (const double value : {screen.x, screen.y}) {
                out += ',';
                appendNumber(out, value);
            }
            out += "\r\n";
        }
    }
    return out;
}
