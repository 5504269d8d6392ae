#pragma once

#include <string>

// Whether two paths name the same file, existing or not: an output must never replace the
// project it was read from.
bool sameFile(const std::string& a, const std::string& b);
