#pragma once

// The arrow pair of the flat spin edits: a windowed control holding two flat
// speed buttons that repeat their click while held.

#include "controls/flat/TFlatSpeedButtonUnit.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"

#include <QPointer>

#include <memory>

// A flat speed button that clicks again and again while it is held down with
// the pointer on it: first after 400 ms, then every 100 ms.
class TTimerSpeedButton : public TFlatSpeedButton {
public:
    static constexpr unsigned InitialRepeatDelay = 400;
    static constexpr unsigned RepeatInterval = 100;

    explicit TTimerSpeedButton(TComponent* owner);
    ~TTimerSpeedButton() override;

    QString ClassName() const override { return QStringLiteral("TTimerSpeedButton"); }

    bool RepeatEnabled() const { return repeatEnabled_; }
    void SetRepeatEnabled(bool v) { repeatEnabled_ = v; }
    // Made by the first press and kept until the button goes; nullptr before.
    TFlatTimer* RepeatTimer() const { return repeatTimer_.get(); }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CancelMode() override;
    void EnabledChanged() override;

private:
    void RepeatStep();
    void StopRepeat();

    std::unique_ptr<TFlatTimer> repeatTimer_;
    bool repeatEnabled_ = false;
    bool inRepeatStep_ = false;
};

// Two arrow buttons side by side sharing their middle column: up on the left,
// down on the right.
class TSpinButton : public TWinControl {
public:
    explicit TSpinButton(TComponent* owner);
    ~TSpinButton() override;

    QString ClassName() const override { return QStringLiteral("TSpinButton"); }

    // --- Properties
    const TBitmap& UpGlyph() const;
    // nullptr brings back the built-in arrow.
    void SetUpGlyph(const TBitmap* v);
    const TBitmap& DownGlyph() const;
    void SetDownGlyph(const TBitmap* v);
    TNumGlyphs UpNumGlyphs() const;
    void SetUpNumGlyphs(TNumGlyphs v);
    TNumGlyphs DownNumGlyphs() const;
    void SetDownNumGlyphs(TNumGlyphs v);
    // The control that takes the focus when an arrow is pressed; forgotten
    // when it is destroyed.
    TWinControl* FocusControl() const { return focusControl_.data(); }
    void SetFocusControl(TWinControl* v) { focusControl_ = v; }

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    // --- The arrows
    TTimerSpeedButton* UpButton() const { return upButton_; }
    TTimerSpeedButton* DownButton() const { return downButton_; }
    // The arrow the Space key clicks.
    TTimerSpeedButton* FocusedButton() const { return focusedButton_; }

    // Places the arrows: the up arrow over columns 0..10, the down arrow over
    // 10..20, both the full height; the spin button's own size stays.
    void FitArrowButtons();

    // The built-in 5 x 5 arrows: black on olive, the olive being the key.
    static void PaintBuiltInArrow(TBitmap& bmp, bool up);
    static constexpr TColor ArrowKeyColor = RGB(128, 128, 0);

    // --- Framework hooks
    void Loaded() override;
    void SetBounds(int left, int top, int width, int height) override;
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    bool WantsKey(TKeyCode key, TShiftState shift) const override;

protected:
    void Resize() override;

private:
    TTimerSpeedButton* MakeArrowButton();
    void ArrowPressed(TComponent* sender, TMouseButton button);
    void ArrowClicked(TComponent* sender);
    void MoveFocusTo(TTimerSpeedButton* b);
    void SetArrowGlyph(TTimerSpeedButton* b, const TBitmap* v, bool up);

    TTimerSpeedButton* upButton_ = nullptr;
    TTimerSpeedButton* downButton_ = nullptr;
    TTimerSpeedButton* focusedButton_ = nullptr;
    QPointer<TWinControl> focusControl_;
};
