// Reads arbitrary text as a tick label, as OCR may hand it over: nothing may crash, and a
// value given is finite and reads the same from the label's plain form.

#include "FuzzInput.h"
#include "axes/LabelText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> value = labelValue(text);
    if (value) {
        require(std::isfinite(*value), "a label's value is finite");
        const std::optional<double> again = labelValue(plainLabelText(text));
        require(again.has_value() && *again == *value, "the plain form of a label reads as the same value");
    }
    return 0;
}
