#include "document/DataFile.h"

#include "platform/NumberText.h"

#include <cmath>

namespace {

void appendWorld(std::string& out, double value)
{
    if (value != 0.0 && std::fabs(value) < 0.001)
        appendExponent(out, value, 14, 6);
    else
        appendFixed(out, value, 14, 6);
}

} // namespace

void appendDataLine(std::string& out, DPoint screen, DPoint world)
{
    out += "  ";
    appendFixed(out, screen.x, 8, 3);
    out += "  ";
    appendFixed(out, screen.y, 8, 3);
    out += "   ";
    appendWorld(out, world.x);
    out += "  ";
    appendWorld(out, world.y);
    out += '\n';
}

std::string dataFileText(const Series& series, const WorldMap& map)
{
    std::string text;
    // A line is 54 characters for every value of ordinary size.
    text.reserve(series.points.size() * 56);
    for (const DPoint& screen : series.points)
        appendDataLine(text, screen, map.world(screen));
    return text;
}

std::string dataFileText(const std::vector<SampledPoint>& points)
{
    std::string text;
    text.reserve(points.size() * 56);
    for (const SampledPoint& point : points)
        appendDataLine(text, point.screen, point.world);
    return text;
}
