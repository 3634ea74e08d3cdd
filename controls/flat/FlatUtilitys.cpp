#include "controls/flat/FlatUtilitys.h"

#include "controls/flat/HSLUtils.h"
#include "platform/core/ScopeExit.h"

#include "platform/ui/Controls.h"

#include <algorithm>
#include <vector>

void DrawFlatFrame(TCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight, int rings)
{
    if (r.IsEmpty())
        return;
    canvas.Pen().Width = 1;
    canvas.Pen().Style = psSolid;
    // Right and Bottom name the last column and row inside the frame.
    TRect ring{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
    for (int i = 0; i < rings && ring.Left <= ring.Right && ring.Top <= ring.Bottom; ++i) {
        canvas.Pen().Color = topLeft;
        canvas.Polyline({{ring.Left, ring.Bottom}, {ring.Left, ring.Top}, {ring.Right, ring.Top}});
        canvas.Pen().Color = bottomRight;
        canvas.Polyline({{ring.Right, ring.Top}, {ring.Right, ring.Bottom}, {ring.Left - 1, ring.Bottom}});
        ring = ring.Inflate(-1, -1);
    }
}

void PaintParentBackground(const TControl& control, TCanvas& canvas)
{
    TWinControl* parent = control.Parent();
    if (!parent)
        return;
    // A parent paints its windowless children too; a windowless control that
    // asks for its background from its own paint must not be painted again
    // inside that request.
    static thread_local std::vector<const TControl*> inProgress;
    if (std::find(inProgress.begin(), inProgress.end(), &control) != inProgress.end())
        return;
    inProgress.push_back(&control);
    const TScopeExit pop([] { inProgress.pop_back(); });
    // PaintTo erases and paints the parent with its top-left at the given
    // origin, clipped to its client area, and restores the canvas afterwards.
    parent->PaintTo(canvas, {-control.Left(), -control.Top()});
}

namespace {

// One flag per pixel, row by row: set where the source has the key colour.
std::vector<bool> ShapeMask(const TBitmap& source, TColor key)
{
    const std::uint32_t keyPixel = ColorToPixel(key);
    std::vector<bool> mask(std::size_t(source.Width()) * std::size_t(source.Height()));
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint32_t* row = source.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x)
            mask[std::size_t(y) * std::size_t(source.Width()) + std::size_t(x)] = IsKeyPixel(row[x], keyPixel);
    }
    return mask;
}

// Puts colour into target wherever the mask, moved by (dx, dy), is set; what
// moves past an edge is cut off.
void PaintMask(TBitmap& target, const std::vector<bool>& mask, int dx, int dy, TColor colour)
{
    const std::uint32_t px = ColorToPixel(colour);
    const int w = target.Width();
    for (int y = std::max(0, dy); y < target.Height(); ++y) {
        std::uint32_t* row = target.ScanLine(y);
        for (int x = std::max(0, dx); x < w; ++x)
            if (mask[std::size_t(y - dy) * std::size_t(w) + std::size_t(x - dx)])
                row[x] = px;
    }
}

}  // namespace

std::unique_ptr<TBitmap> MakeEmbossedGlyph(const TBitmap& source, TColor key, TColor back, TColor highlight,
                                           TColor shadow, TEmbossHighlight drawHighlight)
{
    auto result = std::make_unique<TBitmap>(source.Width(), source.Height());
    if (result->Empty())
        return result;
    const std::vector<bool> mask = ShapeMask(source, key);
    result->Image().fill(ColorToPixel(back));
    if (drawHighlight == TEmbossHighlight::Draw)
        PaintMask(*result, mask, 1, 1, highlight);
    PaintMask(*result, mask, 0, 0, shadow);
    return result;
}

TColor DeriveShade(TColor base, TColor current, TAdvColors percent, TShadeDirection direction)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == 0)
        return current;
    THslScaled hsl = ColorToHslScaled(base);
    hsl.L += 10;
    hsl.L += direction == TShadeDirection::Lighten ? percent : -percent;
    // Both limits hold in both directions: darkening white by less than 10
    // would otherwise leave the scale at the top.
    hsl.L = std::clamp(hsl.L, 0, HslScale);
    return HslScaledToColor(hsl);
}

namespace {

TPoint GlyphCellSize(const TBitmap* glyph, TNumGlyphs count)
{
    if (!glyph || glyph->Empty())
        return {0, 0};
    return {glyph->Width() / std::max(count, 1), glyph->Height()};
}

// The caption's one-line extent at the origin; empty for an empty caption.
TRect MeasureCaption(TCanvas& canvas, const QString& caption, int clientWidth)
{
    TRect area{0, 0, clientWidth, 0};
    if (caption.isEmpty())
        return {};
    canvas.DrawText(caption, area, DT_CALCRECT | DT_SINGLELINE);
    return area;
}

struct TAxisPlacement {
    int margin;
    int spacing;
};

// Margin and spacing along the layout axis: c is the client extent, g the
// glyph's and t the caption's; -1 asks for an even spread.
TAxisPlacement ResolveMarginAndSpacing(int c, int g, int t, int margin, int spacing)
{
    if (margin == -1 && spacing == -1) {
        margin = (c - (g + t)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (c - (g + spacing + t) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (c - (margin + g) - t) / 2;
    }
    return {margin, spacing};
}

}  // namespace

TGlyphCaptionLayout LayoutGlyphAndCaption(TCanvas& canvas, const TRect& client, TPoint offset,
                                          TButtonLayout layout, int spacing, int margin, const TBitmap* glyph,
                                          TNumGlyphs count, const QString& caption)
{
    const TPoint clientSize{client.Width(), client.Height()};
    const TPoint glyphSize = GlyphCellSize(glyph, count);
    TGlyphCaptionLayout out;
    out.CaptionArea = MeasureCaption(canvas, caption, clientSize.x);
    const TPoint textSize{out.CaptionArea.Width(), out.CaptionArea.Height()};
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    TPoint textPos;
    if (horizontal) {
        out.GlyphOrigin.y = (clientSize.y - glyphSize.y + 1) / 2;
        textPos.y = (clientSize.y - textSize.y + 1) / 2;
    } else {
        out.GlyphOrigin.x = (clientSize.x - glyphSize.x + 1) / 2;
        textPos.x = (clientSize.x - textSize.x + 1) / 2;
    }
    if (textSize.x == 0 || glyphSize.x == 0)
        spacing = 0;

    const TAxisPlacement p = horizontal
        ? ResolveMarginAndSpacing(clientSize.x, glyphSize.x, textSize.x, margin, spacing)
        : ResolveMarginAndSpacing(clientSize.y, glyphSize.y, textSize.y, margin, spacing);
    switch (layout) {
    case blGlyphLeft:
        out.GlyphOrigin.x = p.margin;
        textPos.x = out.GlyphOrigin.x + glyphSize.x + p.spacing;
        break;
    case blGlyphRight:
        out.GlyphOrigin.x = clientSize.x - p.margin - glyphSize.x;
        textPos.x = out.GlyphOrigin.x - p.spacing - textSize.x;
        break;
    case blGlyphTop:
        out.GlyphOrigin.y = p.margin;
        textPos.y = out.GlyphOrigin.y + glyphSize.y + p.spacing;
        break;
    case blGlyphBottom:
        out.GlyphOrigin.y = clientSize.y - p.margin - glyphSize.y;
        textPos.y = out.GlyphOrigin.y - p.spacing - textSize.y;
        break;
    }

    const TPoint shift{client.Left + offset.x, client.Top + offset.y};
    out.GlyphOrigin = out.GlyphOrigin + shift;
    out.CaptionArea = out.CaptionArea.Offset(textPos.x + shift.x, textPos.y + shift.y);
    return out;
}

bool RectsOverlap(const TRect& a, const TRect& b)
{
    return !a.Intersect(b).IsEmpty();
}
