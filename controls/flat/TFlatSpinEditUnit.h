#pragma once

#include "controls/flat/TFlatEditUnit.h"
#include "controls/flat/TFlatSpinButtonUnit.h"

// A flat edit for an integer with a pair of arrows at its right end. The
// arrows, the Up and Down keys and typing change the value; it is limited to
// MinValue..MaxValue when assigned and when the focus leaves. The value lives
// only in the text.
class TFlatSpinEditInteger : public TCustomFlatEdit {
public:
    // Width of the arrow pair; its last column lies under the frame.
    static constexpr int SpinButtonWidth = 22;

    explicit TFlatSpinEditInteger(TComponent* owner);
    ~TFlatSpinEditInteger() override;
    QString ClassName() const override { return QStringLiteral("TFlatSpinEditInteger"); }

    // The text as a number (SpinTextValue): text that is no integer reads as
    // MinValue, a number beyond 32 bits as the limit nearest to it. Reading
    // never limits an in-range number.
    int Value() const;
    // Shows ClampValue(v); the text (and OnChange) change only when the text
    // differs.
    void SetValue(int v);
    // Equal limits mean no limits.
    int MinValue() const { return minValue_; }
    void SetMinValue(int v);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v);
    int Increment() const { return increment_; }
    void SetIncrement(int v);
    // Typing, pasting and cutting allowed; the arrows and keys step either way.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v);

    int ClampValue(int v) const;
    // Text height of the font plus 7: the least height the control takes.
    int MinimumHeight() const;
    TSpinButton* SpinButton() const { return spinButton_; }

    // Whether a typed character may reach the text.
    virtual bool AcceptsKey(QChar ch) const;
    virtual void StepUp();
    virtual void StepDown();

    void Loaded() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;

protected:
    void Resize() override;
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;

private:
    void Step(int by);
    void UpdateTextRect();
    void PlaceSpinButton();

    TSpinButton* spinButton_ = nullptr;
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
};
