#include "document/Series.h"

#include "extraction/ColourMatch.h"

// Colours are written as the extraction writes and reads them: "#rrggbb".
std::string Colour::name() const
{
    return rgbText({red, green, blue});
}

std::optional<Colour> Colour::named(std::string_view name)
{
    const std::optional<Rgb> colour = rgbFromText(std::string(name));
    if (!colour)
        return std::nullopt;
    return Colour{colour->red, colour->green, colour->blue};
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
