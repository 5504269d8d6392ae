#pragma once

#include <string>
#include <string_view>

// How numbers become text and text becomes numbers, in cells and in the data file.
// Always with a point as the decimal mark, whatever locale the process runs in.

struct FloatingPointFormat {
    bool autorange = true;
    unsigned left = 5;  // digits before the decimal point
    unsigned right = 0; // digits after it
    friend bool operator==(const FloatingPointFormat&, const FloatingPointFormat&) = default;
};

// The double as a single-precision number, rounded to nearest; beyond the range of single
// precision it becomes an infinity of its sign, as the hardware would give (a plain cast
// out of range is undefined behaviour).
float toSinglePrecision(double value);

// Autorange off: exactly `right` digits after the point. Autorange on: `left + right`
// significant digits, the point moving to fit the value (exponent notation once the
// integer part alone needs more digits than that).
std::string formatCellNumber(float value, FloatingPointFormat format);

// The number at the start of a text, as a cell reads what the user typed: leading
// blanks skipped, optional sign and exponent; 0 where the text starts with no number.
// A magnitude beyond single precision reads as infinity.
float readLeadingFloat(std::string_view text);

// Whether the whole text, blanks aside, is one finite number in single precision; the
// form a typed world value must have.
bool isCompleteFiniteFloat(std::string_view text);

// Appends value as printf's "%<width>.<precision>f" would in the C locale.
void appendFixed(std::string& out, double value, int width, int precision);
