#include "document/PictureExtraction.h"

#include "extraction/ColourResolution.h"
#include "document/PolarExtraction.h"
#include "extraction/BarExtraction.h"
#include "extraction/LineExtraction.h"
#include "extraction/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

std::string ExtractionSettings::problem() const
{
    if (!(tolerance > 0.0) || !std::isfinite(tolerance) || tolerance > 200.0)
        return "the colour tolerance must be a number above 0 and at most 200";
    // Finer than a tenth of a pixel only repeats points, at a cost that grows without bound.
    if (!(step >= 0.1) || !std::isfinite(step) || step > 1e6)
        return "the sampling step must be a number of pixels from 0.1 up";
    if (worldStep && (!(*worldStep > 0.0) || !std::isfinite(*worldStep)))
        return "the sampling step in x units must be a number above 0";
    if (!(gap >= 0.0) || !std::isfinite(gap) || gap > 1e6)
        return "the gap to bridge must be a number of pixels from 0 up";
    const auto sizeGiven = [](std::optional<double> size) {
        return !size || (*size > 0.0 && std::isfinite(*size) && *size <= 1e6);
    };
    if (!sizeGiven(markers.smallest) || !sizeGiven(markers.largest))
        return "the marker sizes must be numbers of pixels above 0";
    if (markers.smallest && markers.largest && *markers.smallest > *markers.largest)
        return "the smallest marker size must be no larger than the largest";
    if (start && !(std::isfinite(start->x) && std::isfinite(start->y)))
        return "the start point's coordinates must be numbers";
    if (baseline && !std::isfinite(*baseline))
        return "the bars' baseline must be a number";
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

// Where the bars' baseline runs, in pixels: the row of the baseline's value (vertical
// bars) or its column (horizontal ones), at the box's middle; none outside the picture.
std::optional<BarOptions> barOptions(const ExtractionSettings& settings, const WorldMap& map, const PixelBox& box,
                                     int height)
{
    BarOptions options;
    options.horizontal = settings.mode == ExtractionMode::horizontalBars;
    const int axis = options.horizontal ? 0 : 1;
    const AxisScale scale = axis == 0 ? map.scales.x : map.scales.y;
    // The box's ends on the value axis, in fit space.
    const DPoint corners[] = {pictureOf({static_cast<double>(box.left), static_cast<double>(box.top)}, height),
                              pictureOf({static_cast<double>(box.right - 1), static_cast<double>(box.bottom - 1)},
                                        height)};
    const double a = axis == 0 ? map.fit(corners[0]).x : map.fit(corners[0]).y;
    const double b = axis == 0 ? map.fit(corners[1]).x : map.fit(corners[1]).y;
    double baseline = std::min(a, b);
    if (settings.baseline) {
        const std::optional<double> fit = toFitSpace(scale, *settings.baseline);
        if (!fit)
            return std::nullopt;
        baseline = *fit;
    } else if (scale == AxisScale::linear && std::min(a, b) <= 0.0 && 0.0 <= std::max(a, b)) {
        baseline = 0.0;
    }
    const DPoint middle = map.fit(pictureOf({0.5 * (box.left + box.right), 0.5 * (box.top + box.bottom)}, height));
    const DPoint at = map.screenOfFit(axis == 0 ? DPoint{baseline, middle.y} : DPoint{middle.x, baseline});
    const PixelPoint pixel = pixelOf(at, height);
    options.baseline = options.horizontal ? pixel.column : pixel.row;
    if (!std::isfinite(options.baseline))
        return std::nullopt;
    return options;
}

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

    std::optional<PixelPoint> start;
    if (settings.mode == ExtractionMode::line && settings.start) {
        if (map.scales.polar) {
            result.problem = "Cannot extract: on polar axes the curve is followed ray by ray from the centre, "
                             "without a start point.";
            return result;
        }
        start = pixelOf(*settings.start, picture.height);
        char text[200];
        if (start->column < -0.5 || start->row < -0.5 || start->column > picture.width - 0.5 ||
            start->row > picture.height - 0.5) {
            std::snprintf(text, sizeof text,
                          "Cannot extract: the start point (%g, %g) lies outside the picture, which is %d x %d pixels.",
                          settings.start->x, settings.start->y, picture.width, picture.height);
            result.problem = text;
            return result;
        }
        if (!box.contains(static_cast<int>(std::lround(start->column)), static_cast<int>(std::lround(start->row)))) {
            std::snprintf(text, sizeof text, "Cannot extract: the start point (%g, %g) lies outside the box to look in, %s.",
                          settings.start->x, settings.start->y, boxText(box, picture.height).c_str());
            result.problem = text;
            return result;
        }
    }

    const Rgb background = backgroundColour(picture, box);
    if (std::string problem = toleranceProblem(settings, background); !problem.empty()) {
        result.problem = std::move(problem);
        return result;
    }
    const ColourMatch match(settings.colour, background, settings.tolerance, colourSpread(picture, box));
    Extraction found;
    if (settings.mode == ExtractionMode::line && map.scales.polar) {
        // One cut every step of angle: 1 degree (or its radians) unless given.
        const double degree = map.scales.polar->angle == AngleUnit::degrees ? 1.0 : std::numbers::pi / 180.0;
        const double step = settings.worldStep.value_or(degree);
        if (!(step >= degree / 100.0) || !std::isfinite(step)) {
            result.problem = "Cannot extract: on polar axes the step is an angle, of at least a hundredth of a degree.";
            return result;
        }
        found = extractPolarLine(picture, match, region, map, step, work);
    } else if (settings.mode == ExtractionMode::bars || settings.mode == ExtractionMode::horizontalBars) {
        const std::optional<BarOptions> options = barOptions(settings, map, box, picture.height);
        if (!options) {
            result.problem = "Cannot extract bars: their baseline lies outside the picture.";
            return result;
        }
        found = extractBars(picture, match, region, *options, work);
    } else if (settings.mode == ExtractionMode::line) {
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
        options.start = start;
        options.gap = settings.gap;
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
    // Line mode's points come in order along world x (the angle) already; the others are
    // put in it too (horizontal bars in order of y).
    const auto key = [&map, &settings](DPoint p) {
        return map.scales.polar                                 ? map.world(p).x
               : settings.mode == ExtractionMode::horizontalBars ? map.fit(p).y
                                                                 : map.fit(p).x;
    };
    std::stable_sort(result.points.begin(), result.points.end(), [&key](DPoint a, DPoint b) { return key(a) < key(b); });
    if (result.points.empty()) {
        char tolerance[32];
        std::snprintf(tolerance, sizeof tolerance, "%g", settings.tolerance);
        if (start) {
            char text[240];
            std::snprintf(text, sizeof text,
                          "Found no line of colour %s (tolerance %s) within %g pixels of the start point (%g, %g). "
                          "Pick the curve itself, or raise the tolerance.",
                          rgbText(settings.colour).c_str(), tolerance, startReach, settings.start->x,
                          settings.start->y);
            result.problem = text;
            return result;
        }
        const char* const what = settings.mode == ExtractionMode::line      ? "line"
                                 : settings.mode == ExtractionMode::markers ? "markers"
                                                                            : "bars";
        result.problem = std::string("Found no ") + what +
                         " of colour " + rgbText(settings.colour) + " (tolerance " + tolerance + ") within " +
                         boxText(box, picture.height) + ". Pick the colour from the picture, or raise the tolerance.";
    }
    return result;
}
