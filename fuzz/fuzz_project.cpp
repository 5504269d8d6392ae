// Opens arbitrary bytes as a project. Reading must never crash, hang or throw; whatever
// it accepts must save to a text that opens as the same document, and saving that again
// must give the same text (so -0.0 and every last bit of a double survive).

#include "FuzzInput.h"
#include "document/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "/fuzz/project";
    const ProjectReading reading = parseProject({reinterpret_cast<const char*>(data), size}, folder);
    require(reading.document.has_value() != !reading.error.empty(), "a refusal, and only a refusal, says why");
    if (!reading.document)
        return 0;
    const std::string text = projectText(*reading.document, folder);
    const ProjectReading again = parseProject(text, folder);
    require(again.document.has_value(), "a saved project opens again");
    require(*again.document == *reading.document, "a saved project opens as the same document");
    require(projectText(*again.document, folder) == text, "saving an opened project gives the same text");
    return 0;
}
