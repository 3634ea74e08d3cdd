#include "controls/flat/TFlatComboBoxUnit.h"

#include "platform/graphics/Bitmap.h"

#include <algorithm>

namespace {

// The grey of a disabled arrow, under its white copy.
constexpr TColor kDisabledArrow = RGB(128, 128, 128);

void Fill(TCanvas& canvas, const TRect& r, TColor c)
{
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = c;
    canvas.FillRect(r);
}

void Frame(TCanvas& canvas, const TRect& r, TColor c)
{
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = c;
    canvas.FrameRect(r);
}

}  // namespace

TFlatComboBox::TFlatComboBox(TComponent* owner) : TCustomComboBox(owner)
{
    SetControlStyle(ControlStyle() | csOpaque);
    SetItemHeight(13);
    UpdateEdit();
}

// --- Properties

void TFlatComboBox::SetColorArrow(TColor v)
{
    if (v == colorArrow_)
        return;
    colorArrow_ = v;
    Invalidate();
}

void TFlatComboBox::SetColorArrowBackground(TColor v)
{
    if (v == colorArrowBackground_)
        return;
    colorArrowBackground_ = v;
    Invalidate();
}

void TFlatComboBox::SetColorBorder(TColor v)
{
    if (v == colorBorder_)
        return;
    colorBorder_ = v;
    Invalidate();
}

void TFlatComboBox::SetAdvColorBorder(TAdvColors v)
{
    v = std::clamp(v, 0, 100);
    if (v == advColorBorder_)
        return;
    advColorBorder_ = v;
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatComboBox::SetAdvColorArrowBackground(TAdvColors v)
{
    v = std::clamp(v, 0, 100);
    if (v == advColorArrowBackground_)
        return;
    advColorArrowBackground_ = v;
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatComboBox::SetUseAdvColors(bool v)
{
    if (v == useAdvColors_)
        return;
    useAdvColors_ = v;
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatComboBox::ApplyAdvancedColors()
{
    // Without a parent there is nothing to derive from: the colours stay.
    if (!useAdvColors_ || !Parent())
        return;
    const TColor base = Parent()->Color();
    colorBorder_ = DeriveShade(base, colorBorder_, advColorBorder_, TShadeDirection::Darken);
    colorArrowBackground_ = DeriveShade(base, colorArrowBackground_, advColorArrowBackground_, TShadeDirection::Darken);
}

void TFlatComboBox::ParentColorChanged()
{
    TCustomComboBox::ParentColorChanged();
    if (!useAdvColors_)
        return;
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatComboBox::FontChanged()
{
    // A new font gives the list new rows: the open list goes, and the row
    // height starts again from the skin's own; items and selection stay.
    SetDroppedDown(false);
    TCustomComboBox::FontChanged();
    SetItemHeight(13);
}

// --- Geometry

TRect TFlatComboBox::ArrowRect() const
{
    return {ClientWidth() - ArrowWidth - 1, 0, Width() - 1, Height()};
}

TRect TFlatComboBox::EditRect() const
{
    return Bounds(3, 3, ClientWidth() - ArrowWidth - 8, Height() - 6);
}

// --- Painting

void TFlatComboBox::Paint()
{
    const TRect client = ClientRect();
    TBitmap image(client.Width(), client.Height());
    if (image.Empty())
        return;
    TCanvas& canvas = image.Canvas();
    canvas.Font().Assign(Font());
    canvas.Pen().Width = 1;
    Fill(canvas, client, Color());
    if (Style() != csSimple)
        PaintArrowButton(canvas);
    if (IsListStyle()) {
        // The current item up to the selection edge, which carries its
        // highlight on to the arrow button.
        DrawSelectionField(canvas, {3, 3, ClientWidth() - ArrowWidth - 10, Height() - 3});
        PaintSelectionEdge(canvas);
    } else if (DroppedDown()) {
        Frame(canvas, {2, 2, Width() - ArrowWidth - 3, Height() - 2}, clWindow);
    }
    PaintFrame(canvas);
    Canvas().Draw(0, 0, image);
}

void TFlatComboBox::PaintArrowButton(TCanvas& canvas) const
{
    TRect r = ArrowRect();
    r.Left -= 1;
    r.Right += 1;
    Fill(canvas, r, colorArrowBackground_);
    Frame(canvas, r, colorBorder_);
    const int x = r.Left + r.Width() / 2 - 6;
    const int y = r.Top + r.Height() / 2 - 1;
    // A small triangle pointing down, or up while the list is dropped.
    const TPoint closed[] = {{x + 4, y}, {x + 8, y}, {x + 6, y + 2}};
    const TPoint dropped[] = {{x + 4, y + 2}, {x + 8, y + 2}, {x + 6, y}};
    const TPoint* pts = DroppedDown() ? dropped : closed;
    auto triangle = [&](int dx, int dy, TColor c) {
        const TPoint moved[] = {pts[0] + TPoint{dx, dy}, pts[1] + TPoint{dx, dy}, pts[2] + TPoint{dx, dy}};
        canvas.Pen().Color = c;
        canvas.Brush().Style = bsSolid;
        canvas.Brush().Color = c;
        canvas.Polygon(moved, 3);
    };
    if (Enabled()) {
        triangle(0, 0, colorArrow_);
    } else {
        triangle(1, 1, clWhite);
        triangle(0, 0, kDisabledArrow);
    }
}

void TFlatComboBox::PaintSelectionEdge(TCanvas& canvas) const
{
    const int right = ClientWidth() - 2;
    const TRect edge{right - ArrowWidth - 8, 3, right - ArrowWidth - 3, Height() - 3};
    const bool highlight = ShowsFocusHighlight();
    Fill(canvas, edge, highlight ? clHighlight : Color());
    if (highlight)
        Frame(canvas, {3, 3, ClientWidth() - 3 - ArrowWidth - 2, Height() - 3}, clHighlight);
}

void TFlatComboBox::PaintFrame(TCanvas& canvas) const
{
    // The outer ring in the border colour; two rings in Color inside it.
    TRect r{0, 0, Width() - ArrowWidth - 1, Height()};
    Frame(canvas, r, colorBorder_);
    for (int i = 0; i < 2; ++i) {
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        Frame(canvas, r, Color());
    }
}
