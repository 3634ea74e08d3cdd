#pragma once

#include "platform/core/Colors.h"

// Conversions between RGB colours and hue, saturation and lightness, used to
// derive lighter and darker shades of a control's colour.

// The integer scale of the scaled routines: hue runs 0..239, saturation and
// lightness 0..240.
inline constexpr int HslScale = 240;

// Hue, saturation and lightness, each in 0..1 (hue 1 is hue 0 again).
struct THsl {
    double H = 0;
    double S = 0;
    double L = 0;
};

// The same on the integer scales of HslScale.
struct THslScaled {
    int H = 0;
    int S = 0;
    int L = 0;
    friend constexpr bool operator==(const THslScaled&, const THslScaled&) = default;
};

// Rounds to the nearest integer, halves to the even neighbour, independent of
// the floating-point rounding mode.
double RoundHalfEven(double v);

// A system colour is resolved to its RGB first.
THsl ColorToHsl(TColor rgb);
// Values outside 0..1 give channels limited to 0..255.
TColor HslToColor(double h, double s, double l);
inline TColor HslToColor(const THsl& hsl) { return HslToColor(hsl.H, hsl.S, hsl.L); }

THslScaled ColorToHslScaled(TColor rgb);
TColor HslScaledToColor(int h, int s, int l);
inline TColor HslScaledToColor(const THslScaled& hsl) { return HslScaledToColor(hsl.H, hsl.S, hsl.L); }
