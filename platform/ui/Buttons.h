#pragma once

#include <cstdint>

// Button vocabulary shared by every button family (shaped and flat).

// Where a button's glyph stands relative to its caption.
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Number of equal-width images in a glyph strip (1..4).
using TNumGlyphs = int;
