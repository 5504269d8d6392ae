#include "cli/Command.h"

#include "cli/CalibrateCommand.h"
#include "cli/CheckCommand.h"
#include "cli/ExtractCommand.h"
#include "cli/SameFile.h"
#include "document/CsvFile.h"
#include "document/DataFile.h"
#include "document/ProjectFile.h"
#include "document/Resampling.h"
#include "document/SafeFileWriter.h"
#include "document/WorldMap.h"
#include "extraction/ColourMatch.h"
#include "extraction/LineExtraction.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view usage =
    "Usage:\n"
    "  plotmeter [FILE]\n"
    "      Opens the window. FILE is a picture of a plot (PNG, JPEG, TIFF, ...) or a\n"
    "      .plotmeter project.\n"
    "  plotmeter export PROJECT -o OUT [--series NAME]\n"
    "                   [--x-step S | --x-count N | --x-values V1,V2,...]\n"
    "                   [--interpolation linear|cubic]\n"
    "      Writes the data points of a .plotmeter project without opening a window.\n"
    "      An OUT ending in .csv gets every series, or only the one named, as\n"
    "      comma-separated values: series,x,y,screen_x,screen_y; one ending in .tsv the\n"
    "      same separated by tabs. Any other OUT gets the\n"
    "      data file of the series named, or else of the active series: screen x, screen y,\n"
    "      world x, world y on each line. World values come from the project's calibration\n"
    "      in the units of its axes: real values on a log axis, ISO 8601 dates in a CSV.\n"
    "      With a grid option each series is written at chosen x values instead, y\n"
    "      interpolated between its points sorted by x (points of equal x averaged), in\n"
    "      the axes' own space (log10 of the values on a log axis): straight lines, or a\n"
    "      natural cubic spline with --interpolation cubic. Nothing is extrapolated: only\n"
    "      x values within each series' own x-range are written, ends included, the\n"
    "      screen columns where the calibration puts each point. On polar axes x is the\n"
    "      angle and y the radius.\n"
    "  plotmeter check PROJECT\n"
    "      Shows how well the calibration points of a .plotmeter project agree with the\n"
    "      transform fitted to them: a header line, then one line per calibration point in\n"
    "      columns aligned with spaces,\n"
    "        row screen_x screen_y typed_x typed_y fitted_x fitted_y residual_x residual_y residual_px\n"
    "      row counting from 1. fitted is the world value the fit gives at the clicked\n"
    "      point; residual is typed minus fitted, in the axis' units (seconds on a date\n"
    "      axis); residual_px is how far, in pixels, the fit puts the typed values from\n"
    "      the clicked point. Typed values are shown as the calibration table shows them\n"
    "      (dates ISO 8601), fitted ones to a tenth of a pixel's worth, residuals to six\n"
    "      significant digits.\n"
    "      A row that takes no part shows - where it has no value, then why. Then the lines\n"
    "      \"rms_pixels R\", \"rotation_degrees A\" (world x against the picture's horizontal,\n"
    "      counterclockwise), \"axis_angle_degrees B\" (where the world axes meet in the\n"
    "      picture), \"note: ...\" when three points fit exactly, and each problem found on\n"
    "      a line of its own starting \"warning: \".\n"
    "  plotmeter extract PROJECT --colour '#RRGGBB' [--tolerance T]\n"
    "                    [--mode line|markers|bars|hbars] [--baseline V]\n"
    "                    [--box X0,Y0,X1,Y1] [--step PX] [--start X,Y] [--gap PX]\n"
    "                    [--size MIN,MAX] [--picture FILE] [--page N] [--dpi D] -o OUT\n"
    "      Finds the curve (line mode, the default) or the markers of one colour in the\n"
    "      project's picture, or in FILE (another picture of the same layout, so that one\n"
    "      calibration serves many), and writes their points as export does: OUT ending in\n"
    "      .csv gets series,x,y,screen_x,screen_y, with the series named after the colour.\n"
    "      It looks within the box given by two opposite corners in screen coordinates, as\n"
    "      in the data file, in either order; by default within the calibration points.\n"
    "      T is how far a pixel's colour may be from the colour, or from a blend of it with\n"
    "      the background (the edges of smoothed lines and markers), as a CIELAB colour\n"
    "      difference (default DEFAULT_TOLERANCE), and must stay below the colour's own\n"
    "      difference from the background; in line mode one point is taken every PX\n"
    "      pixels along the world x axis (default 1), following the curve through crossings\n"
    "      and small gaps; markers mode gives the centre of each marker. On polar axes line\n"
    "      mode cuts along the radius, one cut every PX of angle (default 1 degree). bars\n"
    "      gives one point a vertical bar: x at its centre, y at its end away from the\n"
    "      baseline (below it for negative bars); hbars the same for horizontal bars, y at\n"
    "      the centre and x at the end. The baseline is the value axis' zero where the box\n"
    "      holds it, else the box's lower end, or V.\n"
    "      --start X,Y (screen coordinates, as in the data file) chooses the curve: the one\n"
    "      of the colour passing nearest that point, within START_REACH pixels, followed both\n"
    "      ways from it and through crossings with curves of the same colour, keeping its\n"
    "      direction. --gap PX is the longest gap bridged between the dashes or dots of a\n"
    "      dashed or dotted line (default DEFAULT_GAP picture pixels); points come only from\n"
    "      what is drawn. Straight lines along the axes that span the box (frame, axes,\n"
    "      gridlines) and text are not taken for the curve.\n"
    "      --size MIN,MAX bounds the markers' diameters in picture pixels (by default, the\n"
    "      sizes near the most common one found); hollow and filled markers are found at\n"
    "      their centres, also where they touch a line of their colour, and characters of\n"
    "      text are left out.\n"
    "      A PDF picture is read at the project's page and resolution (page 1 at 300 dpi\n"
    "      when the project's picture is not a PDF); --page N and --dpi D choose others.\n"
    "  plotmeter calibrate PICTURE [--page N] [--dpi D] -o OUT.plotmeter\n"
    "      Finds the plot's axes in PICTURE (Find Axes): reads the tick labels, places\n"
    "      them at their ticks and works out each axis' scale, linear or log10, from at\n"
    "      least three labels that agree to half a pixel. Writes a project naming the\n"
    "      picture (page N of a PDF document at D dots per inch; page 1 at 300 by\n"
    "      default), the axes' scales and four calibration points where the tick lines\n"
    "      of the outermost labels cross. Prints a line per axis,\n"
    "        x: linear, 6 labels: 0 2 4 6 8 10\n"
    "      then a line starting \"warning: \" for each doubt. Exit status 0 when both\n"
    "      axes were read with confidence, 3 when the project was written with doubts\n"
    "      (check its calibration grid in the window before relying on it), 1 when no\n"
    "      calibration could be found (nothing is written; the reason goes to the\n"
    "      standard error stream). Tick labels are read with Tesseract.\n"
    "  plotmeter --help      Shows this.\n"
    "  plotmeter --version   Shows the version.\n"
    "\n"
    "Options of export:\n"
    "  -o, --output OUT      the file to write (replaced whole, or left as it was)\n"
    "  --series NAME         the series to write\n"
    "  --x-step S            x at the whole multiples of S: on a log x axis S is in\n"
    "                        decades (x = 10^(k S)), on a date axis in seconds, on\n"
    "                        polar axes in the angle's degrees or radians\n"
    "  --x-count N           N values of x (2 or more) evenly spaced from each series'\n"
    "                        smallest x to its largest (evenly in log10 x on a log axis)\n"
    "  --x-values V1,V2,...  exactly these x values, in this order (dates or seconds on\n"
    "                        a date axis), less those outside a series' x-range\n"
    "  --interpolation I     linear (the default) or cubic\n"
    "\n"
    "Exit status: 0 on success; 1 after one line on the standard error stream saying why\n"
    "(for extract also: nothing of the colour was found; for check: the project cannot be\n"
    "read, fewer than three points can take part, or they define no transform; for\n"
    "calibrate: no calibration was found; nothing is written then); 3 when check warns or\n"
    "calibrate has doubts.\n";

// Thrown to end a command with its one line of complaint.
struct Refusal {
    std::string message;
};

struct ExportRequest {
    std::string project;
    std::string output;
    std::optional<std::string> series;
    std::optional<std::string> grid; // the grid option as given, and its value
    std::string gridValue;
    Resampling resampling;
};

constexpr std::pair<std::string_view, Resampling::Grid> gridOptions[] = {
    {"--x-step", Resampling::Grid::step},
    {"--x-count", Resampling::Grid::count},
    {"--x-values", Resampling::Grid::values},
};

// Reads the grid's value on an axis of scale x, or refuses it naming the option.
void readGridOption(ExportRequest& request, AxisScale x)
{
    for (const auto& [option, grid] : gridOptions)
        if (request.grid == option)
            if (const std::string problem = readGrid(grid, request.gridValue, x, request.resampling); !problem.empty())
                throw Refusal{std::string(option) + " " + problem};
}

void setOnce(std::optional<std::string>& slot, std::string value, std::string_view option)
{
    if (slot)
        throw Refusal{std::string(option) + " is given twice"};
    if (value.empty())
        throw Refusal{std::string(option) + " needs a value after it"};
    slot = std::move(value);
}

ExportRequest exportRequest(int argc, char** argv)
{
    std::optional<std::string> project;
    std::optional<std::string> output;
    std::optional<std::string> series;
    std::optional<std::string> grid;
    std::optional<std::string> gridValue;
    std::optional<std::string> interpolation;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto valueOf = [&](std::string_view option) -> std::string {
            if (argument.size() > option.size() && argument[option.size()] == '=')
                return std::string(argument.substr(option.size() + 1));
            if (i + 1 >= argc)
                throw Refusal{std::string(option) + " needs a value after it"};
            return argv[++i];
        };
        const auto is = [&](std::string_view option) {
            return argument == option || (option.starts_with("--") && argument.starts_with(option) &&
                                          argument.size() > option.size() && argument[option.size()] == '=');
        };
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (project)
                throw Refusal{"export takes one project, but \"" + std::string(argument) + "\" follows \"" + *project +
                              "\""};
            project = std::string(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (is("-o")) {
            setOnce(output, valueOf("-o"), "-o");
        } else if (is("--output")) {
            setOnce(output, valueOf("--output"), "--output");
        } else if (is("--series")) {
            setOnce(series, valueOf("--series"), "--series");
        } else if (is("--interpolation")) {
            setOnce(interpolation, valueOf("--interpolation"), "--interpolation");
        } else if (const auto* named = std::find_if(std::begin(gridOptions), std::end(gridOptions),
                                                    [&](const auto& option) { return is(option.first); });
                   named != std::end(gridOptions)) {
            const std::string option(named->first);
            if (grid && *grid != option)
                throw Refusal{"only one of --x-step, --x-count and --x-values at a time, but " + option + " follows " +
                              *grid};
            setOnce(gridValue, valueOf(option), option);
            grid = option;
        } else {
            throw Refusal{"unknown option \"" + std::string(argument) + "\" (plotmeter --help lists them)"};
        }
    }
    if (!project || project->empty())
        throw Refusal{"export needs a project: plotmeter export PROJECT -o OUT"};
    if (!output)
        throw Refusal{"export needs a file to write: plotmeter export PROJECT -o OUT"};
    ExportRequest request{*project, *output, series, grid, gridValue.value_or(""), {}};
    // The values are read once the x axis is known: a date axis takes dates too.
    if (request.grid != "--x-values")
        readGridOption(request, AxisScale::linear);
    if (interpolation) {
        const std::optional<Resampling::Interpolation> named = interpolationNamed(*interpolation);
        if (!named)
            throw Refusal{"--interpolation is linear or cubic, not \"" + *interpolation + "\""};
        if (!grid)
            throw Refusal{"--interpolation needs the x values to interpolate at: --x-step, --x-count or --x-values"};
        request.resampling.interpolation = *named;
    }
    return request;
}

std::size_t seriesNamed(const Document& document, const std::string& name, const std::string& project)
{
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < document.series().size(); ++i)
        if (document.series()[i].look.name == name)
            found.push_back(i);
    if (found.empty())
        throw Refusal{project + " has no series named \"" + name + "\""};
    if (found.size() > 1)
        throw Refusal{project + " has " + std::to_string(found.size()) + " series named \"" + name +
                      "\"; give them different names in Plotmeter first"};
    return found.front();
}

void runExport(int argc, char** argv)
{
    const ExportRequest request = exportRequest(argc, argv);
    if (sameFile(request.project, request.output))
        throw Refusal{"the output " + request.output + " is the project itself; choose another file"};

    ProjectReading reading = readProjectFile(request.project);
    if (!reading.document)
        throw Refusal{reading.error};
    const Document& document = *reading.document;

    std::optional<std::size_t> chosen;
    if (request.series)
        chosen = seriesNamed(document, *request.series, request.project);

    const FitOutcome fit = fitCalibration(document.calibration(), document.axes());
    if (!fit.map)
        throw Refusal{request.project + ": no world values can be computed: " + fit.problem};

    ExportRequest resampled = request;
    readGridOption(resampled, fit.map->scales.x);
    const Resampling& resampling = resampled.resampling;

    std::string text;
    const std::optional<char> separator = separatorForName(request.output);
    if (!separator)
        chosen = chosen.value_or(document.activeSeries());
    if (resampling.resamples()) {
        const ResampledSeries sampled = resampleSeries(document.series(), *fit.map, resampling, chosen);
        if (!sampled.problem.empty())
            throw Refusal{request.project + ": " + sampled.problem};
        if (separator) {
            TextLayout layout;
            layout.separator = *separator;
            text = delimitedText(sampled.series, fit.map->scales, layout);
        } else {
            text = dataFileText(sampled.series.front().points);
        }
    } else if (separator) {
        TextLayout layout;
        layout.separator = *separator;
        text = delimitedText(document, *fit.map, layout, chosen);
    } else {
        text = dataFileText(document.series()[*chosen], *fit.map);
    }
    SafeFileWriter file;
    if (!file.open(request.output) || !file.write(text) || !file.commit())
        throw Refusal{"cannot write " + request.output + ": " + file.error()};
}

// The one project `plotmeter check` is given.
std::string checkedProject(int argc, char** argv)
{
    std::optional<std::string> project;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with('-') && argument != "-") {
            throw Refusal{"unknown option \"" + std::string(argument) + "\" (plotmeter --help lists them)"};
        } else if (project) {
            throw Refusal{"check takes one project, but \"" + std::string(argument) + "\" follows \"" + *project +
                          "\""};
        } else {
            project = std::string(argument);
        }
    }
    if (!project || project->empty())
        throw Refusal{"check needs a project: plotmeter check PROJECT"};
    return *project;
}

// One line, whatever a path or a series name holds.
std::string oneLine(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    return text;
}

} // namespace

bool isCommand(int argc, char** argv)
{
    if (argc < 2 || argv[1] == nullptr)
        return false;
    const std::string_view command = argv[1];
    return command == "export" || command == "check" || command == "extract" || command == "calibrate" ||
           command == "--help" || command == "-h" || command == "--version";
}

int runCommand(int argc, char** argv, std::ostream& out, std::ostream& err, const PictureDecoder& decode,
               const LabelReaders& readers)
{
    std::string complaint;
    try {
        if (!isCommand(argc, argv))
            throw Refusal{"no command given (plotmeter --help lists them)"};
        const std::string_view command = argv[1];
        if (command == "--help" || command == "-h") {
            std::string text(usage);
            for (const auto& [name, value] : {std::pair{std::string_view("DEFAULT_TOLERANCE"), defaultTolerance},
                                              {std::string_view("DEFAULT_GAP"), defaultGap},
                                              {std::string_view("START_REACH"), startReach}}) {
                char number[32];
                std::snprintf(number, sizeof number, "%g", value);
                text.replace(text.find(name), name.size(), number);
            }
            out << text << std::flush;
            return 0;
        }
        if (command == "--version") {
            out << "plotmeter " PLOTMETER_VERSION "\n" << std::flush;
            return 0;
        }
        if (command == "check") {
            const CheckOutcome check = checkProject(checkedProject(argc, argv));
            if (check.status == 1)
                throw Refusal{check.problem};
            out << check.report << std::flush;
            return check.status;
        }
        if (command == "calibrate") {
            const CalibrateOutcome calibrated = runCalibrate(argc, argv, decode, readers);
            if (calibrated.status == 1)
                throw Refusal{calibrated.problem};
            out << calibrated.report << std::flush;
            return calibrated.status;
        }
        if (command == "extract") {
            if (std::string problem = runExtract(argc, argv, decode); !problem.empty())
                throw Refusal{std::move(problem)};
            return 0;
        }
        runExport(argc, argv);
        return 0;
    } catch (const Refusal& refusal) {
        complaint = refusal.message;
    } catch (const std::bad_alloc&) {
        complaint = "there is not enough memory for the command";
    } catch (const std::exception& problem) {
        complaint = problem.what();
    }
    err << "plotmeter: " << oneLine(complaint) << '\n' << std::flush;
    return 1;
}
