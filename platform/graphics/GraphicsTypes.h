#pragma once

// The drawing attributes shared by the canvas and the parts below it (region
// and polygon scan, the painter): pen, brush and fill mode, without the
// canvas itself.

#include "platform/core/Colors.h"

#include <array>
#include <cstdint>

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear, bsPattern };
enum TFillMode : std::uint8_t { fmAlternate, fmWinding };
enum TBkMode : std::uint8_t { bkTransparent = 1, bkOpaque = 2 };

// Only solid and clear pens are distinguished: the dash styles draw solid
// (nothing here draws dashed lines).
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

// A brush: solid colour, nothing, or an 8 x 8 one-bit pattern whose set bits
// take PatternSetColor and clear bits PatternClearColor (bit 7 of row 0 is
// pixel (0, 0); the pattern is anchored at the image origin).
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    std::array<std::uint8_t, 8> Pattern{};
    TColor PatternSetColor = clBlack;
    TColor PatternClearColor = clWhite;
};
