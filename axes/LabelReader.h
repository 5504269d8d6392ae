#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A small grey picture of one line of text: dark text on white, one byte a pixel.
struct GreyCrop {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> grey;
};

// Reads tick labels, one crop at a time, as one line of digits and signs. The reader the
// program has (Tesseract, axes/ocr/) lives in a module of its own, libplotmeter-ocr,
// loaded when Find Axes first runs: Tesseract and the libraries it needs would otherwise
// be loaded at every start. A reader is used on one thread only, never shared.
class LabelReader {
  public:
    virtual ~LabelReader() = default;

    // Why the reader cannot read (Tesseract's English data missing, say), as one
    // sentence; empty when it can.
    virtual const std::string& problem() const = 0;

    struct Reading {
        std::string text;   // UTF-8, without spaces or line breaks
        int confidence = 0; // the reader's mean word confidence, 0 to 100
    };
    // The crop as one line of text, or else (when that gives nothing) as one word.
    virtual Reading read(const GreyCrop& crop) = 0;
};

// Makes a new reader, for one call of Find Axes; empty (or giving null) when the program
// has none.
using LabelReaders = std::function<std::unique_ptr<LabelReader>()>;
