#include "AxesCorpus.h"

#include "axes/ocr/TesseractLabelReader.h"

#include <QImage>
#include <QString>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

double fitSpace(AxisScale scale, double value)
{
    return scale == AxisScale::log10 ? std::log10(value) : value;
}

// The affine map from fit space to picture coordinates that fits the pairs best.
struct Affine {
    double m[2][3] = {};
    DPoint operator()(double fx, double fy) const
    {
        return {m[0][0] * fx + m[0][1] * fy + m[0][2], m[1][0] * fx + m[1][1] * fy + m[1][2]};
    }
};

bool fitAffine(const std::vector<std::array<double, 2>>& from, const std::vector<DPoint>& to, Affine& out)
{
    // Normal equations of [fx fy 1] * m = picture, solved by Cramer's rule on the 3 x 3.
    double a[3][3] = {};
    double bx[3] = {}, by[3] = {};
    for (std::size_t i = 0; i < from.size(); ++i) {
        const double v[3] = {from[i][0], from[i][1], 1.0};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                a[r][c] += v[r] * v[c];
            bx[r] += v[r] * to[i].x;
            by[r] += v[r] * to[i].y;
        }
    }
    const auto det = [](const double q[3][3]) {
        return q[0][0] * (q[1][1] * q[2][2] - q[1][2] * q[2][1]) - q[0][1] * (q[1][0] * q[2][2] - q[1][2] * q[2][0]) +
               q[0][2] * (q[1][0] * q[2][1] - q[1][1] * q[2][0]);
    };
    const double d = det(a);
    if (!(std::abs(d) > 1e-300))
        return false;
    for (int k = 0; k < 3; ++k) {
        double ax[3][3], ay[3][3];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                ax[r][c] = c == k ? bx[r] : a[r][c];
                ay[r][c] = c == k ? by[r] : a[r][c];
            }
        out.m[0][k] = det(ax) / d;
        out.m[1][k] = det(ay) / d;
    }
    return true;
}

AxisScale scaleNamed(const std::string& name)
{
    return name == "log10" ? AxisScale::log10 : AxisScale::linear;
}

} // namespace

std::string makeAxesCorpus(const std::string& folder, const std::string& set)
{
    const std::string command = "'" PLOTMETER_SOURCE_DIR "/tools/axes-corpus/make-axes-corpus' '" + folder +
                                "' --set " + set + " > '" + folder + "/make.log' 2>&1";
    if (std::system(command.c_str()) != 0)
        return "make-axes-corpus failed; see " + folder + "/make.log";
    return {};
}

std::vector<CorpusPicture> readAxesCorpus(const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".json")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<CorpusPicture> pictures;
    for (const auto& file : files) {
        std::ifstream in(file);
        const nlohmann::json truth = nlohmann::json::parse(in);
        CorpusPicture p;
        p.name = truth.at("picture").get<std::string>();
        p.path = (std::filesystem::path(folder) / p.name).string();
        p.readable = truth.at("readable").get<bool>();
        p.labelsAlone = truth.value("labels_alone", true);
        p.axes = {scaleNamed(truth.at("axes").at("x")), scaleNamed(truth.at("axes").at("y"))};
        const auto& area = truth.at("area");
        for (std::size_t i = 0; i < area.size() && i < 4; ++i)
            p.area[i] = area[i].get<double>();
        for (const auto& point : truth.at("points"))
            p.points.push_back({point.at("world")[0].get<double>(),
                                point.at("world")[1].get<double>(),
                                {point.at("picture")[0].get<double>(), point.at("picture")[1].get<double>()}});
        p.drawnBy = truth.at("drawn_by").get<std::string>();
        pictures.push_back(std::move(p));
    }
    return pictures;
}

DPoint truthAt(const CorpusPicture& truth, double worldX, double worldY)
{
    std::vector<std::array<double, 2>> from;
    std::vector<DPoint> to;
    for (const TruthPoint& t : truth.points) {
        from.push_back({fitSpace(truth.axes.x, t.worldX), fitSpace(truth.axes.y, t.worldY)});
        to.push_back(t.picture);
    }
    Affine real;
    if (!fitAffine(from, to, real))
        return {std::nan(""), std::nan("")};
    return real(fitSpace(truth.axes.x, worldX), fitSpace(truth.axes.y, worldY));
}

AxesVerdict judge(const CorpusPicture& truth, const AxesProposal& proposal)
{
    AxesVerdict verdict;
    verdict.proposed = proposal.proposed();
    verdict.confident = proposal.proposed() && proposal.confident;
    verdict.worstMiss = std::numeric_limits<double>::infinity();
    if (!truth.readable || truth.points.size() < 3 || !proposal.proposed() || proposal.axes != truth.axes)
        return verdict;
    std::vector<std::array<double, 2>> from;
    std::vector<DPoint> to;
    for (const TruthPoint& t : truth.points) {
        from.push_back({fitSpace(truth.axes.x, t.worldX), fitSpace(truth.axes.y, t.worldY)});
        to.push_back(t.picture);
    }
    Affine real, proposed;
    if (!fitAffine(from, to, real))
        return verdict;
    from.clear();
    to.clear();
    for (const ProposedPoint& p : proposal.points) {
        if ((proposal.axes.x == AxisScale::log10 && !(p.worldX > 0.0)) ||
            (proposal.axes.y == AxisScale::log10 && !(p.worldY > 0.0)))
            return verdict;
        from.push_back({fitSpace(proposal.axes.x, p.worldX), fitSpace(proposal.axes.y, p.worldY)});
        to.push_back(p.picture);
    }
    if (!fitAffine(from, to, proposed))
        return verdict;
    // A grid over the plot area, in fit space.
    const double x0 = fitSpace(truth.axes.x, truth.area[0]), x1 = fitSpace(truth.axes.x, truth.area[1]);
    const double y0 = fitSpace(truth.axes.y, truth.area[2]), y1 = fitSpace(truth.axes.y, truth.area[3]);
    double worst = 0.0;
    for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; ++j) {
            const double fx = x0 + (x1 - x0) * i / 10.0;
            const double fy = y0 + (y1 - y0) * j / 10.0;
            const DPoint a = real(fx, fy);
            const DPoint b = proposed(fx, fy);
            worst = std::max(worst, std::hypot(a.x - b.x, a.y - b.y));
        }
    verdict.worstMiss = worst;
    verdict.right = worst <= rightWithinPixels;
    return verdict;
}

AxesProposal findAxesIn(const CorpusPicture& picture, double* seconds)
{
    const QImage image = QImage(QString::fromStdString(picture.path)).convertToFormat(QImage::Format_RGB32);
    const PixelView view{reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
                         static_cast<std::ptrdiff_t>(image.bytesPerLine() / 4)};
    const auto start = std::chrono::steady_clock::now();
    AxesProposal proposal = findAxes(view, Work{}, [] { return std::make_unique<TesseractLabelReader>(); });
    if (seconds != nullptr)
        *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return proposal;
}
