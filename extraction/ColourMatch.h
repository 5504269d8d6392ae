#pragma once

#include "extraction/PixelView.h"

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
// On plots drawn with 1 to 3 px lines and saved as JPEG at quality 75, anything from 12 to
// 30 follows the curve equally well (RMS 0.085 px or less, 98.4 % or more of it found);
// 10 starts to lose pixels. 20 sits in the middle. Colours a tolerance this size would
// confuse are told apart by what surrounds a pixel (see ColourMatch).
inline constexpr double defaultTolerance = 20.0;

// How strongly each pixel belongs to a target colour drawn over a background.
//
// A pixel of a line or marker's edge is a blend of the target and the background, in the
// proportion of the pixel the mark covers. The weight estimates that proportion (0 to 1),
// read from the brightness (JPEG's luma, kept at full resolution), so that centres
// weighted by it land where the mark's middle is, to a fraction of a pixel. A pixel counts
// only when its colour is within `tolerance` (a CIELAB colour difference) of the blend at
// that proportion. A pixel darker than the target is no closer for it: it is compared with
// the target itself. Two allowances need the pixel's surroundings:
//  - JPEG keeps colour at half resolution, so a thin mark's pixels keep their brightness
//    but their colour spreads over their neighbours (and its finest detail is rounded
//    away). In such a picture (`spreadColour`, see colourSpread()) a pixel may show less
//    or more of the target's colour than its brightness says, as long as the 3 x 3 pixels
//    around it keep what JPEG leaves of it: a brown pixel, as dark as red but with a third
//    of red's colour, fails wherever red would have left more. In other pictures a pixel
//    must be a blend as it stands, and brown is never red.
//  - A pixel covered less than about two thirds is, on its own, a blend like any lighter
//    colour on the way to the background (grey #b0b0b0 gridlines are blends of black and
//    white). It counts only beside a core pixel (one covered that much, of the 8 around it).
// Not safe to share between threads (it keeps a cache of recent colours).
class ColourMatch {
  public:
    ColourMatch(Rgb target, Rgb background, double tolerance, bool spreadColour = true);

    // The weight of the picture's pixel at (column, row), judged with its surroundings:
    // 0 when it does not match, otherwise the estimated coverage in (0, 1].
    float weightAt(const PixelView& picture, int column, int row) const;
    bool matchesAt(const PixelView& picture, int column, int row) const
    {
        return weightAt(picture, column, row) > 0.0f;
    }
    // Whether a pixel of this colour can match anywhere: false for the background and for
    // colours far from every blend, which need no look at their surroundings.
    bool mayMatch(std::uint32_t pixel) const { return verdict(pixel).kind != Kind::none; }
    // The weight of a colour alone, without surroundings: its coverage when it is a plain
    // blend of target and background (in any picture), otherwise 0.
    float blendWeight(std::uint32_t pixel) const;

    Rgb target() const;
    Rgb background() const;
    double tolerance() const;

  private:
    enum class Kind : std::uint8_t {
        none,   // no match, whatever surrounds it
        blend,  // a blend of target and background, within the tolerance
        washed, // a blend only with less or more of the target's colour than of its brightness
    };
    struct Verdict {
        float coverage = 0.0f; // from the brightness, 0 to 1, for every colour
        float share = 0.0f;    // of the target's colour (JPEG's chroma), 0 to 1
        Kind kind = Kind::none;
    };

    Verdict verdict(std::uint32_t pixel) const
    {
        const std::uint32_t key = pixel & 0x00FFFFFFu;
        return key == lastPixel_ ? lastVerdict_ : lookUp(key);
    }
    Verdict lookUp(std::uint32_t colour) const;
    Verdict measure(std::uint32_t colour) const;
    // The CIELAB distance, squared, from the colour to the blend with `coverage` of the
    // target's brightness and `share` of its colour; and the most it may be at that coverage.
    double blendDifference(Rgb colour, float coverage, float share) const;
    double limitAt(float coverage) const;
    // Surroundings (ColourMatch_Surroundings.cpp).
    bool washedFits(const PixelView& picture, int column, int row, const Verdict& v) const;
    bool isCore(const PixelView& picture, int column, int row) const;
    bool nearCore(const PixelView& picture, int column, int row) const;

    Rgb target_;
    Rgb background_;
    double tolerance_;
    Lab targetLab_;
    bool spread_ = true; // the picture's colour may be spread over neighbouring pixels
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
    mutable Verdict lastVerdict_;
    mutable std::array<std::uint32_t, cacheSize> cachedPixels_;
    mutable std::array<Verdict, cacheSize> cachedVerdicts_;
};
