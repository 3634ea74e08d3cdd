#pragma once

// Text editors: the single-line edit and the multi-line memo, both on Qt's
// own editors placed inside the control's client area, and the default beep
// of refused input.

#include "platform/graphics/Region.h"
#include "platform/ui/Controls.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class QContextMenuEvent;
class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class TCustomEdit;

// ---------------------------------------------------------------------------
// The default beep (refused characters, steps of a read-only spin edit).

using TBeepFunction = std::function<void()>;
// Sounds the beep through the function in use.
void MessageBeep();
// Replaces the beep (nullptr: the desktop's beep again); returns the one
// replaced, so a test can put it back.
TBeepFunction SetBeepFunction(TBeepFunction f);

// ---------------------------------------------------------------------------

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// Width of a vertical scroll bar (and height of a horizontal one) in pixels.
inline constexpr int ScrollBarExtent = 16;

// The most characters a memo holds. Text files are read up to 16 MiB, so a
// file between 1 and 16 MiB reaches the memo and is refused here: laying out
// more than a megabyte of wrapped text would stall the window for seconds.
inline constexpr int MemoCapacity = 1024 * 1024;

// Splits the memo's text into lines and joins them back; a memo's Lines.
class TEditLines {
public:
    explicit TEditLines(TCustomEdit& edit) : edit_(edit) {}
    TEditLines(const TEditLines&) = delete;
    TEditLines& operator=(const TEditLines&) = delete;

    int Count() const;
    QString Strings(int i) const;
    QStringList List() const;
    // Every line followed by CR LF.
    QString Text() const;
    // Replaces the text; CR LF, a lone CR and a lone LF each end a line.
    void SetText(const QString& v);
    void Add(const QString& line);
    void Clear();
    // Reads a text file into the memo (ReadTextFile's encodings). The old
    // text stays when the file cannot be read or is too long for the memo.
    void LoadFromFile(const QString& path);

private:
    TCustomEdit& edit_;
};

// ---------------------------------------------------------------------------
// TCustomEdit: a single-line edit (and, through TCustomMemo, the memo).
//
// The text lives in a Qt editor that fills the client area. Keys and typed
// characters reach the control's KeyDown and KeyPress first (after the form's
// preview), so a control can use up or change them before the editor sees
// them. Paste and cut requests go through PasteFromClipboard and
// CutToClipboard, which a control can refuse.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    QString ClassName() const override { return QStringLiteral("TCustomEdit"); }

    // Text and Caption are the editor's text, kept in step both ways; a
    // change raises OnChange (typed or assigned). A memo separates its lines
    // by LF; a text longer than the capacity (MemoCapacity for a memo)
    // raises "Text exceeds memo capacity" and the old text stays.
    TEditLines& Lines() { return lines_; }

    // Selection, in characters.
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    QString SelText() const;
    void SelectAll();
    void ClearSelection();
    void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();

    // The user may select and copy but change nothing.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // The most characters the user may enter; 0: as many as the editor holds.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    // Keep the selection visible only while the control has the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    // Select the whole text when the focus arrives by keyboard (not by a
    // click in the text).
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v);
    // Height follows the font (text height plus the border).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // Whether the last focus arrival came from a click in the text.
    bool FocusedByMouse() const { return focusedByMouse_; }

    // The rectangle of the client area text is laid out in (client
    // coordinates); the client area unless set.
    TRect TextRect() const;
    void SetTextRect(const TRect& r);

    // The Qt editor (for tests and for the controls built on it).
    QWidget* Editor() const { return editor_; }

    // The non-client image as last painted: only the border ring (and what
    // NonClientRegion adds) shows on screen.
    const QImage& NonClientImage() const { return nonClient_; }
    // Paints the non-client area now.
    void RedrawNonClient();

    bool WantsKey(TKeyCode key, TShiftState shift) const override;
    bool WantsChars() const override { return true; }

protected:
    enum class TEditorKind : std::uint8_t { SingleLine, MultiLine };
    TCustomEdit(TComponent* owner, TEditorKind kind);

    // Draws the non-client area into canvas (the whole control, (0, 0) at its
    // top-left). The default draws nothing.
    virtual void PaintNonClient(TCanvas&) {}
    // The pixels of the non-client image that show: the border ring.
    virtual TRegion NonClientRegion() const;
    // Reserves the border, moves the editor inside it.
    void SetBorder(int n);
    // Fits the non-client layer to the size and NonClientRegion, and repaints it.
    void PlaceOverlay();

    // The editor's text changed (typed or assigned); the default raises
    // OnChange.
    virtual void Change();
    // The longest text the control holds (MemoCapacity for a memo).
    virtual int Capacity() const;

    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;
    void Resize() override;
    void Loaded() override;
    bool event(QEvent* e) override;

    QLineEdit* LineEditor() const { return line_; }
    QPlainTextEdit* TextEditor() const { return text_; }
    bool MultiLine() const { return text_ != nullptr; }
    void ApplyPalette();
    void AdjustHeight();

private:
    friend class TLineEditor;
    friend class TTextEditor;
    friend class TNonClientOverlay;
    void PlaceEditor();
    void EditorTextChanged();
    // Keys and characters as the editor receives them (after the form's
    // preview): the control's handlers first, then pass() for what is left.
    void EditorKey(QKeyEvent* e, const std::function<void(QKeyEvent*)>& pass);
    void EditorFocusIn(QFocusEvent* e);
    void EditorFocusOut(QFocusEvent* e);
    void EditorContextMenu(QContextMenuEvent* e);
    // Room for characters typed or pasted into a memo.
    int RoomForInput() const;
    void ApplyTextMargins();
    void ApplyAlignment();
    QString EditorText() const;
    void SetEditorText(const QString& v);

    QWidget* editor_ = nullptr;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QWidget* overlay_ = nullptr;
    QImage nonClient_;
    TCanvas nonClientCanvas_{&nonClient_};
    TEditLines lines_{*this};
    bool readOnly_ = false;
    int maxLength_ = 0;
    TAlignment alignment_ = taLeftJustify;
    bool hideSelection_ = true;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    bool focusedByMouse_ = false;
    bool syncing_ = false;
    bool hasTextRect_ = false;
    TRect textRect_;
};

// ---------------------------------------------------------------------------
// TCustomMemo: multi-line text with optional scroll bars and word wrap.

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TCustomMemo"); }

    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle v);
    // Long lines wrap at the right edge (unless a horizontal scroll bar is
    // shown).
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // Return inserts a line break (otherwise it goes to the form, and
    // Ctrl+Return breaks the line).
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v);
    // Tab inserts a tab (otherwise it moves the focus).
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v);

    bool WantsKey(TKeyCode key, TShiftState shift) const override;

protected:
    // With both scroll bars the square between them belongs to the frame.
    TRegion NonClientRegion() const override;
    int Capacity() const override { return MemoCapacity; }

private:
    void ApplyScrolling();

    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};
