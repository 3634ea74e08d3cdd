#pragma once

#include "controls/flat/FlatUtilitys.h"
#include "platform/core/Colors.h"
#include "platform/ui/Editors.h"

// The flat skin of the edit and the memo: no border of their own but a
// three-pixel frame in the non-client area, idle or hot (focused, or under
// the pointer). The two looks differ in the colour of the text area and of
// the two inner rings; the outer ring is ColorBorder in both.
//
// Base is TCustomEdit or TCustomMemo; the skin is the same for both.
template <class Base>
class TFlatEditSkin : public Base {
public:
    static constexpr int FrameWidth = 3;
    static constexpr TColor DefaultColorFocused = clWhite;
    static constexpr TColor DefaultColorBorder = 8623776;  // RGB(160, 150, 131)
    static constexpr TColor DefaultColorFlat = 14805739;   // RGB(235, 234, 225)

    explicit TFlatEditSkin(TComponent* owner);

    // Background and inner rings in the hot look.
    TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(TColor v);
    // Outer ring in both looks.
    TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(TColor v);
    // Background and inner rings in the idle look; setting it turns
    // ParentColor off.
    TColor ColorFlat() const { return colorFlat_; }
    void SetColorFlat(TColor v);
    // Take ColorFlat from the parent's colour (this replaces the framework's
    // parent colour: Color itself always shows the look's colour).
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    // Percentages for the colours UseAdvColors derives from ColorFlat.
    TAdvColors AdvColorFocused() const { return advColorFocused_; }
    void SetAdvColorFocused(TAdvColors v);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    // Derive ColorFocused (lighter) and ColorBorder (darker) from ColorFlat.
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);

    // Whether the hot look shows now.
    bool Hot() const;
    // Sets the text area to the look's colour and redraws the frame. Does
    // nothing before the control has a parent.
    void PaintFrame();

protected:
    // Whether the pointer over the control makes it hot (always, for the edit).
    virtual bool PointerMakesHot() const { return true; }

    void PaintNonClient(TCanvas& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void ParentColorChanged() override;

private:
    void ApplyAdvancedColors();
    TColor ParentsColor() const;

    TColor colorFocused_ = DefaultColorFocused;
    TColor colorBorder_ = DefaultColorBorder;
    TColor colorFlat_ = DefaultColorFlat;
    bool parentColor_ = false;
    TAdvColors advColorFocused_ = 10;
    TAdvColors advColorBorder_ = 50;
    bool useAdvColors_ = false;
    bool mouseInside_ = false;
};

extern template class TFlatEditSkin<TCustomEdit>;
extern template class TFlatEditSkin<TCustomMemo>;

// ---------------------------------------------------------------------------
// TCustomFlatEdit: the flat single-line edit; its height follows the font
// (text height plus the frame) once the layout is read and whenever the font
// changes.

class TCustomFlatEdit : public TFlatEditSkin<TCustomEdit> {
public:
    explicit TCustomFlatEdit(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TCustomFlatEdit"); }

    void FitHeightToFont();
    void Loaded() override;

protected:
    void FontChanged() override;
};

class TFlatEdit : public TCustomFlatEdit {
public:
    explicit TFlatEdit(TComponent* owner) : TCustomFlatEdit(owner) {}
    QString ClassName() const override { return QStringLiteral("TFlatEdit"); }
};

// The text height (cell height) of a font on the screen, in pixels.
int FontTextHeight(const TFont& font);
