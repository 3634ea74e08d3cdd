#pragma once

// The flat combo box, memo and spin edit of the main window. While one of
// them is not yet in this tree, a minimal stand-in with the same members the
// trainer uses keeps the program building and its logic testable (no flat
// look, no editing); each stand-in disappears as soon as the real header is
// present.

#include "platform/ui/StdCtrls.h"

#if __has_include("controls/flat/TFlatComboBoxUnit.h")
#include "controls/flat/TFlatComboBoxUnit.h"
#else
enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
class TFlatComboBox : public TWinControl {
public:
    explicit TFlatComboBox(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
    void SetStyle(TComboBoxStyle) {}
    const QStringList& Items() const { return items_; }
    void SetItems(const QStringList& v) { items_ = v; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v) { itemIndex_ = v >= 0 && v < items_.size() ? v : -1; }
    void SetItemHeight(int) {}

private:
    QStringList items_;
    int itemIndex_ = -1;
};
#endif

#if __has_include("controls/flat/TFlatMemoUnit.h")
#include "controls/flat/TFlatMemoUnit.h"
#else
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
class TFlatMemo : public TWinControl {
public:
    class TLines {
    public:
        QString Text() const { return text_; }
        void SetText(const QString& v) { text_ = v; }

    private:
        QString text_;
    };
    explicit TFlatMemo(TComponent* owner) : TWinControl(owner) {}
    TLines& Lines() { return lines_; }
    void SetReadOnly(bool) {}
    void SetScrollBars(TScrollStyle) {}
    void SetColorFlat(TColor) {}

private:
    TLines lines_;
};
#endif

#if __has_include("controls/flat/TFlatSpinEditUnit.h")
#include "controls/flat/TFlatSpinEditUnit.h"
#else
class TFlatSpinEditInteger : public TWinControl {
public:
    explicit TFlatSpinEditInteger(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
    void SetColorFlat(TColor) {}
    void SetAutoSize(bool) {}
    void SetEditorEnabled(bool) {}
    void SetMinValue(int) {}
    void SetMaxValue(int) {}
    int Value() const { return Text().toInt(); }
    void SetValue(int v) { SetText(QString::number(v)); }
};
#endif
