#include "document/PictureExtraction.h"

#include "extraction/ColourResolution.h"
#include "extraction/LineExtraction.h"
#include "extraction/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

std::string ExtractionSettings::problem() const
{
    if (!(tolerance > 0.0) || !std::isfinite(tolerance) || tolerance > 200.0)
        return "the colour tolerance must be a number above 0 and at most 200";
    // Finer than a tenth of a pixel only repeats points, at a cost that grows without bound.
    if (!(step >= 0.1) || !std::isfinite(step) || step > 1e6)
        return "the sampling step must be a number of pixels from 0.1 up";
    if (worldStep && (!(*worldStep > 0.0) || !std::isfinite(*worldStep)))
        return "the sampling step in x units must be a number above 0";
    if (!(markers.minimumArea >= 0.0) || !(markers.maximumArea >= markers.minimumArea) ||
        !std::isfinite(markers.maximumArea))
        return "the marker sizes must be numbers, the smallest no larger than the largest";
    if (box && !(std::isfinite(box->first.x) && std::isfinite(box->first.y) && std::isfinite(box->second.x) &&
                 std::isfinite(box->second.y)))
        return "the box's corners must be numbers";
    return {};
}

PixelBox pixelBoxOf(DPoint a, DPoint b, int width, int height)
{
    // Pixel (column c, row r) sits at picture point (c, height - r); it is inside when its
    // centre is.
    const auto clampTo = [](double value, int high) {
        return static_cast<int>(std::clamp(value, -1.0, static_cast<double>(high) + 1.0));
    };
    const double h = static_cast<double>(height);
    PixelBox box;
    box.left = std::max(0, clampTo(std::ceil(std::min(a.x, b.x)), width));
    box.right = std::min(width, clampTo(std::floor(std::max(a.x, b.x)) + 1.0, width));
    box.top = std::max(0, clampTo(std::ceil(h - std::max(a.y, b.y)), height));
    box.bottom = std::min(height, clampTo(std::floor(h - std::min(a.y, b.y)) + 1.0, height));
    return box;
}

std::optional<std::pair<DPoint, DPoint>> calibrationBox(const std::vector<CalibrationPoint>& calibration)
{
    if (calibration.empty())
        return std::nullopt;
    DPoint low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    DPoint high{-low.x, -low.y};
    for (const CalibrationPoint& point : calibration) {
        low = {std::min(low.x, point.screen.x), std::min(low.y, point.screen.y)};
        high = {std::max(high.x, point.screen.x), std::max(high.y, point.screen.y)};
    }
    return std::pair{low, high};
}

AxisDirections axisDirections(const WorldMap& map)
{
    // Screen steps that change only world x, or only world y, are the columns of the
    // inverse of the fit's matrix; pixel rows run down where picture y runs up.
    return {{map.i00, -map.i10}, {map.i01, -map.i11}};
}

namespace {

std::string boxText(const PixelBox& box, int height)
{
    // Appended piece by piece: GCC 12 at -O2 warns falsely (-Wrestrict, GCC bug 105329)
    // about `"(" + std::to_string(...)`, and warnings are errors here.
    std::string text;
    text.reserve(48);
    const auto corner = [&text](int x, int y) {
        text += '(';
        text += std::to_string(x);
        text += ',';
        text += std::to_string(y);
        text += ')';
    };
    corner(box.left, height - box.bottom + 1);
    text += '-';
    corner(box.right - 1, height - box.top);
    return text;
}

// A tolerance as large as the colour's distance from the background takes the background
// itself for the colour: nothing can be found, and a larger tolerance only makes it worse.
std::string toleranceProblem(const ExtractionSettings& settings, Rgb background)
{
    const double apart = colourDifference(settings.colour, background);
    if (settings.tolerance < apart)
        return {};
    if (apart < 1.0)
        return "Cannot extract: the colour " + rgbText(settings.colour) +
               " is the background's. Pick the colour of a curve or of markers from the picture.";
    char text[160];
    std::snprintf(text, sizeof text,
                  "Cannot extract: the colour %s is only %g from the background %s, and the tolerance (%g) "
                  "reaches it. Lower the tolerance below %g.",
                  rgbText(settings.colour).c_str(), std::floor(apart), rgbText(background).c_str(), settings.tolerance,
                  std::floor(apart));
    return text;
}

} // namespace

PictureExtraction extractFromPicture(const PixelView& picture, const WorldMap& map,
                                     const std::vector<CalibrationPoint>& calibration,
                                     const ExtractionSettings& settings, const Work& work)
{
    PictureExtraction result;
    if (std::string problem = settings.problem(); !problem.empty()) {
        result.problem = "Cannot extract: " + problem + ".";
        return result;
    }
    const auto corners = settings.box ? settings.box : calibrationBox(calibration);
    if (!corners) {
        result.problem = "There is no box to look in: draw one, or calibrate first.";
        return result;
    }
    const PixelBox box = pixelBoxOf(corners->first, corners->second, picture.width, picture.height);
    if (box.empty()) {
        result.problem = "The box to look in holds no pixel of the picture.";
        return result;
    }
    Region region(box);
    for (const ExtractionSettings::Disc& disc : settings.excluded)
        region.exclude(pixelOf(disc.centre, picture.height), disc.radius);

    const Rgb background = backgroundColour(picture, box);
    if (std::string problem = toleranceProblem(settings, background); !problem.empty()) {
        result.problem = std::move(problem);
        return result;
    }
    const ColourMatch match(settings.colour, background, settings.tolerance, colourSpread(picture, box));
    Extraction found;
    if (settings.mode == ExtractionMode::line) {
        LineOptions options;
        options.axes = axisDirections(map);
        options.step = settings.step;
        if (settings.worldStep) {
            // Pixels per unit of world x along the x axis (the fit's units: decades on a log axis).
            options.step = *settings.worldStep * std::hypot(map.i00, map.i10);
            if (!(options.step >= 0.1) || !std::isfinite(options.step)) {
                result.problem = "Cannot extract: that step in x units is less than a tenth of a pixel.";
                return result;
            }
        }
        options.keepAllRuns = settings.keepAllRuns;
        found = extractLine(picture, match, region, options, work);
    } else {
        found = extractMarkers(picture, match, region, settings.markers, work);
    }
    if (found.cancelled) {
        result.cancelled = true;
        return result;
    }
    result.points.reserve(found.points.size());
    for (const PixelPoint& point : found.points)
        result.points.push_back(pictureOf(point, picture.height));
    // Line mode's points come in order along world x already; markers are put in it too.
    std::stable_sort(result.points.begin(), result.points.end(),
                     [&map](DPoint a, DPoint b) { return map.fit(a).x < map.fit(b).x; });
    if (result.points.empty()) {
        char tolerance[32];
        std::snprintf(tolerance, sizeof tolerance, "%g", settings.tolerance);
        result.problem = std::string("Found no ") + (settings.mode == ExtractionMode::line ? "line" : "markers") +
                         " of colour " + rgbText(settings.colour) + " (tolerance " + tolerance + ") within " +
                         boxText(box, picture.height) + ". Pick the colour from the picture, or raise the tolerance.";
    }
    return result;
}
