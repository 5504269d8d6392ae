#pragma once

#include "extraction/PixelView.h"
#include "platform/PdfPage.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// A picture decoded for `plotmeter extract`. The command line knows no picture format
// itself; the program's image code decodes (see app/main.cpp), so that the command reads
// exactly what the window shows.
struct DecodedPicture {
    std::shared_ptr<const void> owner; // keeps `pixels` alive
    PixelView pixels;
    std::string problem; // why the file could not be read; `pixels` is empty then
};
// Decodes `path`; `page` says which page of a PDF document, at what resolution.
using PictureDecoder = std::function<DecodedPicture(const std::string& path, const std::optional<PdfPage>& page)>;

// `plotmeter extract PROJECT --colour '#RRGGBB' [options] -o OUT`: finds a curve or the
// markers of one colour in the project's picture (or another picture of the same layout)
// and writes them as `plotmeter export` does. Returns an empty string on success, or why
// nothing was written, as one sentence. argv[1] is "extract".
std::string runExtract(int argc, char** argv, const PictureDecoder& decode);
