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

// Autorange off: exactly `right` digits after the point. Autorange on: `left + right`
// significant digits, the point moving to fit the value (exponent notation once the
// integer part alone needs more digits than that).
std::string formatCellNumber(double value, FloatingPointFormat format);

// The shortest text that reads back as exactly this double ("12.5", "1e-09").
std::string shortestNumber(double value);

// A picture coordinate as the cursor's readouts show it: to 1/10000 of a pixel, which
// keeps the quarter and sixteenth steps of zooming in exact and drops the long tails a
// zoom such as 64 % gives ("817.5496", not "817.5495689655172").
std::string readoutNumber(double value);

// Whether the whole text, blanks aside, is one finite number with a point as the decimal
// mark; if so, and `value` is given, the number. The form a typed world value must have.
bool readCompleteNumber(std::string_view text, double* value = nullptr);

// Appends value as printf's "%<width>.<precision>f" would in the C locale.
void appendFixed(std::string& out, double value, int width, int precision);
// Appends value as printf's "%<width>.<precision>e" would in the C locale.
void appendExponent(std::string& out, double value, int width, int precision);
