// Extracts from arbitrary small pictures with arbitrary settings: axis directions that are
// zero, huge or not numbers, boxes off the picture, odd tolerances, steps, start points,
// gaps and marker sizes. Nothing may crash or hang, and every point found must be a finite
// point of the picture.

#include "FuzzInput.h"
#include "document/PictureExtraction.h"
#include "extraction/ColourResolution.h"
#include "extraction/LineExtraction.h"
#include "extraction/MarkerExtraction.h"
#include "extraction/Palette.h"
#include "extraction/Snap.h"

#include <cmath>
#include <vector>

namespace {

void requireInside(const PixelView& picture, PixelPoint point)
{
    require(std::isfinite(point.column) && std::isfinite(point.row), "a point found is finite");
    require(point.column >= -0.5 && point.column <= picture.width - 0.5 && point.row >= -0.5 &&
                point.row <= picture.height - 0.5,
            "a point found lies in the picture");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int width = 1 + input.take<std::uint8_t>() % 48;
    const int height = 1 + input.take<std::uint8_t>() % 48;
    // A few colours, so that matches, blends and other marks all come up.
    const std::uint32_t colours[] = {0xffffffffu, 0xffd62728u, 0xffeb9393u, 0xff1f77b4u,
                                     0xffccccccu, 0xff000000u, 0xffd52829u, 0xff7f1f1fu};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (std::uint32_t& pixel : pixels)
        pixel =
            input.take<std::uint8_t>() % 5 == 0 ? input.take<std::uint32_t>() : colours[input.take<std::uint8_t>() % 8];
    const PixelView picture{pixels.data(), width, height, width};

    const Rgb target = rgbOf(colours[input.take<std::uint8_t>() % 8]);
    const double tolerance = input.takeNumber();
    const ColourMatch match(target, backgroundColour(picture, {0, 0, width, height}),
                            std::isfinite(tolerance) ? std::fabs(tolerance) : 20.0,
                            colourSpread(picture, {0, 0, width, height}));
    Region region(
        {input.take<std::int8_t>(), input.take<std::int8_t>(), input.take<std::int8_t>(), input.take<std::int8_t>()});
    if (input.take<std::uint8_t>() % 2 == 0)
        region.exclude({input.takeNumber(), input.takeNumber()}, input.takeNumber());

    LineOptions line;
    line.axes = {{input.takeNumber(), input.takeNumber()}, {input.takeNumber(), input.takeNumber()}};
    line.step = input.takeNumber();
    line.keepAllRuns = input.take<std::uint8_t>() % 2 == 0;
    if (input.take<std::uint8_t>() % 2 == 0)
        line.start = PixelPoint{input.takeNumber(), input.takeNumber()};
    line.gap = input.takeNumber();
    for (const PixelPoint& point : extractLine(picture, match, region, line, Work{}).points)
        requireInside(picture, point);

    MarkerOptions markers;
    if (input.take<std::uint8_t>() % 2 == 0) {
        markers.smallest = input.takeNumber();
        markers.largest = input.takeNumber();
    }
    for (const PixelPoint& point : extractMarkers(picture, match, region, markers, Work{}).points)
        requireInside(picture, point);

    const PixelPoint click{input.takeNumber(), input.takeNumber()};
    const double radius = input.takeNumber();
    if (const auto snapped = snapToMark(picture, click, radius, 20.0))
        requireInside(picture, *snapped);
    if (const auto snapped = snapToCrossing(picture, click, radius))
        requireInside(picture, *snapped);
    return 0;
}
