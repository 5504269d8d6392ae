#include "document/Series.h"

#include <array>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string Colour::name() const
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t c : {red, green, blue}) {
        text += digits[c >> 4];
        text += digits[c & 0xf];
    }
    return text;
}

std::optional<Colour> Colour::named(std::string_view name)
{
    if (name.size() != 7 || name[0] != '#')
        return std::nullopt;
    std::array<std::uint8_t, 3> parts{};
    for (std::size_t i = 0; i < 3; ++i) {
        const int high = hexDigit(name[1 + 2 * i]);
        const int low = hexDigit(name[2 + 2 * i]);
        if (high < 0 || low < 0)
            return std::nullopt;
        parts[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return Colour{parts[0], parts[1], parts[2]};
}

std::string_view markerShapeName(MarkerShape shape)
{
    switch (shape) {
    case MarkerShape::cross:
        return "cross";
    case MarkerShape::plus:
        return "plus";
    case MarkerShape::circle:
        return "circle";
    case MarkerShape::square:
        return "square";
    case MarkerShape::diamond:
        return "diamond";
    case MarkerShape::triangle:
        return "triangle";
    }
    return "cross";
}

std::optional<MarkerShape> markerShapeNamed(std::string_view name)
{
    for (const MarkerShape shape : allMarkerShapes)
        if (markerShapeName(shape) == name)
            return shape;
    return std::nullopt;
}

SeriesLook defaultLook(std::string name, std::size_t n)
{
    // A palette that stays apart for the colour-blind too, on white or on a scan.
    static constexpr Colour palette[] = {{0x1f, 0x77, 0xb4}, {0xd6, 0x27, 0x28}, {0x2c, 0xa0, 0x2c},
                                         {0xff, 0x7f, 0x0e}, {0x94, 0x67, 0xbd}, {0x8c, 0x56, 0x4b},
                                         {0xe3, 0x77, 0xc2}, {0x17, 0xbe, 0xcf}};
    constexpr std::size_t colours = std::size(palette);
    constexpr std::size_t shapes = std::size(allMarkerShapes);
    return {std::move(name), palette[n % colours], allMarkerShapes[(n / colours + n) % shapes], true};
}
