#include "document/DataFile.h"

#include "platform/NumberText.h"

void appendDataLine(std::string& out, DPoint screen, DPoint world)
{
    out += "  ";
    appendFixed(out, screen.x, 8, 3);
    out += "  ";
    appendFixed(out, screen.y, 8, 3);
    out += "   ";
    appendFixed(out, world.x, 14, 6);
    out += "  ";
    appendFixed(out, world.y, 14, 6);
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
