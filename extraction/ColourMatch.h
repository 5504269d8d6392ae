#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Lab {
    double lightness = 0.0;
    double a = 0.0;
    double b = 0.0;
};

Rgb rgbOf(std::uint32_t pixel); // from 0xAARRGGBB, alpha ignored
Lab labOf(Rgb colour);          // sRGB, D65 white
// The CIELAB colour difference (CIE 1976 delta E*ab) between two sRGB colours.
double colourDifference(Rgb a, Rgb b);

// "#RRGGBB" (either case); nothing for anything else.
std::optional<Rgb> rgbFromText(const std::string& text);
std::string rgbText(Rgb colour); // "#rrggbb"

// The tolerance used when the user gives none: wide enough for the edges of anti-aliased
// lines and for JPEG pictures, narrow enough to keep grey gridlines and other colours out.
// On plots drawn with 1 to 3 px lines and saved as JPEG at quality 75, anything from 16 to
// 25 follows the curve equally well (RMS 0.07 to 0.12 px, 99.8 % or more of it found);
// 12 starts to lose pixels. Greys (#808080, #b0b0b0, #cccccc) and the usual plot colours
// stay out of each other's match up to well beyond 25. 20 sits in the middle.
inline constexpr double defaultTolerance = 20.0;

// How strongly each pixel belongs to a target colour drawn over a background.
//
// A pixel of a line or marker's edge is a blend of the target and the background, in the
// proportion of the pixel the mark covers. `weight` estimates that proportion (0 to 1), so
// that centres weighted by it land where the mark's middle is, to a fraction of a pixel.
// A pixel counts only when it is within `tolerance` (a CIELAB colour difference) of such a
// blend; a pixel as bright as the target or further from the background counts when it is
// within `tolerance` of the target. Coverage is read from the brightness (JPEG's luma);
// the colour may be washed out toward the background's (JPEG keeps colour at half
// resolution, so a thin line's pixels keep their brightness but lose much of their colour)
// down to a floor that keeps greys out.
// Not safe to share between threads (it keeps a cache of recent colours).
class ColourMatch {
  public:
    ColourMatch(Rgb target, Rgb background, double tolerance);

    // 0 when the pixel does not match, otherwise the estimated coverage in (0, 1].
    float weight(std::uint32_t pixel) const
    {
        return (pixel & 0x00FFFFFFu) == lastPixel_ ? lastWeight_ : lookUp(pixel & 0x00FFFFFFu);
    }
    bool matches(std::uint32_t pixel) const { return weight(pixel) > 0.0f; }

    Rgb target() const;
    Rgb background() const;
    double tolerance() const;

  private:
    float lookUp(std::uint32_t colour) const;
    float measure(std::uint32_t colour) const;

    Rgb target_;
    Rgb background_;
    double tolerance_;
    Lab targetLab_;
    bool plain_ = false; // target too near the background for blends: plain colour distance
    float towardRed_ = 0.0f, towardGreen_ = 0.0f, towardBlue_ = 0.0f; // target less background
    float inverseSquaredLength_ = 0.0f;
    // The same in JPEG's luma and chroma (YCbCr of the sRGB values).
    float backgroundLuma_ = 0.0f, backgroundBlueChroma_ = 0.0f, backgroundRedChroma_ = 0.0f;
    float towardLuma_ = 0.0f, towardBlueChroma_ = 0.0f, towardRedChroma_ = 0.0f;
    float inverseChromaLength_ = 0.0f; // 0 when the target has the background's hue (greys)

    // Most pixels repeat their neighbour's colour (the background above all), and a picture
    // has few distinct colours near its marks: the last pixel, then a small direct-mapped
    // cache keyed by the colour.
    static constexpr std::size_t cacheSize = 1024;
    mutable std::uint32_t lastPixel_;
    mutable float lastWeight_;
    mutable std::array<std::uint32_t, cacheSize> cachedPixels_;
    mutable std::array<float, cacheSize> cachedWeights_;
};
