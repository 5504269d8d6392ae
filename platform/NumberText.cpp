#include "platform/NumberText.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
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

std::string formatCellNumber(double value, FloatingPointFormat format)
{
    if (!format.autorange)
        return toChars(value, std::chars_format::fixed, clampedDigits(format.right));
    int significant = clampedDigits(format.left) + clampedDigits(format.right);
    if (significant > maxDigits)
        significant = maxDigits;
    if (significant < 1)
        significant = 1;
    return toChars(value, std::chars_format::general, significant);
}

std::string shortestNumber(double value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

bool readCompleteNumber(std::string_view text, double* value)
{
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const double number = strtod_l(begin, &end, cLocale());
    // ERANGE on overflow; an underflow to a tiny or zero value is still the typed number.
    if (end == begin || !std::isfinite(number) || (errno == ERANGE && std::fabs(number) > 1.0))
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    // Hexadecimal numbers are for programmers, not for values read off a plot; "nan" and
    // "inf" are refused above as not finite.
    for (const char* c = begin; c != end; ++c)
        if (*c == 'x' || *c == 'X')
            return false;
    if (value != nullptr)
        *value = number;
    return true;
}

namespace {

void appendPadded(std::string& out, const std::string& digits, int width)
{
    if (static_cast<int>(digits.size()) < width)
        out.append(static_cast<std::size_t>(width) - digits.size(), ' ');
    out += digits;
}

} // namespace

void appendFixed(std::string& out, double value, int width, int precision)
{
    appendPadded(out, toChars(value, std::chars_format::fixed, precision), width);
}

void appendExponent(std::string& out, double value, int width, int precision)
{
    appendPadded(out, toChars(value, std::chars_format::scientific, precision), width);
}

std::string readoutNumber(double value)
{
    const double rounded = std::round(value * 1e4) / 1e4;
    return shortestNumber(std::isfinite(rounded) ? rounded + 0.0 : value);
}
