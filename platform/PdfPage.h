#pragma once

#include <fstream>
#include <string>
#include <string_view>

// A page of a PDF document as the picture to digitize: which page, counted from 1, and the
// resolution it is rendered at, in dots per inch. Picture coordinates are pixels of that
// rendering, so they scale with the resolution.
struct PdfPage {
    static constexpr double defaultDpi = 300.0;
    static constexpr double lowestDpi = 10.0;
    static constexpr double highestDpi = 2400.0;

    int number = 1;
    double dpi = defaultDpi;
    friend bool operator==(const PdfPage&, const PdfPage&) = default;
};

// Whether the file is a PDF document, by its first bytes ("%PDF-"), whatever its name.
inline bool startsLikePdf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char start[5] = {};
    return file.read(start, sizeof start) && std::string_view(start, sizeof start) == "%PDF-";
}
