// Reads typed text as cells do and shows numbers in every format: nothing may crash, a
// number judged complete and finite must read as a finite number, and nine significant
// digits must give back any single-precision value exactly.

#include "FuzzInput.h"
#include "platform/NumberText.h"
#include "platform/TableCell.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const float number = input.take<float>();
    const double wide = input.take<double>();
    const FloatingPointFormat format{(input.take<std::uint8_t>() & 1) != 0, input.take<std::uint8_t>(),
                                     input.take<std::uint8_t>()};
    const std::string text = input.rest();

    TableCell cell;
    cell.setFloatingPointFormat(format.autorange, format.left, format.right);
    cell.setStringValue(text);
    const float typed = cell.floatValue();
    require(cell.stringValue() == text, "a typed text is shown as typed");
    if (isCompleteFiniteFloat(text))
        require(std::isfinite(typed), "a complete finite number reads as a finite number");

    cell.setFloatValue(number);
    const std::string shown = cell.stringValue();
    require(!shown.empty(), "a number always shows as something");
    if (std::isfinite(number)) {
        const std::string exact = formatCellNumber(number, {true, 9, 0});
        require(readLeadingFloat(exact) == number, "nine significant digits give the number back");
    }

    std::string line;
    appendFixed(line, wide, 14, 6);
    require(line.size() >= 14, "a fixed field is never narrower than its width");
    (void)toSinglePrecision(wide);
    return 0;
}
