#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Buttons.h"
#include "platform/graphics/Canvas.h"
#include "platform/core/Colors.h"
#include "platform/core/Types.h"

#include <QString>

#include <cstdint>
#include <memory>

// Drawing helpers shared by the flat controls. They keep no state; callers own
// everything they pass in.

class TControl;

// A percentage 0..100 for the colours the flat controls derive from a base
// colour (AdvColorFocused, AdvColorBorder, ...).
using TAdvColors = int;

enum class TShadeDirection : std::uint8_t { Lighten = 0, Darken = 1 };

enum class TEmbossHighlight : std::uint8_t { Omit, Draw };

// Draws `rings` nested one-pixel frames inside r: top and left edges in
// topLeft, bottom and right edges in bottomRight (so the top-right and
// bottom-left corner pixels take bottomRight). Leaves the pen at width 1 in
// bottomRight. Stops when no ring fits any more.
void DrawFlatFrame(TCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight, int rings);

// Draws the part of the control's parent that lies under the control at the
// canvas's (0, 0), so a transparent control can compose itself over it.
// Without a parent it does nothing.
void PaintParentBackground(const TControl& control, TCanvas& canvas);

// The shape of a glyph as an etched relief, the look of a glyph on a disabled
// button: a bitmap of the source's size filled with back, highlight under
// every key-coloured source pixel moved by (+1, +1) (when asked for), and
// shadow under every key-coloured pixel in place. An empty source gives an
// empty bitmap.
std::unique_ptr<TBitmap> MakeEmbossedGlyph(const TBitmap& source, TColor key, TColor back, TColor highlight,
                                           TColor shadow, TEmbossHighlight drawHighlight);

// A lighter or darker shade of base: its HSL lightness raised by 10 and then
// by percent (Lighten) or lowered by percent (Darken), kept within 0..240.
// Percent 0 keeps current; percent is clamped into 0..100.
TColor DeriveShade(TColor base, TColor current, TAdvColors percent, TShadeDirection direction);

struct TGlyphCaptionLayout {
    TRect CaptionArea;   // the caption is drawn into it as one line centred both ways
    TPoint GlyphOrigin;  // top-left of the glyph cell
};

// Places a glyph cell and a one-line caption (measured with the canvas's font)
// in client, moved by the press offset. Margin and spacing -1 mean "spread
// evenly". glyph may be null; a glyph count below 1 counts as 1. A glyph or
// caption larger than the client gives negative margins, left as they are.
TGlyphCaptionLayout LayoutGlyphAndCaption(TCanvas& canvas, const TRect& client, TPoint offset,
                                          TButtonLayout layout, int spacing, int margin, const TBitmap* glyph,
                                          TNumGlyphs count, const QString& caption);

// True when the two rectangles share at least one pixel.
bool RectsOverlap(const TRect& a, const TRect& b);
