#include "controller/DataFileFormat.h"

#include "platform/NumberText.h"

void appendDataLine(std::string& out, float screenX, float screenY, float worldX, float worldY)
{
    out += "  ";
    appendFixed(out, screenX, 8, 3);
    out += "  ";
    appendFixed(out, screenY, 8, 3);
    out += "   ";
    appendFixed(out, worldX, 14, 6);
    out += "  ";
    appendFixed(out, worldY, 14, 6);
    out += '\n';
}
