#include "controls/flat/TFlatPanelUnit.h"

#include "controls/flat/FlatUtilitys.h"

#include "platform/core/Property.h"
#include "platform/graphics/Bitmap.h"

TFlatPanel::TFlatPanel(TComponent* owner) : TCustomPanel(owner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    SetParentFont(true);
    SetParentColor(true);
    SetBounds(Left(), Top(), 185, 41);
}

void TFlatPanel::SetTransparent(bool v)
{
    if (Store(transparent_, v))
        Invalidate();
}

void TFlatPanel::SetColorHighLight(TColor v)
{
    if (Store(colorHighLight_, v))
        Invalidate();
}

void TFlatPanel::SetColorShadow(TColor v)
{
    if (Store(colorShadow_, v))
        Invalidate();
}

void TFlatPanel::Paint()
{
    const TRect client = ClientRect();
    TBitmap image(client.Width(), client.Height());
    if (image.Empty())
        return;
    TCanvas& canvas = image.Canvas();
    if (transparent_) {
        PaintParentBackground(*this, canvas);
    } else {
        canvas.Brush().Style = bsSolid;
        canvas.Brush().Color = Color();
        canvas.FillRect(client);
    }
    DrawFlatFrame(canvas, client, colorHighLight_, colorShadow_, 1);
    PaintCaption(canvas);
    Canvas().Draw(0, 0, image);
}

void TFlatPanel::PaintCaption(TCanvas& canvas) const
{
    if (Caption().isEmpty())
        return;
    unsigned format = DT_SINGLELINE | DT_VCENTER;
    switch (Alignment()) {
    case taLeftJustify: format |= DT_LEFT; break;
    case taRightJustify: format |= DT_RIGHT; break;
    case taCenter: format |= DT_CENTER; break;
    }
    canvas.Font().Assign(Font());
    canvas.Brush().Style = bsClear;
    canvas.SetBkMode(bkTransparent);
    TRect r = ClientRect();
    if (!Enabled()) {
        // An etched look: a light copy one pixel down-right under the grey one.
        TRect lower = r.Offset(1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(Caption(), lower, format);
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(Caption(), r, format);
}
