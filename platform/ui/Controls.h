#pragma once

// The component and control model: components with an owner and a name, and
// controls that are Qt widgets carrying the properties, notifications and
// input handlers the program's controls are written against.
//
// A property Foo is a getter Foo() and a setter SetFoo(v); a setter returns at
// once when the value does not change. Events are std::function members; an
// unassigned event is not called.

#include "platform/graphics/Canvas.h"
#include "platform/core/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/core/Persistent.h"
#include "platform/graphics/Region.h"
#include "platform/core/Types.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

class TAction;
class TComponent;
class TControl;
class TWinControl;
class TForm;

// ---------------------------------------------------------------------------
// Shared enumerations

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during an input event.
enum TShiftStateFlag : std::uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = std::uint8_t;

// Docking of a control inside its parent's client area.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Horizontal alignment of text.
#include "platform/core/Alignment.h"  // TAlignment

// Vertical placement of text in labels.
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

// Component state flags.
enum TComponentStateFlag : std::uint8_t {
    csLoading = 1,     // the owner's layout is being applied; cleared by Loaded()
    csDestroying = 2,  // the destructor is running
    csDesigning = 4,   // never set in this program; kept so controls can ask
};
using TComponentState = std::uint8_t;

// What a control class does by itself.
enum TControlStyleFlag : std::uint16_t {
    csAcceptsControls = 1,  // may be the parent of other controls
    csCaptureMouse = 2,     // keeps the pointer from press to release
    csClickEvents = 4,      // a left press and release inside fires Click()
    csOpaque = 8,           // Paint covers the whole client area: no erase
    csSetCaption = 16,      // the name is copied to the caption while it is empty
};
using TControlStyle = std::uint16_t;

// Modal results: 0 keeps a modal form open; any other value closes it and
// is what ShowModal returns.
using TModalResult = int;
enum : TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// Keys are Qt key codes (Qt::Key_Space, Qt::Key_Return, ...). A handler sets
// the key to 0 to say it has used it.
using TKeyCode = int;

// ---------------------------------------------------------------------------
// Events

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TKeyEvent = std::function<void(TComponent* sender, TKeyCode& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, QChar& key)>;
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;

// Runs f; an exception escaping it is shown in the application's error box
// and swallowed. Every place where Qt calls into our code goes through this,
// so exceptions never unwind through Qt's own frames.
void GuardedCall(const std::function<void()>& f);

// ---------------------------------------------------------------------------
// TComponent: owner, name, tag, state.

// A component is owned by its owner and destroyed with it. For controls the
// Qt parent also owns the widget; whichever goes first unlinks the control
// from the other, so nothing is freed twice.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    QString ClassName() const override { return QStringLiteral("TComponent"); }

    TComponent* Owner() const { return owner_; }
    const QString& Name() const { return name_; }
    virtual void SetName(const QString& v);
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }

    // Owned components, in creation order.
    int ComponentCount() const { return int(components_.size()); }
    TComponent* Components(int i) const { return components_.at(std::size_t(i)); }
    // The owned component with this name (case-insensitive), or nullptr.
    TComponent* FindComponent(const QString& name) const;

    TComponentState ComponentState() const { return state_; }
    bool Loading() const { return (state_ & csLoading) != 0; }
    bool Destroying() const { return (state_ & csDestroying) != 0; }

    // Called once the owner's layout has been applied (every property set in
    // layout order). Overrides call the base first; it clears csLoading.
    virtual void Loaded();

protected:
    void SetComponentState(TComponentState s) { state_ = s; }
    // Marks the start of the destructor; a derived destructor calls it first
    // so that notifications during teardown can be skipped.
    void BeginDestroy() { state_ |= csDestroying; }
    // Destroys the owned components now (newest first).
    void DestroyComponents();

private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    TComponent* owner_ = nullptr;
    QString name_;
    int tag_ = 0;
    TComponentState state_ = 0;
    std::vector<TComponent*> components_;
};

// ---------------------------------------------------------------------------
// TControl: a widget with the framework's properties.

// Every control is a QWidget. Its look is composed by Paint() in Canvas(), a
// persistent 32-bit image the size of the control, and handed to the screen
// in one copy by paintEvent. A control that is not csOpaque and is windowless
// starts each paint from a transparent image, so its parent shows through
// what it leaves unpainted.
class TControl : public QWidget, public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    QString ClassName() const override { return QStringLiteral("TControl"); }

    // Renaming a control whose caption is its old name renames the caption
    // too (csSetCaption), except while a layout is being applied.
    void SetName(const QString& v) override;

    // --- Geometry, in the parent's client coordinates (screen for forms).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    // Moves and sizes the control at once (negative sizes count as 0). A
    // size change calls Resize() after the new size is in place.
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    // (0, 0, Width, Height) less the non-client border on every side.
    TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
    int ClientWidth() const { return std::max(width_ - 2 * nonClientBorder_, 0); }
    int ClientHeight() const { return std::max(height_ - 2 * nonClientBorder_, 0); }
    void SetClientWidth(int v) { SetWidth(v + 2 * nonClientBorder_); }
    void SetClientHeight(int v) { SetHeight(v + 2 * nonClientBorder_); }
    // Width of the border the control keeps around its client area (its
    // non-client area, which the control paints itself); 0 for most.
    int NonClientBorder() const { return nonClientBorder_; }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // The pointer's position on the screen.
    static TPoint CursorPos();

    // --- Parent
    TWinControl* Parent() const { return parent_; }
    // Places the control in the parent's client area, above its siblings.
    virtual void SetParent(TWinControl* parent);
    // The form that contains the control (itself for a form), or nullptr.
    TForm* ParentForm() const;

    // --- Visibility and enabling (the control's own flags; a hidden or
    // disabled parent hides or disables the children on screen as well).
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to the form (the form included).
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);

    // --- Colour and font. With ParentColor / ParentFont the value follows
    // the parent's until the control's own is set.
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    // The control's font object: change it through its setters. Its OnChange
    // belongs to the control.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& v) { font_.Assign(v); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    // --- Text
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& v);
    const QString& Text() const { return caption_; }
    void SetText(const QString& v) { SetCaption(v); }

    // --- Docking
    TAlign Align() const { return align_; }
    void SetAlign(TAlign v);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle v) { controlStyle_ = v; }

    // --- Stacking among siblings (later-created controls lie above).
    void BringToFront();
    void SendToBack();

    // --- Painting
    // The canvas Paint draws on: the control's own image, or the foreign
    // canvas while PaintTo runs.
    TCanvas& Canvas() { return *activeCanvas_; }
    // The control's own image as last painted.
    const QImage& Surface() const { return surface_; }
    // Marks the whole control for painting at the next paint event.
    void Invalidate();
    // Paints into the control's image now (synchronously) and, when it is on
    // screen, puts the image on the screen before returning.
    void Repaint();
    // Erases (for windowed controls: fills with Color) and paints the control,
    // then its windowless children, into canvas with the control's top-left
    // at origin (in canvas coordinates). The canvas's state is restored.
    void PaintTo(TCanvas& canvas, TPoint origin);

    // --- Window shape. Painting and pointer input happen only inside the
    // region (client coordinates); the parent shows and receives the rest.
    void SetWindowRegion(const TRegion& region);
    void ClearWindowRegion();
    bool HasWindowRegion() const { return hasRegion_; }
    const TRegion& WindowRegion() const { return region_; }
    // Is the client point inside the control and its window shape?
    bool ContainsPoint(TPoint clientPoint) const;

    // --- Mouse capture. Qt keeps the pointer for the pressed control from
    // press to release by itself; this grabs it explicitly beyond that.
    bool MouseCapture() const;
    void SetMouseCapture(bool v);
    // The control that holds the pointer (pressed or captured), or nullptr.
    static TControl* CaptureControl();

    // --- Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // Fired by controls that hold a value (edits, combo and spin boxes) when
    // the user changes it.
    TNotifyEvent OnChange;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Executes the linked action when it has an OnExecute handler, else
    // fires OnClick.
    virtual void Click();

    // --- Action: a linked command (not owned). Linking copies its caption
    // and enabled state; its later changes are copied too.
    TAction* Action() const { return action_; }
    void SetAction(TAction* v);

    // --- Input handlers. The defaults fire the matching event.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    virtual void KeyDown(TKeyCode& key, TShiftState shift);
    virtual void KeyUp(TKeyCode& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    // Enter, Escape (and other navigation keys) offered by the form to every
    // control before the focused control sees them; true: used.
    virtual bool DialogKey(TKeyCode key, TShiftState shift);
    // A typed character offered to every control (accelerators) when the
    // focused control does not take characters; true: used.
    virtual bool DialogChar(QChar ch, TShiftState shift);

    // --- Notifications, called after the change has been stored.
    virtual void EnabledChanged();   // default: repaint
    virtual void FontChanged();      // default: repaint
    virtual void ColorChanged();     // default: repaint
    virtual void TextChanged();      // default: repaint
    virtual void VisibleChanged() {}
    virtual void Resize() {}         // after the size changed
    virtual void MouseEnter();       // default: OnMouseEnter
    virtual void MouseLeave();       // default: OnMouseLeave
    // The keyboard focus moved to focused (nullptr: out of the form); sent to
    // every control of the form.
    virtual void FocusChanged(TWinControl* focused);
    // The pointer was taken away while this control held it (another window
    // became active or modal); the default forgets the capture.
    virtual void CancelMode();

    // The linked action changed, or was just linked. The default copies its
    // caption and enabled state.
    virtual void ActionChange();

    // Draws the control into Canvas(). The default draws nothing.
    virtual void Paint() {}
    // Prepares Canvas() before Paint: windowed controls fill it with Color,
    // windowless ones leave it transparent.
    virtual void EraseBackground(TCanvas& canvas);

    // --- Helpers for the framework
    static TShiftState ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);

protected:
    // Called by the parent when its colour or font changes (and when the
    // control gets a parent); controls that derive colours from the parent's
    // refresh them here.
    virtual void ParentColorChanged();
    void ParentFontChanged();

    // Qt hooks.
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

    // Whether a press on this control should instead move the window (the
    // form answers "caption" for its own surface and windowless children).
    virtual bool PassesMouseToForm() const { return false; }

    bool MouseInControl() const { return mouseInside_; }

    // Reserves a border of n pixels on every side: the client area, client
    // coordinates and the child controls move inside it.
    void SetNonClientBorder(int n);

private:
    friend class TWinControl;
    friend class TForm;
    friend class TApplication;
    friend class TAction;

    void PaintSurface();
    void ApplyGeometry();
    void StoreColor(TColor v);
    void FontObjectChanged();
    void ApplyVisibility();

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TFont font_;
    bool parentFont_ = true;
    bool syncingFont_ = false;
    QString caption_;
    TAlign align_ = alNone;
    int nonClientBorder_ = 0;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption;

    QImage surface_;
    TCanvas ownCanvas_;
    TCanvas* activeCanvas_;
    bool dirty_ = true;

    TRegion region_;
    bool hasRegion_ = false;

    bool clickPending_ = false;
    bool mouseInside_ = false;
    bool explicitCapture_ = false;
    TAction* action_ = nullptr;
};

// ---------------------------------------------------------------------------
// TWinControl: a windowed control. It can hold child controls and take the
// keyboard focus.

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    QString ClassName() const override { return QStringLiteral("TWinControl"); }

    // --- Children, in stacking order (bottom first).
    int ControlCount() const;
    TControl* Controls(int i) const;
    // The topmost visible direct child whose rectangle and window shape hold
    // the client point; disabled children count unless told otherwise.
    enum TControlAtPosFlags : std::uint8_t { capAllowDisabled = 0, capEnabledOnly = 1 };
    TControl* ControlAtPos(TPoint clientPoint, TControlAtPosFlags flags = capAllowDisabled) const;

    // --- Focus
    // Position in the parent's tab order (windowed siblings only).
    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    // Visible and enabled here and up to the form.
    virtual bool CanFocus() const;
    bool Focused() const { return hasFocus(); }
    // Gives the control the keyboard focus (and makes it the form's active
    // control).
    virtual void SetFocus();
    // Whether a click gives the control the focus (edits and push buttons do;
    // panels do not).
    bool FocusOnClick() const { return focusOnClick_; }
    void SetFocusOnClick(bool v);
    // The windowed descendants in tab order: each control followed by its own
    // children, siblings by TabOrder.
    std::vector<TWinControl*> TabChain() const;

    // Keys the control handles itself instead of the form (Enter, Escape,
    // arrows); the default takes none.
    virtual bool WantsKey(TKeyCode key, TShiftState shift) const;
    // Whether typed characters go to the control before accelerators.
    virtual bool WantsChars() const { return false; }

    // Broadcast to the children.
    bool DialogKey(TKeyCode key, TShiftState shift) override;
    bool DialogChar(QChar ch, TShiftState shift) override;

    // Lays out the children with an Align.
    void Realign();

    // Focus notifications.
    virtual void DoEnter();   // default: OnEnter
    virtual void DoExit();    // default: OnExit

    void EraseBackground(TCanvas& canvas) override;

protected:
    void Resize() override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class TControl;
    void InsertTab(TWinControl* c);
    void RemoveTab(TWinControl* c);
    void UpdateFocusPolicy();
    void CollectTabChain(std::vector<TWinControl*>& out) const;

    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    bool focusOnClick_ = false;
    bool aligning_ = false;
};

// A windowed control that paints itself (the base of the custom controls).
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TCustomControl"); }
};

// A windowless control: it never takes the focus and paints over its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TGraphicControl"); }

protected:
    bool PassesMouseToForm() const override;
};

// The control under a screen point (the deepest one, disabled controls
// included, honouring window shapes), or nullptr.
TControl* FindControlAtScreen(TPoint screenPoint);
// The control a Qt widget belongs to (the widget itself or its nearest
// TControl ancestor), or nullptr.
TControl* ControlOfWidget(QWidget* w);
