#pragma once

// The base of the shaped push buttons: button states, mouse and keyboard,
// groups, glyph and caption layout, shade colours, offsets, the caption
// renderer and the plumbing of window shapes.

#include "controls/shaped/fcChangeLink.h"
#include "controls/shaped/fcCommon.h"
#include "controls/shaped/fctext.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"
#include "platform/core/Persistent.h"
#include "platform/graphics/Region.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

enum TfcButtonOption : std::uint8_t { boFocusable, boOverrideActionGlyph, boToggleOnUp, boFocusRect, boAutoBold };

// A set of TfcButtonOption, one bit per element.
class TfcButtonOptions {
public:
    constexpr TfcButtonOptions() = default;
    constexpr TfcButtonOptions(std::initializer_list<TfcButtonOption> items)
    {
        for (TfcButtonOption o : items)
            bits_ = std::uint8_t(bits_ | Bit(o));
    }
    constexpr bool Contains(TfcButtonOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr TfcButtonOptions With(TfcButtonOption o) const { return FromBits(std::uint8_t(bits_ | Bit(o))); }
    constexpr TfcButtonOptions Without(TfcButtonOption o) const { return FromBits(std::uint8_t(bits_ & ~Bit(o))); }
    friend constexpr bool operator==(TfcButtonOptions, TfcButtonOptions) = default;

private:
    static constexpr std::uint8_t Bit(TfcButtonOption o) { return std::uint8_t(1u << unsigned(o)); }
    static constexpr TfcButtonOptions FromBits(std::uint8_t b)
    {
        TfcButtonOptions s;
        s.bits_ = b;
        return s;
    }
    std::uint8_t bits_ = 0;
};

enum TBitBtnKind : std::uint8_t { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };

// Parameters of SetDownState and friends, spelled out at the call sites.
enum class TfcBroadcast : std::uint8_t { No, Yes };
enum class TfcRepaint : std::uint8_t { No, Yes };
enum class TfcPressCheck : std::uint8_t { AnyState, RequirePressed };
enum class TfcReleasePlace : std::uint8_t { Outside, Inside };
enum class TfcRegionCompute : std::uint8_t { CachedOnly, Compute };

class TfcCustomBitBtn;

// The six edge colours of a button. Each change repaints the owner.
class TfcShadeColors : public TPersistent {
public:
    explicit TfcShadeColors(std::function<void()> onChange = {}) : onChange_(std::move(onChange)) {}

    QString ClassName() const override { return QStringLiteral("TfcShadeColors"); }
    void Assign(const TPersistent* source) override;

    TColor BtnHighlight() const { return btnHighlight_; }
    void SetBtnHighlight(TColor v) { Set(btnHighlight_, v); }
    TColor Btn3DLight() const { return btn3DLight_; }
    void SetBtn3DLight(TColor v) { Set(btn3DLight_, v); }
    TColor BtnShadow() const { return btnShadow_; }
    void SetBtnShadow(TColor v) { Set(btnShadow_, v); }
    TColor BtnBlack() const { return btnBlack_; }
    void SetBtnBlack(TColor v) { Set(btnBlack_, v); }
    TColor BtnFocus() const { return btnFocus_; }
    void SetBtnFocus(TColor v) { Set(btnFocus_, v); }
    TColor Shadow() const { return shadow_; }
    void SetShadow(TColor v) { Set(shadow_, v); }

private:
    void Set(TColor& field, TColor v);

    std::function<void()> onChange_;
    TColor btnHighlight_ = clBtnHighlight;
    TColor btn3DLight_ = cl3DLight;
    TColor btnShadow_ = clBtnShadow;
    TColor btnBlack_ = clBlack;
    TColor btnFocus_ = clBlack;
    TColor shadow_ = clBlack;
};

// Displacement of glyph and caption. The first four repaint the owner on
// change; the down offsets are read at the next paint.
class TfcOffsets : public TPersistent {
public:
    explicit TfcOffsets(std::function<void()> onChange = {}) : onChange_(std::move(onChange)) {}

    QString ClassName() const override { return QStringLiteral("TfcOffsets"); }
    void Assign(const TPersistent* source) override;

    int GlyphX() const { return glyphX_; }
    void SetGlyphX(int v) { Set(glyphX_, v); }
    int GlyphY() const { return glyphY_; }
    void SetGlyphY(int v) { Set(glyphY_, v); }
    int TextX() const { return textX_; }
    void SetTextX(int v) { Set(textX_, v); }
    int TextY() const { return textY_; }
    void SetTextY(int v) { Set(textY_, v); }
    int TextDownX() const { return textDownX_; }
    void SetTextDownX(int v) { textDownX_ = v; }
    int TextDownY() const { return textDownY_; }
    void SetTextDownY(int v) { textDownY_ = v; }

private:
    void Set(int& field, int v);

    std::function<void()> onChange_;
    int glyphX_ = 0;
    int glyphY_ = 0;
    int textX_ = 0;
    int textY_ = 0;
    int textDownX_ = 1;
    int textDownY_ = 1;
};

// The offsets of image buttons: also how far the image moves when down.
class TfcImgDownOffsets : public TfcOffsets {
public:
    using TfcOffsets::TfcOffsets;

    QString ClassName() const override { return QStringLiteral("TfcImgDownOffsets"); }
    void Assign(const TPersistent* source) override;

    int ImageDownX() const { return imageDownX_; }
    void SetImageDownX(int v) { imageDownX_ = v; }
    int ImageDownY() const { return imageDownY_; }
    void SetImageDownY(int v) { imageDownY_ = v; }

private:
    int imageDownX_ = 2;
    int imageDownY_ = 2;
};

// What the layout of glyph and caption needs to know.
struct TfcLayoutInput {
    int Width = 0;
    int Height = 0;
    int TextWidth = 0;  // caption size as measured
    int TextHeight = 0;
    bool HasCaption = false;
    bool HasGlyph = false;
    int GlyphWidth = 0;  // one glyph cell; 0 x 0 without a glyph
    int GlyphHeight = 0;
    int Spacing = 4;
    int Margin = -1;
    TAlignment Alignment = taCenter;
    TButtonLayout Layout = blGlyphLeft;
    TPoint GlyphOffset;
    TPoint TextOffset;
    TPoint DownOffset;
    bool Down = false;
};

struct TfcLayoutResult {
    TRect Glyph;
    TRect Caption;  // clipped to the client area
};

// Places glyph and caption as one block around an anchor point chosen by the
// caption's alignment.
TfcLayoutResult fcArrangeGlyphAndCaption(const TfcLayoutInput& in);

class TfcCustomBitBtn : public TCustomControl {
public:
    explicit TfcCustomBitBtn(TComponent* owner);
    ~TfcCustomBitBtn() override;

    QString ClassName() const override { return QStringLiteral("TfcCustomBitBtn"); }

    // --- Properties
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool DisableThemes() const { return disableThemes_; }
    void SetDisableThemes(bool v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(const TBitmap& v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    // Answers bkCustom (and forgets the kind) once Default, Cancel or
    // ModalResult no longer match it.
    TBitBtnKind Kind();
    void SetKind(TBitBtnKind v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    // 0 until assigned (and then treated as 1); the setter clamps to 1..4.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TfcOffsets& Offsets() { return *offsets_; }
    const TfcOffsets& Offsets() const { return *offsets_; }
    void SetOffsets(const TfcOffsets& v) { offsets_->Assign(&v); }
    TfcButtonOptions Options() const { return options_; }
    void SetOptions(TfcButtonOptions v);
    TfcShadeColors& ShadeColors() { return *shadeColors_; }
    const TfcShadeColors& ShadeColors() const { return *shadeColors_; }
    void SetShadeColors(const TfcShadeColors& v) { shadeColors_->Assign(&v); }
    TfcShadeStyle ShadeStyle() const { return shadeStyle_; }
    void SetShadeStyle(TfcShadeStyle v);
    bool SmoothFont() const { return smoothFont_; }
    void SetSmoothFont(bool v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    bool StaticCaption() const { return staticCaption_; }
    void SetStaticCaption(bool v);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle v);
    TfcCaptionText& TextOptions() { return *textOptions_; }
    const TfcCaptionText& TextOptions() const { return *textOptions_; }
    void SetTextOptions(const TfcCaptionText& v) { textOptions_->Assign(&v); }

    // The data-aware caption: while assigned and StaticCaption is False, the
    // caption shown is the linked field's display text.
    std::function<QString()> FieldDisplayText;

    TNotifyEvent OnSelChange;

    // --- Window-shape streams: a 32-bit little-endian byte count N, then N
    // bytes of region data (N = 0: none). Reading fills the cache of the up or
    // down state; malformed data is ignored.
    void ReadRegionData(const QByteArray& stream);
    void ReadDownRegionData(const QByteArray& stream);
    // Whether the streams are written at all (never for shape buttons).
    virtual bool HasRegionData() const { return false; }

    // --- Operations
    // The one place where Down changes.
    virtual void SetDownState(bool value, TfcBroadcast broadcast, TfcRepaint repaint);
    // The two halves of a click, shared by the mouse and the space key.
    void Press();
    void Release(TfcReleasePlace place);
    // Is the client point (-1, -1: the pointer) over this button's visible
    // shape, the form being active; with TfcPressCheck::RequirePressed also only while the
    // left button went down on this button.
    bool HitTest(int x, int y, TfcPressCheck check);
    // Paints the button now onto its own surface.
    virtual void PaintNow() { Repaint(); }
    // Tells every control of the parent that this group button went down.
    virtual void BroadcastPressed();
    virtual void SelChange();
    void Click() override;

    // Group message from a sibling.
    void GroupButtonPressed(int groupIndex, TfcCustomBitBtn* sender);

    virtual void AddChangeLink(TfcChangeLink* link);
    virtual void RemoveChangeLink(TfcChangeLink* link);
    const std::vector<TfcChangeLink*>& ChangeLinks() const { return changeLinks_; }

    // Shading colours derived from one base colour.
    virtual void DeriveShadeColors(TColor base);
    // Makes the button square by raising the smaller side to the larger.
    virtual void SizeToDefault() {}

    // --- State
    bool MousePressed() const { return mousePressed_; }
    bool ActiveDefault() const { return activeDefault_; }
    bool InClick() const { return inClick_; }
    const TRect& GlyphRect() const { return glyphRect_; }
    const TRect& CaptionRect() const { return captionRect_; }
    // The window shape as last computed for the state, if any.
    bool HasCachedRegion(TfcFaceLook look) const { return !RegionCache(look).empty(); }

    // --- Framework hooks
    void Loaded() override;
    void Paint() override;
    void EraseBackground(TCanvas&) override {}
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    bool DialogKey(TKeyCode key, TShiftState shift) override;
    bool DialogChar(QChar ch, TShiftState shift) override;
    void FocusChanged(TWinControl* focused) override;
    void CancelMode() override;
    void EnabledChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;
    // Besides the caption and enabled state: a button without a glyph takes
    // the action's image (list-sized, on fuchsia) as its glyph.
    void ActionChange() override;

protected:
    // The caption shown (the field's text for a data-aware caption).
    virtual QString GetCaption() const;
    virtual std::unique_ptr<TfcOffsets> CreateOffsets();
    // The window shape for the state: from the cache, else (with TfcRegionCompute::Compute)
    // computed and cached. None leaves the window rectangular.
    virtual std::optional<TRegion> CreateRegion(TfcRegionCompute compute, TfcFaceLook look);
    virtual void ArrangeGlyphAndCaption(TCanvas& canvas, TfcFaceLook look);
    virtual int GlyphCellWidth() const;
    virtual void FreeRegions();
    virtual void ClearRegionCache();
    virtual void DrawGlyph(TCanvas& canvas, TfcFaceLook look);
    virtual void DrawCaption(TCanvas& canvas, const TRect& captionRect);
    // Draws the face (and for display the edges) into image; nothing here.
    virtual void PaintFace(TBitmap& image, TfcFacePurpose purpose, TfcShadeStyle style, TfcFaceLook look);
    virtual void GlyphChanged();
    virtual void NotifySelChange();
    virtual void NotifyDown();
    virtual void NotifyLoaded();
    virtual void StoreRegionData(const TRegion& region, TfcFaceLook look);
    virtual bool UsesWindowShape() const { return false; }
    virtual void ApplyRegion();
    virtual void InvalidateParentUnderShape();
    virtual void DrawGlyphAndCaption(TCanvas& canvas, TfcFaceLook look);
    virtual bool HitsByOwnRegion() const { return false; }

    void Resize() override;

    // Re-shapes the window after a change of outline or shade style.
    void RecreateShape();
    // Whether the pointer is over the button (for the hot look).
    bool IsHot();
    bool HasWindow() const { return !Loading() && !Destroying(); }
    void RequestRepaint() { Invalidate(); }

    void ResetOffsets(std::unique_ptr<TfcOffsets> offsets) { offsets_ = std::move(offsets); }
    TfcFaceLook DownLook() const { return down_ ? fcflDown : fcflUp; }
    const std::vector<std::uint8_t>& RegionCache(TfcFaceLook look) const
    {
        return look == fcflDown ? downRegionCache_ : upRegionCache_;
    }
    std::vector<std::uint8_t>& RegionCache(TfcFaceLook look) { return look == fcflDown ? downRegionCache_ : upRegionCache_; }

private:
    void ApplyAutoBold();
    void ReadRegionStream(const QByteArray& stream, std::vector<std::uint8_t>& cache);
    bool IsDialogKeyClick(TKeyCode key, TShiftState shift) const;
    void ReevaluateActiveDefault();
    void CaptionSizeChanged() {}

    bool allowAllUp_ = false;
    bool cancel_ = false;
    bool default_ = false;
    bool disableThemes_ = false;
    bool down_ = false;
    TBitmap glyph_;
    int groupIndex_ = 0;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int modalResult_ = 0;
    int numGlyphs_ = 0;
    TfcButtonOptions options_;
    TfcShadeStyle shadeStyle_ = fbsHighlight;
    bool smoothFont_ = false;
    int spacing_ = 4;
    bool staticCaption_ = false;
    TButtonStyle style_ = bsAutoDetect;

    std::unique_ptr<TfcShadeColors> shadeColors_;
    std::unique_ptr<TfcOffsets> offsets_;
    std::unique_ptr<TfcCaptionText> textOptions_;
    std::vector<TfcChangeLink*> changeLinks_;

    bool mousePressed_ = false;
    bool downAtPress_ = false;
    bool activeDefault_ = false;
    bool inClick_ = false;
    TRect glyphRect_;
    TRect captionRect_;
    TCanvas* ownCanvas_ = nullptr;
    std::vector<std::uint8_t> upRegionCache_;
    std::vector<std::uint8_t> downRegionCache_;
};
