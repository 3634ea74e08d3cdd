#pragma once

// Helpers for pixel tests of the canvas: a small white bitmap, the set of
// pixels that are not white, and a printable picture for failure messages.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Region.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

inline PixelSet PixelsNot(const TBitmap& bmp, TColor background = clWhite)
{
    PixelSet out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) != background)
                out.insert({x, y});
    return out;
}

inline PixelSet PixelsOf(const TBitmap& bmp, TColor c)
{
    PixelSet out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) == c)
                out.insert({x, y});
    return out;
}

inline PixelSet RectPixels(int l, int t, int r, int b)
{
    PixelSet out;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            out.insert({x, y});
    return out;
}

inline PixelSet RegionPixels(const TRegion& rgn, const TRect& within)
{
    PixelSet out;
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x)
            if (rgn.Contains(x, y))
                out.insert({x, y});
    return out;
}

// Rows of '#' (in the set) and '.', for readable failure output.
inline std::string Picture(const PixelSet& s, int w, int h)
{
    std::string out = "\n";
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            out += s.count({x, y}) ? '#' : '.';
        out += '\n';
    }
    return out;
}

// A white bitmap whose canvas has a black 1-pixel pen, a clear brush, no
// clip and the viewport origin at the image origin.
inline void ResetProbe(TBitmap& bmp, int w, int h)
{
    bmp.SetSize(w, h);
    bmp.Image().fill(0xFFFFFFFFu);
    TCanvas& c = bmp.Canvas();
    c.Pen() = TPen{};
    c.Brush().Style = bsClear;
    c.ResetClip();
    c.SetViewportOrg({0, 0});
    c.SetPolyFillMode(fmAlternate);
}
