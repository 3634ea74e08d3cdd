#include "controls/flat/HSLUtils.h"

#include <algorithm>
#include <cmath>

double RoundHalfEven(double v)
{
    const double below = std::floor(v);
    const double frac = v - below;
    if (frac > 0.5)
        return below + 1;
    if (frac < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

namespace {

// Out-of-range and non-numeric values are limited before the conversion to
// int, which would otherwise be undefined for them.
int ToChannel(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 1)
        return 255;
    return int(RoundHalfEven(v * 255));
}

// One channel of an HSL colour from the two lightness bounds m1 <= m2.
double HueComponent(double m1, double m2, double h)
{
    if (h < 0)
        h += 1;
    else if (h > 1)
        h -= 1;
    if (6 * h < 1)
        return m1 + (m2 - m1) * h * 6;
    if (2 * h < 1)
        return m2;
    if (3 * h < 2)
        return m1 + (m2 - m1) * (2.0 / 3 - h) * 6;
    return m1;
}

}  // namespace

THsl ColorToHsl(TColor rgb)
{
    const std::uint32_t c = ColorToRGB(rgb);
    const double r = GetRValue(c) / 255.0;
    const double g = GetGValue(c) / 255.0;
    const double b = GetBValue(c) / 255.0;
    const double hi = std::max({r, g, b});
    const double lo = std::min({r, g, b});
    THsl out;
    out.L = (hi + lo) / 2;
    if (hi == lo)
        return out;
    const double d = hi - lo;
    out.S = out.L < 0.5 ? d / (hi + lo) : d / (2 - hi - lo);
    double h;
    if (hi == r)
        h = (g - b) / d;
    else if (hi != g)
        h = 4 + (r - g) / d;
    else
        h = 2 + (b - r) / d;
    h /= 6;
    if (h < 0)
        h += 1;
    out.H = h;
    return out;
}

TColor HslToColor(double h, double s, double l)
{
    if (s == 0) {
        const int v = ToChannel(l);
        return RGB(v, v, v);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return RGB(ToChannel(HueComponent(m1, m2, h + 1.0 / 3)), ToChannel(HueComponent(m1, m2, h)),
               ToChannel(HueComponent(m1, m2, h - 1.0 / 3)));
}

THslScaled ColorToHslScaled(TColor rgb)
{
    const THsl hsl = ColorToHsl(rgb);
    return {int(RoundHalfEven(hsl.H * (HslScale - 1))), int(RoundHalfEven(hsl.S * HslScale)),
            int(RoundHalfEven(hsl.L * HslScale))};
}

TColor HslScaledToColor(int h, int s, int l)
{
    return HslToColor(double(h) / (HslScale - 1), double(s) / HslScale, double(l) / HslScale);
}
