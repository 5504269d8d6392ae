#pragma once

#include "calibration/AxisScale.h"
#include "document/Measurement.h"
#include "document/ProjectFormat.h"
#include "document/ProjectSlots.h"
#include "document/Series.h"
#include "platform/PdfPage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a project file's reader gathers, value by value, and the document they make once
// the whole file is read.
namespace projectformat {

struct ProjectParts {
    std::string picture;
    AxisScales axes;
    bool polarAxes = false;
    PolarAxes polar;
    Measurements measurements;
    ScaleBar scale;
    bool scaleSeen = false;
    std::vector<CalibrationPoint> calibration;
    std::vector<Series> series;
    std::size_t active = 0;
    PdfPage page;
    std::uint64_t pageNumber = 1;
    bool pageSeen = false;

    // Takes a text value at slot: "" when taken, else what is wrong with it, to follow the
    // place's name (" is not one of: linear, log10, date"); nullopt when the slot holds no
    // text.
    std::optional<std::string> takeText(Slot slot, std::string&& value);
    // Takes a number that needs no more than its slot and, inside a pair, whether it is
    // the pair's first (x) and whether the pair is a scale bar's first end; false when the
    // slot is not such a number.
    bool takeNumber(Slot slot, double value, bool firstOfPair, bool firstEnd);
};

// The checks that need the whole file (the active series, the PDF page and resolution, the
// polar axes, the scale bar), then the document, its picture taken from folder.
ProjectReading assembleDocument(ProjectParts parts, const std::string& folder);

} // namespace projectformat
