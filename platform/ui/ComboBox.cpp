#include "platform/ui/ComboBox.h"

#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStringListModel>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Width of the classic look's arrow button: the width of a vertical scroll
// bar, as the list's own scroll bar has it.
constexpr int kClassicButtonWidth = 16;

QColor QtColor(TColor c)
{
    const std::uint32_t rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

int FindExact(const QStringList& items, const QString& text)
{
    for (int i = 0; i < int(items.size()); ++i)
        if (items[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool SortsBefore(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

// Rows of the dropped list all take the combo's row height.
class TRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(rowHeight);
        return s;
    }
    int rowHeight = 16;
};

// Counts the popup's and the edit's event handlers on the stack, so a combo
// deleted by a handler they ran leaves the widget to the event loop.
struct DispatchCount {
    explicit DispatchCount(int& n) : n_(n) { ++n_; }
    ~DispatchCount() { --n_; }
    DispatchCount(const DispatchCount&) = delete;
    DispatchCount& operator=(const DispatchCount&) = delete;
    int& n_;
};

}  // namespace

// ---------------------------------------------------------------------------
// The dropped list: a popup window under the combo. A click on a row or
// Return chooses; Escape or a click elsewhere cancels.

class TComboListPopup : public QListView {
public:
    explicit TComboListPopup(TCustomComboBox* owner) : combo(owner)
    {
        setWindowFlags(Qt::Popup);
        // The click that closes the list by landing elsewhere does nothing
        // else, so a click on the combo itself does not drop it again.
        setAttribute(Qt::WA_NoMouseReplay);
        setModel(new QStringListModel(this));  // owned by the view
        setItemDelegate(delegate = new TRowDelegate(this));  // owned by the view
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
    }

    QStringListModel* Model() const { return static_cast<QStringListModel*>(model()); }

    TCustomComboBox* combo;  // null once the combo is being destroyed
    TRowDelegate* delegate;
    int dispatching = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        DispatchCount count(dispatching);
        const int key = e->key();
        const bool alt = e->modifiers() & Qt::AltModifier;
        if (combo && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F4 || key == Qt::Key_Tab ||
                      (alt && (key == Qt::Key_Up || key == Qt::Key_Down)))) {
            e->accept();
            const int row = currentIndex().isValid() ? currentIndex().row() : -1;
            GuardedCall([&] { combo->CloseList(TCloseUpReason::Chosen, row); });
            return;
        }
        if (combo && key == Qt::Key_Escape) {
            e->accept();
            GuardedCall([&] { combo->CloseList(TCloseUpReason::Cancelled, -1); });
            return;
        }
        QListView::keyPressEvent(e);
    }

    // The row under the pointer is the highlighted one, as the user points.
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QModelIndex index = indexAt(e->position().toPoint());
        if (index.isValid() && index != currentIndex())
            setCurrentIndex(index);
        if (e->buttons() != Qt::NoButton)
            QListView::mouseMoveEvent(e);
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        DispatchCount count(dispatching);
        const QPoint p = e->position().toPoint();
        const QModelIndex index = indexAt(p);
        if (combo && e->button() == Qt::LeftButton && index.isValid() && viewport()->rect().contains(p)) {
            e->accept();
            GuardedCall([&] { combo->CloseList(TCloseUpReason::Chosen, index.row()); });
            return;
        }
        QListView::mouseReleaseEvent(e);
    }

    void hideEvent(QHideEvent* e) override
    {
        DispatchCount count(dispatching);
        QListView::hideEvent(e);
        if (combo)
            GuardedCall([&] { combo->ListHidden(); });
    }
};

// ---------------------------------------------------------------------------
// The inner edit of csDropDown: the user types the text here; the combo keeps
// the keys that move the selection or drop the list.

class TComboEdit : public QLineEdit {
public:
    explicit TComboEdit(TCustomComboBox* owner) : QLineEdit(owner), combo(owner)
    {
        setFrame(false);
        connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
            DispatchCount count(dispatching);
            if (combo)
                GuardedCall([&] { combo->EditTextEdited(text); });
        });
    }

    TCustomComboBox* combo;
    int dispatching = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        DispatchCount count(dispatching);
        if (combo) {
            TKeyCode key = e->key();
            QPointer<QWidget> alive(this);
            GuardedCall([&] { combo->KeyDown(key, TControl::ShiftFromQt(e->modifiers(), Qt::NoButton)); });
            if (!alive || !combo)
                return;
            if (key == 0) {
                e->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(e);
    }

    void focusInEvent(QFocusEvent* e) override
    {
        DispatchCount count(dispatching);
        QLineEdit::focusInEvent(e);
        if (combo)
            combo->EditFocus(true, e);
    }

    void focusOutEvent(QFocusEvent* e) override
    {
        DispatchCount count(dispatching);
        QLineEdit::focusOutEvent(e);
        if (combo)
            combo->EditFocus(false, e);
    }
};

// ---------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner)
{
    // The text is the combo's value, never its name.
    SetControlStyle(TControlStyle(ControlStyle() & ~csSetCaption) | csOpaque);
    SetColor(clWindow);
    SetTabStop(true);
    SetFocusOnClick(true);
    SetBounds(0, 0, 145, 21);
    ApplyStyle();
}

namespace {

// Widgets that may be inside one of their own handlers go to the event loop;
// the others go at once.
template <class W>
void DisposeWidget(std::unique_ptr<W>& w)
{
    if (!w)
        return;
    w->combo = nullptr;
    w->hide();
    if (w->dispatching > 0) {
        // Not with the combo's widget: the event loop deletes it once its
        // handler has returned.
        w->setParent(nullptr);
        w.release()->deleteLater();
    }
    else
        w.reset();
}

}  // namespace

TCustomComboBox::~TCustomComboBox()
{
    BeginDestroy();
    setFocusProxy(nullptr);
    DisposeWidget(list_);
    DisposeWidget(edit_);
}

QWidget* TCustomComboBox::ListWidget() const
{
    return list_.get();
}

QWidget* TCustomComboBox::EditWidget() const
{
    return edit_.get();
}

// --- Items and selection

void TCustomComboBox::SetItems(const QStringList& v)
{
    if (v == items_)
        return;
    items_ = v;
    if (sorted_)
        SortItems();
    if (IsListStyle() || itemIndex_ >= 0)
        StoreIndex(-1);
    else
        Invalidate();
}

int TCustomComboBox::AddItem(const QString& item)
{
    int at = int(items_.size());
    if (sorted_)
        at = int(std::upper_bound(items_.begin(), items_.end(), item, SortsBefore) - items_.begin());
    items_.insert(at, item);
    if (itemIndex_ >= at)
        ++itemIndex_;
    Invalidate();
    return at;
}

void TCustomComboBox::ClearItems()
{
    if (items_.isEmpty())
        return;
    items_.clear();
    StoreIndex(-1);
}

void TCustomComboBox::SetItemIndex(int v)
{
    if (v < -1 || v >= Count())
        v = -1;
    if (v == itemIndex_ && (v < 0 ? Text().isEmpty() : Text() == items_[v]))
        return;
    StoreIndex(v);
}

void TCustomComboBox::StoreIndex(int v)
{
    itemIndex_ = v;
    syncingText_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{syncingText_};
    SetCaption(v >= 0 ? items_[v] : QString());
    UpdateEdit();
    Invalidate();
}

void TCustomComboBox::TextChanged()
{
    if (!syncingText_) {
        const int found = FindExact(items_, Text());
        if (IsListStyle()) {
            // Only an item's text can stand in the field.
            StoreIndex(found >= 0 ? found : itemIndex_);
            return;
        }
        itemIndex_ = found;
        UpdateEdit();
    }
    TWinControl::TextChanged();
}

void TCustomComboBox::SetSorted(bool v)
{
    if (v == sorted_)
        return;
    sorted_ = v;
    if (sorted_)
        SortItems();
}

void TCustomComboBox::SortItems()
{
    const QString current = itemIndex_ >= 0 ? items_[itemIndex_] : QString();
    const int before = itemIndex_;
    std::stable_sort(items_.begin(), items_.end(), SortsBefore);
    if (before >= 0)
        itemIndex_ = int(std::find(items_.begin(), items_.end(), current) - items_.begin());
    Invalidate();
}

void TCustomComboBox::SetDropDownCount(int v)
{
    v = std::max(v, 1);
    if (v == dropDownCount_)
        return;
    dropDownCount_ = v;
}

void TCustomComboBox::SetItemHeight(int v)
{
    v = std::max(v, 1);
    if (v == itemHeight_)
        return;
    itemHeight_ = v;
    Invalidate();
}

void TCustomComboBox::SetMaxLength(int v)
{
    v = std::max(v, 0);
    if (v == maxLength_)
        return;
    maxLength_ = v;
    if (edit_)
        edit_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TCustomComboBox::SetStyle(TComboBoxStyle v)
{
    if (v == style_)
        return;
    SetDroppedDown(false);
    style_ = v;
    ApplyStyle();
    if (IsListStyle())
        StoreIndex(itemIndex_);
    Invalidate();
}

void TCustomComboBox::ApplyStyle()
{
    if (IsListStyle()) {
        setFocusProxy(nullptr);
        DisposeWidget(edit_);
        return;
    }
    if (edit_)
        return;
    edit_ = std::make_unique<TComboEdit>(this);
    edit_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    setFocusProxy(edit_.get());
    UpdateEdit();
    edit_->show();
}

void TCustomComboBox::UpdateEdit()
{
    if (!edit_)
        return;
    const TRect r = EditRect();
    edit_->setGeometry(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
    edit_->setFont(Font().QtFont());
    QPalette p = edit_->palette();
    p.setColor(QPalette::Base, QtColor(Color()));
    p.setColor(QPalette::Text, QtColor(Font().Color()));
    edit_->setPalette(p);
    if (edit_->text() != Text())
        edit_->setText(Text());
}

void TCustomComboBox::EditTextEdited(const QString& text)
{
    {
        syncingText_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{syncingText_};
        SetCaption(text);
    }
    itemIndex_ = FindExact(items_, text);
    Change();
}

void TCustomComboBox::EditFocus(bool in, QFocusEvent* e)
{
    // The edit holds the focus for the combo: the form and the handlers see
    // the combo gain and lose it.
    if (ListTakesFocus(in, e))
        return;
    if (in)
        TWinControl::focusInEvent(e);
    else
        TWinControl::focusOutEvent(e);
}

bool TCustomComboBox::ListTakesFocus(bool in, QFocusEvent* e)
{
    if (e->reason() != Qt::PopupFocusReason)
        return false;
    if (!in && droppedDown_) {
        focusInList_ = true;
    } else if (in && focusInList_) {
        focusInList_ = false;
    } else {
        return false;
    }
    Invalidate();
    return true;
}

void TCustomComboBox::focusInEvent(QFocusEvent* e)
{
    if (ListTakesFocus(true, e))
        QWidget::focusInEvent(e);
    else
        TWinControl::focusInEvent(e);
}

void TCustomComboBox::focusOutEvent(QFocusEvent* e)
{
    if (ListTakesFocus(false, e))
        QWidget::focusOutEvent(e);
    else
        TWinControl::focusOutEvent(e);
}

TRect TCustomComboBox::EditRect() const
{
    return {3, 3, Width() - 3 - kClassicButtonWidth, Height() - 3};
}

// --- User selection and keys

void TCustomComboBox::UserSelect(int index)
{
    if (index < 0 || index >= Count() || (index == itemIndex_ && Text() == items_[index]))
        return;
    StoreIndex(index);
    if (edit_)
        edit_->selectAll();
    Change();
}

int TCustomComboBox::NavigationTarget(TKeyCode key) const
{
    const int n = Count();
    const int cur = itemIndex_;
    const int page = std::max(dropDownCount_ - 1, 1);
    const bool list = IsListStyle();
    int target;
    switch (key) {
    case Qt::Key_Left:
        if (!list)
            return -2;
        [[fallthrough]];
    case Qt::Key_Up:
        target = cur < 0 ? 0 : cur - 1;
        break;
    case Qt::Key_Right:
        if (!list)
            return -2;
        [[fallthrough]];
    case Qt::Key_Down:
        target = cur + 1;
        break;
    case Qt::Key_Home:
        if (!list)
            return -2;
        target = 0;
        break;
    case Qt::Key_End:
        if (!list)
            return -2;
        target = n - 1;
        break;
    case Qt::Key_PageUp:
        target = cur < 0 ? 0 : cur - page;
        break;
    case Qt::Key_PageDown:
        target = std::max(cur, 0) + page;
        break;
    default:
        return -2;
    }
    if (n == 0)
        return -1;
    return std::clamp(target, 0, n - 1);
}

bool TCustomComboBox::HandleComboKey(TKeyCode key, TShiftState shift)
{
    const bool alt = shift & ssAlt;
    if ((key == Qt::Key_F4 && !alt) || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
        SetDroppedDown(!droppedDown_);
        return true;
    }
    if (shift & (ssAlt | ssCtrl))
        return false;
    const int target = NavigationTarget(key);
    if (target == -2)
        return false;
    UserSelect(target);
    return true;
}

void TCustomComboBox::KeyDown(TKeyCode& key, TShiftState shift)
{
    QPointer<QWidget> alive(this);
    TWinControl::KeyDown(key, shift);
    if (!alive || key == 0 || !Enabled())
        return;
    if (HandleComboKey(key, shift))
        key = 0;
}

int TCustomComboBox::FindPrefix(QChar ch) const
{
    const int n = Count();
    for (int i = 1; i <= n; ++i) {
        const int j = (itemIndex_ + i) % n;
        if (j >= 0 && items_[j].startsWith(ch, Qt::CaseInsensitive))
            return j;
    }
    return -1;
}

void TCustomComboBox::KeyPress(QChar& key)
{
    QPointer<QWidget> alive(this);
    TWinControl::KeyPress(key);
    if (!alive || key.isNull() || !IsListStyle() || !key.isPrint() || !Enabled())
        return;
    // Each press of a letter goes on to the next item starting with it.
    const int found = FindPrefix(key);
    if (found >= 0)
        UserSelect(found);
}

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> alive(this);
    if (button == mbLeft && Enabled() && (IsListStyle() || x >= EditRect().Right)) {
        if (CanFocus() && !Focused())
            SetFocus();
        SetDroppedDown(!droppedDown_);
    }
    if (alive)
        TWinControl::MouseDown(button, shift, x, y);
}

// --- The dropped list

void TCustomComboBox::SetDroppedDown(bool v)
{
    if (v == droppedDown_)
        return;
    if (v)
        ShowList();
    else
        CloseList(TCloseUpReason::Cancelled, -1);
}

int TCustomComboBox::ListRowHeight() const
{
    if (style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable)
        return itemHeight_;
    return std::max(QFontMetrics(Font().QtFont()).height(), 1);
}

void TCustomComboBox::ShowList()
{
    QPointer<QWidget> alive(this);
    DropDown();
    if (!alive || droppedDown_)
        return;
    if (!list_)
        list_ = std::make_unique<TComboListPopup>(this);
    TComboListPopup& list = *list_;
    list.Model()->setStringList(items_);
    list.setFont(Font().QtFont());
    QPalette p = list.palette();
    p.setColor(QPalette::Base, QtColor(Color()));
    p.setColor(QPalette::Text, QtColor(Font().Color()));
    p.setColor(QPalette::WindowText, QtColor(clBlack));
    p.setColor(QPalette::Highlight, QtColor(clHighlight));
    p.setColor(QPalette::HighlightedText, QtColor(clHighlightText));
    list.setPalette(p);
    const int row = ListRowHeight();
    list.delegate->rowHeight = row;

    const int rows = std::clamp(Count(), 1, dropDownCount_);
    const int h = rows * row + 2 * list.frameWidth();
    QPoint at = mapToGlobal(QPoint(0, Height()));
    if (const QScreen* s = screen()) {
        // Below the combo when it fits there, else above when that fits.
        const QRect area = s->availableGeometry();
        const int above = mapToGlobal(QPoint(0, 0)).y() - h;
        if (at.y() + h > area.bottom() + 1 && above >= area.top())
            at.setY(above);
    }
    list.setGeometry(at.x(), at.y(), std::max(Width(), 1), h);
    if (itemIndex_ >= 0) {
        const QModelIndex current = list.Model()->index(itemIndex_);
        list.setCurrentIndex(current);
        list.scrollTo(current, QAbstractItemView::PositionAtTop);
    } else {
        list.setCurrentIndex(QModelIndex());
        list.scrollToTop();
    }
    droppedDown_ = true;
    focusInList_ = false;
    Invalidate();
    // Shown as a popup, the list takes the keys until it closes.
    list.show();
}

void TCustomComboBox::CloseList(TCloseUpReason reason, int chosen)
{
    if (!droppedDown_)
        return;
    droppedDown_ = false;
    if (list_ && list_->isVisible())
        list_->hide();
    Invalidate();
    QPointer<QWidget> alive(this);
    CloseUp(reason);
    if (alive && reason == TCloseUpReason::Chosen)
        UserSelect(chosen);
}

void TCustomComboBox::ListHidden()
{
    // Closed from outside (a click elsewhere, the window going away).
    CloseList(TCloseUpReason::Cancelled, -1);
}

// --- Hooks

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::CloseUp(TCloseUpReason)
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TCustomComboBox::DoEnter()
{
    Invalidate();
    TWinControl::DoEnter();
}

void TCustomComboBox::DoExit()
{
    Invalidate();
    TWinControl::DoExit();
}

void TCustomComboBox::EnabledChanged()
{
    if (!Enabled())
        SetDroppedDown(false);
    TWinControl::EnabledChanged();
}

void TCustomComboBox::VisibleChanged()
{
    if (!Visible())
        SetDroppedDown(false);
    TWinControl::VisibleChanged();
}

void TCustomComboBox::FontChanged()
{
    UpdateEdit();
    TWinControl::FontChanged();
}

void TCustomComboBox::ColorChanged()
{
    UpdateEdit();
    TWinControl::ColorChanged();
}

void TCustomComboBox::Resize()
{
    UpdateEdit();
    TWinControl::Resize();
}

// --- Painting

bool TCustomComboBox::ShowsFocusHighlight() const
{
    return IsListStyle() && Enabled() && !droppedDown_ && Focused();
}

void TCustomComboBox::DrawSelectionField(TCanvas& canvas, const TRect& r) const
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    const bool highlight = ShowsFocusHighlight();
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = highlight ? clHighlight : Color();
    canvas.FillRect(r);
    if (Text().isEmpty())
        return;
    if (!canvas.Font().SameAs(Font()))
        canvas.Font().Assign(Font());
    canvas.SetBkMode(bkTransparent);
    canvas.SetTextColor(!Enabled() ? clGrayText : highlight ? clHighlightText : Font().Color());
    TRect text = r;
    text.Left += 2;
    canvas.DrawText(Text(), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomComboBox::Paint()
{
    TCanvas& canvas = Canvas();
    // A sunken field with a raised arrow button at its right.
    TRect r = TCustomPanel::Frame3D(canvas, ClientRect(), clBtnShadow, clBtnHighlight, 1);
    r = TCustomPanel::Frame3D(canvas, r, cl3DDkShadow, cl3DLight, 1);
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = Enabled() ? Color() : clBtnFace;
    canvas.FillRect(r);

    TRect button{std::max(r.Right - kClassicButtonWidth, r.Left), r.Top, r.Right, r.Bottom};
    TRect face = button;
    int shift = 0;
    if (droppedDown_) {
        canvas.Brush().Color = clBtnShadow;
        canvas.FrameRect(face);
        face = {face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
        shift = 1;
    } else {
        face = TCustomPanel::Frame3D(canvas, face, cl3DLight, cl3DDkShadow, 1);
        face = TCustomPanel::Frame3D(canvas, face, clBtnHighlight, clBtnShadow, 1);
    }
    canvas.Brush().Color = clBtnFace;
    canvas.FillRect(face);
    // A 7-pixel-wide triangle pointing down, centred on the button.
    const int cx = button.Left + (button.Width() - 7) / 2 + shift;
    const int cy = button.Top + (button.Height() - 4) / 2 + shift;
    auto triangle = [&](int dx, int dy, TColor c) {
        canvas.Pen().Color = c;
        for (int i = 0; i < 4; ++i) {
            canvas.MoveTo(cx + dx + i, cy + dy + i);
            canvas.LineTo(cx + dx + 7 - i, cy + dy + i);
        }
    };
    if (Enabled()) {
        triangle(0, 0, clBtnText);
    } else {
        triangle(1, 1, clBtnHighlight);
        triangle(0, 0, clBtnShadow);
    }

    if (IsListStyle()) {
        const TRect field{r.Left + 1, r.Top + 1, button.Left - 1, r.Bottom - 1};
        DrawSelectionField(canvas, field);
        if (ShowsFocusHighlight())
            canvas.DrawFocusRect(field);
    }
}
