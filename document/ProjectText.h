#pragma once

#include <string>
#include <string_view>

// What the project reader says of the text itself, before and beside its values: whether
// it is blank or nests too deep, where a byte stands, and the words for numbers JSON
// cannot hold.
namespace projectformat {

// Counted before the parser sees the text, skipping strings: nothing this program writes
// nests more than five levels.
bool nestsTooDeep(std::string_view text);
bool isBlank(std::string_view text);
// "NaN", "Infinity", "-inf" and the like at `at`: what a program may have written for a
// number JSON cannot hold; empty when there is none.
std::string nonFiniteWordAt(std::string_view text, std::size_t at);
// "line L, column C" of a byte, both counted from 1.
std::string lineAndColumn(std::string_view text, std::size_t byte);

} // namespace projectformat
