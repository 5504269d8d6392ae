#include "axes/ScaleFit.h"

#include <algorithm>
#include <cmath>

double AxisFit::positionOf(double value) const
{
    return offset + slope * (scale == AxisScale::log10 ? std::log10(value) : value);
}

namespace {

struct Line {
    double offset = 0.0;
    double slope = 0.0;
};

std::optional<Line> leastSquares(const std::vector<double>& f, const std::vector<double>& p,
                                 const std::vector<std::size_t>& use)
{
    if (use.size() < 2)
        return std::nullopt;
    double mf = 0.0, mp = 0.0;
    for (const std::size_t i : use) {
        mf += f[i];
        mp += p[i];
    }
    mf /= static_cast<double>(use.size());
    mp /= static_cast<double>(use.size());
    double sff = 0.0, sfp = 0.0;
    for (const std::size_t i : use) {
        sff += (f[i] - mf) * (f[i] - mf);
        sfp += (f[i] - mf) * (p[i] - mp);
    }
    if (!(sff > 0.0))
        return std::nullopt;
    const double slope = sfp / sff;
    if (!std::isfinite(slope) || slope == 0.0)
        return std::nullopt;
    return Line{mp - slope * mf, slope};
}

std::vector<std::size_t> within(const std::vector<double>& f, const std::vector<double>& p, const Line& line,
                                double tolerance)
{
    std::vector<std::size_t> in;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (std::abs(p[i] - (line.offset + line.slope * f[i])) <= tolerance)
            in.push_back(i);
    return in;
}

double rmsOf(const std::vector<double>& f, const std::vector<double>& p, const Line& line,
             const std::vector<std::size_t>& use)
{
    double sum = 0.0;
    for (const std::size_t i : use) {
        const double d = p[i] - (line.offset + line.slope * f[i]);
        sum += d * d;
    }
    return use.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(use.size()));
}

// Whether the values are all whole multiples of their smallest step (a linear axis labelled
// every 0.2, or a log axis every decade), to a part in a million.
bool regularSteps(std::vector<double> f)
{
    std::sort(f.begin(), f.end());
    f.erase(std::unique(f.begin(), f.end()), f.end());
    if (f.size() < 3)
        return false;
    double step = f[1] - f[0];
    for (std::size_t i = 1; i < f.size(); ++i)
        step = std::min(step, f[i] - f[i - 1]);
    const double scale = std::max(std::abs(f.front()), std::abs(f.back()));
    if (!(step > scale * 1e-9))
        return false;
    for (std::size_t i = 1; i < f.size(); ++i) {
        const double steps = (f[i] - f[i - 1]) / step;
        if (std::abs(steps - std::round(steps)) > 1e-6 * std::max(1.0, steps) || steps > 1000.0)
            return false;
    }
    return true;
}

std::optional<AxisFit> fitWith(AxisScale scale, const std::vector<ValueAt>& labels, double tolerance)
{
    std::vector<double> f, p;
    std::vector<std::size_t> index;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!std::isfinite(labels[i].value) || !std::isfinite(labels[i].position) ||
            (scale == AxisScale::log10 && !(labels[i].value > 0.0)))
            continue;
        f.push_back(scale == AxisScale::log10 ? std::log10(labels[i].value) : labels[i].value);
        p.push_back(labels[i].position);
        index.push_back(i);
    }
    std::optional<Line> best;
    std::vector<std::size_t> bestIn;
    double bestRms = 0.0;
    for (std::size_t i = 0; i < f.size(); ++i)
        for (std::size_t j = i + 1; j < f.size(); ++j) {
            const std::optional<Line> pair = leastSquares(f, p, {i, j});
            if (!pair)
                continue;
            std::vector<std::size_t> in = within(f, p, *pair, tolerance);
            // Refit on the agreeing labels until they stay the same.
            std::optional<Line> line = pair;
            for (int round = 0; round < 3; ++round) {
                const std::optional<Line> refit = leastSquares(f, p, in);
                if (!refit)
                    break;
                std::vector<std::size_t> again = within(f, p, *refit, tolerance);
                if (again.size() < in.size())
                    break;
                line = refit;
                const bool same = again == in;
                in = std::move(again);
                if (same)
                    break;
            }
            // A line through two labels that, computed, agrees with fewer (the numbers too
            // far apart for doubles) is no scale.
            if (in.size() < 2)
                continue;
            const double rms = rmsOf(f, p, *line, in);
            if (!best || in.size() > bestIn.size() || (in.size() == bestIn.size() && rms < bestRms)) {
                best = line;
                bestIn = in;
                bestRms = rms;
            }
        }
    if (!best)
        return std::nullopt;
    AxisFit fit;
    fit.scale = scale;
    fit.offset = best->offset;
    fit.slope = best->slope;
    fit.rms = bestRms;
    std::vector<double> agreeingValues;
    for (const std::size_t i : bestIn) {
        fit.agreeing.push_back(index[i]);
        agreeingValues.push_back(f[i]);
    }
    fit.regular = regularSteps(agreeingValues);
    return fit;
}

} // namespace

std::optional<AxisFit> fitAxis(const std::vector<ValueAt>& labels, double tolerance)
{
    const std::optional<AxisFit> linear = fitWith(AxisScale::linear, labels, tolerance);
    const std::optional<AxisFit> log = fitWith(AxisScale::log10, labels, tolerance);
    if (!linear || !log)
        return linear ? linear : log;
    if (log->agreeing.size() != linear->agreeing.size())
        return log->agreeing.size() > linear->agreeing.size() ? log : linear;
    return log->rms < linear->rms ? log : linear;
}
