#pragma once

#include <string>

// A font asked for by family name and point size; the window system picks its nearest
// match when the family is not installed.
struct Font {
    std::string name;
    float size = 12.0f;
    friend bool operator==(const Font&, const Font&) = default;

    static Font fontWithName(std::string name, float size) { return {std::move(name), size}; }
};
