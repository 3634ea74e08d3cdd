#include "controls/flat/TFlatEditUnit.h"

#include "platform/ui/Forms.h"

#include <type_traits>

template <class Base>
TFlatEditSkin<Base>::TFlatEditSkin(TComponent* owner) : Base(owner)
{
    this->SetParentFont(true);
    this->SetAutoSize(false);
    this->SetBorder(FrameWidth);
    SetParentColor(true);
}

template <class Base>
void TFlatEditSkin<Base>::SetColorFocused(TColor v)
{
    if (v == colorFocused_)
        return;
    colorFocused_ = v;
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::SetColorBorder(TColor v)
{
    if (v == colorBorder_)
        return;
    colorBorder_ = v;
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::SetColorFlat(TColor v)
{
    if (v == colorFlat_)
        return;
    colorFlat_ = v;
    parentColor_ = false;
    PaintFrame();
}

template <class Base>
TColor TFlatEditSkin<Base>::ParentsColor() const
{
    return this->Parent() ? this->Parent()->Color() : colorFlat_;
}

template <class Base>
void TFlatEditSkin<Base>::SetParentColor(bool v)
{
    if (v == parentColor_)
        return;
    parentColor_ = v;
    if (v) {
        colorFlat_ = ParentsColor();
        PaintFrame();
    }
}

template <class Base>
void TFlatEditSkin<Base>::SetAdvColorFocused(TAdvColors v)
{
    if (v == advColorFocused_)
        return;
    advColorFocused_ = v;
    if (useAdvColors_) {
        ApplyAdvancedColors();
        PaintFrame();
    }
}

template <class Base>
void TFlatEditSkin<Base>::SetAdvColorBorder(TAdvColors v)
{
    if (v == advColorBorder_)
        return;
    advColorBorder_ = v;
    if (useAdvColors_) {
        ApplyAdvancedColors();
        PaintFrame();
    }
}

template <class Base>
void TFlatEditSkin<Base>::SetUseAdvColors(bool v)
{
    if (v == useAdvColors_)
        return;
    useAdvColors_ = v;
    SetParentColor(v);
    ApplyAdvancedColors();
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::ApplyAdvancedColors()
{
    if (!useAdvColors_)
        return;
    colorFocused_ = DeriveShade(colorFlat_, colorFocused_, advColorFocused_, TShadeDirection::Lighten);
    colorBorder_ = DeriveShade(colorFlat_, colorBorder_, advColorBorder_, TShadeDirection::Darken);
}

template <class Base>
bool TFlatEditSkin<Base>::Hot() const
{
    if (this->ComponentState() & csDesigning)
        return false;
    return this->Focused() || (mouseInside_ && PointerMakesHot());
}

template <class Base>
void TFlatEditSkin<Base>::PaintFrame()
{
    if (!this->Parent() || this->Destroying())
        return;
    this->SetColor(Hot() ? colorFocused_ : colorFlat_);
    this->RedrawNonClient();
}

template <class Base>
void TFlatEditSkin<Base>::PaintNonClient(TCanvas& canvas)
{
    const TColor inner = Hot() ? colorFocused_ : colorFlat_;
    TRect r{0, 0, this->Width(), this->Height()};
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = colorBorder_;
    canvas.FrameRect(r);
    canvas.Brush().Color = inner;
    for (int ring = 1; ring < FrameWidth; ++ring) {
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        canvas.FrameRect(r);
    }
    if constexpr (std::is_base_of_v<TCustomMemo, Base>) {
        // The square between two scroll bars belongs to the frame.
        if (this->ScrollBars() == ssBoth) {
            const int w = this->Width();
            const int h = this->Height();
            const int edge = FrameWidth + ScrollBarExtent;
            canvas.FillRect({w - edge, h - edge, w - FrameWidth, h - FrameWidth});
        }
    }
}

template <class Base>
void TFlatEditSkin<Base>::MouseEnter()
{
    Base::MouseEnter();
    if (Application && Application->Active()) {
        mouseInside_ = true;
        PaintFrame();
    }
}

template <class Base>
void TFlatEditSkin<Base>::MouseLeave()
{
    Base::MouseLeave();
    mouseInside_ = false;
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::DoEnter()
{
    Base::DoEnter();
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::DoExit()
{
    Base::DoExit();
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::EnabledChanged()
{
    Base::EnabledChanged();
    PaintFrame();
}

template <class Base>
void TFlatEditSkin<Base>::ParentColorChanged()
{
    Base::ParentColorChanged();
    if (useAdvColors_) {
        colorFlat_ = ParentsColor();
        ApplyAdvancedColors();
    } else if (parentColor_) {
        colorFlat_ = ParentsColor();
    }
    PaintFrame();
}

template class TFlatEditSkin<TCustomEdit>;
template class TFlatEditSkin<TCustomMemo>;

// ---------------------------------------------------------------------------

int FontTextHeight(const TFont& font)
{
    TCanvas measure(nullptr);
    measure.Font().Assign(font);
    return measure.GetTextMetrics().tmHeight;
}

TCustomFlatEdit::TCustomFlatEdit(TComponent* owner) : TFlatEditSkin<TCustomEdit>(owner)
{
    SetBounds(Left(), Top(), 121, 19);
}

void TCustomFlatEdit::FitHeightToFont()
{
    SetHeight(FontTextHeight(Font()) + 2 * FrameWidth);
}

void TCustomFlatEdit::Loaded()
{
    TFlatEditSkin<TCustomEdit>::Loaded();
    FitHeightToFont();
}

void TCustomFlatEdit::FontChanged()
{
    TFlatEditSkin<TCustomEdit>::FontChanged();
    if (!((ComponentState() & csDesigning) && Loading()))
        FitHeightToFont();
}
