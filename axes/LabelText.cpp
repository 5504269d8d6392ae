#include "axes/LabelText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// The text in a form with one byte a symbol: '-' minus, '*' times, '^' then the exponent
// for superscripts ('{' and '}' dropped); empty when it holds anything a label cannot.
std::optional<std::string> normalised(std::string_view text)
{
    static constexpr std::array<std::string_view, 10> superscriptDigits = {
        "\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074", "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string out;
    bool inSuperscript = false;
    const auto startSuperscript = [&] {
        if (!inSuperscript) {
            out += '^';
            inSuperscript = true;
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        const auto take = [&](std::string_view symbol) {
            if (!rest.starts_with(symbol))
                return false;
            i += symbol.size();
            return true;
        };
        bool superscript = false;
        for (std::size_t d = 0; d < superscriptDigits.size() && !superscript; ++d)
            if (take(superscriptDigits[d])) {
                startSuperscript();
                out += static_cast<char>('0' + d);
                superscript = true;
            }
        if (superscript)
            continue;
        if (take("\u207b")) { // superscript minus
            startSuperscript();
            out += '-';
            continue;
        }
        if (take("\u207a")) {
            startSuperscript();
            out += '+';
            continue;
        }
        if (inSuperscript)
            return std::nullopt; // nothing follows a superscript exponent
        if (take("\u2212") || take("\u2013")) {
            out += '-';
            continue;
        }
        if (take("\u00d7")) {
            out += '*';
            continue;
        }
        const char c = rest.front();
        ++i;
        if (c == ' ' || c == '{' || c == '}')
            continue;
        if (c == 'x' || c == 'X')
            out += '*';
        else if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E' || c == '^' ||
                 c == '*')
            out += c;
        else
            return std::nullopt;
    }
    return out;
}

// An optional sign and digits with at most one point, the whole text; at most 15 digits.
std::optional<double> decimal(std::string_view text, bool allowPoint)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int digits = 0;
    int points = 0;
    for (std::size_t j = i; j < text.size(); ++j) {
        if (text[j] >= '0' && text[j] <= '9')
            ++digits;
        else if (text[j] == '.' && allowPoint)
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || digits > 15 || points > 1)
        return std::nullopt;
    // No program labels an axis "02": such a reading has lost the point of "0.2", and read
    // as 2 it would agree with "04" and "06" on a scale ten times too large.
    if (allowPoint && text.size() > i + 1 && text[i] == '0' && text[i + 1] >= '0' && text[i + 1] <= '9')
        return std::nullopt;
    std::string plain(text.substr(text[0] == '+' ? 1 : 0));
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc{} || end != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

// "mantissa e exponent", both already checked, read as the double nearest to it.
std::optional<double> scientific(std::string_view mantissa, std::string_view exponent)
{
    std::string text(mantissa.starts_with('+') ? mantissa.substr(1) : mantissa);
    text += 'e';
    text += exponent.starts_with('+') ? exponent.substr(1) : exponent;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> labelValue(std::string_view text)
{
    const std::optional<std::string> plain = normalised(text);
    if (!plain || plain->empty())
        return std::nullopt;
    const std::string_view s = *plain;

    // Powers of ten: [mantissa*]10^exponent
    if (const std::size_t caret = s.find('^'); caret != std::string_view::npos) {
        const std::optional<double> exponent = decimal(s.substr(caret + 1), false);
        std::string_view base = s.substr(0, caret);
        if (!exponent || std::abs(*exponent) > 300 || !base.ends_with("10"))
            return std::nullopt;
        base.remove_suffix(2);
        if (base.empty() || base == "-" || base == "+")
            return scientific(std::string(base) + "1", s.substr(caret + 1));
        if (!base.ends_with('*'))
            return std::nullopt;
        base.remove_suffix(1);
        if (!decimal(base, true))
            return std::nullopt;
        return scientific(base, s.substr(caret + 1));
    }
    if (s.find('*') != std::string_view::npos)
        return std::nullopt;

    // Plain numbers and the e-notation
    const std::size_t e = s.find_first_of("eE");
    if (e == std::string_view::npos)
        return decimal(s, true);
    const std::optional<double> exponent = decimal(s.substr(e + 1), false);
    if (!decimal(s.substr(0, e), true) || !exponent || std::abs(*exponent) > 300)
        return std::nullopt;
    return scientific(s.substr(0, e), s.substr(e + 1));
}

std::string plainLabelText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("\u2212") || rest.starts_with("\u2013")) {
            out += '-';
            i += 3;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}
