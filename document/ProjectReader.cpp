#include "document/ProjectFormat.h"
#include "document/ProjectParts.h"
#include "document/ProjectSlots.h"
#include "document/ProjectText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <vector>

namespace projectformat {
namespace {

using json = nlohmann::json;

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
            parts_.series.back().look.visible = value;
        else if (slot == Slot::clockwise)
            parts_.polar.clockwise = value;
        else if (slot == Slot::measurementClosed)
            parts_.measurements.list.back().closed = value;
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
        if (slot == Slot::skipped)
            return valueDone();
        const std::optional<std::string> problem = parts_.takeText(slot, std::move(value));
        if (!problem)
            return wrongKind(slot);
        if (!problem->empty())
            return fail(describe(slot) + *problem);
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
            parts_.calibration.emplace_back();
            break;
        case Slot::series:
            parts_.series.push_back({defaultLook({}, parts_.series.size()), {}});
            break;
        case Slot::measurement:
            parts_.measurements.list.emplace_back();
            break;
        case Slot::scale:
            parts_.scaleSeen = true;
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
        case Slot::measurementList:
        case Slot::measurementPoints:
        case Slot::scaleScreen:
        case Slot::scaleEnd:
        case Slot::skipped:
            break;
        case Slot::point:
            parts_.series.back().points.emplace_back();
            break;
        case Slot::measurementPoint:
            parts_.measurements.list.back().points.emplace_back();
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
        const bool pair = level.container == Slot::screenPair || level.container == Slot::worldPair ||
                          level.container == Slot::point || level.container == Slot::measurementPoint ||
                          level.container == Slot::scaleEnd || level.container == Slot::scaleScreen;
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
        return assembleDocument(std::move(parts_), folder);
    }

  private:
    struct Level {
        Slot container;
        bool array;
        bool awaitingValue = false; // of an object: a key came, its value has not
        std::size_t count = 0;      // of an array: values begun
        std::uint64_t seen = 0;     // of an object: the known keys given
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
        case Slot::measurementList:
            if (level.count > maxProjectSeries)
                return refuse("the project has more than " + std::to_string(maxProjectSeries) +
                              " measurements, more than Plotmeter opens");
            return Slot::measurement;
        case Slot::measurementPoints:
            if (++totalPoints_ > maxProjectPoints)
                return refuse("the project has more than " + std::to_string(maxProjectPoints) +
                              " points, more than Plotmeter opens");
            return Slot::measurementPoint;
        case Slot::measurementPoint:
        case Slot::scaleEnd:
            if (level.count > 2)
                return refuse(describe(level.container) + " is not a pair of numbers");
            return level.container == Slot::measurementPoint ? Slot::measurementValue : Slot::scaleValue;
        case Slot::scaleScreen:
            if (level.count > 2)
                return refuse(describe(level.container) + " is not a pair of points");
            return Slot::scaleEnd;
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
        return placeOf(slot, {countIn(Slot::calibrationList), countIn(Slot::seriesList), countIn(Slot::points),
                              std::max({countIn(Slot::screenPair), countIn(Slot::worldPair), countIn(Slot::point)}),
                              countIn(Slot::measurementList)});
    }

    bool wrongKind(Slot slot)
    {
        switch (slot) {
        case Slot::refused:
            return !versionSeen_;
        case Slot::project:
            return fail("the file holds no Plotmeter project (its JSON is not an object)");
        case Slot::version:
            return fail("\"plotmeter\" is not a format number; this Plotmeter reads formats 1 and 2");
        default:
            return fail(describe(slot) + " is not " + kindExpected(slot));
        }
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
            parts_.active = static_cast<std::size_t>(std::min<std::uint64_t>(number.magnitude, SIZE_MAX));
            break;
        // Its range is checked once the whole file is read: a file cut short in the middle of
        // a number must be refused as cut short, not for the part of the number it holds.
        case Slot::page:
            if (!number.whole || number.negative)
                return wrongKind(slot);
            parts_.pageNumber = number.magnitude;
            parts_.pageSeen = true;
            break;
        case Slot::skipped:
            break;
        default:
            if (!parts_.takeNumber(slot, number.value, !levels_.empty() && levels_.back().count == 1,
                                   countIn(Slot::scaleScreen) == 1))
                return wrongKind(slot);
        }
        return valueDone();
    }

    bool newer(std::uint64_t version)
    {
        error_ = "the project was written by a newer Plotmeter (format " + std::to_string(version) +
                 "); this one reads formats 1 to " + std::to_string(formatVersion);
        return false;
    }

    std::string_view text_;
    std::vector<Level> levels_;
    std::size_t depth_ = 0;
    std::string topKey_;
    std::string error_;
    bool versionSeen_ = false;
    std::size_t totalPoints_ = 0;

    ProjectParts parts_;
};

} // namespace

ProjectReading readText(std::string_view text, const std::string& folder)
{
    if (isBlank(text))
        return {std::nullopt, "the file is empty"};
    if (nestsTooDeep(text))
        return {std::nullopt, "the file nests values more than " + std::to_string(maxProjectNesting) +
                                  " levels deep, which no Plotmeter project does"};
    ProjectReader reader(text);
    json::sax_parse(text.data(), text.data() + text.size(), &reader);
    return reader.finish(folder);
}

} // namespace projectformat
