#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

// A small grey picture of one line of text: dark text on white, one byte a pixel.
struct GreyCrop {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> grey;
};

// Reads tick labels with Tesseract, one crop at a time, as one line of digits and signs.
// Each reader has a Tesseract engine of its own: one reader per thread, never shared.
class LabelReader {
  public:
    LabelReader();
    ~LabelReader();
    LabelReader(const LabelReader&) = delete;
    LabelReader& operator=(const LabelReader&) = delete;

    // Why the reader cannot read (Tesseract's English data missing, say), as one
    // sentence; empty when it can.
    const std::string& problem() const { return problem_; }

    struct Reading {
        std::string text;   // UTF-8, without spaces or line breaks
        int confidence = 0; // Tesseract's mean word confidence, 0 to 100
    };
    // The crop as one line of text, or else (when that gives nothing) as one word.
    Reading read(const GreyCrop& crop);

  private:
    std::unique_ptr<tesseract::TessBaseAPI> engine_;
    std::string problem_;
};

// The folder holding Tesseract's eng.traineddata: TESSDATA_PREFIX when set, else the
// folders Debian's packages use. Empty when there is none.
std::string tesseractDataFolder();
