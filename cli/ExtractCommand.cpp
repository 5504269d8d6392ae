#include "cli/ExtractCommand.h"

#include "cli/SameFile.h"
#include "document/CsvFile.h"
#include "document/DataFile.h"
#include "document/PictureExtraction.h"
#include "document/ProjectFile.h"
#include "document/SafeFileWriter.h"
#include "platform/NumberText.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace {

struct ExtractRequest {
    std::string project;
    std::string output;
    std::optional<std::string> picture;
    std::optional<int> pageNumber; // of a PDF picture; the project's page otherwise
    std::optional<double> dpi;     // the same for the resolution
    ExtractionSettings settings;
};

// Thrown to end the command with its one sentence.
struct Refused {
    std::string why;
};

double numberOf(const std::string& text, std::string_view option)
{
    double value = 0.0;
    if (!readCompleteNumber(text, &value))
        throw Refused{std::string(option) + " needs a number, not \"" + text + "\""};
    return value;
}

// `count` numbers separated by commas, as `shape` ("X0,Y0,X1,Y1") shows them.
std::vector<double> numbersOf(const std::string& text, std::size_t count, std::string_view option,
                              std::string_view shape)
{
    std::vector<double> numbers;
    std::size_t from = 0;
    while (numbers.size() <= count) {
        const std::size_t comma = text.find(',', from);
        numbers.push_back(numberOf(text.substr(from, comma - from), option));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    if (numbers.size() != count) {
        const char* words[] = {"", "one number", "two numbers", "three numbers", "four numbers"};
        throw Refused{std::string(option) + " needs " + words[count] + " " + std::string(shape) + ", not \"" + text +
                      "\""};
    }
    return numbers;
}

ExtractRequest extractRequest(int argc, char** argv)
{
    ExtractRequest request;
    std::optional<std::string> project, output, colour, tolerance, mode, box, step, start, gap, size, picture, page,
        dpi, baseline;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (project)
                throw Refused{"extract takes one project, but \"" + std::string(argument) + "\" follows \"" +
                              *project + "\""};
            project = std::string(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name value" or "--name=value".
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, argument.starts_with("--") ? equals : std::string_view::npos);
        std::optional<std::string>* slot = nullptr;
        if (name == "-o" || name == "--output")
            slot = &output;
        else if (name == "--colour" || name == "--color")
            slot = &colour;
        else if (name == "--tolerance")
            slot = &tolerance;
        else if (name == "--mode")
            slot = &mode;
        else if (name == "--box")
            slot = &box;
        else if (name == "--step")
            slot = &step;
        else if (name == "--start")
            slot = &start;
        else if (name == "--gap")
            slot = &gap;
        else if (name == "--size")
            slot = &size;
        else if (name == "--picture")
            slot = &picture;
        else if (name == "--page")
            slot = &page;
        else if (name == "--baseline")
            slot = &baseline;
        else if (name == "--dpi")
            slot = &dpi;
        else
            throw Refused{"unknown option \"" + std::string(argument) + "\" (plotmeter --help lists them)"};
        std::string value;
        if (name.size() < argument.size())
            value = std::string(argument.substr(name.size() + 1));
        else if (i + 1 < argc)
            value = argv[++i];
        if (value.empty())
            throw Refused{std::string(name) + " needs a value after it"};
        if (*slot)
            throw Refused{std::string(name) + " is given twice"};
        *slot = std::move(value);
    }
    if (!project || project->empty())
        throw Refused{"extract needs a project: plotmeter extract PROJECT --colour '#RRGGBB' -o OUT"};
    if (!colour)
        throw Refused{"extract needs the colour to look for: --colour '#RRGGBB'"};
    if (!output)
        throw Refused{"extract needs a file to write: -o OUT"};
    request.project = *project;
    request.output = *output;
    request.picture = picture;
    if (page) {
        const double number = numberOf(*page, "--page");
        if (!(number >= 1.0 && number <= 1e6) || number != std::floor(number))
            throw Refused{"--page needs a page number from 1, not \"" + *page + "\""};
        request.pageNumber = static_cast<int>(number);
    }
    if (dpi) {
        request.dpi = numberOf(*dpi, "--dpi");
        if (!(*request.dpi >= PdfPage::lowestDpi && *request.dpi <= PdfPage::highestDpi))
            throw Refused{"--dpi needs a resolution from " + shortestNumber(PdfPage::lowestDpi) + " to " +
                          shortestNumber(PdfPage::highestDpi) + ", not \"" + *dpi + "\""};
    }

    ExtractionSettings& settings = request.settings;
    const std::optional<Rgb> rgb = rgbFromText(*colour);
    if (!rgb)
        throw Refused{"--colour needs a colour written #RRGGBB, not \"" + *colour + "\""};
    settings.colour = *rgb;
    if (tolerance)
        settings.tolerance = numberOf(*tolerance, "--tolerance");
    if (mode && *mode == "markers")
        settings.mode = ExtractionMode::markers;
    else if (mode && *mode == "bars")
        settings.mode = ExtractionMode::bars;
    else if (mode && *mode == "hbars")
        settings.mode = ExtractionMode::horizontalBars;
    else if (mode && *mode != "line")
        throw Refused{"--mode is line, markers, bars or hbars, not \"" + *mode + "\""};
    if (baseline) {
        if (settings.mode != ExtractionMode::bars && settings.mode != ExtractionMode::horizontalBars)
            throw Refused{"--baseline is for --mode bars or hbars"};
        settings.baseline = numberOf(*baseline, "--baseline");
    }
    if (box) {
        const std::vector<double> corners = numbersOf(*box, 4, "--box", "X0,Y0,X1,Y1");
        settings.box = {{corners[0], corners[1]}, {corners[2], corners[3]}};
    }
    // Options of another mode would be dropped without a word: they are refused instead.
    const bool markers = settings.mode == ExtractionMode::markers;
    if (step && markers)
        throw Refused{"--step is for line mode, and --mode is markers"};
    for (const auto& [given, option] : {std::pair{&start, "--start"}, {&gap, "--gap"}})
        if (*given && settings.mode != ExtractionMode::line)
            throw Refused{std::string(option) + " is for line mode, and --mode is " + *mode};
    if (size && !markers)
        throw Refused{"--size is for markers mode (--mode markers)"};
    if (step)
        settings.step = numberOf(*step, "--step");
    if (start) {
        const std::vector<double> point = numbersOf(*start, 2, "--start", "X,Y");
        settings.start = DPoint{point[0], point[1]};
    }
    if (gap)
        settings.gap = numberOf(*gap, "--gap");
    if (size) {
        const std::vector<double> sizes = numbersOf(*size, 2, "--size", "MIN,MAX");
        settings.markers.smallest = sizes[0];
        settings.markers.largest = sizes[1];
    }
    if (std::string problem = settings.problem(); !problem.empty())
        throw Refused{problem};
    return request;
}

} // namespace

std::string runExtract(int argc, char** argv, const PictureDecoder& decode)
{
    try {
        const ExtractRequest request = extractRequest(argc, argv);
        if (sameFile(request.project, request.output))
            return "the output " + request.output + " is the project itself; choose another file";

        ProjectReading reading = readProjectFile(request.project);
        if (!reading.document)
            return reading.error;
        const Document& document = *reading.document;
        const FitOutcome fit = fitCalibration(document.calibration(), document.axes());
        if (!fit.map)
            return request.project + ": no world values can be computed: " + fit.problem;

        const std::string path = request.picture.value_or(document.picture());
        if (path.empty())
            return request.project + " names no picture; give one with --picture FILE";
        if (!decode)
            return "this build of plotmeter cannot read pictures";
        // A PDF is read at the project's page and resolution, whichever file is given, so
        // that the calibration's picture coordinates mean the same; --page and --dpi override.
        const bool pdf = startsLikePdf(path);
        if (!pdf && (request.pageNumber || request.dpi))
            return std::string(request.pageNumber ? "--page" : "--dpi") + " is for PDF documents, and " + path +
                   " is not one";
        PdfPage page = document.pdfPage().value_or(PdfPage{});
        if (request.pageNumber)
            page.number = *request.pageNumber;
        if (request.dpi)
            page.dpi = *request.dpi;
        const DecodedPicture picture = decode(path, pdf ? std::optional<PdfPage>(page) : std::nullopt);
        if (!picture.problem.empty())
            return "cannot read " + path + ": " + picture.problem;

        const PictureExtraction found =
            extractFromPicture(picture.pixels, *fit.map, document.calibration(), request.settings, Work{});
        if (found.points.empty())
            return path + ": " + found.problem;

        // The points found, as the one series of the document written out.
        const std::string name = rgbText(request.settings.colour);
        const Colour colour{request.settings.colour.red, request.settings.colour.green, request.settings.colour.blue};
        Series series{defaultLook(name, 0), found.points};
        series.look.colour = colour;
        std::string text;
        if (const std::optional<char> separator = separatorForName(request.output)) {
            Document written;
            written.apply(change::SetAxes{document.axes()});
            written.apply(change::InsertSeries{0, std::move(series), 0});
            written.apply(change::EraseSeries{1, 0});
            TextLayout layout;
            layout.separator = *separator;
            text = delimitedText(written, *fit.map, layout, 0);
        } else {
            text = dataFileText(series, *fit.map);
        }
        SafeFileWriter file;
        if (!file.open(request.output) || !file.write(text) || !file.commit())
            return "cannot write " + request.output + ": " + file.error();
        return {};
    } catch (const Refused& refused) {
        return refused.why;
    }
}
