#include "controls/flat/TFlatSpinEditUnit.h"

#include "controls/flat/SpinEditValue.h"

#include "platform/runtime/SysUtils.h"

#include <QLocale>

#include <climits>
#include <cstdint>

namespace {

int Saturated(std::int64_t v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

QChar DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

}  // namespace

TFlatSpinEditInteger::TFlatSpinEditInteger(TComponent* owner) : TCustomFlatEdit(owner)
{
    // The name never shows as the number.
    SetControlStyle(ControlStyle() & TControlStyle(~csSetCaption));
    // A click in the text focuses the editor itself; a press on an arrow
    // must not focus the spin edit on its way up, so that the arrow gives the
    // focus as a keyboard arrival (and the text gets selected).
    SetFocusOnClick(false);
    // Qt hands a widget's focus policy on to its focus proxy, the editor,
    // which would then ignore clicks too: give the editor its own back.
    Editor()->setFocusPolicy(Qt::StrongFocus);
    spinButton_ = new TSpinButton(this);  // owned by the spin edit
    spinButton_->SetParent(this);
    spinButton_->SetBounds(0, 0, SpinButtonWidth, 10);
    spinButton_->SetVisible(true);
    spinButton_->SetFocusControl(this);
    spinButton_->OnUpClick = [this](TComponent*) { StepUp(); };
    spinButton_->OnDownClick = [this](TComponent*) { StepDown(); };
    SetValue(0);
    UpdateTextRect();
    PlaceSpinButton();
}

TFlatSpinEditInteger::~TFlatSpinEditInteger()
{
    BeginDestroy();
    // The framework frees the arrows with the other owned components.
    spinButton_ = nullptr;
}

// --- Value

int TFlatSpinEditInteger::Value() const
{
    return SpinTextValue(Text(), minValue_, maxValue_);
}

void TFlatSpinEditInteger::SetValue(int v)
{
    const QString text = QString::number(ClampValue(v));
    if (text != Text())
        SetText(text);
}

int TFlatSpinEditInteger::ClampValue(int v) const
{
    return ClampSpinValue(v, minValue_, maxValue_);
}

void TFlatSpinEditInteger::SetMinValue(int v)
{
    minValue_ = v;
}

void TFlatSpinEditInteger::SetMaxValue(int v)
{
    maxValue_ = v;
}

void TFlatSpinEditInteger::SetIncrement(int v)
{
    increment_ = v;
}

void TFlatSpinEditInteger::SetEditorEnabled(bool v)
{
    editorEnabled_ = v;
}

void TFlatSpinEditInteger::Step(int by)
{
    if (ReadOnly()) {
        MessageBeep();
        return;
    }
    // Past the 32-bit range the value stays at its end instead of wrapping.
    SetValue(Saturated(std::int64_t(Value()) + by));
}

void TFlatSpinEditInteger::StepUp()
{
    Step(increment_);
}

void TFlatSpinEditInteger::StepDown()
{
    Step(increment_ == INT_MIN ? INT_MAX : -increment_);
}

// --- Keys, clipboard, focus

bool TFlatSpinEditInteger::AcceptsKey(QChar ch) const
{
    const char16_t c = ch.unicode();
    const bool control = c < 32;
    bool accepted = ch == QLatin1Char('+') || ch == QLatin1Char('-') ||
                    (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == DecimalSeparator() ||
                    (control && c != 13);
    if (!editorEnabled_ && (!control || c == 8))
        accepted = false;
    return accepted;
}

void TFlatSpinEditInteger::KeyDown(TKeyCode& key, TShiftState shift)
{
    if (key == Qt::Key_Up)
        StepUp();
    else if (key == Qt::Key_Down)
        StepDown();
    TCustomFlatEdit::KeyDown(key, shift);
    // Delete types nothing but changes the text all the same: without typing
    // it is refused like Backspace.
    if (key == Qt::Key_Delete && !editorEnabled_) {
        key = 0;
        MessageBeep();
    }
}

void TFlatSpinEditInteger::KeyPress(QChar& key)
{
    if (!AcceptsKey(key)) {
        key = QChar();
        MessageBeep();
        return;
    }
    TCustomFlatEdit::KeyPress(key);
}

void TFlatSpinEditInteger::CutToClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TCustomFlatEdit::CutToClipboard();
}

void TFlatSpinEditInteger::PasteFromClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TCustomFlatEdit::PasteFromClipboard();
}

void TFlatSpinEditInteger::DoEnter()
{
    if (AutoSelect() && !FocusedByMouse())
        SelectAll();
    TCustomFlatEdit::DoEnter();
}

void TFlatSpinEditInteger::DoExit()
{
    TCustomFlatEdit::DoExit();
    int parsed = 0;
    const TSpinTextParse parse = ParseSpinText(Text(), parsed);
    const int v = Value();
    // A number beyond 32 bits is shown as the limit it reads as.
    if (ClampValue(v) != v || parse == TSpinTextParse::TooLarge || parse == TSpinTextParse::TooSmall)
        SetValue(v);
}

// --- Geometry

int TFlatSpinEditInteger::MinimumHeight() const
{
    return FontTextHeight(Font()) + 7;
}

void TFlatSpinEditInteger::UpdateTextRect()
{
    if (!spinButton_)
        return;
    SetTextRect({0, 0, ClientWidth() - spinButton_->Width() - 3, ClientHeight()});
}

void TFlatSpinEditInteger::PlaceSpinButton()
{
    if (!spinButton_)
        return;
    spinButton_->SetBounds(Width() - spinButton_->Width() - 5, 0, spinButton_->Width(), Height() - 6);
}

void TFlatSpinEditInteger::Loaded()
{
    UpdateTextRect();
    PlaceSpinButton();
    TCustomFlatEdit::Loaded();
}

void TFlatSpinEditInteger::Resize()
{
    TCustomFlatEdit::Resize();
    if (!spinButton_ || Destroying())
        return;
    if (Height() < MinimumHeight()) {
        SetHeight(MinimumHeight());
        return;
    }
    PlaceSpinButton();
    UpdateTextRect();
}
