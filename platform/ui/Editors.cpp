#include "platform/ui/Editors.h"

#include "platform/runtime/SysUtils.h"
#include "platform/runtime/TextFile.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QChildEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <climits>

namespace {

TBeepFunction& BeepSlot()
{
    static TBeepFunction beep;
    return beep;
}

// The classic style for what Qt draws inside the editors (the scroll bars
// above all: 16 pixels wide, in the button-face colours), whatever the
// desktop's style is. It lives as long as the Qt application.
QStyle* ClassicStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(qApp);
    }
    return style;
}

QColor QtColor(TColor c)
{
    return QColor::fromRgb(ColorToPixel(c));
}

// The memo keeps LF between its lines: CR LF and a lone CR become LF, so the
// text document sees one block per line.
QString NormalizeBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

// Keeps at most n UTF-16 units of s without splitting a surrogate pair.
QString LeftWhole(const QString& s, int n)
{
    if (n >= int(s.size()))
        return s;
    if (n > 0 && s.at(n - 1).isHighSurrogate())
        --n;
    return s.left(std::max(n, 0));
}

bool IsDialogKeyCode(TKeyCode key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

void MessageBeep()
{
    if (BeepSlot())
        BeepSlot()();
    else
        QApplication::beep();
}

TBeepFunction SetBeepFunction(TBeepFunction f)
{
    TBeepFunction previous = std::move(BeepSlot());
    BeepSlot() = std::move(f);
    return previous;
}

// ---------------------------------------------------------------------------
// The Qt editors, each handing its input to the control first.

class TLineEditor : public QLineEdit {
public:
    explicit TLineEditor(TCustomEdit* owner) : QLineEdit(owner), owner_(owner) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        owner_->EditorKey(e, [this](QKeyEvent* k) { QLineEdit::keyPressEvent(k); });
        e->accept();
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QLineEdit::focusInEvent(e);
        owner_->EditorFocusIn(e);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QLineEdit::focusOutEvent(e);
        owner_->EditorFocusOut(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override { owner_->EditorContextMenu(e); }
    // The selection paste of the middle button would slip past the control's
    // paste rules; the platform has no such paste.
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::MiddleButton)
            QLineEdit::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::MiddleButton)
            QLineEdit::mouseReleaseEvent(e);
    }

private:
    TCustomEdit* owner_;
};

class TTextEditor : public QPlainTextEdit {
public:
    explicit TTextEditor(TCustomEdit* owner) : QPlainTextEdit(owner), owner_(owner) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        owner_->EditorKey(e, [this](QKeyEvent* k) { QPlainTextEdit::keyPressEvent(k); });
        e->accept();
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QPlainTextEdit::focusInEvent(e);
        owner_->EditorFocusIn(e);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QPlainTextEdit::focusOutEvent(e);
        owner_->EditorFocusOut(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override { owner_->EditorContextMenu(e); }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::MiddleButton)
            QPlainTextEdit::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::MiddleButton)
            QPlainTextEdit::mouseReleaseEvent(e);
    }
    // Every paste ends here: it takes plain text only, with its line breaks
    // made LF, and no more than the memo has room for.
    void insertFromMimeData(const QMimeData* source) override
    {
        if (isReadOnly() || !source || !source->hasText())
            return;
        const QString text = NormalizeBreaks(source->text());
        const QString fits = LeftWhole(text, owner_->RoomForInput());
        if (fits.size() < text.size())
            MessageBeep();
        if (fits.isEmpty())
            return;
        textCursor().insertText(fits);
        ensureCursorVisible();
    }
    bool canInsertFromMimeData(const QMimeData* source) const override { return source && source->hasText(); }

private:
    TCustomEdit* owner_;
};

// Paints the control's non-client image over everything else in the control
// (the editor, the scroll bars, the child controls); its mask leaves only the
// border showing, and the pointer passes through it.
class TNonClientOverlay : public QWidget {
public:
    explicit TNonClientOverlay(TCustomEdit* owner) : QWidget(owner), owner_(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, owner_->NonClientImage());
    }

private:
    TCustomEdit* owner_;
};

// ---------------------------------------------------------------------------
// TEditLines

int TEditLines::Count() const
{
    return int(List().size());
}

QString TEditLines::Strings(int i) const
{
    const QStringList lines = List();
    return i >= 0 && i < int(lines.size()) ? lines.at(i) : QString();
}

QStringList TEditLines::List() const
{
    return SplitLines(edit_.Text());
}

QString TEditLines::Text() const
{
    QString out;
    for (const QString& line : List())
        out += line + QStringLiteral("\r\n");
    return out;
}

void TEditLines::SetText(const QString& v)
{
    edit_.SetText(v);
}

void TEditLines::Add(const QString& line)
{
    QStringList lines = List();
    lines.append(line);
    edit_.SetText(lines.join(QLatin1Char('\n')));
}

void TEditLines::Clear()
{
    edit_.SetText(QString());
}

void TEditLines::LoadFromFile(const QString& path)
{
    // Both the reader and the memo refuse before anything changes.
    edit_.SetText(ReadTextFile(path));
}

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomEdit(owner, TEditorKind::SingleLine) {}

TCustomEdit::TCustomEdit(TComponent* owner, TEditorKind kind) : TWinControl(owner)
{
    if (kind == TEditorKind::SingleLine) {
        line_ = new TLineEditor(this);  // owned by its Qt parent
        line_->setFrame(false);
        editor_ = line_;
        QObject::connect(line_, &QLineEdit::textChanged, line_, [this] { EditorTextChanged(); });
    } else {
        text_ = new TTextEditor(this);  // owned by its Qt parent
        text_->setFrameShape(QFrame::NoFrame);
        text_->document()->setDocumentMargin(1);
        text_->setTabChangesFocus(true);
        editor_ = text_;
        QObject::connect(text_, &QPlainTextEdit::textChanged, text_, [this] { EditorTextChanged(); });
    }
    if (QStyle* style = ClassicStyle()) {
        editor_->setStyle(style);
        if (text_) {
            text_->verticalScrollBar()->setStyle(style);
            text_->horizontalScrollBar()->setStyle(style);
        }
    }
    // Text dragged in would slip past the control's key and paste rules.
    editor_->setAcceptDrops(false);
    editor_->setAutoFillBackground(true);
    editor_->setFocusPolicy(Qt::StrongFocus);
    editor_->setContextMenuPolicy(Qt::DefaultContextMenu);
    setFocusProxy(editor_);
    overlay_ = new TNonClientOverlay(this);  // owned by its Qt parent
    overlay_->hide();

    SetColor(clWindow);
    SetTabStop(true);
    SetFocusOnClick(true);
    editor_->setFont(Font().QtFont());
    ApplyPalette();
    ApplyAlignment();
    SetBounds(Left(), Top(), 121, 21);
}

TCustomEdit::~TCustomEdit()
{
    BeginDestroy();
    // The editor may still send focus and text notifications while it goes;
    // they must not reach the half-destroyed control.
    QObject::disconnect(editor_, nullptr, nullptr, nullptr);
    delete overlay_;
    overlay_ = nullptr;
    QWidget* editor = editor_;
    editor_ = nullptr;
    line_ = nullptr;
    text_ = nullptr;
    delete editor;
}

// --- Text

QString TCustomEdit::EditorText() const
{
    if (line_)
        return line_->text();
    if (text_) {
        QString raw = text_->document()->toRawText();
        raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return raw;
    }
    return QString();
}

void TCustomEdit::SetEditorText(const QString& v)
{
    if (line_) {
        line_->setText(v);
    } else if (text_) {
        shown_ = v;
        text_->setPlainText(v);
    }
}

void TCustomEdit::TextChanged()
{
    TWinControl::TextChanged();
    if (syncing_ || !editor_)
        return;
    const QString wanted = MultiLine() ? NormalizeBreaks(Caption()) : Caption();
    if (MultiLine() && int(Caption().size()) > Capacity()) {
        // Put the caption back to what the editor holds, then refuse.
        const QString old = shown_;
        syncing_ = true;
        TControl::SetCaption(old);
        syncing_ = false;
        throw MemoCapacityError();
    }
    syncing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{syncing_};
    const bool changed = wanted != (line_ ? line_->text() : shown_);
    if (changed)
        SetEditorText(wanted);
    // The editor may have cut the text to its length or changed the line
    // breaks; the caption says what it holds.
    if (line_)
        TControl::SetCaption(line_->text());
    else
        TControl::SetCaption(wanted);
    syncing_ = false;
    if (changed)
        Change();
}

void TCustomEdit::EditorTextChanged()
{
    if (syncing_ || !editor_ || Destroying())
        return;
    GuardedCall([this] {
        syncing_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{syncing_};
        shown_ = text_ ? EditorText() : QString();
        TControl::SetCaption(line_ ? EditorText() : shown_);
        syncing_ = false;
        Change();
    });
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

int TCustomEdit::Capacity() const
{
    return line_ ? line_->maxLength() : MemoCapacity;
}

int TCustomEdit::RoomForInput() const
{
    if (!text_)
        return INT_MAX;
    const int limit = maxLength_ > 0 ? std::min(maxLength_, Capacity()) : Capacity();
    const int length = text_->document()->characterCount() - 1;
    const int selected = int(text_->textCursor().selectedText().size());
    return std::max(limit - (length - selected), 0);
}

// --- Selection and clipboard

int TCustomEdit::SelStart() const
{
    if (line_)
        return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    if (text_)
        return text_->textCursor().selectionStart();
    return 0;
}

void TCustomEdit::SetSelStart(int v)
{
    v = std::clamp(v, 0, int(Text().size()));
    if (line_) {
        line_->setCursorPosition(v);
    } else if (text_) {
        QTextCursor c = text_->textCursor();
        c.setPosition(v);
        text_->setTextCursor(c);
    }
}

int TCustomEdit::SelLength() const
{
    if (line_)
        return int(line_->selectedText().size());
    if (text_) {
        const QTextCursor c = text_->textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    return 0;
}

void TCustomEdit::SetSelLength(int v)
{
    const int start = SelStart();
    const int end = std::clamp(start + std::max(v, 0), start, int(Text().size()));
    if (line_) {
        line_->setSelection(start, end - start);
    } else if (text_) {
        QTextCursor c = text_->textCursor();
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        text_->setTextCursor(c);
    }
}

QString TCustomEdit::SelText() const
{
    if (line_)
        return line_->selectedText();
    if (text_) {
        QString s = text_->textCursor().selectedText();
        s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return s;
    }
    return QString();
}

void TCustomEdit::SelectAll()
{
    if (line_)
        line_->selectAll();
    else if (text_)
        text_->selectAll();
}

void TCustomEdit::ClearSelection()
{
    if (line_)
        line_->deselect();
    else if (text_) {
        QTextCursor c = text_->textCursor();
        c.clearSelection();
        text_->setTextCursor(c);
    }
}

void TCustomEdit::CopyToClipboard()
{
    if (line_)
        line_->copy();
    else if (text_)
        text_->copy();
}

void TCustomEdit::CutToClipboard()
{
    if (readOnly_)
        return;
    if (line_)
        line_->cut();
    else if (text_)
        text_->cut();
}

void TCustomEdit::PasteFromClipboard()
{
    if (readOnly_)
        return;
    if (line_)
        line_->paste();
    else if (text_)
        text_->paste();
}

// --- Properties

void TCustomEdit::SetReadOnly(bool v)
{
    if (v == readOnly_)
        return;
    readOnly_ = v;
    if (line_) {
        line_->setReadOnly(v);
    } else if (text_) {
        text_->setReadOnly(v);
        // Read-only text can still be selected and copied from the keyboard.
        text_->setTextInteractionFlags(v ? Qt::TextInteractionFlags(Qt::TextSelectableByMouse |
                                                                    Qt::TextSelectableByKeyboard)
                                         : Qt::TextInteractionFlags(Qt::TextEditorInteraction));
    }
    editor_->setFocusPolicy(Qt::StrongFocus);
}

void TCustomEdit::SetMaxLength(int v)
{
    v = std::max(v, 0);
    if (v == maxLength_)
        return;
    maxLength_ = v;
    if (line_)
        line_->setMaxLength(v > 0 ? v : 32767);
}

void TCustomEdit::SetAlignment(TAlignment v)
{
    if (v == alignment_)
        return;
    alignment_ = v;
    ApplyAlignment();
}

void TCustomEdit::ApplyAlignment()
{
    Qt::Alignment h = Qt::AlignLeft;
    if (alignment_ == taRightJustify)
        h = Qt::AlignRight;
    else if (alignment_ == taCenter)
        h = Qt::AlignHCenter;
    if (line_) {
        line_->setAlignment(h | Qt::AlignVCenter);
    } else if (text_) {
        QTextOption option = text_->document()->defaultTextOption();
        option.setAlignment(h);
        text_->document()->setDefaultTextOption(option);
    }
}

void TCustomEdit::SetHideSelection(bool v)
{
    if (v == hideSelection_)
        return;
    hideSelection_ = v;
    ApplyPalette();
}

void TCustomEdit::SetAutoSelect(bool v)
{
    autoSelect_ = v;
}

void TCustomEdit::SetAutoSize(bool v)
{
    if (v == autoSize_)
        return;
    autoSize_ = v;
    AdjustHeight();
}

void TCustomEdit::AdjustHeight()
{
    if (!autoSize_ || Loading())
        return;
    TCanvas measure(nullptr);
    measure.Font().Assign(Font());
    SetHeight(measure.GetTextMetrics().tmHeight + 2 * NonClientBorder());
}

TRect TCustomEdit::TextRect() const
{
    return hasTextRect_ ? textRect_ : ClientRect();
}

void TCustomEdit::SetTextRect(const TRect& r)
{
    if (hasTextRect_ && r == textRect_)
        return;
    hasTextRect_ = true;
    textRect_ = r;
    ApplyTextMargins();
}

void TCustomEdit::ApplyTextMargins()
{
    if (!line_ || !hasTextRect_)
        return;
    const TRect client = ClientRect();
    line_->setTextMargins(std::max(textRect_.Left, 0), std::max(textRect_.Top, 0),
                          std::max(client.Right - textRect_.Right, 0), std::max(client.Bottom - textRect_.Bottom, 0));
}

// --- Palette, font, colour

void TCustomEdit::ApplyPalette()
{
    if (!editor_)
        return;
    QPalette pal = editor_->palette();
    const QColor base = QtColor(Color());
    const QColor text = QtColor(Font().Color());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(g, QPalette::Base, base);
        pal.setColor(g, QPalette::Text, text);
        pal.setColor(g, QPalette::Window, QtColor(clBtnFace));
        pal.setColor(g, QPalette::Button, QtColor(clBtnFace));
        pal.setColor(g, QPalette::ButtonText, QtColor(clBtnText));
        pal.setColor(g, QPalette::WindowText, QtColor(clWindowText));
        pal.setColor(g, QPalette::Light, QtColor(clBtnHighlight));
        pal.setColor(g, QPalette::Midlight, QtColor(cl3DLight));
        pal.setColor(g, QPalette::Mid, QtColor(clBtnShadow));
        pal.setColor(g, QPalette::Dark, QtColor(clBtnShadow));
        pal.setColor(g, QPalette::Shadow, QtColor(cl3DDkShadow));
        pal.setColor(g, QPalette::Highlight, QtColor(clHighlight));
        pal.setColor(g, QPalette::HighlightedText, QtColor(clHighlightText));
    }
    pal.setColor(QPalette::Disabled, QPalette::Text, QtColor(clGrayText));
    if (hideSelection_) {
        // Without the focus the selection looks like the rest of the text.
        pal.setColor(QPalette::Inactive, QPalette::Highlight, base);
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    }
    editor_->setPalette(pal);
    if (text_) {
        // The scroll bars get a palette of their own, with every role set, so
        // the text colours never reach them: the style caches their pixmaps
        // per palette, and a new palette at every change of colour (the flat
        // memo changes it at every focus change) filled that cache.
        QPalette bars = pal;
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            bars.setColor(g, QPalette::Base, QtColor(clWindow));
            bars.setColor(g, QPalette::Text, QtColor(clWindowText));
            bars.setColor(g, QPalette::Highlight, QtColor(clHighlight));
            bars.setColor(g, QPalette::HighlightedText, QtColor(clHighlightText));
        }
        bars.setResolveMask(~QPalette::ResolveMask(0));
        for (QScrollBar* bar : {text_->verticalScrollBar(), text_->horizontalScrollBar()})
            if (bar->palette() != bars || bar->palette().resolveMask() != bars.resolveMask())
                bar->setPalette(bars);
    }
}

void TCustomEdit::FontChanged()
{
    TWinControl::FontChanged();
    if (!editor_)
        return;
    editor_->setFont(Font().QtFont());
    ApplyPalette();
    AdjustHeight();
}

void TCustomEdit::ColorChanged()
{
    TWinControl::ColorChanged();
    ApplyPalette();
}

void TCustomEdit::EnabledChanged()
{
    TWinControl::EnabledChanged();
}

// --- Geometry and the non-client area

void TCustomEdit::SetBorder(int n)
{
    SetNonClientBorder(n);
    PlaceEditor();
    PlaceOverlay();
}

void TCustomEdit::Resize()
{
    TWinControl::Resize();
    PlaceEditor();
    PlaceOverlay();
}

void TCustomEdit::Loaded()
{
    TWinControl::Loaded();
    AdjustHeight();
}

void TCustomEdit::PlaceEditor()
{
    if (!editor_)
        return;
    const int b = NonClientBorder();
    editor_->setGeometry(b, b, ClientWidth(), ClientHeight());
    ApplyTextMargins();
}

TRegion TCustomEdit::NonClientRegion() const
{
    const int b = NonClientBorder();
    TRegion ring(TRect{0, 0, Width(), Height()});
    if (b > 0)
        ring = ring.Subtract(TRegion(TRect{b, b, Width() - b, Height() - b}));
    return b > 0 ? ring : TRegion();
}

void TCustomEdit::PlaceOverlay()
{
    if (!overlay_)
        return;
    const QRegion mask = NonClientRegion().ToQRegion();
    if (mask.isEmpty() || Width() <= 0 || Height() <= 0) {
        overlay_->hide();
        return;
    }
    overlay_->setGeometry(0, 0, Width(), Height());
    overlay_->setMask(mask);
    overlay_->raise();
    overlay_->show();
    RedrawNonClient();
}

void TCustomEdit::RedrawNonClient()
{
    if (!overlay_ || Width() <= 0 || Height() <= 0)
        return;
    if (nonClient_.width() != Width() || nonClient_.height() != Height()) {
        nonClient_ = QImage(Width(), Height(), QImage::Format_RGB32);
        nonClient_.fill(ColorToPixel(Color()));
        nonClientCanvas_.SetTarget(&nonClient_);
    }
    nonClientCanvas_.ResetClip();
    PaintNonClient(nonClientCanvas_);
    overlay_->update();
}

bool TCustomEdit::event(QEvent* e)
{
    const bool result = TWinControl::event(e);
    // The border stays above child controls added later (their edge inside
    // the border is hidden, as if clipped to the client area).
    if (overlay_ && (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildPolished) &&
        static_cast<QChildEvent*>(e)->child() != overlay_ && overlay_->isVisibleTo(this))
        overlay_->raise();
    return result;
}

// --- Keys, focus, menu

bool TCustomEdit::WantsKey(TKeyCode, TShiftState) const
{
    return false;
}

void TCustomEdit::EditorKey(QKeyEvent* e, const std::function<void(QKeyEvent*)>& pass)
{
    if (Destroying()) {
        pass(e);
        return;
    }
    QPointer<QWidget> alive(this);
    GuardedCall([&] {
        TKeyCode key = e->key();
        const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
        // Enter and Escape go to the default and cancel buttons unless the
        // control takes them itself.
        if (IsDialogKeyCode(key) && !WantsKey(key, shift))
            if (TForm* form = ParentForm(); form && form->DialogKey(key, shift))
                return;
        KeyDown(key, shift);
        if (!alive || !editor_)
            return;
        // Paste and cut go through the control, which may refuse them.
        if (key != 0 && e->matches(QKeySequence::Paste)) {
            PasteFromClipboard();
            return;
        }
        if (key != 0 && e->matches(QKeySequence::Cut)) {
            CutToClipboard();
            return;
        }
        // Delete types no character on the platform.
        const QString text = e->key() == Qt::Key_Delete ? QString() : e->text();
        QString kept;
        for (QChar ch : text) {
            KeyPress(ch);
            if (!alive || !editor_)
                return;
            if (!ch.isNull())
                kept += ch;
        }
        if (key == 0 && kept.isEmpty())
            return;
        if (!text.isEmpty() && kept.isEmpty())
            return;
        if (text_ && !readOnly_) {
            const bool printable = !kept.isEmpty() && !(kept.size() == 1 && kept.at(0).unicode() < 32 &&
                                                        kept.at(0) != QLatin1Char('\r') && kept.at(0) != QLatin1Char('\t'));
            if (printable && RoomForInput() < int(kept.size())) {
                MessageBeep();
                return;
            }
        }
        if (key == e->key() && kept == text) {
            pass(e);
            return;
        }
        QKeyEvent changed(e->type(), key == 0 ? Qt::Key_unknown : key, e->modifiers(), kept, e->isAutoRepeat(),
                          ushort(e->count()));
        pass(&changed);
    });
}

void TCustomEdit::EditorFocusIn(QFocusEvent* e)
{
    if (Destroying())
        return;
    focusedByMouse_ = e->reason() == Qt::MouseFocusReason;
    if (autoSelect_ && !focusedByMouse_)
        SelectAll();
    else if (!autoSelect_ && line_ && !focusedByMouse_)
        line_->deselect();
    TWinControl::focusInEvent(e);
}

void TCustomEdit::EditorFocusOut(QFocusEvent* e)
{
    if (Destroying())
        return;
    TWinControl::focusOutEvent(e);
}

void TCustomEdit::EditorContextMenu(QContextMenuEvent* e)
{
    // The menu sends its commands as the keys would, so they meet the same
    // rules (a refused paste stays refused).
    QMenu menu;
    QPointer<QWidget> target(editor_);
    auto add = [&](const QString& caption, int key, Qt::KeyboardModifiers mods, bool enabled) {
        QAction* a = menu.addAction(caption);
        a->setEnabled(enabled);
        QObject::connect(a, &QAction::triggered, a, [target, key, mods] {
            if (!target)
                return;
            QKeyEvent k(QEvent::KeyPress, key, mods);
            QApplication::sendEvent(target, &k);
        });
    };
    const bool hasSelection = SelLength() > 0;
    const bool editable = !readOnly_;
    add(QStringLiteral("Отменить"), Qt::Key_Z, Qt::ControlModifier, editable);
    menu.addSeparator();
    add(QStringLiteral("Вырезать"), Qt::Key_X, Qt::ControlModifier, editable && hasSelection);
    add(QStringLiteral("Копировать"), Qt::Key_C, Qt::ControlModifier, hasSelection);
    add(QStringLiteral("Вставить"), Qt::Key_V, Qt::ControlModifier, editable);
    add(QStringLiteral("Удалить"), Qt::Key_Delete, Qt::NoModifier, editable && hasSelection);
    menu.addSeparator();
    add(QStringLiteral("Выделить все"), Qt::Key_A, Qt::ControlModifier, !Text().isEmpty());
    menu.exec(e->globalPos());
}

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner, TEditorKind::MultiLine)
{
    SetBounds(Left(), Top(), 185, 89);
    ApplyScrolling();
}

void TCustomMemo::SetScrollBars(TScrollStyle v)
{
    if (v == scrollBars_)
        return;
    scrollBars_ = v;
    ApplyScrolling();
    PlaceOverlay();
}

void TCustomMemo::SetWordWrap(bool v)
{
    if (v == wordWrap_)
        return;
    wordWrap_ = v;
    ApplyScrolling();
}

void TCustomMemo::SetWantReturns(bool v)
{
    wantReturns_ = v;
}

void TCustomMemo::SetWantTabs(bool v)
{
    if (v == wantTabs_)
        return;
    wantTabs_ = v;
    TextEditor()->setTabChangesFocus(!v);
}

void TCustomMemo::ApplyScrolling()
{
    QPlainTextEdit* e = TextEditor();
    const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const bool horizontal = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    e->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar means long lines run on instead of wrapping.
    e->setLineWrapMode(wordWrap_ && !horizontal ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TCustomMemo::WantsKey(TKeyCode key, TShiftState shift) const
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return wantReturns_ || (shift & ssCtrl);
    if (key == Qt::Key_Tab)
        return wantTabs_;
    return TCustomEdit::WantsKey(key, shift);
}

TRegion TCustomMemo::NonClientRegion() const
{
    TRegion region = TCustomEdit::NonClientRegion();
    const int b = NonClientBorder();
    if (scrollBars_ == ssBoth && b > 0) {
        const int w = Width();
        const int h = Height();
        region = region.Union(TRegion(TRect{w - b - ScrollBarExtent, h - b - ScrollBarExtent, w - b, h - b}));
    }
    return region;
}
