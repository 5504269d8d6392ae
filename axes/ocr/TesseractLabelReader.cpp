#include "axes/ocr/TesseractLabelReader.h"

#include <tesseract/baseapi.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string tesseractDataFolder()
{
    std::vector<std::filesystem::path> folders;
    if (const char* prefix = std::getenv("TESSDATA_PREFIX"); prefix != nullptr && *prefix != '\0') {
        folders.emplace_back(prefix);
        folders.emplace_back(std::filesystem::path(prefix) / "tessdata");
    } else {
        for (const char* folder : {"/usr/share/tesseract-ocr/5/tessdata", "/usr/share/tesseract-ocr/4.00/tessdata",
                                   "/usr/share/tessdata", "/usr/local/share/tessdata"})
            folders.emplace_back(folder);
    }
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder / "eng.traineddata", error))
            return folder.string();
    }
    return {};
}

TesseractLabelReader::TesseractLabelReader()
{
    const std::string folder = tesseractDataFolder();
    if (folder.empty()) {
        problem_ = "Find Axes reads tick labels with Tesseract, whose English data (eng.traineddata) is not "
                   "installed: install the package tesseract-ocr-eng, or set TESSDATA_PREFIX to its folder";
        return;
    }
    engine_ = std::make_unique<tesseract::TessBaseAPI>();
    // Numbers need no dictionary; loading none makes each engine start faster. Tesseract's
    // own chatter would break our one-line messages.
    std::vector<std::string> names = {"load_system_dawg", "load_freq_dawg", "debug_file"};
    std::vector<std::string> values = {"0", "0", "/dev/null"};
    if (engine_->Init(folder.c_str(), "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values, false) != 0) {
        engine_.reset();
        problem_ = "Tesseract could not load its English data from " + folder +
                   " (eng.traineddata); reinstall the package tesseract-ocr-eng";
        return;
    }
    engine_->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    engine_->SetVariable("tessedit_char_whitelist", "0123456789.-+e\u00d7x\u2212");
    engine_->SetVariable("user_defined_dpi", "300");
}

TesseractLabelReader::~TesseractLabelReader()
{
    if (engine_)
        engine_->End();
}

LabelReader::Reading TesseractLabelReader::read(const GreyCrop& crop)
{
    Reading reading;
    if (!engine_ || crop.width <= 0 || crop.height <= 0)
        return reading;
    // Tesseract's line mode now and then reads nothing where its word mode reads well.
    for (const tesseract::PageSegMode mode : {tesseract::PSM_SINGLE_LINE, tesseract::PSM_SINGLE_WORD}) {
        engine_->SetPageSegMode(mode);
        engine_->SetImage(crop.grey.data(), crop.width, crop.height, 1, crop.width);
        engine_->SetSourceResolution(300);
        const std::unique_ptr<char[]> text(engine_->GetUTF8Text());
        if (text) {
            for (const char* c = text.get(); *c != '\0'; ++c)
                if (*c != ' ' && *c != '\n' && *c != '\r' && *c != '\t')
                    reading.text += *c;
        }
        reading.confidence = engine_->MeanTextConf();
        engine_->Clear();
        if (!reading.text.empty())
            break;
    }
    return reading;
}

extern "C" __attribute__((visibility("default"))) LabelReader* plotmeterNewLabelReader()
{
    return new TesseractLabelReader;
}
