#include "extraction/ColourMatch.h"

#include "extraction/ColourSpace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::uint32_t noPixel = 0xFFFFFFFFu; // never a colour: colours are kept without alpha

// Edge pixels covered less than this carry too little of the mark to tell it from noise.
constexpr float minimumCoverage = 0.05f;
// Below this luma difference (of 255) between target and background, coverage is measured
// on all three channels instead.
constexpr float minimumLumaStep = 16.0f;
// Below this chroma difference the target is a grey of the background's hue: no chroma test.
constexpr float minimumChromaStep = 8.0f;

struct Ycc {
    float luma, blue, red;
};

// JPEG's YCbCr (ITU-R BT.601, full range) of sRGB values.
Ycc yccOf(float r, float g, float b)
{
    return {0.299f * r + 0.587f * g + 0.114f * b, -0.168736f * r - 0.331264f * g + 0.5f * b,
            0.5f * r - 0.418688f * g - 0.081312f * b};
}

double exactLinear(std::uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double exactF(double t)
{
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Rgb rgbOf(std::uint32_t pixel)
{
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}

Lab labOf(Rgb colour)
{
    const double r = exactLinear(colour.red);
    const double g = exactLinear(colour.green);
    const double b = exactLinear(colour.blue);
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fy = exactF(y);
    return {116.0 * fy - 16.0, 500.0 * (exactF(x) - fy), 200.0 * (fy - exactF(z))};
}

double colourDifference(Rgb a, Rgb b)
{
    return std::sqrt(colourspace::squaredDifference(labOf(a), labOf(b)));
}

std::optional<Rgb> rgbFromText(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text[static_cast<std::size_t>(1 + 2 * i)]);
        const int low = hexDigit(text[static_cast<std::size_t>(2 + 2 * i)]);
        if (high < 0 || low < 0)
            return std::nullopt;
        values[i] = high * 16 + low;
    }
    return Rgb{static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
               static_cast<std::uint8_t>(values[2])};
}

std::string rgbText(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

ColourMatch::ColourMatch(Rgb target, Rgb background, double tolerance, bool spreadColour)
    : target_(target), background_(background), tolerance_(std::max(tolerance, 0.0)),
      targetLab_(colourspace::fastLab(target)), spread_(spreadColour), lastPixel_(noPixel)
{
    cachedPixels_.fill(noPixel);
    // A target within the tolerance of the background cannot be told from it by blending.
    plain_ = colourDifference(target, background) <= std::max(tolerance_, 1.0);
    towardRed_ = static_cast<float>(target.red - background.red);
    towardGreen_ = static_cast<float>(target.green - background.green);
    towardBlue_ = static_cast<float>(target.blue - background.blue);
    const float squaredLength = towardRed_ * towardRed_ + towardGreen_ * towardGreen_ + towardBlue_ * towardBlue_;
    inverseSquaredLength_ = squaredLength > 0.0f ? 1.0f / squaredLength : 0.0f;

    const Ycc b = yccOf(background.red, background.green, background.blue);
    const Ycc t = yccOf(target.red, target.green, target.blue);
    backgroundLuma_ = b.luma;
    backgroundBlueChroma_ = b.blue;
    backgroundRedChroma_ = b.red;
    towardLuma_ = t.luma - b.luma;
    towardBlueChroma_ = t.blue - b.blue;
    towardRedChroma_ = t.red - b.red;
    const float chromaLength = towardBlueChroma_ * towardBlueChroma_ + towardRedChroma_ * towardRedChroma_;
    inverseChromaLength_ = chromaLength >= minimumChromaStep * minimumChromaStep ? 1.0f / chromaLength : 0.0f;
}

Rgb ColourMatch::target() const
{
    return target_;
}

Rgb ColourMatch::background() const
{
    return background_;
}

double ColourMatch::tolerance() const
{
    return tolerance_;
}

float ColourMatch::blendWeight(std::uint32_t pixel) const
{
    const Verdict v = verdict(pixel);
    return v.kind == Kind::blend ? v.coverage : 0.0f;
}

ColourMatch::Verdict ColourMatch::lookUp(std::uint32_t key) const
{
    const std::size_t slot = (key * 2654435761u) >> 22;
    if (cachedPixels_[slot] != key) {
        cachedVerdicts_[slot] = measure(key);
        cachedPixels_[slot] = key;
    }
    lastPixel_ = key;
    lastVerdict_ = cachedVerdicts_[slot];
    return lastVerdict_;
}

double ColourMatch::limitAt(float coverage) const
{
    // Weakly covered pixels must sit closer to the blend: near the background every colour
    // is nearly a blend, and noise is most of what such a pixel holds.
    const double scale = std::min(1.0, 2.0 * static_cast<double>(coverage));
    return tolerance_ * tolerance_ * scale * scale;
}

double ColourMatch::blendDifference(Rgb colour, float coverage, float share) const
{
    const float luma = backgroundLuma_ + coverage * towardLuma_;
    const float blueChroma = backgroundBlueChroma_ + share * towardBlueChroma_;
    const float redChroma = backgroundRedChroma_ + share * towardRedChroma_;
    auto channel = [](float value) { return std::clamp(value, 0.0f, 255.0f); };
    const Lab blend = colourspace::fastLab(channel(luma + 1.402f * redChroma),
                                           channel(luma - 0.344136f * blueChroma - 0.714136f * redChroma),
                                           channel(luma + 1.772f * blueChroma));
    return colourspace::squaredDifference(colourspace::fastLab(colour), blend);
}

ColourMatch::Verdict ColourMatch::measure(std::uint32_t pixel) const
{
    const Rgb p = rgbOf(pixel);
    Verdict v;
    if (plain_) {
        v.coverage = 1.0f;
        if (colourspace::squaredDifference(colourspace::fastLab(p), targetLab_) <= tolerance_ * tolerance_)
            v.kind = Kind::blend;
        return v;
    }

    // The coverage: where the pixel falls on the way from the background to the target, in
    // the sRGB values most renderers blend in. Measured on the brightness (JPEG's luma, kept
    // at full resolution), unless target and background are about equally bright. Beyond
    // the target (darker than a dark target) is no closer to it: the blend to compare with
    // is then the target itself.
    const Ycc ycc = yccOf(p.red, p.green, p.blue);
    float coverage;
    if (std::abs(towardLuma_) >= minimumLumaStep) {
        coverage = (ycc.luma - backgroundLuma_) / towardLuma_;
    } else {
        const float fromRed = static_cast<float>(p.red - background_.red);
        const float fromGreen = static_cast<float>(p.green - background_.green);
        const float fromBlue = static_cast<float>(p.blue - background_.blue);
        coverage = (fromRed * towardRed_ + fromGreen * towardGreen_ + fromBlue * towardBlue_) * inverseSquaredLength_;
    }
    v.coverage = std::clamp(coverage, 0.0f, 1.0f);
    // The share of the target's colour that the pixel shows, for its neighbours' sake too.
    if (inverseChromaLength_ > 0.0f) {
        const float share = ((ycc.blue - backgroundBlueChroma_) * towardBlueChroma_ +
                             (ycc.red - backgroundRedChroma_) * towardRedChroma_) *
                            inverseChromaLength_;
        v.share = std::clamp(share, 0.0f, 1.0f);
    }
    if (coverage < minimumCoverage)
        return v;
    const double limit = limitAt(v.coverage);
    if (blendDifference(p, v.coverage, v.coverage) <= limit) {
        v.kind = Kind::blend;
        return v;
    }
    if (!spread_ || inverseChromaLength_ == 0.0f)
        return v;
    // Not a blend as it stands; perhaps one whose colour JPEG has spread (weightAt decides
    // with the neighbours).
    if (blendDifference(p, v.coverage, v.share) <= limit)
        v.kind = Kind::washed;
    return v;
}
