#pragma once

#include "platform/Color.h"
#include "platform/Font.h"

enum class TextAlignment { left = 0, right = 1, center = 2 };

// How a table cell looks. Cells copied from one prototype share one style.
struct CellStyle {
    Font font = Font::fontWithName("Helvetica", 12.0f);
    bool bezeled = false;
    bool bordered = true;
    Color backgroundColor = Color::whiteColor();
    Color textColor = Color::blackColor();
    TextAlignment alignment = TextAlignment::left;
    friend bool operator==(const CellStyle&, const CellStyle&) = default;
};
