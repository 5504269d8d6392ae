#include "document/ProjectFile.h"

#include "document/SafeFileWriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr std::uint64_t formatVersion = 1;
const char* const outOfMemory = "there is not enough memory to open the project";

// ---------------------------------------------------------------------------------------
// Paths

// The project's folder as an absolute path; a relative one is taken from the current
// folder.
fs::path baseFolder(const std::string& folder)
{
    std::error_code failed;
    const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), failed);
    return (failed ? fs::path(folder) : absolute).lexically_normal();
}

std::string pictureAsRead(const std::string& written, const std::string& folder)
{
    if (written.empty())
        return {};
    const fs::path picture(written);
    if (picture.is_absolute())
        return picture.lexically_normal().string();
    return (baseFolder(folder) / picture).lexically_normal().string();
}

std::string pictureAsWritten(const std::string& picture, const std::string& folder)
{
    if (picture.empty())
        return {};
    const fs::path path(picture);
    std::error_code failed;
    const fs::path absolute = path.is_absolute() ? path : fs::absolute(path, failed);
    if (failed)
        return picture;
    const fs::path normal = absolute.lexically_normal();
    const fs::path relative = normal.lexically_relative(baseFolder(folder));
    if (!relative.empty() && relative != "." && *relative.begin() != "..")
        return relative.string();
    return path.is_absolute() ? picture : normal.string();
}

// ---------------------------------------------------------------------------------------
// Reading

// Counted before the parser sees the text, skipping strings: nothing this program writes
// nests more than five levels.
bool nestsTooDeep(std::string_view text)
{
    std::size_t depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '"':
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\')
                    ++i;
            break;
        case '[':
        case '{':
            if (++depth > maxProjectNesting)
                return true;
            break;
        case ']':
        case '}':
            if (depth > 0)
                --depth;
            break;
        default:
            break;
        }
    }
    return false;
}

bool isBlank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// "NaN", "Infinity", "-inf" and the like at `at`: what a program may have written for a
// number JSON cannot hold.
std::string nonFiniteWordAt(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    if (end < text.size() && (text[end] == '-' || text[end] == '+'))
        ++end;
    const std::size_t word = end;
    while (end < text.size() && end - at < 12 && std::isalpha(static_cast<unsigned char>(text[end])) != 0)
        ++end;
    std::string lower(text.substr(word, end - word));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (lower.starts_with("nan") || lower.starts_with("inf"))
        return std::string(text.substr(at, end - at));
    return {};
}

std::string lineAndColumn(std::string_view text, std::size_t byte)
{
    const std::string_view before = text.substr(0, std::min(byte, text.size()));
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.find_last_of('\n');
    const std::size_t column = before.size() - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

template <typename Range> std::string joined(const Range& names)
{
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

// What a value at some place of the file is meant to be. The containers are slots too.
enum class Slot : std::uint8_t {
    refused, // the place itself is wrong; the error is set
    project,
    version,
    picture,
    axes,
    axisX,
    axisY,
    calibrationList,
    calibrationPoint,
    screenPair,
    worldPair,
    screenValue,
    worldValue,
    seriesList,
    series,
    name,
    colour,
    marker,
    visible,
    points,
    point,
    coordinate,
    activeSeries,
    skipped, // under a key this format does not name
};

std::uint32_t bit(Slot slot)
{
    return std::uint32_t{1} << static_cast<unsigned>(slot);
}

struct Field {
    Slot container;
    std::string_view key;
    Slot slot;
    bool required;
};
constexpr Field fields[] = {
    {Slot::project, "plotmeter", Slot::version, true},
    {Slot::project, "picture", Slot::picture, false},
    {Slot::project, "axes", Slot::axes, false},
    {Slot::project, "calibration", Slot::calibrationList, true},
    {Slot::project, "series", Slot::seriesList, true},
    {Slot::project, "active_series", Slot::activeSeries, false},
    {Slot::axes, "x", Slot::axisX, false},
    {Slot::axes, "y", Slot::axisY, false},
    {Slot::calibrationPoint, "screen", Slot::screenPair, true},
    {Slot::calibrationPoint, "world", Slot::worldPair, true},
    {Slot::series, "name", Slot::name, true},
    {Slot::series, "colour", Slot::colour, false},
    {Slot::series, "marker", Slot::marker, false},
    {Slot::series, "visible", Slot::visible, false},
    {Slot::series, "points", Slot::points, true},
};

bool holdsNumbers(Slot slot)
{
    return slot == Slot::version || slot == Slot::activeSeries || slot == Slot::screenValue ||
           slot == Slot::worldValue || slot == Slot::coordinate;
}

struct Number {
    double value;
    bool whole;    // an integer in the text
    bool negative; // of a whole number
    std::uint64_t magnitude;
};

// Builds the parts of a document from the parser's events, checking each value where it
// arrives, so that neither a parsed tree nor a too-large file is ever held in memory.
class ProjectReader {
  public:
    explicit ProjectReader(std::string_view text) : text_(text) {}

    bool null()
    {
        if (skimming())
            return true;
        const Slot slot = take();
        if (slot == Slot::worldValue || slot == Slot::skipped)
            return valueDone();
        return wrongKind(slot);
    }

    bool boolean(bool value)
    {
        if (skimming())
            return true;
        const Slot slot = take();
        if (slot == Slot::visible)
            series_.back().look.visible = value;
        else if (slot != Slot::skipped)
            return wrongKind(slot);
        return valueDone();
    }

    bool number_integer(json::number_integer_t value)
    {
        const bool negative = value < 0;
        const std::uint64_t magnitude =
            negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        return number({static_cast<double>(value), true, negative, magnitude});
    }
    bool number_unsigned(json::number_unsigned_t value)
    {
        return number({static_cast<double>(value), true, false, value});
    }
    bool number_float(json::number_float_t value, const json::string_t&) { return number({value, false, false, 0}); }

    bool string(json::string_t& value)
    {
        if (skimming())
            return true;
        const Slot slot = take();
        switch (slot) {
        case Slot::picture:
            picture_ = std::move(value);
            break;
        case Slot::axisX:
        case Slot::axisY: {
            const auto scale = axisScaleNamed(value);
            if (!scale)
                return fail(describe(slot) + " is not one of: " + std::string(axisScaleName(AxisScale::linear)));
            (slot == Slot::axisX ? axes_.x : axes_.y) = *scale;
            break;
        }
        case Slot::name:
            series_.back().look.name = std::move(value);
            break;
        case Slot::colour: {
            const auto colour = Colour::named(value);
            if (!colour)
                return fail(describe(slot) + " is not a colour written #rrggbb");
            series_.back().look.colour = *colour;
            break;
        }
        case Slot::marker: {
            const auto shape = markerShapeNamed(value);
            if (!shape) {
                std::vector<std::string_view> names;
                for (const MarkerShape known : allMarkerShapes)
                    names.push_back(markerShapeName(known));
                return fail(describe(slot) + " is not one of: " + joined(names));
            }
            series_.back().look.marker = *shape;
            break;
        }
        case Slot::skipped:
            break;
        default:
            return wrongKind(slot);
        }
        return valueDone();
    }

    bool binary(json::binary_t&) { return fail("the file is not JSON text"); }

    bool start_object(std::size_t)
    {
        ++depth_;
        if (skimming())
            return true;
        const Slot slot = take();
        switch (slot) {
        case Slot::project:
        case Slot::axes:
        case Slot::skipped:
            break;
        case Slot::calibrationPoint:
            calibration_.emplace_back();
            break;
        case Slot::series:
            series_.push_back({defaultLook({}, series_.size()), {}});
            break;
        default:
            return wrongKind(slot);
        }
        levels_.push_back({slot, false});
        return true;
    }

    bool key(json::string_t& name)
    {
        if (depth_ == 1)
            topKey_ = name;
        if (skimming())
            return true;
        Level& level = levels_.back();
        level.awaitingValue = true;
        level.next = Slot::skipped;
        for (const Field& field : fields) {
            if (field.container != level.container || field.key != name)
                continue;
            if ((level.seen & bit(field.slot)) != 0)
                return fail(describe(field.slot) + " appears twice");
            level.seen |= bit(field.slot);
            level.next = field.slot;
        }
        return true;
    }

    bool end_object()
    {
        --depth_;
        if (skimming())
            return true;
        const Level& level = levels_.back();
        for (const Field& field : fields)
            if (field.container == level.container && field.required && (level.seen & bit(field.slot)) == 0) {
                if (field.slot == Slot::version)
                    return fail("\"plotmeter\" is missing, so this is not a Plotmeter project");
                return fail(describe(field.slot) + " is missing");
            }
        levels_.pop_back();
        return valueDone();
    }

    bool start_array(std::size_t)
    {
        ++depth_;
        if (skimming())
            return true;
        const Slot slot = take();
        switch (slot) {
        case Slot::calibrationList:
        case Slot::seriesList:
        case Slot::screenPair:
        case Slot::worldPair:
        case Slot::points:
        case Slot::skipped:
            break;
        case Slot::point:
            series_.back().points.emplace_back();
            break;
        default:
            return wrongKind(slot);
        }
        levels_.push_back({slot, true});
        return true;
    }

    bool end_array()
    {
        --depth_;
        if (skimming())
            return true;
        const Level& level = levels_.back();
        const bool pair =
            level.container == Slot::screenPair || level.container == Slot::worldPair || level.container == Slot::point;
        if (pair && level.count != 2)
            return wrongKind(level.container);
        levels_.pop_back();
        return valueDone();
    }

    bool parse_error(std::size_t position, const std::string& token, const json::exception& problem)
    {
        if (skimming())
            return false;
        if (position > text_.size()) {
            error_ = "the file is cut short: it ends at byte " + std::to_string(text_.size()) +
                     " before the project is complete";
            return false;
        }
        // The parser stops at the first character it cannot take: walk back to the word's start.
        std::size_t start = position > 0 ? position - 1 : 0;
        while (start > 0 && std::isalpha(static_cast<unsigned char>(text_[start - 1])) != 0)
            --start;
        if (start > 0 && (text_[start - 1] == '-' || text_[start - 1] == '+'))
            --start;
        const std::string word = problem.id == 406 ? token : nonFiniteWordAt(text_, start);
        if (!word.empty()) {
            const bool atValue = levels_.empty() || levels_.back().array || levels_.back().awaitingValue;
            const Slot slot = atValue ? take() : Slot::skipped;
            if (skimming()) // the place itself was refused
                return false;
            if (holdsNumbers(slot))
                error_ = describe(slot) + " is not a finite number (" + word + ")";
            else
                error_ =
                    lineAndColumn(text_, start) + ": " + word + " is not a finite number, which a project cannot hold";
            return false;
        }
        const std::size_t at = position > 0 ? position - 1 : 0;
        const bool notUtf8 = std::string_view(problem.what()).find("UTF-8") != std::string_view::npos;
        error_ = std::string(notUtf8 ? "the file is not UTF-8 text" : "the file is not valid JSON") + " at " +
                 lineAndColumn(text_, at) + " (byte " + std::to_string(at) + ")";
        return false;
    }

    ProjectReading finish(const std::string& folder)
    {
        if (!error_.empty())
            return {std::nullopt, error_};
        const std::size_t seriesCount = std::max<std::size_t>(series_.size(), 1);
        if (active_ >= seriesCount)
            return {std::nullopt, "\"active_series\" is " + std::to_string(active_) + ", but the project has " +
                                      std::to_string(seriesCount) + " series, numbered from 0"};
        Document document;
        document.setPicture(pictureAsRead(picture_, folder));
        document.apply(change::SetAxes{axes_});
        for (std::size_t i = 0; i < calibration_.size(); ++i)
            document.apply(change::InsertCalibration{i, calibration_[i]});
        for (std::size_t i = 0; i < series_.size(); ++i) {
            Series& series = series_[i];
            if (i == 0)
                document.apply(change::SetLook{0, std::move(series.look)});
            else
                document.apply(change::InsertSeries{i, Series{std::move(series.look), {}}, 0});
            if (!series.points.empty())
                document.apply(change::InsertPoints{i, 0, std::move(series.points)});
        }
        document.apply(change::SetActiveSeries{active_});
        return {std::move(document), {}};
    }

  private:
    struct Level {
        Slot container;
        bool array;
        bool awaitingValue = false; // of an object: a key came, its value has not
        std::size_t count = 0;      // of an array: values begun
        std::uint32_t seen = 0;     // of an object: the known keys given
        Slot next = Slot::skipped;  // of an object: what the last key's value is
    };

    // Once the text is refused, the rest is only read for a later format number, so that a
    // newer project is named as such wherever its "plotmeter" key stands.
    bool skimming() const { return !error_.empty(); }

    bool fail(std::string message)
    {
        error_ = std::move(message);
        return !versionSeen_;
    }

    bool valueDone()
    {
        if (!levels_.empty())
            levels_.back().awaitingValue = false;
        return true;
    }

    // What the next value is meant to be; counts it in its array.
    Slot take()
    {
        if (levels_.empty())
            return Slot::project;
        Level& level = levels_.back();
        if (!level.array)
            return level.next;
        ++level.count;
        switch (level.container) {
        case Slot::calibrationList:
            if (level.count > maxProjectCalibration)
                return refuse("the project has more than " + std::to_string(maxProjectCalibration) +
                              " calibration points, more than Plotmeter opens");
            return Slot::calibrationPoint;
        case Slot::seriesList:
            if (level.count > maxProjectSeries)
                return refuse("the project has more than " + std::to_string(maxProjectSeries) +
                              " series, more than Plotmeter opens");
            return Slot::series;
        case Slot::points:
            if (++totalPoints_ > maxProjectPoints)
                return refuse("the project has more than " + std::to_string(maxProjectPoints) +
                              " points, more than Plotmeter opens");
            return Slot::point;
        case Slot::screenPair:
        case Slot::worldPair:
        case Slot::point:
            if (level.count > 2)
                return refuse(describe(level.container) + " is not a pair of " +
                              (level.container == Slot::worldPair ? "numbers or nulls" : "numbers"));
            return level.container == Slot::screenPair  ? Slot::screenValue
                   : level.container == Slot::worldPair ? Slot::worldValue
                                                        : Slot::coordinate;
        default:
            return Slot::skipped;
        }
    }

    Slot refuse(std::string message)
    {
        fail(std::move(message));
        return Slot::refused;
    }

    std::size_t countIn(Slot container) const
    {
        for (const Level& level : levels_)
            if (level.container == container)
                return level.count;
        return 0;
    }

    // Where a value of that slot stands now, as the user would look for it.
    std::string describe(Slot slot) const
    {
        const std::string calibrationPoint = "calibration point " + std::to_string(countIn(Slot::calibrationList));
        const std::string series = "series " + std::to_string(countIn(Slot::seriesList));
        const std::string point = series + ", point " + std::to_string(countIn(Slot::points));
        const std::size_t coordinate =
            std::max({countIn(Slot::screenPair), countIn(Slot::worldPair), countIn(Slot::point)});
        const char* const axis = coordinate <= 1 ? "x" : "y";
        switch (slot) {
        case Slot::refused:
        case Slot::project:
        case Slot::skipped:
            return "the file";
        case Slot::version:
            return "\"plotmeter\"";
        case Slot::picture:
            return "\"picture\"";
        case Slot::axes:
            return "\"axes\"";
        case Slot::axisX:
            return "the \"x\" axis scale";
        case Slot::axisY:
            return "the \"y\" axis scale";
        case Slot::calibrationList:
            return "\"calibration\"";
        case Slot::calibrationPoint:
            return calibrationPoint;
        case Slot::screenPair:
            return calibrationPoint + ": \"screen\"";
        case Slot::worldPair:
            return calibrationPoint + ": \"world\"";
        case Slot::screenValue:
            return calibrationPoint + ": screen " + axis;
        case Slot::worldValue:
            return calibrationPoint + ": world " + axis;
        case Slot::seriesList:
            return "\"series\"";
        case Slot::series:
            return series;
        case Slot::name:
            return series + ": \"name\"";
        case Slot::colour:
            return series + ": \"colour\"";
        case Slot::marker:
            return series + ": \"marker\"";
        case Slot::visible:
            return series + ": \"visible\"";
        case Slot::points:
            return series + ": \"points\"";
        case Slot::point:
            return point;
        case Slot::coordinate:
            return point + ": " + axis;
        case Slot::activeSeries:
            return "\"active_series\"";
        }
        return "the file";
    }

    bool wrongKind(Slot slot)
    {
        const char* what = "";
        switch (slot) {
        case Slot::refused:
            return !versionSeen_;
        case Slot::project:
            return fail("the file holds no Plotmeter project (its JSON is not an object)");
        case Slot::version:
            return fail("\"plotmeter\" is not a format number; this Plotmeter reads format 1");
        case Slot::axes:
        case Slot::calibrationPoint:
        case Slot::series:
            what = "an object";
            break;
        case Slot::calibrationList:
        case Slot::seriesList:
        case Slot::points:
            what = "a list";
            break;
        case Slot::screenPair:
        case Slot::point:
            what = "a pair of numbers";
            break;
        case Slot::worldPair:
            what = "a pair of numbers or nulls";
            break;
        case Slot::screenValue:
        case Slot::coordinate:
            what = "a number";
            break;
        case Slot::worldValue:
            what = "a number or null";
            break;
        case Slot::visible:
            what = "true or false";
            break;
        case Slot::activeSeries:
            what = "a series number";
            break;
        default:
            what = "text";
            break;
        }
        return fail(describe(slot) + " is not " + what);
    }

    bool number(const Number& number)
    {
        if (skimming()) {
            if (depth_ == 1 && topKey_ == "plotmeter" && number.whole && !number.negative &&
                number.magnitude > formatVersion)
                return newer(number.magnitude);
            return true;
        }
        const Slot slot = take();
        switch (slot) {
        case Slot::version:
            if (!number.whole || number.negative || number.magnitude == 0)
                return wrongKind(slot);
            if (number.magnitude > formatVersion)
                return newer(number.magnitude);
            versionSeen_ = true;
            break;
        case Slot::activeSeries:
            if (!number.whole || number.negative)
                return wrongKind(slot);
            active_ = static_cast<std::size_t>(std::min<std::uint64_t>(number.magnitude, SIZE_MAX));
            break;
        case Slot::screenValue: {
            DPoint& screen = calibration_.back().screen;
            (levels_.back().count == 1 ? screen.x : screen.y) = number.value;
            break;
        }
        case Slot::worldValue: {
            CalibrationPoint& point = calibration_.back();
            (levels_.back().count == 1 ? point.worldX : point.worldY) = number.value;
            break;
        }
        case Slot::coordinate: {
            DPoint& point = series_.back().points.back();
            (levels_.back().count == 1 ? point.x : point.y) = number.value;
            break;
        }
        case Slot::skipped:
            break;
        default:
            return wrongKind(slot);
        }
        return valueDone();
    }

    bool newer(std::uint64_t version)
    {
        error_ = "the project was written by a newer Plotmeter (format " + std::to_string(version) +
                 "); this one reads format " + std::to_string(formatVersion);
        return false;
    }

    std::string_view text_;
    std::vector<Level> levels_;
    std::size_t depth_ = 0;
    std::string topKey_;
    std::string error_;
    bool versionSeen_ = false;
    std::size_t totalPoints_ = 0;

    std::string picture_;
    AxisScales axes_;
    std::vector<CalibrationPoint> calibration_;
    std::vector<Series> series_;
    std::size_t active_ = 0;
};

// ---------------------------------------------------------------------------------------
// Writing

// Length of the well-formed UTF-8 sequence at the start of `s`; 0 when it is not one.
std::size_t utf8Length(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const auto follows = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xbf) {
        return byte(i) >= low && byte(i) <= high;
    };
    const unsigned first = byte(0);
    if (first < 0x80)
        return 1;
    if (first >= 0xc2 && first <= 0xdf)
        return follows(1) ? 2 : 0;
    if (first >= 0xe0 && first <= 0xef) {
        const unsigned low = first == 0xe0 ? 0xa0 : 0x80;
        const unsigned high = first == 0xed ? 0x9f : 0xbf;
        return follows(1, low, high) && follows(2) ? 3 : 0;
    }
    if (first >= 0xf0 && first <= 0xf4) {
        const unsigned low = first == 0xf0 ? 0x90 : 0x80;
        const unsigned high = first == 0xf4 ? 0x8f : 0xbf;
        return follows(1, low, high) && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

// A JSON string. Bytes that are not UTF-8 (JSON cannot hold them) become U+FFFD.
void appendString(std::string& out, std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && c != '"' && c != '\\' && u < 0x80) {
            out += c;
            ++i;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
            ++i;
        } else if (u < 0x20) {
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 0xf];
            }
            ++i;
        } else if (const std::size_t length = utf8Length(text.substr(i)); length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xef\xbf\xbd";
            ++i;
        }
    }
    out += '"';
}

class ProjectWriter {
  public:
    explicit ProjectWriter(std::string& out) : out_(out) {}

    void write(const Document& document, const std::string& folder)
    {
        std::size_t points = 0;
        for (const Series& series : document.series())
            points += series.points.size();
        out_.reserve(256 + document.calibration().size() * 64 + document.series().size() * 160 + points * 44);

        out_ += "{\n  \"plotmeter\": ";
        out_ += std::to_string(formatVersion);
        out_ += ",\n  \"picture\": ";
        appendString(out_, pictureAsWritten(document.picture(), folder));
        out_ += ",\n  \"axes\": {\"x\": ";
        appendString(out_, axisScaleName(document.axes().x));
        out_ += ", \"y\": ";
        appendString(out_, axisScaleName(document.axes().y));
        out_ += "},\n  \"calibration\": [";
        const auto& calibration = document.calibration();
        for (std::size_t i = 0; i < calibration.size(); ++i) {
            const CalibrationPoint& point = calibration[i];
            const std::string where = "calibration point " + std::to_string(i + 1);
            out_ += i == 0 ? "\n    {\"screen\": [" : ",\n    {\"screen\": [";
            number(point.screen.x, where, "screen x");
            out_ += ", ";
            number(point.screen.y, where, "screen y");
            out_ += "], \"world\": [";
            optionalNumber(point.worldX, where, "world x");
            out_ += ", ";
            optionalNumber(point.worldY, where, "world y");
            out_ += "]}";
        }
        out_ += calibration.empty() ? "],\n" : "\n  ],\n";

        out_ += "  \"series\": [";
        const auto& allSeries = document.series();
        for (std::size_t s = 0; s < allSeries.size(); ++s) {
            const Series& series = allSeries[s];
            out_ += s == 0 ? "\n    {\n      \"name\": " : ",\n    {\n      \"name\": ";
            appendString(out_, series.look.name);
            out_ += ",\n      \"colour\": ";
            appendString(out_, series.look.colour.name());
            out_ += ",\n      \"marker\": ";
            appendString(out_, markerShapeName(series.look.marker));
            out_ += series.look.visible ? ",\n      \"visible\": true" : ",\n      \"visible\": false";
            out_ += ",\n      \"points\": [";
            for (std::size_t p = 0; p < series.points.size(); ++p) {
                out_ += p == 0 ? "\n        [" : ",\n        [";
                const DPoint& point = series.points[p];
                if (!std::isfinite(point.x) || !std::isfinite(point.y))
                    noteProblem("series " + std::to_string(s + 1) + ", point " + std::to_string(p + 1),
                                std::isfinite(point.x) ? "y" : "x");
                appendNumber(point.x);
                out_ += ", ";
                appendNumber(point.y);
                out_ += ']';
            }
            out_ += series.points.empty() ? "]\n    }" : "\n      ]\n    }";
        }
        out_ += "\n  ],\n  \"active_series\": ";
        out_ += std::to_string(document.activeSeries());
        out_ += "\n}\n";
    }

    const std::string& problem() const { return problem_; }

  private:
    void number(double value, const std::string& where, const char* what)
    {
        if (!std::isfinite(value))
            noteProblem(where, what);
        appendNumber(value);
    }

    void optionalNumber(const std::optional<double>& value, const std::string& where, const char* what)
    {
        if (value)
            number(*value, where, what);
        else
            out_ += "null";
    }

    // The shortest text that reads back as the same double, always with a point or an
    // exponent so that it reads back as a double (-0.0 keeps its sign).
    void appendNumber(double value)
    {
        if (!std::isfinite(value)) {
            out_ += "null";
            return;
        }
        char buffer[32];
        const auto [end, failed] = std::to_chars(buffer, buffer + sizeof buffer, value);
        const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
        out_ += text;
        if (failed == std::errc{} && text.find_first_of(".e") == std::string_view::npos)
            out_ += ".0";
    }

    void noteProblem(const std::string& where, const char* what)
    {
        if (problem_.empty())
            problem_ = where + ": " + what + " is not a finite number, which a project file cannot hold";
    }

    std::string& out_;
    std::string problem_;
};

std::string systemReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return "the file does not exist";
    case EACCES:
        return "permission to read it is denied";
    case EISDIR:
        return "it is a folder, not a project file";
    default:
        return std::strerror(errorNumber);
    }
}

std::string sizeInMiB(std::uintmax_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

std::string tooLarge(std::uintmax_t bytes)
{
    return "the file is " + sizeInMiB(bytes) + "; Plotmeter opens project files of up to " +
           sizeInMiB(maxProjectFileBytes);
}

bool readWhole(const std::string& path, std::string& text, std::string& problem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = systemReason(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        problem = systemReason(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = systemReason(EISDIR);
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        const auto size = static_cast<std::uintmax_t>(info.st_size);
        if (size > maxProjectFileBytes) {
            problem = tooLarge(size);
            return false;
        }
        text.reserve(static_cast<std::size_t>(size));
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            problem = systemReason(errno);
            return false;
        }
        if (got == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > maxProjectFileBytes) {
            problem = tooLarge(text.size());
            return false;
        }
    }
}

} // namespace

ProjectReading parseProject(std::string_view text, const std::string& folder)
{
    try {
        if (isBlank(text))
            return {std::nullopt, "the file is empty"};
        if (nestsTooDeep(text))
            return {std::nullopt, "the file nests values more than " + std::to_string(maxProjectNesting) +
                                      " levels deep, which no Plotmeter project does"};
        ProjectReader reader(text);
        json::sax_parse(text.data(), text.data() + text.size(), &reader);
        return reader.finish(folder);
    } catch (const std::bad_alloc&) {
        return {std::nullopt, outOfMemory};
    } catch (const std::exception& problem) {
        return {std::nullopt, std::string("the file could not be read: ") + problem.what()};
    }
}

std::string projectText(const Document& document, const std::string& folder)
{
    try {
        std::string text;
        ProjectWriter(text).write(document, folder);
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

ProjectReading readProjectFile(const std::string& path)
{
    try {
        std::string text;
        std::string problem;
        if (!readWhole(path, text, problem))
            return {std::nullopt, path + ": " + problem};
        ProjectReading reading = parseProject(text, fs::path(path).parent_path().string());
        if (!reading.document)
            reading.error = path + ": " + reading.error;
        return reading;
    } catch (const std::bad_alloc&) {
        return {std::nullopt, path + ": " + outOfMemory};
    } catch (const std::exception& problem) {
        return {std::nullopt, path + ": " + problem.what()};
    }
}

bool writeProjectFile(const Document& document, const std::string& path, std::string& error)
{
    try {
        std::string text;
        ProjectWriter writer(text);
        writer.write(document, fs::path(path).parent_path().string());
        if (!writer.problem().empty()) {
            error = path + ": " + writer.problem();
            return false;
        }
        SafeFileWriter file;
        if (!file.open(path) || !file.write(text) || !file.commit()) {
            error = path + ": " + file.error();
            return false;
        }
        error.clear();
        return true;
    } catch (const std::bad_alloc&) {
        error = path + ": there is not enough memory to save the project";
    } catch (const std::exception& problem) {
        error = path + ": " + problem.what();
    }
    return false;
}
