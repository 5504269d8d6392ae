#include "calibration/AxisScale.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace {

constexpr std::string_view notANumber = "type a number with a point as the decimal mark, such as 12.5";
constexpr std::string_view notAboveZero = "a log axis takes only values above zero";
constexpr std::string_view notADate =
    "type a date such as 2024-03-01 or 2024-03-01T12:30:15 (UTC), or a number of seconds since 1970-01-01";
constexpr std::string_view notATime = "type the time after the date as 12:30, 12:30:15 or 12:30:15.25";

constexpr long long secondsPerDay = 86400;

WorldEntry problem(std::string sentence)
{
    return {std::nullopt, std::move(sentence)};
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// --- the calendar: proleptic Gregorian, days counted from 1970-01-01 -----------------

bool isLeapYear(long long year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(long long year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year))
        return 29;
    return days[static_cast<std::size_t>(month - 1)];
}

// The calendar is worked in 400-year cycles of 146097 days whose years start on 1 March,
// so that the leap day, when there is one, is the last day of its year. Day 0 of the
// cycle is 0000-03-01, which is 719468 days before 1970-01-01.
constexpr long long daysPerCycle = 146097;
constexpr long long cycleStartBeforeEpoch = 719468;

constexpr long long floorDivide(long long a, long long b)
{
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from the start of a March year to the first of the month, months counted from March.
constexpr long long daysBeforeMonthFromMarch(long long monthFromMarch)
{
    // 31 30 31 30 31 31 30 31 30 31 31 29: the running sums are (153 m + 2) / 5.
    return (153 * monthFromMarch + 2) / 5;
}

constexpr long long daysFromCivil(long long year, int month, int day)
{
    const long long marchYear = month <= 2 ? year - 1 : year;
    const long long cycle = floorDivide(marchYear, 400);
    const long long yearOfCycle = marchYear - cycle * 400;
    const long long dayOfYear = daysBeforeMonthFromMarch(month > 2 ? month - 3 : month + 9) + day - 1;
    const long long dayOfCycle = yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100 + dayOfYear;
    return cycle * daysPerCycle + dayOfCycle - cycleStartBeforeEpoch;
}

struct CivilDate {
    long long year;
    int month;
    int day;
};

CivilDate civilFromDays(long long days)
{
    const long long sinceCycleStart = days + cycleStartBeforeEpoch;
    const long long cycle = floorDivide(sinceCycleStart, daysPerCycle);
    const long long dayOfCycle = sinceCycleStart - cycle * daysPerCycle;
    // Take out the leap days before this one (one in 4 years, none in 100, one in 400);
    // the last day of the cycle, a 29 February, must stay in year 399.
    const long long yearOfCycle =
        (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / (daysPerCycle - 1)) / 365;
    const long long dayOfYear = dayOfCycle - (yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - daysBeforeMonthFromMarch(monthFromMarch) + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const long long year = cycle * 400 + yearOfCycle + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

constexpr long long firstShownSecond = daysFromCivil(0, 1, 1) * secondsPerDay;
constexpr long long endOfShownSeconds = daysFromCivil(10000, 1, 1) * secondsPerDay;

// --- decimal text --------------------------------------------------------------------

// 10^n - f, for the n fraction digits f that do not end in 0: the digits of 1 - 0.f.
std::string complementOfFraction(std::string_view digits)
{
    std::string out(digits);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>('0' + (i + 1 == out.size() ? 10 : 9) - (out[i] - '0'));
    return out;
}

void stripTrailingZeros(std::string& digits)
{
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// whole + 0.fraction (fraction: decimal digits, none ending in 0), rounded once to the
// nearest double.
double secondsValue(long long whole, std::string fraction)
{
    stripTrailingZeros(fraction);
    if (fraction.empty())
        return static_cast<double>(whole);
    // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about "-" + a string.
    std::string text;
    if (whole >= 0) {
        text = std::to_string(whole);
    } else {
        text = "-";
        text += std::to_string(-whole - 1);
        fraction = complementOfFraction(fraction);
    }
    text += '.';
    text += fraction;
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void appendPadded(std::string& out, long long number, std::size_t width)
{
    const std::string digits = std::to_string(number);
    if (digits.size() < width)
        out.append(width - digits.size(), '0');
    out += digits;
}

// --- reading dates ---------------------------------------------------------------------

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool done() const { return at_ == text_.size(); }
    char next() const { return done() ? '\0' : text_[at_]; }
    std::size_t at() const { return at_; }
    std::string_view before() const { return text_.substr(0, at_); }
    std::string_view rest() const { return text_.substr(at_); }

    bool take(char c)
    {
        if (next() != c)
            return false;
        ++at_;
        return true;
    }

    // Exactly `count` decimal digits.
    bool digits(std::size_t count, int& number)
    {
        if (text_.size() - at_ < count)
            return false;
        number = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (!isDigit(text_[at_ + i]))
                return false;
            number = number * 10 + (text_[at_ + i] - '0');
        }
        at_ += count;
        return true;
    }

    // One or more decimal digits.
    std::string digitRun()
    {
        const std::size_t start = at_;
        while (isDigit(next()))
            ++at_;
        return std::string(text_.substr(start, at_ - start));
    }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

bool looksLikeDate(std::string_view text)
{
    return text.size() >= 5 && isDigit(text[0]) && isDigit(text[1]) && isDigit(text[2]) && isDigit(text[3]) &&
           text[4] == '-';
}

WorldEntry readDate(std::string_view text)
{
    Reader reader(text);
    int year = 0;
    int month = 0;
    int day = 0;
    if (!reader.digits(4, year) || !reader.take('-') || !reader.digits(2, month) || !reader.take('-') ||
        !reader.digits(2, day))
        return problem(std::string(notADate));
    const std::string dateText(reader.before());
    if (month < 1 || month > 12)
        return problem(dateText + " is not a day of the calendar: there is no month " + dateText.substr(5, 2));
    if (day < 1 || day > daysInMonth(year, month))
        return problem(dateText + " is not a day of the calendar");
    long long seconds = daysFromCivil(year, month, day) * secondsPerDay;

    std::string fraction;
    const bool hasTime = reader.next() == 'T' || reader.next() == 't' ||
                         (reader.next() == ' ' && reader.rest().size() > 1 && isDigit(reader.rest()[1]));
    if (hasTime) {
        reader.take(reader.next());
        const std::size_t timeStart = reader.at();
        int hour = 0;
        int minute = 0;
        int second = 0;
        if (!reader.digits(2, hour) || !reader.take(':') || !reader.digits(2, minute))
            return problem(std::string(notATime));
        if (reader.take(':') && !reader.digits(2, second))
            return problem(std::string(notATime));
        const std::string timeText(reader.before().substr(timeStart));
        if (reader.take('.')) {
            fraction = reader.digitRun();
            if (fraction.empty())
                return problem(std::string(notATime));
        }
        if (hour > 23 || minute > 59 || second > 59)
            return problem("the time " + timeText + " does not exist");
        seconds += hour * 3600 + minute * 60 + second;
        if (!reader.take('Z') && !reader.take('z') && (reader.next() == '+' || reader.next() == '-'))
            return problem("only UTC times (Z) are taken, not " + std::string(reader.rest()));
    }
    if (!reader.done())
        return problem("the text after " + std::string(reader.before()) + " is not understood: \"" +
                       std::string(reader.rest()) + "\"");
    return {secondsValue(seconds, std::move(fraction)), {}};
}

// The date text for value rounded to `decimals` fraction digits; empty when that falls
// outside the years shown.
std::string dateText(double value, int decimals)
{
    std::array<char, 64> buffer{};
    const auto written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc())
        return {};
    std::string_view text(buffer.data(), static_cast<std::size_t>(written.ptr - buffer.data()));
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    long long whole = 0;
    std::from_chars(text.data(), text.data() + std::min(point, text.size()), whole);
    std::string fraction(point == std::string_view::npos ? std::string_view() : text.substr(point + 1));
    stripTrailingZeros(fraction);
    if (negative) {
        whole = -whole;
        if (!fraction.empty()) {
            whole -= 1;
            fraction = complementOfFraction(fraction);
        }
    }

    const long long days = floorDivide(whole, secondsPerDay);
    const long long secondOfDay = whole - days * secondsPerDay;
    const CivilDate date = civilFromDays(days);
    if (date.year < 0 || date.year > 9999)
        return {};
    std::string out;
    appendPadded(out, date.year, 4);
    out += '-';
    appendPadded(out, date.month, 2);
    out += '-';
    appendPadded(out, date.day, 2);
    if (secondOfDay == 0 && fraction.empty())
        return out;
    out += 'T';
    appendPadded(out, secondOfDay / 3600, 2);
    out += ':';
    appendPadded(out, secondOfDay / 60 % 60, 2);
    if (secondOfDay % 60 == 0 && fraction.empty())
        return out;
    out += ':';
    appendPadded(out, secondOfDay % 60, 2);
    if (!fraction.empty())
        out += "." + fraction;
    return out;
}

std::string showDate(double value)
{
    if (!std::isfinite(value) || value < static_cast<double>(firstShownSecond) ||
        value >= static_cast<double>(endOfShownSeconds))
        return shortestNumber(value);
    // Fewest fraction digits first; a digit more never hurts the round trip, so the first
    // text that reads back exactly has no trailing zero.
    for (int decimals = 0; decimals <= 9; ++decimals) {
        std::string text = dateText(value, decimals);
        if (text.empty())
            continue; // rounded up into the year 10000; more digits may stay below it
        if (readDate(text).value == value)
            return text;
    }
    return shortestNumber(value);
}

} // namespace

std::string_view axisScaleName(AxisScale scale)
{
    switch (scale) {
    case AxisScale::linear:
        return "linear";
    case AxisScale::log10:
        return "log10";
    case AxisScale::date:
        return "date";
    }
    return "linear";
}

std::optional<AxisScale> axisScaleNamed(std::string_view name)
{
    for (const AxisScale scale : {AxisScale::linear, AxisScale::log10, AxisScale::date})
        if (axisScaleName(scale) == name)
            return scale;
    return std::nullopt;
}

std::optional<double> toFitSpace(AxisScale scale, double world)
{
    if (!std::isfinite(world))
        return std::nullopt;
    if (scale != AxisScale::log10)
        return world;
    if (!(world > 0))
        return std::nullopt;
    return std::log10(world);
}

double fromFitSpace(AxisScale scale, double fitValue)
{
    if (scale != AxisScale::log10)
        return fitValue;
    // A whole power of ten comes back as the double nearest to it, as "1e23" would be
    // read; std::pow can be a unit in the last place off there (10^23 with glibc).
    if (fitValue == std::floor(fitValue) && fitValue >= -400 && fitValue <= 400) {
        const std::string text = "1e" + std::to_string(static_cast<int>(fitValue));
        double power = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), power).ec == std::errc())
            return power;
    }
    return std::pow(10.0, fitValue);
}

WorldEntry readWorldValue(AxisScale scale, std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return {};
    if (scale == AxisScale::date && looksLikeDate(text))
        return readDate(text);
    double value = 0;
    if (!readCompleteNumber(text, &value))
        return problem(std::string(scale == AxisScale::date ? notADate : notANumber));
    if (scale == AxisScale::log10 && !(value > 0))
        return problem(std::string(notAboveZero));
    return {value, {}};
}

std::string showWorldValue(AxisScale scale, double value)
{
    if (scale == AxisScale::date)
        return showDate(value);
    return shortestNumber(value);
}
