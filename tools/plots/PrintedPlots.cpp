#include "plots/PrintedPlots.h"

#include "document/WorldMap.h"
#include "plots/RenderedPlots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

namespace {

double distanceToSegment(PixelPoint p, PixelPoint a, PixelPoint b)
{
    const double dx = b.column - a.column, dy = b.row - a.row;
    const double length = dx * dx + dy * dy;
    const double t =
        length > 0.0 ? std::clamp(((p.column - a.column) * dx + (p.row - a.row) * dy) / length, 0.0, 1.0) : 0.0;
    return std::hypot(p.column - a.column - t * dx, p.row - a.row - t * dy);
}

struct Nearest {
    double distance = std::numeric_limits<double>::infinity();
    double column = 0.0; // of the nearest point of the polyline
};

Nearest nearestOn(const std::vector<PixelPoint>& line, PixelPoint p)
{
    Nearest best;
    if (line.size() == 1)
        return {std::hypot(p.column - line[0].column, p.row - line[0].row), line[0].column};
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const PixelPoint a = line[i], b = line[i + 1];
        // A segment wholly further along x than the best so far cannot be nearer.
        if (std::min(a.column, b.column) - p.column > best.distance ||
            p.column - std::max(a.column, b.column) > best.distance)
            continue;
        const double d = distanceToSegment(p, a, b);
        if (d < best.distance) {
            const double dx = b.column - a.column, dy = b.row - a.row;
            const double length = dx * dx + dy * dy;
            const double t = length > 0.0
                                 ? std::clamp(((p.column - a.column) * dx + (p.row - a.row) * dy) / length, 0.0, 1.0)
                                 : 0.0;
            best = {d, a.column + t * dx};
        }
    }
    return best;
}

std::vector<PixelPoint> pointsOf(std::istringstream& words)
{
    std::vector<PixelPoint> points;
    for (PixelPoint p; words >> p.column >> p.row;)
        points.push_back(p);
    return points;
}

// A point this close to a curve's centreline lies on it.
constexpr double onCurve = 1.5;

} // namespace

std::string drawPrintedPlots(const std::string& folder, unsigned seed, bool jpeg, int dpi)
{
    const std::string command = std::string(PRINTED_PLOTS_PYTHON) + " " + PRINTED_PLOTS_SCRIPT + " '" + folder + "' " +
                                std::to_string(seed) + (jpeg ? " --jpeg" : "") + " --dpi " + std::to_string(dpi);
    const int status = std::system(command.c_str());
    if (status != 0)
        return "`" + command + "` failed (status " + std::to_string(status) + "): is " + PRINTED_PLOTS_PYTHON +
               "'s matplotlib (python3-matplotlib) installed?";
    return {};
}

std::optional<PrintedTruth> readPrintedTruth(const std::string& folder, const std::string& name)
{
    std::ifstream in(folder + "/" + name + ".truth");
    if (!in)
        return std::nullopt;
    PrintedTruth truth;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "picture") {
            words >> truth.picture;
        } else if (kind == "size") {
            words >> truth.width >> truth.height;
        } else if (kind == "box") {
            words >> truth.box.left >> truth.box.top >> truth.box.right >> truth.box.bottom;
        } else if (kind == "colour") {
            std::string text;
            words >> text;
            truth.colour = rgbFromText(text).value_or(Rgb{});
        } else if (kind == "curve") {
            PrintedTruth::Curve curve;
            words >> curve.style;
            curve.points = pointsOf(words);
            truth.curves.push_back(std::move(curve));
        } else if (kind == "line") {
            truth.lines.push_back(pointsOf(words));
        } else if (kind == "marker") {
            std::string shape;
            PrintedTruth::Marker marker;
            words >> shape >> marker.centre.column >> marker.centre.row >> marker.size;
            marker.circle = shape == "circle";
            truth.markers.push_back(marker);
        } else if (kind == "text") {
            PrintedTruth::Text text;
            words >> text.left >> text.top >> text.right >> text.bottom;
            truth.texts.push_back(text);
        }
    }
    if (truth.width <= 0 || truth.height <= 0 || truth.picture.empty())
        return std::nullopt;
    return truth;
}

PixelPoint startOn(const PrintedTruth& truth, std::size_t curve, double fraction)
{
    const std::vector<PixelPoint>& line = truth.curves[curve].points;
    const auto [low, high] = std::minmax_element(line.begin(), line.end(), [](PixelPoint a, PixelPoint b) {
        return a.column < b.column;
    });
    const double wanted = low->column + fraction * (high->column - low->column);
    std::size_t middle = 0;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (std::abs(line[i].column - wanted) < std::abs(line[middle].column - wanted))
            middle = i;
    const auto clear = [&](PixelPoint p) {
        for (std::size_t other = 0; other < truth.curves.size(); ++other)
            if (other != curve && nearestOn(truth.curves[other].points, p).distance < 10.0)
                return false;
        for (const auto& drawn : truth.lines)
            if (nearestOn(drawn, p).distance < 6.0)
                return false;
        return std::none_of(truth.texts.begin(), truth.texts.end(), [p](const PrintedTruth::Text& t) {
            return p.column > t.left - 4.0 && p.column < t.right + 4.0 && p.row > t.top - 4.0 && p.row < t.bottom + 4.0;
        });
    };
    // Outward from the wanted place, alternately ahead and behind.
    for (std::size_t away = 0; away < line.size(); ++away) {
        if (middle + away < line.size() && clear(line[middle + away]))
            return line[middle + away];
        if (away <= middle && clear(line[middle - away]))
            return line[middle - away];
    }
    return line[middle];
}

std::vector<PixelPoint> extractPrinted(const QImage& picture, const PrintedTruth& truth, ExtractionMode mode,
                                       std::optional<PixelPoint> start)
{
    const double w = picture.width(), h = picture.height();
    const std::vector<CalibrationPoint> calibration{
        {{0.0, 0.0}, 0.0, 0.0}, {{w, 0.0}, w, 0.0}, {{0.0, h}, 0.0, h}};
    const FitOutcome fit = fitCalibration(calibration);
    if (!fit.map)
        return {};
    ExtractionSettings settings;
    settings.colour = truth.colour;
    settings.mode = mode;
    const int height = picture.height();
    settings.box = std::pair{pictureOf({double(truth.box.left), double(truth.box.top)}, height),
                             pictureOf({double(truth.box.right - 1), double(truth.box.bottom - 1)}, height)};
    if (start)
        settings.start = pictureOf(*start, height);
    const PictureExtraction found = extractFromPicture(pixelViewOf(picture), *fit.map, calibration, settings, Work{});
    std::vector<PixelPoint> points;
    points.reserve(found.points.size());
    for (const DPoint& point : found.points)
        points.push_back(pixelOf(point, height));
    return points;
}

PrintedLineFigures printedLineFigures(const std::vector<PixelPoint>& points, const PrintedTruth& truth,
                                      std::size_t curve)
{
    const std::vector<PixelPoint>& line = truth.curves[curve].points;
    const auto [low, high] = std::minmax_element(line.begin(), line.end(), [](PixelPoint a, PixelPoint b) {
        return a.column < b.column;
    });
    constexpr int bins = 50;
    std::vector<bool> covered(bins, false);
    PrintedLineFigures figures;
    figures.points = points.size();
    double sumOfSquares = 0.0;
    std::size_t on = 0;
    for (const PixelPoint& p : points) {
        const Nearest nearest = nearestOn(line, p);
        if (nearest.distance > onCurve)
            continue;
        ++on;
        sumOfSquares += nearest.distance * nearest.distance;
        const double at = (nearest.column - low->column) / (high->column - low->column);
        covered[static_cast<std::size_t>(std::clamp(static_cast<int>(at * bins), 0, bins - 1))] = true;
    }
    figures.coverage = static_cast<double>(std::count(covered.begin(), covered.end(), true)) / bins;
    figures.rms = on > 0 ? std::sqrt(sumOfSquares / static_cast<double>(on)) : std::numeric_limits<double>::quiet_NaN();
    figures.offShare = points.empty() ? 0.0 : static_cast<double>(points.size() - on) / static_cast<double>(points.size());
    return figures;
}

PrintedMarkerFigures printedMarkerFigures(const std::vector<PixelPoint>& points, const PrintedTruth& truth)
{
    std::vector<PixelPoint> centres;
    for (const PrintedTruth::Marker& marker : truth.markers)
        centres.push_back(marker.centre);
    const MarkerFigures matched = markerFigures(points, centres);
    PrintedMarkerFigures figures;
    figures.truth = centres.size();
    figures.points = points.size();
    figures.matched = matched.matched;
    figures.recall = centres.empty() ? 0.0 : static_cast<double>(matched.matched) / static_cast<double>(centres.size());
    figures.precision =
        points.empty() ? 0.0 : static_cast<double>(matched.matched) / static_cast<double>(points.size());
    figures.rms = matched.rms;
    return figures;
}
