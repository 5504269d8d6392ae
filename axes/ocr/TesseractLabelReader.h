#pragma once

#include "axes/LabelReader.h"

#include <memory>
#include <string>

namespace tesseract {
class TessBaseAPI;
}

// Tick labels read with Tesseract: one engine a reader, set up for one line of digits.
class TesseractLabelReader : public LabelReader {
  public:
    TesseractLabelReader();
    ~TesseractLabelReader() override;
    TesseractLabelReader(const TesseractLabelReader&) = delete;
    TesseractLabelReader& operator=(const TesseractLabelReader&) = delete;

    const std::string& problem() const override { return problem_; }
    Reading read(const GreyCrop& crop) override;

  private:
    std::unique_ptr<tesseract::TessBaseAPI> engine_;
    std::string problem_;
};

// The folder holding Tesseract's eng.traineddata: TESSDATA_PREFIX when set, else the
// folders Debian's packages use. Empty when there is none.
std::string tesseractDataFolder();

// The OCR module's one entry point, found by this name.
extern "C" LabelReader* plotmeterNewLabelReader();
inline constexpr const char* newLabelReaderSymbol = "plotmeterNewLabelReader";
