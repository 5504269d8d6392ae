#pragma once

#include "document/Document.h"
#include "document/WorldMap.h"

#include <cstddef>
#include <optional>
#include <string>

// The data points as comma-separated values (RFC 4180), for spreadsheets and scripts:
//
//     series,x,y,screen_x,screen_y
//     Series 1,12.5,0.25,120.5,88.25
//
// One row a point, series after series in their order (or only the series given; an
// index past the last series gives the header alone). x and y are world values through
// `map` (ISO 8601 text on a date axis), screen_x and screen_y picture coordinates.
// Numbers are in their shortest form
// that reads back as the same double, with a point as decimal mark whatever the locale.
// Rows end in CR LF; a series name holding a comma, a double quote, CR or LF is quoted,
// its double quotes doubled.
std::string csvText(const Document& document, const WorldMap& map,
                    std::optional<std::size_t> onlySeries = std::nullopt);
