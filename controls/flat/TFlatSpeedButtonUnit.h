#pragma once

// The flat speed button: a windowless push button with a one-pixel frame, a
// background that lightens under the pointer, an inverted frame while
// pressed, latching inside a group and an optional glyph beside its caption.

#include "controls/flat/FlatUtilitys.h"

#include "platform/core/Colors.h"
#include "platform/core/Types.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Controls.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// ---------------------------------------------------------------------------
// What the flat buttons ask of the desktop. The hover light and the spin
// arrows' repeat need a timer, the pointer's position, the control under a
// point and whether one of our windows is active; tests install a desktop of
// their own so that nothing depends on a real pointer or on wall-clock time.

// A repeating timer; OnTimer runs on the user-interface thread.
class TFlatTimer {
public:
    virtual ~TFlatTimer() = default;
    // Milliseconds between ticks. Changing it while running restarts the
    // count from now.
    virtual unsigned Interval() const = 0;
    virtual void SetInterval(unsigned ms) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool v) = 0;

    std::function<void()> OnTimer;
};

class IFlatDesktop {
public:
    virtual ~IFlatDesktop() = default;
    // The pointer's position on the screen.
    virtual TPoint PointerPos() = 0;
    // The control under a screen point, disabled controls included.
    virtual TControl* ControlAt(TPoint screenPoint) = 0;
    // Whether one of the application's windows is the active window.
    virtual bool ApplicationActive() = 0;
    // Whether the left mouse button is held, as far as the application
    // knows (a release outside it may never reach a control).
    virtual bool LeftButtonHeld() = 0;
    // A new timer, stopped, with an interval of 1000 ms.
    virtual std::unique_ptr<TFlatTimer> CreateTimer() = 0;
};

// The desktop in use (the real one unless replaced).
IFlatDesktop& FlatDesktop();
// Replaces the desktop (nullptr: the real one again); returns the previous.
IFlatDesktop* SetFlatDesktop(IFlatDesktop* desktop);

// ---------------------------------------------------------------------------

// When the button paints its background: always (tmNone), only while the
// pointer is over it (tmNotFocused), or never (tmAlways: the parent shows).
enum TTransparentMode : std::uint8_t { tmAlways, tmNotFocused, tmNone };

// Up; Disabled; Down (pressed with the pointer inside); Exclusive (latched
// down in a group).
enum class FlatButtonState : std::uint8_t { Up = 0, Disabled = 1, Down = 2, Exclusive = 3 };

class TFlatSpeedButton : public TGraphicControl {
public:
    static constexpr TColor DefaultColor = 14805739;          // RGB(235, 234, 225)
    static constexpr TColor DefaultColorFocused = 14805739;   // RGB(235, 234, 225)
    static constexpr TColor DefaultColorDown = 12965593;      // RGB(217, 214, 197)
    static constexpr TColor DefaultColorBorder = 8623776;     // RGB(160, 150, 131)
    static constexpr unsigned HoverInterval = 100;            // ms between hover checks

    explicit TFlatSpeedButton(TComponent* owner);
    ~TFlatSpeedButton() override;

    QString ClassName() const override { return QStringLiteral("TFlatSpeedButton"); }

    // --- Properties
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v);
    TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(TColor v);
    TColor ColorDown() const { return colorDown_; }
    void SetColorDown(TColor v);
    TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(TColor v);
    TColor ColorHighLight() const { return colorHighLight_; }
    void SetColorHighLight(TColor v);
    TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(TColor v);
    // Percentages for the colours derived from Color while UseAdvColors;
    // clamped into 0..100.
    TAdvColors AdvColorFocused() const { return advColorFocused_; }
    void SetAdvColorFocused(TAdvColors v);
    TAdvColors AdvColorDown() const { return advColorDown_; }
    void SetAdvColorDown(TAdvColors v);
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    // Derive ColorFocused, ColorDown and ColorBorder from Color (and follow
    // the parent's colour).
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    // Latched down; only a button of a group can be down.
    bool Down() const { return down_; }
    void SetDown(bool v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);

    // A strip of 1..4 equally wide images (the button keeps a copy).
    const TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(const TBitmap& v);
    // Values outside 1..4 are brought into that range.
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(TNumGlyphs v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    // -1 places the glyph automatically; values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    // What the form's modal result becomes on a click (0 too).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }

    // --- State, for painting and for whoever inspects the button.
    FlatButtonState State() const { return state_; }
    // Painted as hovered.
    bool MouseInside() const { return mouseInside_; }
    // The left button went down on the button and is still held.
    bool Dragging() const { return dragging_; }
    const TRect& CaptionArea() const { return captionArea_; }
    TPoint GlyphOrigin() const { return glyphOrigin_; }

    // --- Hover tracking shared by every flat speed button.
    // The one button tracked as hovered, or nullptr.
    static TFlatSpeedButton* HoverButton();
    // The shared hover timer; it exists while any button exists.
    static TFlatTimer* HoverTimer();
    static int LiveButtonCount();

    // --- Operations
    // Gives the form the modal result, then runs the action or OnClick.
    void Click() override;
    // The colours derived from Color (only with UseAdvColors).
    void ApplyAdvancedColors();
    // A sibling of the group went down (or shares its AllowAllUp).
    virtual void GroupNotice(int groupIndex, TFlatSpeedButton* sender);

    // --- Framework hooks
    void Loaded() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool DialogChar(QChar ch, TShiftState shift) override;
    void EnabledChanged() override;
    // The pointer was taken away while held here: the press ends without a
    // click.
    void CancelMode() override;
    void ColorChanged() override;
    void ActionChange() override;

protected:
    void EnterHover();
    void LeaveHover();
    void StopHoverTracking();
    // After a release and an enabled change: the hover look from where the
    // pointer is now.
    void RefreshHover();
    void NotifyGroup();
    // Starts tracking this button as the hovered one (when our application
    // is active) after letting go of the previous one.
    void BeginHoverTracking();

private:
    static void HoverCheck();
    void SetState(FlatButtonState s);
    void SetColorField(TColor& field, TColor v);
    void SetAdvField(TAdvColors& field, TAdvColors v);
    bool IsAccelerator(QChar ch) const;
    bool InClient(int x, int y) const { return x >= 0 && x < Width() && y >= 0 && y < Height(); }
    void NormaliseState();
    void PaintBackground(TCanvas& canvas);
    void PaintFrame(TCanvas& canvas);
    void PaintGlyph(TCanvas& canvas);
    void PaintCaption(TCanvas& canvas);

    TTransparentMode transparentMode_ = tmNone;
    TColor colorFocused_ = DefaultColorFocused;
    TColor colorDown_ = DefaultColorDown;
    TColor colorBorder_ = DefaultColorBorder;
    TColor colorHighLight_ = clWhite;
    TColor colorShadow_ = clBlack;
    TAdvColors advColorFocused_ = 10;
    TAdvColors advColorDown_ = 10;
    TAdvColors advColorBorder_ = 50;
    bool useAdvColors_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    TBitmap glyph_;
    TNumGlyphs numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int spacing_ = 4;
    TModalResult modalResult_ = mrNone;

    FlatButtonState state_ = FlatButtonState::Up;
    bool mouseInside_ = false;
    bool dragging_ = false;
    TRect captionArea_;
    TPoint glyphOrigin_;
};
