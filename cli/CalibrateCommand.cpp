#include "cli/CalibrateCommand.h"

#include "axes/FindAxes.h"
#include "cli/SameFile.h"
#include "document/ProjectFile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

struct Refused {
    std::string why;
};

struct CalibrateRequest {
    std::string picture;
    std::string output;
    std::optional<std::string> page;
    std::optional<std::string> dpi;
};

CalibrateRequest calibrateRequest(int argc, char** argv)
{
    CalibrateRequest request;
    std::optional<std::string> picture, output;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (picture)
                throw Refused{"calibrate takes one picture, but \"" + std::string(argument) + "\" follows \"" +
                              *picture + "\""};
            picture = std::string(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, argument.starts_with("--") ? equals : std::string_view::npos);
        std::optional<std::string>* slot = nullptr;
        if (name == "-o" || name == "--output")
            slot = &output;
        else if (name == "--page")
            slot = &request.page;
        else if (name == "--dpi")
            slot = &request.dpi;
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
    if (!picture || picture->empty())
        throw Refused{"calibrate needs a picture: plotmeter calibrate PICTURE -o OUT.plotmeter"};
    if (!output)
        throw Refused{"calibrate needs a project to write: -o OUT.plotmeter"};
    request.picture = *picture;
    request.output = *output;
    return request;
}

// A whole number from 1 to `largest`, written with digits only.
std::optional<long> wholeNumber(const std::string& text, long largest)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > largest)
        return std::nullopt;
    return value;
}

PdfPage pageOf(const CalibrateRequest& request)
{
    PdfPage page;
    if (request.page) {
        const std::optional<long> number = wholeNumber(*request.page, 1'000'000);
        if (!number)
            throw Refused{"--page needs a page number, a whole number from 1, not \"" + *request.page + "\""};
        page.number = static_cast<int>(*number);
    }
    if (request.dpi) {
        double dpi = 0.0;
        const std::string& text = *request.dpi;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), dpi);
        if (error != std::errc{} || end != text.data() + text.size() || !(dpi >= PdfPage::lowestDpi) ||
            !(dpi <= PdfPage::highestDpi))
            throw Refused{"--dpi needs a resolution from " + std::to_string(static_cast<int>(PdfPage::lowestDpi)) +
                          " to " + std::to_string(static_cast<int>(PdfPage::highestDpi)) + " dots per inch, not \"" +
                          text + "\""};
        page.dpi = dpi;
    }
    return page;
}

std::string axisLine(const char* name, const AxisReading& axis)
{
    std::string line = std::string(name) + ": " + std::string(axisScaleName(axis.scale)) + ", " +
                       std::to_string(axis.values.size()) + (axis.values.size() == 1 ? " label:" : " labels:");
    for (const double value : axis.values) {
        char text[32];
        const auto [end, error] = std::to_chars(text, text + sizeof text, value);
        line += ' ';
        line.append(text, error == std::errc{} ? end : text);
    }
    return line + "\n";
}

} // namespace

CalibrateOutcome runCalibrate(int argc, char** argv, const PictureDecoder& decode, const LabelReaders& readers)
{
    CalibrateOutcome outcome;
    try {
        const CalibrateRequest request = calibrateRequest(argc, argv);
        const bool pdf = startsLikePdf(request.picture);
        const PdfPage page = pageOf(request);
        if (!pdf && (request.page || request.dpi))
            throw Refused{request.picture + " is not a PDF document, so --page and --dpi do not apply to it"};
        if (sameFile(request.picture, request.output))
            throw Refused{"the output " + request.output + " is the picture itself; choose another file"};
        if (!decode)
            throw Refused{"this build of plotmeter cannot read pictures"};
        const DecodedPicture picture = decode(request.picture, pdf ? std::optional<PdfPage>(page) : std::nullopt);
        if (!picture.problem.empty())
            throw Refused{"cannot read " + request.picture + ": " + picture.problem};

        const AxesProposal proposal = findAxes(picture.pixels, Work{}, readers);
        if (!proposal.proposed())
            throw Refused{request.picture + ": " + proposal.problem};

        Document document;
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(request.picture, error);
        document.setPicture(error ? request.picture : absolute.lexically_normal().string());
        if (pdf)
            document.setPdfPage(page);
        document.apply(change::SetAxes{proposal.axes});
        for (const ProposedPoint& point : proposal.points)
            document.apply(
                change::InsertCalibration{document.calibration().size(), {point.picture, point.worldX, point.worldY}});
        std::string why;
        if (!writeProjectFile(document, request.output, why))
            throw Refused{why};

        outcome.report = axisLine("x", proposal.x) + axisLine("y", proposal.y);
        for (const std::string& doubt : proposal.doubts)
            outcome.report += "warning: " + doubt + "\n";
        outcome.status = proposal.confident ? 0 : 3;
        return outcome;
    } catch (const Refused& refused) {
        outcome.status = 1;
        outcome.problem = refused.why;
        return outcome;
    }
}
