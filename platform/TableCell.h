#pragma once

#include "platform/NumberText.h"

#include <optional>
#include <string>

// What one cell of a point table shows: a number in its format, or a text; and whether
// the user may type into it. Cells are made on demand from what the table shows.
struct TableCell {
    std::optional<double> number; // empty: the cell shows `text`
    std::string text;
    bool editable = false;
    FloatingPointFormat format;

    static TableCell ofNumber(double value, FloatingPointFormat format, bool editable = false)
    {
        return {value, {}, editable, format};
    }
    static TableCell ofText(std::string text, bool editable = false)
    {
        return {std::nullopt, std::move(text), editable, {}};
    }

    std::string stringValue() const { return number ? formatCellNumber(*number, format) : text; }
    bool isEditable() const { return editable; }
};
