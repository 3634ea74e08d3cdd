#pragma once

// The framework's combo box: a list of strings, one of which is current, shown
// in a closed field with a drop-down list under it.

#include "platform/ui/Controls.h"

#include <QStringList>

#include <cstdint>
#include <memory>

class QFocusEvent;
class QWidget;
class TComboEdit;
class TComboListPopup;

// csDropDown: an editable text with a list; csSimple behaves as csDropDown
// here; csDropDownList: choose only; the owner-draw styles draw as
// csDropDownList.
enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// How a dropped list went away.
enum class TCloseUpReason : std::uint8_t { Chosen, Cancelled };

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    QString ClassName() const override { return QStringLiteral("TCustomComboBox"); }

    // --- Items. Assigning a new list drops the selection; with Sorted the
    // items are kept in case-insensitive order.
    const QStringList& Items() const { return items_; }
    void SetItems(const QStringList& v);
    // Adds an item (at its sorted place with Sorted); returns its index.
    int AddItem(const QString& item);
    void ClearItems();
    int Count() const { return int(items_.size()); }

    // -1: nothing selected; out-of-range values select nothing. Assigning it
    // in code never raises OnChange.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    // Selects the item as the user's choice from the list does: OnChange is
    // raised when the selection moved. Out-of-range indexes do nothing.
    void ChooseItem(int index) { UserSelect(index); }

    // Text() is the current item's text (or the typed text in csDropDown).
    // Setting it selects the item with exactly that text; in the choose-only
    // styles a text that is no item changes nothing.

    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    // Items the dropped list shows before it scrolls.
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int v);
    // Row height of the list in the owner-draw styles (others follow the font).
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);
    // Longest text the user may type in csDropDown (0: no limit).
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);

    // Whether the list is shown. Dropping raises OnDropDown first; closing
    // it here counts as cancelled.
    bool DroppedDown() const { return droppedDown_; }
    void SetDroppedDown(bool v);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    // The dropped list and the inner edit as Qt widgets (null when absent),
    // for tests and skins that need to reach them.
    QWidget* ListWidget() const;
    QWidget* EditWidget() const;

    // Choose-only styles: no typing, the field shows the current item.
    bool IsListStyle() const { return style_ != csDropDown && style_ != csSimple; }
    // Row height of the dropped list.
    int ListRowHeight() const;

    void Paint() override;

    // Keys of a closed combo: moving the selection, dropping the list.
    bool WantsChars() const override { return true; }

protected:
    // Hooks a skin overrides (calling these first).
    virtual void Change();                           // raises OnChange
    virtual void DropDown();                         // before the list shows: OnDropDown
    virtual void CloseUp(TCloseUpReason reason);     // after it went: OnCloseUp
    // Where the inner edit of csDropDown lies.
    virtual TRect EditRect() const;

    // Draws the current item into r as the choose-only styles show it: with
    // the focus and the list closed in highlight colours, else in Color.
    void DrawSelectionField(TCanvas& canvas, const TRect& r) const;
    // Whether the field shows the focused highlight now.
    bool ShowsFocusHighlight() const;
    // Places the inner edit at EditRect() with the combo's font and colours
    // (a skin calls it once its EditRect applies).
    void UpdateEdit();

    void KeyDown(TKeyCode& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void TextChanged() override;
    void Resize() override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class TComboEdit;
    friend class TComboListPopup;

    // Moves the selection as the user did; raises OnChange when it moved.
    void UserSelect(int index);
    // The selection target of a navigation key on the closed combo, or -2
    // when the key is not one.
    int NavigationTarget(TKeyCode key) const;
    // Handles the keys every style shares; true: used.
    bool HandleComboKey(TKeyCode key, TShiftState shift);
    int FindPrefix(QChar ch) const;
    void StoreIndex(int v);
    void ShowList();
    void CloseList(TCloseUpReason reason, int chosen);
    void ListHidden();
    void ApplyStyle();
    void EditTextEdited(const QString& text);
    void EditFocus(bool in, QFocusEvent* e);
    // The focus going to the dropped list and coming back from it: the combo
    // keeps the focus for the form and the handlers meanwhile.
    bool ListTakesFocus(bool in, QFocusEvent* e);
    void SortItems();

    QStringList items_;
    int itemIndex_ = -1;
    bool sorted_ = false;
    int dropDownCount_ = 8;
    int itemHeight_ = 16;
    int maxLength_ = 0;
    TComboBoxStyle style_ = csDropDown;
    bool droppedDown_ = false;
    bool syncingText_ = false;
    bool focusInList_ = false;
    std::unique_ptr<TComboListPopup> list_;
    std::unique_ptr<TComboEdit> edit_;
};
