#pragma once

#include "document/Document.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The project file (.plotmeter): a whole document as JSON, format 1.
//
//     {
//       "plotmeter": 1,
//       "picture": "plot.png",
//       "page": 2, "dpi": 300,
//       "axes": {"x": "linear", "y": "linear"},
//       "calibration": [
//         {"screen": [34.0, 51.0], "world": [0.0, null]}
//       ],
//       "series": [
//         {
//           "name": "Series 1",
//           "colour": "#1f77b4",
//           "marker": "cross",
//           "visible": true,
//           "points": [
//             [120.5, 88.25]
//           ]
//         }
//       ],
//       "active_series": 0
//     }
//
// Reading:
// - "plotmeter" (the format number), "calibration" and "series" are required; "picture"
//   (default none), "axes" (default linear) and "active_series" (default 0) may be left
//   out. "page" (from 1) and "dpi" (10 to 2400) are there when the picture is a page of a
//   PDF document; either alone means page 1 or 300 dpi for the other. A calibration point needs "screen" and "world", a
//   world value not typed yet is null. A series needs "name" and "points"; "colour", "marker" and "visible" default to
//   the look a new series of that place gets.
// - Keys this format does not name are skipped at every level, so later formats can add
//   to it; a key given twice is refused. A later format number is refused as such, even
//   when the key comes last.
// - An empty "series" list reads as one empty series, "Series 1".
// - A relative "picture" is resolved against the project file's folder.
// - Refused, with one sentence saying what is wrong and where: anything but JSON, a file
//   cut short, values of the wrong kind, numbers that are not finite (NaN, Infinity, or
//   beyond double precision such as 1e999), unknown axis or marker names, colours not
//   written "#rrggbb", an active series that does not exist, nesting deeper than
//   maxProjectNesting (checked before the JSON parser sees the text), and more than
//   the limits below.
//
// Writing gives every double in its shortest form that reads back bit-exact, one data
// point a line.

inline constexpr std::size_t maxProjectNesting = 64;
inline constexpr std::size_t maxProjectPoints = 10'000'000; // in all series together
inline constexpr std::size_t maxProjectCalibration = 10'000;
inline constexpr std::size_t maxProjectSeries = 10'000;
inline constexpr std::uintmax_t maxProjectFileBytes = 512u << 20;

struct ProjectReading {
    std::optional<Document> document; // empty when the text was refused
    std::string error;                // then why, as one sentence
};

// `folder` is the project file's folder; a relative picture path is resolved against it
// (a relative folder against the current one).
ProjectReading parseProject(std::string_view text, const std::string& folder);

// The project text of a document. The picture is written relative to `folder` when it
// lies below it, otherwise absolute; all lexically, neither has to exist. A value JSON
// cannot hold (a non-finite number) is written as null, which reading refuses;
// writeProjectFile refuses to save such a document instead. Empty only when memory ran
// out.
std::string projectText(const Document& document, const std::string& folder);

// Reads and parses a project file. A file larger than maxProjectFileBytes is refused
// before it is read. The error names the file.
ProjectReading readProjectFile(const std::string& path);

// Replaces the file at `path` with the document's project text, atomically: on failure
// the previous file is untouched and `error` says why, naming the file. The picture is
// named relative to the project's folder when it lies below it, or always absolute (a
// recovery copy, which must name it wherever it is read from).
enum class PicturePath { relativeWhenBelow, absolute };
bool writeProjectFile(const Document& document, const std::string& path, std::string& error,
                      PicturePath picture = PicturePath::relativeWhenBelow);
