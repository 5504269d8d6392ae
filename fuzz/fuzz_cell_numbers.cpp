// Reads typed text as the world cells do and shows numbers in every format: nothing may
// crash, a typed text taken as a number must be finite and show again as a text that reads
// back as exactly that number, and so must any finite double.

#include "FuzzInput.h"
#include "platform/NumberText.h"

#include <cmath>

namespace {

void requireRoundTrip(double value)
{
    double back = 0.0;
    require(readCompleteNumber(shortestNumber(value), &back), "the shortest text of a number is a number");
    require(back == value && std::signbit(back) == std::signbit(value), "the shortest text gives the number back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const float narrow = input.take<float>();
    const double wide = input.take<double>();
    const FloatingPointFormat format{(input.take<std::uint8_t>() & 1) != 0, input.take<std::uint8_t>(),
                                     input.take<std::uint8_t>()};
    const std::string text = input.rest();

    double typed = 0.0;
    if (readCompleteNumber(text, &typed)) {
        require(std::isfinite(typed), "a complete number is finite");
        requireRoundTrip(typed);
    }
    for (const double value : {static_cast<double>(narrow), wide}) {
        require(!formatCellNumber(value, format).empty(), "a number always shows as something");
        if (std::isfinite(value))
            requireRoundTrip(value);
        std::string line;
        appendFixed(line, value, 14, 6);
        require(line.size() >= 14, "a fixed field is never narrower than its width");
    }
    return 0;
}
