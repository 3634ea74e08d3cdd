#include "controls/flat/TFlatSpinButtonUnit.h"

#include <QPointer>
#include <QTimer>

// ---------------------------------------------------------------------------
// TTimerSpeedButton

TTimerSpeedButton::TTimerSpeedButton(TComponent* owner) : TFlatSpeedButton(owner) {}

TTimerSpeedButton::~TTimerSpeedButton()
{
    BeginDestroy();
    StopRepeat();
    if (inRepeatStep_ && repeatTimer_) {
        // Destroyed by its own repeated click: the timer is still delivering
        // that tick, so it goes once the tick is over.
        std::shared_ptr<TFlatTimer> ticking(std::move(repeatTimer_));
        QTimer::singleShot(0, [ticking] {});
    }
}

void TTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TFlatSpeedButton::MouseDown(button, shift, x, y);
    // Only a held left button on an enabled arrow repeats.
    if (!guard || !repeatEnabled_ || !Dragging())
        return;
    if (!repeatTimer_) {
        repeatTimer_ = FlatDesktop().CreateTimer();
        repeatTimer_->OnTimer = [this] { RepeatStep(); };
    }
    repeatTimer_->SetEnabled(false);
    repeatTimer_->SetInterval(InitialRepeatDelay);
    repeatTimer_->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TFlatSpeedButton::MouseUp(button, shift, x, y);
    if (guard)
        StopRepeat();
}

void TTimerSpeedButton::RepeatStep()
{
    if (!repeatTimer_)
        return;
    repeatTimer_->SetInterval(RepeatInterval);
    // The press is over when the pointer was taken away or its button came
    // up where we never heard of it (outside the application): no arrow may
    // go on stepping by itself.
    if (!Dragging() || !MouseCapture() || !FlatDesktop().LeftButtonHeld()) {
        StopRepeat();
        if (Dragging())
            CancelMode();
        return;
    }
    // Dragged off the arrow, the ticks step nothing until it comes back.
    if (State() != FlatButtonState::Down)
        return;
    QPointer<QWidget> guard(this);
    inRepeatStep_ = true;
    try {
        Click();
    } catch (...) {
        if (guard) {
            inRepeatStep_ = false;
            StopRepeat();
        }
        throw;
    }
    if (guard)
        inRepeatStep_ = false;
}

void TTimerSpeedButton::StopRepeat()
{
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
}

void TTimerSpeedButton::CancelMode()
{
    StopRepeat();
    TFlatSpeedButton::CancelMode();
}

void TTimerSpeedButton::EnabledChanged()
{
    if (!Enabled())
        StopRepeat();
    TFlatSpeedButton::EnabledChanged();
}

// ---------------------------------------------------------------------------
// TSpinButton

TSpinButton::TSpinButton(TComponent* owner) : TWinControl(owner)
{
    SetControlStyle(TControlStyle((ControlStyle() & ~csAcceptsControls) | csOpaque));
    SetParentColor(true);
    upButton_ = MakeArrowButton();
    downButton_ = MakeArrowButton();
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(Left(), Top(), 21, 10);
    focusedButton_ = upButton_;
}

TSpinButton::~TSpinButton()
{
    BeginDestroy();
    // The arrows go with the spin button's components; nothing may reach
    // them meanwhile.
    focusedButton_ = nullptr;
    upButton_ = nullptr;
    downButton_ = nullptr;
}

TTimerSpeedButton* TSpinButton::MakeArrowButton()
{
    auto* b = new TTimerSpeedButton(this);  // owned by the spin button
    b->OnClick = [this](TComponent* sender) { ArrowClicked(sender); };
    b->OnMouseDown = [this](TComponent* sender, TMouseButton button, TShiftState, int, int) {
        ArrowPressed(sender, button);
    };
    b->SetVisible(true);
    b->SetEnabled(true);
    b->SetRepeatEnabled(true);
    b->SetParent(this);
    return b;
}

void TSpinButton::PaintBuiltInArrow(TBitmap& bmp, bool up)
{
    // Rows of the up arrow from the top; the down arrow is the same picture
    // upside down.
    static constexpr const char* kRows[5] = {".....", "..#..", ".###.", "#####", "....."};
    bmp.SetSize(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            bmp.SetPixel(x, y, kRows[up ? y : 4 - y][x] == '#' ? clBlack : ArrowKeyColor);
}

void TSpinButton::SetArrowGlyph(TTimerSpeedButton* b, const TBitmap* v, bool up)
{
    if (v) {
        b->SetGlyph(*v);
        return;
    }
    TBitmap arrow;
    PaintBuiltInArrow(arrow, up);
    b->SetGlyph(arrow);
    b->SetNumGlyphs(1);
    b->SetMargin(2);
    b->SetLayout(up ? blGlyphTop : blGlyphBottom);
}

const TBitmap& TSpinButton::UpGlyph() const { return upButton_->Glyph(); }
void TSpinButton::SetUpGlyph(const TBitmap* v) { SetArrowGlyph(upButton_, v, true); }
const TBitmap& TSpinButton::DownGlyph() const { return downButton_->Glyph(); }
void TSpinButton::SetDownGlyph(const TBitmap* v) { SetArrowGlyph(downButton_, v, false); }
TNumGlyphs TSpinButton::UpNumGlyphs() const { return upButton_->NumGlyphs(); }
void TSpinButton::SetUpNumGlyphs(TNumGlyphs v) { upButton_->SetNumGlyphs(v); }
TNumGlyphs TSpinButton::DownNumGlyphs() const { return downButton_->NumGlyphs(); }
void TSpinButton::SetDownNumGlyphs(TNumGlyphs v) { downButton_->SetNumGlyphs(v); }

void TSpinButton::FitArrowButtons()
{
    if (!upButton_ || !downButton_ || Destroying())
        return;
    upButton_->SetBounds(0, 0, 11, Height());
    downButton_->SetBounds(10, 0, 11, Height());
}

void TSpinButton::Loaded()
{
    TWinControl::Loaded();
    FitArrowButtons();
}

void TSpinButton::SetBounds(int left, int top, int width, int height)
{
    TWinControl::SetBounds(left, top, width, height);
    FitArrowButtons();
}

void TSpinButton::Resize()
{
    TWinControl::Resize();
    FitArrowButtons();
}

void TSpinButton::MoveFocusTo(TTimerSpeedButton* b)
{
    if (!TabStop() || !CanFocus() || b == focusedButton_)
        return;
    focusedButton_ = b;
}

void TSpinButton::ArrowPressed(TComponent* sender, TMouseButton button)
{
    if (button != mbLeft)
        return;
    if (sender == upButton_ || sender == downButton_)
        MoveFocusTo(static_cast<TTimerSpeedButton*>(sender));
    TWinControl* target = focusControl_.data();
    if (target && target->TabStop() && target->CanFocus() && !target->Focused())
        target->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TSpinButton::ArrowClicked(TComponent* sender)
{
    if (sender == upButton_ && OnUpClick)
        OnUpClick(this);
    else if (sender == downButton_ && OnDownClick)
        OnDownClick(this);
}

bool TSpinButton::WantsKey(TKeyCode key, TShiftState shift) const
{
    return key == Qt::Key_Up || key == Qt::Key_Down || TWinControl::WantsKey(key, shift);
}

void TSpinButton::KeyDown(TKeyCode& key, TShiftState shift)
{
    QPointer<QWidget> guard(this);
    TTimerSpeedButton* clicked = nullptr;
    switch (key) {
    case Qt::Key_Space: clicked = focusedButton_; break;
    case Qt::Key_Up:
        MoveFocusTo(upButton_);
        clicked = upButton_;
        break;
    case Qt::Key_Down:
        MoveFocusTo(downButton_);
        clicked = downButton_;
        break;
    default: break;
    }
    if (clicked)
        clicked->Click();
    if (guard)
        TWinControl::KeyDown(key, shift);
}
