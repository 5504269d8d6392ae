#include "document/ProjectFormat.h"
#include "calibration/AxesSpace.h"
#include "document/Measuring.h"
#include "platform/NumberText.h"

#include <charconv>
#include <cmath>

namespace projectformat {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `s`; 0 when it is not one.
std::size_t utf8Length(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const auto follows = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xbf) {
        return byte(i) >= low && byte(i) <= high;
    };
    const unsigned first = byte(0);
    if (first < 0x80)
        return 1;
    if (first >= 0xc2 && first <= 0xdf)
        return follows(1) ? 2 : 0;
    if (first >= 0xe0 && first <= 0xef) {
        const unsigned low = first == 0xe0 ? 0xa0 : 0x80;
        const unsigned high = first == 0xed ? 0x9f : 0xbf;
        return follows(1, low, high) && follows(2) ? 3 : 0;
    }
    if (first >= 0xf0 && first <= 0xf4) {
        const unsigned low = first == 0xf0 ? 0x90 : 0x80;
        const unsigned high = first == 0xf4 ? 0x8f : 0xbf;
        return follows(1, low, high) && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

// A JSON string. Bytes that are not UTF-8 (JSON cannot hold them) become U+FFFD.
void appendString(std::string& out, std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && c != '"' && c != '\\' && u < 0x80) {
            out += c;
            ++i;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
            ++i;
        } else if (u < 0x20) {
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 0xf];
            }
            ++i;
        } else if (const std::size_t length = utf8Length(text.substr(i)); length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xef\xbf\xbd";
            ++i;
        }
    }
    out += '"';
}

class ProjectWriter {
  public:
    explicit ProjectWriter(std::string& out) : out_(out) {}

    void write(const Document& document, const std::string& folder, bool absolutePicture)
    {
        std::size_t points = 0;
        for (const Series& series : document.series())
            points += series.points.size();
        out_.reserve(256 + document.calibration().size() * 64 + document.series().size() * 160 + points * 44);

        const AxisScales axes = document.axes();
        out_ += "{\n  \"plotmeter\": ";
        out_ += std::to_string(axes.polar ? formatVersion : cartesianFormatVersion);
        out_ += ",\n  \"picture\": ";
        appendString(out_, pictureAsWritten(document.picture(), folder, absolutePicture));
        if (const std::optional<PdfPage>& page = document.pdfPage()) {
            out_ += ",\n  \"page\": ";
            out_ += std::to_string(page->number);
            out_ += ", \"dpi\": ";
            out_ += shortestNumber(page->dpi);
        }
        if (const std::optional<PolarAxes>& polar = axes.polar) {
            out_ += ",\n  \"axes\": {\"kind\": \"polar\", \"angle\": ";
            appendString(out_, angleUnitName(polar->angle));
            out_ += polar->clockwise ? ", \"clockwise\": true" : ", \"clockwise\": false";
            out_ += ", \"radius\": ";
            appendString(out_, axisScaleName(polar->radius));
            out_ += ", \"radius_at_centre\": ";
            number(polar->radiusAtCentre, "the axes", "the radius at the centre");
        } else {
            out_ += ",\n  \"axes\": {\"x\": ";
            appendString(out_, axisScaleName(axes.x));
            out_ += ", \"y\": ";
            appendString(out_, axisScaleName(axes.y));
        }
        out_ += "},\n  \"calibration\": [";
        const auto& calibration = document.calibration();
        for (std::size_t i = 0; i < calibration.size(); ++i) {
            const CalibrationPoint& point = calibration[i];
            const std::string where = "calibration point " + std::to_string(i + 1);
            out_ += i == 0 ? "\n    {\"screen\": [" : ",\n    {\"screen\": [";
            number(point.screen.x, where, "screen x");
            out_ += ", ";
            number(point.screen.y, where, "screen y");
            out_ += "], \"world\": [";
            optionalNumber(point.worldX, where, "world x");
            out_ += ", ";
            optionalNumber(point.worldY, where, "world y");
            out_ += "]}";
        }
        out_ += calibration.empty() ? "],\n" : "\n  ],\n";

        out_ += "  \"series\": [";
        const auto& allSeries = document.series();
        for (std::size_t s = 0; s < allSeries.size(); ++s) {
            const Series& series = allSeries[s];
            out_ += s == 0 ? "\n    {\n      \"name\": " : ",\n    {\n      \"name\": ";
            appendString(out_, series.look.name);
            out_ += ",\n      \"colour\": ";
            appendString(out_, series.look.colour.name());
            out_ += ",\n      \"marker\": ";
            appendString(out_, markerShapeName(series.look.marker));
            out_ += series.look.visible ? ",\n      \"visible\": true" : ",\n      \"visible\": false";
            out_ += ",\n      \"points\": [";
            for (std::size_t p = 0; p < series.points.size(); ++p) {
                out_ += p == 0 ? "\n        [" : ",\n        [";
                const DPoint& point = series.points[p];
                if (!std::isfinite(point.x) || !std::isfinite(point.y))
                    noteProblem("series " + std::to_string(s + 1) + ", point " + std::to_string(p + 1),
                                std::isfinite(point.x) ? "y" : "x");
                appendNumber(point.x);
                out_ += ", ";
                appendNumber(point.y);
                out_ += ']';
            }
            out_ += series.points.empty() ? "]\n    }" : "\n      ]\n    }";
        }
        out_ += "\n  ],\n  \"active_series\": ";
        out_ += std::to_string(document.activeSeries());
        writeMeasurements(document.measurements());
        out_ += "\n}\n";
    }

    // Only when there are any: a project without them reads as format 1 always did.
    void writeMeasurements(const Measurements& measurements)
    {
        if (!measurements.list.empty()) {
            out_ += ",\n  \"measurements\": [";
            for (std::size_t m = 0; m < measurements.list.size(); ++m) {
                const Measurement& measurement = measurements.list[m];
                const std::string where = "measurement " + std::to_string(m + 1);
                out_ += m == 0 ? "\n    {\"kind\": " : ",\n    {\"kind\": ";
                appendString(out_, measurementKindName(measurement.kind));
                out_ += measurement.closed ? ", \"closed\": true, \"points\": [" : ", \"closed\": false, \"points\": [";
                for (std::size_t p = 0; p < measurement.points.size(); ++p) {
                    out_ += p == 0 ? "[" : ", [";
                    number(measurement.points[p].x, where, "x");
                    out_ += ", ";
                    number(measurement.points[p].y, where, "y");
                    out_ += ']';
                }
                out_ += "]}";
            }
            out_ += "\n  ]";
        }
        if (const std::optional<ScaleBar>& scale = measurements.scale) {
            out_ += ",\n  \"scale\": {\"screen\": [[";
            number(scale->ends[0].x, "the scale bar", "x");
            out_ += ", ";
            number(scale->ends[0].y, "the scale bar", "y");
            out_ += "], [";
            number(scale->ends[1].x, "the scale bar", "x");
            out_ += ", ";
            number(scale->ends[1].y, "the scale bar", "y");
            out_ += "]], \"length\": ";
            number(scale->length, "the scale bar", "length");
            out_ += ", \"unit\": ";
            appendString(out_, scale->unit);
            out_ += '}';
        }
    }

    const std::string& problem() const { return problem_; }

  private:
    void number(double value, const std::string& where, const char* what)
    {
        if (!std::isfinite(value))
            noteProblem(where, what);
        appendNumber(value);
    }

    void optionalNumber(const std::optional<double>& value, const std::string& where, const char* what)
    {
        if (value)
            number(*value, where, what);
        else
            out_ += "null";
    }

    // The shortest text that reads back as the same double, always with a point or an
    // exponent so that it reads back as a double (-0.0 keeps its sign).
    void appendNumber(double value)
    {
        if (!std::isfinite(value)) {
            out_ += "null";
            return;
        }
        char buffer[32];
        const auto [end, failed] = std::to_chars(buffer, buffer + sizeof buffer, value);
        const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
        out_ += text;
        if (failed == std::errc{} && text.find_first_of(".e") == std::string_view::npos)
            out_ += ".0";
    }

    void noteProblem(const std::string& where, const char* what)
    {
        if (problem_.empty())
            problem_ = where + ": " + what + " is not a finite number, which a project file cannot hold";
    }

    std::string& out_;
    std::string problem_;
};

} // namespace

std::string writeText(const Document& document, const std::string& folder, std::string& problem,
                      bool absolutePicture)
{
    std::string text;
    ProjectWriter writer(text);
    writer.write(document, folder, absolutePicture);
    problem = writer.problem();
    return text;
}

} // namespace projectformat
