#pragma once

// A colour in device RGB, components from 0 to 1.
struct Color {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 1.0f;
    friend bool operator==(const Color&, const Color&) = default;

    static constexpr Color whiteColor() { return {1.0f, 1.0f, 1.0f, 1.0f}; }
    static constexpr Color blackColor() { return {0.0f, 0.0f, 0.0f, 1.0f}; }
    static constexpr Color lightGrayColor() { return {2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f, 1.0f}; }
    static constexpr Color darkGrayColor() { return {1.0f / 3.0f, 1.0f / 3.0f, 1.0f / 3.0f, 1.0f}; }
};
