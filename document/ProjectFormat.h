#pragma once

#include "document/ProjectFile.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the project reader and writer share; the rest of the program goes through
// ProjectFile.h.
namespace projectformat {

// Format 1 holds Cartesian axes; a project with polar axes is written as format 2, so that
// a reader of format 1 refuses it rather than misreading its angles and radii. This
// version reads both.
inline constexpr std::uint64_t formatVersion = 2;
inline constexpr std::uint64_t cartesianFormatVersion = 1;

// A picture path as the program uses it, from what the file holds: a relative one is
// taken from the project's folder.
std::string pictureAsRead(const std::string& written, const std::string& folder);
// What the file holds for a picture path: relative to the project's folder when the
// picture lies below it (and `absolute` is not asked for), otherwise absolute.
std::string pictureAsWritten(const std::string& picture, const std::string& folder, bool alwaysAbsolute = false);

// Reads project text value by value (the JSON parser's events, never a whole tree), so
// that a file far too large is refused before it fills memory. May throw std::bad_alloc.
ProjectReading readText(std::string_view text, const std::string& folder);

// The project text of a document; `problem` names the first value that JSON cannot hold
// (written as null), and stays empty when there is none.
std::string writeText(const Document& document, const std::string& folder, std::string& problem,
                      bool absolutePicture = false);

} // namespace projectformat
