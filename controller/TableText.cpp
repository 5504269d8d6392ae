#include "controller/TableText.h"

#include "platform/NumberText.h"

#include <algorithm>

namespace {

void appendCell(std::string& out, std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    out += text;
}

} // namespace

std::string tableText(const PointTable& table, const std::vector<int>& rows)
{
    std::string out;
    const int columns = table.numberOfColumns();
    for (int column = 0; column < columns; ++column) {
        if (column > 0)
            out += '\t';
        appendCell(out, table.columnTitle(column));
    }
    out += '\n';
    for (const int row : rows) {
        if (row < 0 || row >= table.numberOfRows())
            continue;
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                out += '\t';
            const TableCell cell = table.cellAtRow(row, column);
            appendCell(out, cell.number ? shortestNumber(*cell.number) : cell.text);
        }
        out += '\n';
    }
    return out;
}

std::string sampledRowsText(const std::vector<SampledPoint>& points, AxisScales scales)
{
    std::string out = "Screen X\tScreen Y\tWorld X\tWorld Y\n";
    const auto world = [](double value, AxisScale scale) {
        return scale == AxisScale::date ? showWorldValue(AxisScale::date, value) : shortestNumber(value);
    };
    for (const SampledPoint& point : points)
        out += shortestNumber(point.screen.x) + '\t' + shortestNumber(point.screen.y) + '\t' +
               world(point.world.x, scales.x) + '\t' + world(point.world.y, scales.y) + '\n';
    return out;
}
