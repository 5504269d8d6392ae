#include "platform/NumberText.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

// The C locale, made once: the parse below must not follow the user's decimal comma.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

std::string toChars(double value, std::chars_format format, int precision)
{
    // Enough for any double in fixed notation with the precisions used here.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    if (result.ec != std::errc())
        return std::to_string(value);
    return {buffer.data(), result.ptr};
}

constexpr int maxDigits = 60;

int clampedDigits(unsigned digits)
{
    return digits > maxDigits ? maxDigits : static_cast<int>(digits);
}

} // namespace

float toSinglePrecision(double value)
{
    // Values between FLT_MAX and the next double that rounds to infinity still round to
    // FLT_MAX; only those beyond that go to infinity.
    constexpr double roundsToInfinity = 3.4028235677973366e38;
    if (value >= roundsToInfinity)
        return std::numeric_limits<float>::infinity();
    if (value <= -roundsToInfinity)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::string formatCellNumber(float value, FloatingPointFormat format)
{
    const double v = value;
    if (!format.autorange)
        return toChars(v, std::chars_format::fixed, clampedDigits(format.right));
    int significant = clampedDigits(format.left) + clampedDigits(format.right);
    if (significant > maxDigits)
        significant = maxDigits;
    if (significant < 1)
        significant = 1;
    return toChars(v, std::chars_format::general, significant);
}

float readLeadingFloat(std::string_view text)
{
    // strtof needs a terminated string; typed values are short.
    const std::string copy(text);
    return strtof_l(copy.c_str(), nullptr, cLocale());
}

bool isCompleteFiniteFloat(std::string_view text)
{
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const float value = strtof_l(begin, &end, cLocale());
    // ERANGE: beyond single precision either way, so the typed digits would be lost.
    if (end == begin || errno == ERANGE || !std::isfinite(value))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    // Hexadecimal numbers are for programmers, not for values read off a plot.
    for (const char* c = begin; c != end; ++c)
        if (*c == 'x' || *c == 'X')
            return false;
    return true;
}

void appendFixed(std::string& out, double value, int width, int precision)
{
    const std::string digits = toChars(value, std::chars_format::fixed, precision);
    if (static_cast<int>(digits.size()) < width)
        out.append(static_cast<std::size_t>(width) - digits.size(), ' ');
    out += digits;
}
