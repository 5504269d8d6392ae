#include "extraction/ColourSpace.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace colourspace {
namespace {

// The sRGB curve sampled every 1/16 of a channel step: blends of two colours fall between
// whole channel values.
constexpr int linearSteps = 16;
constexpr std::size_t linearSize = 255 * linearSteps + 2;
// The cube root of CIELAB's f(t), sampled on [0, 1] (a little beyond, for rounding).
constexpr int rootSteps = 4096;
constexpr std::size_t rootSize = rootSteps + 66;

constexpr double labEpsilon = 216.0 / 24389.0;
constexpr double labKappa = 24389.0 / 27.0;

double exactLinear(double channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double exactF(double t)
{
    return t > labEpsilon ? std::cbrt(t) : (labKappa * t + 16.0) / 116.0;
}

struct Tables {
    std::array<float, 256> wholeLinear{};
    std::array<float, linearSize> linear{};
    std::array<float, rootSize> root{};

    Tables()
    {
        for (std::size_t i = 0; i < wholeLinear.size(); ++i)
            wholeLinear[i] = static_cast<float>(exactLinear(static_cast<double>(i)));
        for (std::size_t i = 0; i < linear.size(); ++i)
            linear[i] = static_cast<float>(exactLinear(static_cast<double>(i) / linearSteps));
        for (std::size_t i = 0; i < root.size(); ++i)
            root[i] = static_cast<float>(exactF(static_cast<double>(i) / rootSteps));
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

float interpolate(const float* table, std::size_t size, float position)
{
    position = std::clamp(position, 0.0f, static_cast<float>(size - 2));
    const auto index = static_cast<std::size_t>(position);
    const float fraction = position - static_cast<float>(index);
    return table[index] + fraction * (table[index + 1] - table[index]);
}

float f(float t)
{
    if (t < 0.0f)
        t = 0.0f;
    return interpolate(tables().root.data(), rootSize, t * rootSteps);
}

} // namespace

float linearOf(float channel)
{
    return interpolate(tables().linear.data(), linearSize, channel * linearSteps);
}

float linearOf(std::uint8_t channel)
{
    return tables().wholeLinear[channel];
}

Lab labOfLinear(float red, float green, float blue)
{
    // sRGB primaries to XYZ, each row divided by the D65 white's X, Y, Z.
    const float x = (0.4124564f * red + 0.3575761f * green + 0.1804375f * blue) / 0.95047f;
    const float y = 0.2126729f * red + 0.7151522f * green + 0.0721750f * blue;
    const float z = (0.0193339f * red + 0.1191920f * green + 0.9503041f * blue) / 1.08883f;
    const float fx = f(x);
    const float fy = f(y);
    const float fz = f(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Lab fastLab(float red, float green, float blue)
{
    return labOfLinear(linearOf(red), linearOf(green), linearOf(blue));
}

Lab fastLab(Rgb colour)
{
    return labOfLinear(linearOf(colour.red), linearOf(colour.green), linearOf(colour.blue));
}

} // namespace colourspace
