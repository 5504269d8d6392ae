#pragma once

// Plain geometry shared by every layer. Screen points travel as DPoint (double precision);
// view frames, sizes and window positions are single precision, as the window system
// delivers them.

struct DPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const DPoint&, const DPoint&) = default;
};

struct FPoint {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const FPoint&, const FPoint&) = default;
};

struct Size {
    float width = 0.0f;
    float height = 0.0f;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    FPoint origin;
    Size size;
    friend bool operator==(const Rect&, const Rect&) = default;
};
