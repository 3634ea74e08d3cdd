#include "platform/ui/Controls.h"

#include "platform/ui/Actions.h"

#include "platform/ui/Forms.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

// The control that holds the pointer between press and release.
TControl* g_captureControl = nullptr;

TMouseButton ButtonFromQt(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

bool IsDialogKeyCode(TKeyCode key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

QRegion ToMask(const TRegion& region)
{
    QRegion mask;
    for (const TRect& r : region.Rects())
        mask += QRect(r.Left, r.Top, r.Width(), r.Height());
    // An empty shape shows nothing: a mask outside the widget, since Qt reads
    // an empty mask as "no mask".
    return mask.isEmpty() ? QRegion(-1, -1, 1, 1) : mask;
}

std::vector<TControl*> ChildControls(const QWidget* w)
{
    std::vector<TControl*> out;
    for (QObject* o : w->children())
        if (o->isWidgetType())
            if (auto* c = dynamic_cast<TControl*>(static_cast<QWidget*>(o)))
                out.push_back(c);
    return out;
}

}  // namespace

void GuardedCall(const std::function<void()>& f)
{
    try {
        f();
    } catch (...) {
        if (!Application)
            throw;
        Application->HandleException(std::current_exception());
    }
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_) {
        owner_->InsertComponent(this);
        if (owner_->Loading())
            state_ |= csLoading;
    }
}

TComponent::~TComponent()
{
    state_ |= csDestroying;
    DestroyComponents();
    if (owner_)
        owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents()
{
    // Each destroyed component unlinks itself, possibly taking others (its
    // Qt children) with it, so take them one at a time from the end.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        delete c;
    }
}

void TComponent::SetName(const QString& v)
{
    name_ = v;
}

TComponent* TComponent::FindComponent(const QString& name) const
{
    for (TComponent* c : components_)
        if (c->name_.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::Loaded()
{
    state_ &= TComponentState(~csLoading);
}

void TComponent::InsertComponent(TComponent* c)
{
    components_.push_back(c);
}

void TComponent::RemoveComponent(TComponent* c)
{
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it != components_.end())
        components_.erase(it);
    c->owner_ = nullptr;
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner)
    : QWidget(nullptr), TComponent(owner), ownCanvas_(&surface_), activeCanvas_(&ownCanvas_)
{
    font_.OnChange = [this] { FontObjectChanged(); };
    // Controls see every pointer move, pressed or not.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

TControl::~TControl()
{
    BeginDestroy();
    if (g_captureControl == this)
        g_captureControl = nullptr;
    if (action_)
        action_->RemoveClient(this);
    font_.OnChange = nullptr;
}

void TControl::SetName(const QString& v)
{
    const bool follow = (controlStyle_ & csSetCaption) && !Loading() && caption_ == Name() &&
                        !(Owner() && Owner()->Loading());
    TComponent::SetName(v);
    if (follow)
        SetCaption(v);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
    if (resized) {
        dirty_ = true;
        Resize();
        update();
    }
    if (align_ != alNone && parent_)
        parent_->Realign();
}

void TControl::ApplyGeometry()
{
    // Only a form is a window of its own, with a size the user cannot change;
    // a control waiting for its parent must not carry such limits along.
    if (!parent_ && dynamic_cast<TForm*>(this)) {
        move(left_, top_);
        setFixedSize(width_, height_);
    } else {
        // A control sized before it had a parent was a window with a fixed
        // size; as a child it must take any size.
        if (minimumSize() != QSize(0, 0) || maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        // Children sit in the parent's client area, inside its border.
        const int inset = parent_ ? parent_->nonClientBorder_ : 0;
        setGeometry(left_ + inset, top_ + inset, width_, height_);
    }
}

void TControl::SetNonClientBorder(int n)
{
    n = std::max(n, 0);
    if (n == nonClientBorder_)
        return;
    nonClientBorder_ = n;
    for (TControl* c : ChildControls(this))
        c->ApplyGeometry();
    Invalidate();
    if (auto* self = dynamic_cast<TWinControl*>(this))
        self->Realign();
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    const QPoint g = mapToGlobal(QPoint(p.x + nonClientBorder_, p.y + nonClientBorder_));
    return {g.x(), g.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const QPoint l = mapFromGlobal(QPoint(p.x, p.y));
    return {l.x() - nonClientBorder_, l.y() - nonClientBorder_};
}

TPoint TControl::CursorPos()
{
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    auto* self = dynamic_cast<TWinControl*>(this);
    if (parent_ && self)
        parent_->RemoveTab(self);
    parent_ = parent;
    setParent(parent);  // Qt hides a reparented widget and stacks it on top
    ApplyGeometry();
    if (!parent_)
        return;
    if (self)
        parent_->InsertTab(self);
    ParentColorChanged();
    ParentFontChanged();
    ApplyVisibility();
    if (align_ != alNone)
        parent_->Realign();
}

TForm* TControl::ParentForm() const
{
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::ApplyVisibility()
{
    // A control without a parent is not a window: it stays off screen.
    if (parent_)
        QWidget::setVisible(visible_);
}

void TControl::SetVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    ApplyVisibility();
    VisibleChanged();
    if (align_ != alNone && parent_)
        parent_->Realign();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_)
            return false;
        if (!c->parent_)
            return c->isVisible();
    }
    return false;
}

void TControl::SetEnabled(bool v)
{
    if (v == enabled_)
        return;
    enabled_ = v;
    QWidget::setEnabled(v);
    EnabledChanged();
}

void TControl::SetColor(TColor v)
{
    if (v == color_)
        return;
    parentColor_ = false;
    StoreColor(v);
}

void TControl::StoreColor(TColor v)
{
    color_ = v;
    ColorChanged();
    for (TControl* c : ChildControls(this))
        c->ParentColorChanged();
}

void TControl::SetParentColor(bool v)
{
    if (v == parentColor_)
        return;
    parentColor_ = v;
    ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (parentColor_ && parent_ && parent_->color_ != color_)
        StoreColor(parent_->color_);
}

void TControl::SetParentFont(bool v)
{
    if (v == parentFont_)
        return;
    parentFont_ = v;
    ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || !parent_)
        return;
    syncingFont_ = true;
    try {
        font_.Assign(parent_->font_);
    } catch (...) {
        syncingFont_ = false;
        throw;
    }
    syncingFont_ = false;
}

void TControl::FontObjectChanged()
{
    if (Destroying())
        return;
    if (!syncingFont_)
        parentFont_ = false;
    FontChanged();
    for (TControl* c : ChildControls(this))
        c->ParentFontChanged();
}

void TControl::SetCaption(const QString& v)
{
    if (v == caption_)
        return;
    caption_ = v;
    TextChanged();
}

void TControl::SetAlign(TAlign v)
{
    if (v == align_)
        return;
    align_ = v;
    if (parent_)
        parent_->Realign();
}

void TControl::BringToFront()
{
    raise();
}

void TControl::SendToBack()
{
    lower();
}

// --- Painting

void TControl::Invalidate()
{
    dirty_ = true;
    update();
}

void TControl::Repaint()
{
    PaintSurface();
    if (isVisible())
        QWidget::repaint();
}

void TControl::PaintSurface()
{
    if (width_ <= 0 || height_ <= 0) {
        surface_ = QImage();
        dirty_ = false;
        return;
    }
    const bool transparent = !(controlStyle_ & csOpaque) && !dynamic_cast<TWinControl*>(this);
    const QImage::Format format = transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (surface_.width() != width_ || surface_.height() != height_ || surface_.format() != format) {
        surface_ = QImage(width_, height_, format);
        surface_.fill(transparent ? 0u : 0xFFFFFFFFu);
    } else if (transparent) {
        surface_.fill(0u);
    }
    ownCanvas_.SetTarget(&surface_);
    ownCanvas_.ResetClip();
    ownCanvas_.SetViewportOrg({0, 0});
    ownCanvas_.Font().Assign(font_);
    dirty_ = false;
    EraseBackground(ownCanvas_);
    Paint();
}

void TControl::EraseBackground(TCanvas&) {}

void TControl::PaintTo(TCanvas& canvas, TPoint origin)
{
    const int saved = canvas.SaveDC();
    TFont savedFont;
    savedFont.Assign(canvas.Font());
    struct Restore {
        TControl* control;
        TCanvas& canvas;
        int saved;
        TFont& font;
        ~Restore()
        {
            control->activeCanvas_ = &control->ownCanvas_;
            canvas.Font().Assign(font);
            canvas.RestoreDC(saved);
        }
    } restore{this, canvas, saved, savedFont};

    canvas.SetViewportOrg(canvas.ViewportOrg() + origin);
    canvas.IntersectClipRect({0, 0, width_, height_});
    canvas.Font().Assign(font_);
    activeCanvas_ = &canvas;
    EraseBackground(canvas);
    Paint();
    activeCanvas_ = &ownCanvas_;
    // Windowless children paint over their parent, in stacking order.
    for (TControl* c : ChildControls(this))
        if (c->visible_ && !dynamic_cast<TWinControl*>(c))
            c->PaintTo(canvas, {c->left_ + nonClientBorder_, c->top_ + nonClientBorder_});
}

void TControl::paintEvent(QPaintEvent*)
{
    if (dirty_ || surface_.width() != width_ || surface_.height() != height_) {
        try {
            PaintSurface();
        } catch (...) {
            // A box cannot open inside a paint event: show it afterwards.
            dirty_ = false;
            std::exception_ptr e = std::current_exception();
            QMetaObject::invokeMethod(
                qApp, [e] { if (Application) Application->HandleException(e); }, Qt::QueuedConnection);
        }
    }
    if (surface_.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

// --- Window shape

void TControl::SetWindowRegion(const TRegion& region)
{
    if (hasRegion_ && region == region_)
        return;
    region_ = region;
    hasRegion_ = true;
    setMask(ToMask(region_));
}

void TControl::ClearWindowRegion()
{
    if (!hasRegion_)
        return;
    region_ = TRegion();
    hasRegion_ = false;
    clearMask();
}

bool TControl::ContainsPoint(TPoint p) const
{
    if (!ClientRect().Contains(p))
        return false;
    if (!hasRegion_)
        return true;
    for (const TRect& r : region_.Rects())
        if (r.Contains(p))
            return true;
    return false;
}

// --- Mouse capture

bool TControl::MouseCapture() const
{
    return g_captureControl == this;
}

void TControl::SetMouseCapture(bool v)
{
    if (v == MouseCapture() && v == explicitCapture_)
        return;
    if (v) {
        if (g_captureControl && g_captureControl != this)
            g_captureControl->SetMouseCapture(false);
        g_captureControl = this;
        explicitCapture_ = true;
        if (isVisible())
            grabMouse();
    } else {
        if (g_captureControl == this)
            g_captureControl = nullptr;
        if (explicitCapture_ && QWidget::mouseGrabber() == this)
            releaseMouse();
        explicitCapture_ = false;
    }
}

TControl* TControl::CaptureControl()
{
    return g_captureControl;
}

void TControl::CancelMode()
{
    clickPending_ = false;
    SetMouseCapture(false);
}

// --- Events and handlers

void TControl::Click()
{
    if (action_ && action_->Execute())
        return;
    if (OnClick)
        OnClick(this);
}

void TControl::SetAction(TAction* v)
{
    if (v == action_)
        return;
    if (action_)
        action_->RemoveClient(this);
    action_ = v;
    if (action_) {
        action_->AddClient(this);
        ActionChange();
    }
}

void TControl::ActionChange()
{
    if (!action_)
        return;
    SetCaption(action_->Caption());
    SetEnabled(action_->Enabled());
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::KeyDown(TKeyCode& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TControl::KeyUp(TKeyCode& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TControl::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

bool TControl::DialogKey(TKeyCode, TShiftState)
{
    return false;
}

bool TControl::DialogChar(QChar, TShiftState)
{
    return false;
}

void TControl::EnabledChanged()
{
    Invalidate();
}

void TControl::FontChanged()
{
    Invalidate();
}

void TControl::ColorChanged()
{
    Invalidate();
}

void TControl::TextChanged()
{
    Invalidate();
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::FocusChanged(TWinControl*) {}

TShiftState TControl::ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

void TControl::mousePressEvent(QMouseEvent* e)
{
    if (PassesMouseToForm()) {
        e->ignore();
        return;
    }
    e->accept();
    const TMouseButton button = ButtonFromQt(e->button());
    const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
    const QPoint p = e->position().toPoint();
    if (controlStyle_ & csCaptureMouse)
        g_captureControl = this;
    if (button == mbLeft && (controlStyle_ & csClickEvents))
        clickPending_ = true;
    GuardedCall([&] { MouseDown(button, shift, p.x(), p.y()); });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A second press in quick succession is an ordinary press first.
    mousePressEvent(e);
    if (!e->isAccepted())
        return;
    QPointer<QWidget> alive(this);
    GuardedCall([&] { DblClick(); });
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    if (PassesMouseToForm()) {
        e->ignore();
        return;
    }
    e->accept();
    const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
    const QPoint p = e->position().toPoint();
    GuardedCall([&] { MouseMove(shift, p.x(), p.y()); });
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    if (PassesMouseToForm()) {
        e->ignore();
        return;
    }
    e->accept();
    const TMouseButton button = ButtonFromQt(e->button());
    const TShiftState shift = ShiftFromQt(e->modifiers(), e->buttons());
    const QPoint p = e->position().toPoint();
    QPointer<QWidget> alive(this);
    GuardedCall([&] {
        MouseUp(button, shift, p.x(), p.y());
        if (!alive)
            return;
        if (button == mbLeft && clickPending_) {
            clickPending_ = false;
            if (ClientRect().Contains({p.x(), p.y()}))
                Click();
        }
    });
    if (alive && e->buttons() == Qt::NoButton && g_captureControl == this && !explicitCapture_)
        g_captureControl = nullptr;
}

void TControl::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    QPointer<QWidget> alive(this);
    GuardedCall([&] {
        TKeyCode key = e->key();
        const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
        TForm* form = ParentForm();
        auto* win = dynamic_cast<TWinControl*>(this);
        // Enter and Escape go to the default and cancel buttons unless the
        // focused control handles them itself.
        if (form && IsDialogKeyCode(key) && !(win && win->WantsKey(key, shift)) && form->DialogKey(key, shift))
            return;
        const bool preview = form && form != this && form->KeyPreview();
        if (preview)
            form->KeyDown(key, shift);
        if (!alive)
            return;
        if (key != 0)
            KeyDown(key, shift);
        // Characters come even when the key itself was used up.
        const QString text = e->text();
        for (QChar ch : text) {
            if (!alive)
                return;
            if (!(win && win->WantsChars()) && form && form->DialogChar(ch, shift))
                continue;
            if (preview) {
                form->KeyPress(ch);
                if (ch.isNull() || !alive)
                    continue;
            }
            KeyPress(ch);
        }
    });
}

void TControl::keyReleaseEvent(QKeyEvent* e)
{
    e->accept();
    QPointer<QWidget> alive(this);
    GuardedCall([&] {
        TKeyCode key = e->key();
        const TShiftState shift = ShiftFromQt(e->modifiers(), Qt::NoButton);
        TForm* form = ParentForm();
        if (form && form != this && form->KeyPreview())
            form->KeyUp(key, shift);
        if (alive && key != 0)
            KeyUp(key, shift);
    });
}

void TControl::enterEvent(QEnterEvent*)
{
    mouseInside_ = true;
    GuardedCall([&] { MouseEnter(); });
}

void TControl::leaveEvent(QEvent*)
{
    mouseInside_ = false;
    GuardedCall([&] { MouseLeave(); });
}

void TControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // A window manager may size a window; keep the properties in step.
    if (isWindow() && (width() != width_ || height() != height_)) {
        width_ = width();
        height_ = height();
        dirty_ = true;
        GuardedCall([&] { Resize(); });
    }
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner)
{
    color_ = clBtnFace;
    controlStyle_ |= csAcceptsControls;
    // The surface covers the whole control: Qt need not paint beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateFocusPolicy();
}

TWinControl::~TWinControl()
{
    BeginDestroy();
    if (TForm* f = ParentForm(); f && f != this && f->activeControl_ &&
                                 (f->activeControl_ == this || isAncestorOf(f->activeControl_)))
        f->activeControl_ = nullptr;
    if (parent_)
        parent_->RemoveTab(this);
    DestroyComponents();
    // Children that live on (owned elsewhere) die with the widget below;
    // they must not reach back into this half-destroyed parent.
    for (TControl* c : ChildControls(this))
        c->parent_ = nullptr;
    tabList_.clear();
}

int TWinControl::ControlCount() const
{
    return int(ChildControls(this).size());
}

TControl* TWinControl::Controls(int i) const
{
    const auto all = ChildControls(this);
    return i >= 0 && i < int(all.size()) ? all[std::size_t(i)] : nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p, TControlAtPosFlags flags) const
{
    const auto all = ChildControls(this);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        TControl* c = *it;
        if (!c->visible_ || ((flags & capEnabledOnly) && !c->enabled_))
            continue;
        if (c->ContainsPoint({p.x - c->left_, p.y - c->top_}))
            return c;
    }
    return nullptr;
}

int TWinControl::TabOrder() const
{
    if (!parent_)
        return -1;
    const auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int v)
{
    if (!parent_)
        return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    const int current = int(it - list.begin());
    v = std::clamp(v, 0, int(list.size()) - 1);
    if (v == current)
        return;
    list.erase(it);
    list.insert(list.begin() + v, this);
}

void TWinControl::SetTabStop(bool v)
{
    if (v == tabStop_)
        return;
    tabStop_ = v;
    UpdateFocusPolicy();
}

void TWinControl::SetFocusOnClick(bool v)
{
    if (v == focusOnClick_)
        return;
    focusOnClick_ = v;
    UpdateFocusPolicy();
}

void TWinControl::UpdateFocusPolicy()
{
    int p = Qt::NoFocus;
    if (tabStop_)
        p |= Qt::TabFocus;
    if (focusOnClick_)
        p |= Qt::ClickFocus;
    setFocusPolicy(Qt::FocusPolicy(p));
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_ || !c->enabled_)
            return false;
    return ParentForm() != nullptr;
}

void TWinControl::SetFocus()
{
    if (TForm* f = ParentForm(); f && f != this)
        f->activeControl_ = this;
    setFocus(Qt::OtherFocusReason);
}

std::vector<TWinControl*> TWinControl::TabChain() const
{
    std::vector<TWinControl*> out;
    CollectTabChain(out);
    return out;
}

void TWinControl::CollectTabChain(std::vector<TWinControl*>& out) const
{
    for (TWinControl* c : tabList_) {
        out.push_back(c);
        c->CollectTabChain(out);
    }
}

void TWinControl::InsertTab(TWinControl* c)
{
    if (std::find(tabList_.begin(), tabList_.end(), c) == tabList_.end())
        tabList_.push_back(c);
}

void TWinControl::RemoveTab(TWinControl* c)
{
    auto it = std::find(tabList_.begin(), tabList_.end(), c);
    if (it != tabList_.end())
        tabList_.erase(it);
}

bool TWinControl::WantsKey(TKeyCode, TShiftState) const
{
    return false;
}

bool TWinControl::DialogKey(TKeyCode key, TShiftState shift)
{
    for (TControl* c : ChildControls(this))
        if (c->DialogKey(key, shift))
            return true;
    return false;
}

bool TWinControl::DialogChar(QChar ch, TShiftState shift)
{
    for (TControl* c : ChildControls(this))
        if (c->DialogChar(ch, shift))
            return true;
    return false;
}

void TWinControl::Realign()
{
    if (aligning_)
        return;
    aligning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{aligning_};

    std::vector<TControl*> aligned;
    for (TControl* c : ChildControls(this))
        if (c->align_ != alNone && c->visible_)
            aligned.push_back(c);
    TRect r = ClientRect();
    auto take = [&](TAlign a, auto less) {
        std::vector<TControl*> list;
        for (TControl* c : aligned)
            if (c->align_ == a)
                list.push_back(c);
        std::stable_sort(list.begin(), list.end(), less);
        return list;
    };
    for (TControl* c : take(alTop, [](TControl* a, TControl* b) { return a->top_ < b->top_; })) {
        c->SetBounds(r.Left, r.Top, r.Width(), c->height_);
        r.Top += c->height_;
    }
    for (TControl* c : take(alBottom, [](TControl* a, TControl* b) { return a->top_ + a->height_ > b->top_ + b->height_; })) {
        c->SetBounds(r.Left, r.Bottom - c->height_, r.Width(), c->height_);
        r.Bottom -= c->height_;
    }
    for (TControl* c : take(alLeft, [](TControl* a, TControl* b) { return a->left_ < b->left_; })) {
        c->SetBounds(r.Left, r.Top, c->width_, std::max(r.Height(), 0));
        r.Left += c->width_;
    }
    for (TControl* c : take(alRight, [](TControl* a, TControl* b) { return a->left_ + a->width_ > b->left_ + b->width_; })) {
        c->SetBounds(r.Right - c->width_, r.Top, c->width_, std::max(r.Height(), 0));
        r.Right -= c->width_;
    }
    for (TControl* c : take(alClient, [](TControl*, TControl*) { return false; }))
        c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

void TWinControl::Resize()
{
    Realign();
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::EraseBackground(TCanvas& canvas)
{
    if (controlStyle_ & csOpaque)
        return;
    const int saved = canvas.SaveDC();
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = color_;
    canvas.FillRect({0, 0, width_, height_});
    canvas.RestoreDC(saved);
}

void TWinControl::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (TForm* f = ParentForm())
        GuardedCall([&] { f->ControlFocused(this); });
    GuardedCall([&] { DoEnter(); });
}

void TWinControl::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    GuardedCall([&] { DoExit(); });
}

// ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner)
{
    setFocusPolicy(Qt::NoFocus);
}

bool TGraphicControl::PassesMouseToForm() const
{
    // On a form dragged by its surface a windowless control is part of that
    // surface: the press moves the window.
    auto* form = dynamic_cast<TForm*>(Parent());
    return form && form->DragBySurface();
}

TControl* ControlOfWidget(QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (auto* c = dynamic_cast<TControl*>(w))
            return c;
    return nullptr;
}

TControl* FindControlAtScreen(TPoint screenPoint)
{
    const QPoint sp(screenPoint.x, screenPoint.y);
    TControl* top = nullptr;
    if (QWidget* active = QApplication::activeWindow())
        if (active->geometry().contains(sp))
            top = dynamic_cast<TControl*>(active);
    if (!top)
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->geometry().contains(sp))
                if ((top = dynamic_cast<TControl*>(w)))
                    break;
    if (!top)
        return nullptr;
    TControl* found = top;
    TPoint p = top->ScreenToClient(screenPoint);
    while (auto* win = dynamic_cast<TWinControl*>(found)) {
        TControl* child = win->ControlAtPos(p);
        if (!child)
            break;
        p = {p.x - child->Left() - child->NonClientBorder(), p.y - child->Top() - child->NonClientBorder()};
        found = child;
    }
    return found;
}
