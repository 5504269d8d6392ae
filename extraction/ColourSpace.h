#pragma once

#include "extraction/ColourMatch.h"

// Fast sRGB to CIELAB for the extraction's inner loops: tables for the sRGB transfer curve
// and for the cube root, interpolated, good to about 0.01 delta E. labOf() in
// ColourMatch.h is the exact version.
namespace colourspace {

// sRGB channel (0..255, fractions allowed, for blends) to linear light (0..1).
float linearOf(float channel);
// Linear light of a whole channel value, exact.
float linearOf(std::uint8_t channel);
// CIELAB of linear-light sRGB.
Lab labOfLinear(float red, float green, float blue);
// CIELAB of an sRGB colour given in channel values (fractions allowed).
Lab fastLab(float red, float green, float blue);
Lab fastLab(Rgb colour);

inline double squaredDifference(const Lab& x, const Lab& y)
{
    const double dl = x.lightness - y.lightness;
    const double da = x.a - y.a;
    const double db = x.b - y.b;
    return dl * dl + da * da + db * db;
}

} // namespace colourspace
