#include "view/GridTicks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

constexpr int mostWanted = 100;
constexpr int mostTicks = 400;
// A step this much finer than the values it is added to loses its digits in a double.
constexpr double finestRelativeStep = 1e-12;

constexpr double minute = 60.0;
constexpr double hour = 3600.0;
constexpr double day = 86400.0;
constexpr double year = 365.0 * day;

constexpr std::array<double, 24> dateSteps = {1.0,     2.0,        5.0,        10.0,        15.0,        30.0,
                                              minute,  2 * minute, 5 * minute, 10 * minute, 15 * minute, 30 * minute,
                                              hour,    2 * hour,   3 * hour,   6 * hour,    12 * hour,   day,
                                              2 * day, 7 * day,    14 * day,   30 * day,    91 * day,    182 * day};

// Of two steps, the one whose count of lines is nearer the wanted count, by ratio.
double nearer(double raw, double a, double b)
{
    if (!std::isfinite(b) || !(b > 0.0))
        return a;
    if (!std::isfinite(a) || !(a > 0.0))
        return b;
    return std::abs(std::log(a / raw)) <= std::abs(std::log(b / raw)) ? a : b;
}

// The step 1, 2 or 5 times a power of ten nearest `raw`.
double roundStep(double raw)
{
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double best = magnitude;
    for (const double m : {2.0, 5.0, 10.0})
        best = nearer(raw, best, m * magnitude);
    return best;
}

// The multiples of `step` in [low, high].
std::vector<double> multiplesOf(double step, double low, double high)
{
    std::vector<double> ticks;
    if (!std::isnormal(step) || step < finestRelativeStep * std::max(std::abs(low), std::abs(high)))
        return ticks;
    const double first = std::ceil(low / step);
    for (int i = 0; i < mostTicks; ++i) {
        const double tick = (first + i) * step;
        if (tick > high)
            break;
        if (tick >= low)
            ticks.push_back(tick);
    }
    return ticks;
}

// The step that would give `wanted` lines; the largest double for a range wider than that.
double rawStep(double low, double high, int wanted)
{
    const double raw = high / wanted - low / wanted;
    return std::isfinite(raw) ? raw : std::numeric_limits<double>::max();
}

std::vector<double> linearTicks(double low, double high, int wanted)
{
    if (!(high > low))
        return {};
    return multiplesOf(roundStep(rawStep(low, high, wanted)), low, high);
}

std::vector<double> logTicks(double low, double high, int wanted)
{
    if (high - low < 1.0) {
        const double a = std::pow(10.0, low);
        const double b = std::pow(10.0, high);
        if (std::isnormal(a) && std::isfinite(b)) {
            std::vector<double> ticks;
            for (const double value : linearTicks(a, b, wanted)) {
                const double tick = std::log10(value);
                if (tick >= low && tick <= high && (ticks.empty() || tick > ticks.back()))
                    ticks.push_back(tick);
            }
            return ticks;
        }
    }
    if (high - low >= 3.0)
        return multiplesOf(std::max(1.0, roundStep(rawStep(low, high, wanted))), low, high);
    std::vector<double> ticks;
    if (finestRelativeStep * std::max(std::abs(low), std::abs(high)) > 0.1)
        return ticks; // 2 and 5 times a decade would not stand apart from it
    const double first = std::floor(low);
    for (int k = 0; k < 5; ++k)
        for (const double m : {1.0, 2.0, 5.0}) {
            const double tick = first + k + std::log10(m);
            if (tick >= low && tick <= high && (ticks.empty() || tick > ticks.back()))
                ticks.push_back(tick);
        }
    return ticks;
}

std::vector<double> dateTicks(double low, double high, int wanted)
{
    const double raw = rawStep(low, high, wanted);
    double step = dateSteps.front();
    for (const double candidate : dateSteps)
        step = nearer(raw, step, candidate);
    if (raw < 1.0)
        step = nearer(raw, step, roundStep(raw));
    step = nearer(raw, step, year * std::max(1.0, roundStep(raw / year)));
    return multiplesOf(step, low, high);
}

// "1.5e+06" as "1.5e6", "2e-07" as "2e-7".
std::string compactExponent(std::string text)
{
    const std::size_t e = text.find('e');
    if (e == std::string::npos)
        return text;
    std::size_t digits = e + 1;
    if (text[digits] == '+')
        text.erase(digits, 1);
    else if (text[digits] == '-')
        ++digits;
    while (digits + 1 < text.size() && text[digits] == '0')
        text.erase(digits, 1);
    return text;
}

enum class Style { fixed, scientific, significant };

std::string printed(Style style, int precision, double value)
{
    std::array<char, 64> buffer{};
    int length = 0;
    switch (style) {
    case Style::fixed:
        length = std::snprintf(buffer.data(), buffer.size(), "%.*f", precision, value);
        break;
    case Style::scientific:
        length = std::snprintf(buffer.data(), buffer.size(), "%.*e", precision, value);
        break;
    case Style::significant:
        length = std::snprintf(buffer.data(), buffer.size(), "%.*g", precision, value);
        break;
    }
    if (length < 0)
        return {};
    return compactExponent(std::string(buffer.data(), std::min(buffer.size() - 1, static_cast<std::size_t>(length))));
}

// The power of ten of a spacing 1, 2 or 5 times a power of ten, rounding noise and all.
int digitOf(double spacing)
{
    const double digit = std::floor(std::log10(spacing) + 0.01);
    return static_cast<int>(std::clamp(digit, -400.0, 400.0));
}

} // namespace

std::vector<double> gridTicks(AxisScale scale, double low, double high, int wanted)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return {};
    if (low > high)
        std::swap(low, high);
    if (!(high > low))
        return {};
    wanted = std::clamp(wanted, 1, mostWanted);
    switch (scale) {
    case AxisScale::log10:
        return logTicks(low, high, wanted);
    case AxisScale::date:
        return dateTicks(low, high, wanted);
    case AxisScale::linear:
        break;
    }
    return linearTicks(low, high, wanted);
}

std::string gridLabel(AxisScale scale, double tick, double spacing)
{
    if (!std::isfinite(tick))
        return showWorldValue(scale, tick);
    if (scale == AxisScale::log10)
        return printed(Style::significant, 6, fromFitSpace(scale, tick));
    if (!std::isfinite(spacing) || !(spacing > 0.0))
        spacing = tick != 0.0 ? std::abs(tick) : 1.0;
    const int digit = digitOf(spacing);
    if (scale == AxisScale::date) {
        const double scaleUp = std::pow(10.0, std::clamp(-digit, 0, 9));
        return showWorldValue(scale, std::round(tick * scaleUp) / scaleUp);
    }
    if (std::abs(tick) < spacing * 1e-6)
        tick = 0.0;
    if (digit >= -6 && std::abs(tick) < 1e15)
        return printed(Style::fixed, std::max(0, -digit), tick);
    const int leading =
        tick == 0.0 ? digit : static_cast<int>(std::clamp(std::floor(std::log10(std::abs(tick))), -400.0, 400.0));
    return printed(Style::scientific, std::clamp(leading - digit, 0, 16), tick);
}
