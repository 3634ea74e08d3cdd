#include "controls/flat/TFlatSpeedButtonUnit.h"

#include "platform/graphics/TextPrefix.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QGuiApplication>
#include <QPointer>

#include <algorithm>

// ---------------------------------------------------------------------------
// The real desktop

namespace {

class TRealFlatTimer : public TFlatTimer {
public:
    TRealFlatTimer() : timer_(nullptr)
    {
        timer_.SetEnabled(false);
        timer_.OnTimer = [this](TComponent*) {
            if (OnTimer)
                OnTimer();
        };
    }
    unsigned Interval() const override { return timer_.Interval(); }
    void SetInterval(unsigned ms) override { timer_.SetInterval(ms); }
    bool Enabled() const override { return timer_.Enabled(); }
    void SetEnabled(bool v) override { timer_.SetEnabled(v); }

private:
    TTimer timer_;
};

class TRealFlatDesktop : public IFlatDesktop {
public:
    TPoint PointerPos() override { return TControl::CursorPos(); }
    TControl* ControlAt(TPoint screenPoint) override { return FindControlAtScreen(screenPoint); }
    bool ApplicationActive() override { return Application && Application->Active(); }
    bool LeftButtonHeld() override { return QGuiApplication::mouseButtons() & Qt::LeftButton; }
    std::unique_ptr<TFlatTimer> CreateTimer() override { return std::make_unique<TRealFlatTimer>(); }
};

TRealFlatDesktop g_realDesktop;
IFlatDesktop* g_desktop = nullptr;

// Unit-wide hover state: at most one button of the whole program is
// tracked as hovered, and one timer serves them all.
TFlatSpeedButton* g_hoverButton = nullptr;
std::unique_ptr<TFlatTimer> g_hoverTimer;
int g_liveButtons = 0;

}  // namespace

IFlatDesktop& FlatDesktop()
{
    return g_desktop ? *g_desktop : g_realDesktop;
}

IFlatDesktop* SetFlatDesktop(IFlatDesktop* desktop)
{
    IFlatDesktop* previous = g_desktop;
    g_desktop = desktop;
    return previous;
}

// ---------------------------------------------------------------------------
// Construction

TFlatSpeedButton::TFlatSpeedButton(TComponent* owner) : TGraphicControl(owner)
{
    // The button raises its clicks itself, double clicks arrive as presses,
    // and what it leaves unpainted shows the parent.
    SetControlStyle(csCaptureMouse);
    SetBounds(0, 0, 25, 25);
    SetColor(DefaultColor);
    SetParentColor(true);
    SetParentFont(true);
    if (!g_hoverTimer) {
        g_hoverTimer = FlatDesktop().CreateTimer();
        g_hoverTimer->SetEnabled(false);
        g_hoverTimer->SetInterval(HoverInterval);
    }
    ++g_liveButtons;
}

TFlatSpeedButton::~TFlatSpeedButton()
{
    BeginDestroy();
    StopHoverTracking();
    if (--g_liveButtons == 0)
        g_hoverTimer.reset();
}

TFlatSpeedButton* TFlatSpeedButton::HoverButton()
{
    return g_hoverButton;
}

TFlatTimer* TFlatSpeedButton::HoverTimer()
{
    return g_hoverTimer.get();
}

int TFlatSpeedButton::LiveButtonCount()
{
    return g_liveButtons;
}

void TFlatSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Setters

void TFlatSpeedButton::SetColorField(TColor& field, TColor v)
{
    if (field == v)
        return;
    field = v;
    Invalidate();
}

void TFlatSpeedButton::SetTransparentMode(TTransparentMode v)
{
    if (transparentMode_ == v)
        return;
    transparentMode_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetColorFocused(TColor v) { SetColorField(colorFocused_, v); }
void TFlatSpeedButton::SetColorDown(TColor v) { SetColorField(colorDown_, v); }
void TFlatSpeedButton::SetColorBorder(TColor v) { SetColorField(colorBorder_, v); }
void TFlatSpeedButton::SetColorHighLight(TColor v) { SetColorField(colorHighLight_, v); }
void TFlatSpeedButton::SetColorShadow(TColor v) { SetColorField(colorShadow_, v); }

void TFlatSpeedButton::SetAdvField(TAdvColors& field, TAdvColors v)
{
    v = std::clamp(v, 0, 100);
    if (field == v)
        return;
    field = v;
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatSpeedButton::SetAdvColorFocused(TAdvColors v) { SetAdvField(advColorFocused_, v); }
void TFlatSpeedButton::SetAdvColorDown(TAdvColors v) { SetAdvField(advColorDown_, v); }
void TFlatSpeedButton::SetAdvColorBorder(TAdvColors v) { SetAdvField(advColorBorder_, v); }

void TFlatSpeedButton::SetUseAdvColors(bool v)
{
    if (useAdvColors_ == v)
        return;
    useAdvColors_ = v;
    SetParentColor(v);
    ApplyAdvancedColors();
    Invalidate();
}

void TFlatSpeedButton::ApplyAdvancedColors()
{
    if (!useAdvColors_)
        return;
    colorFocused_ = DeriveShade(Color(), colorFocused_, advColorFocused_, TShadeDirection::Lighten);
    colorDown_ = DeriveShade(Color(), colorDown_, advColorDown_, TShadeDirection::Darken);
    colorBorder_ = DeriveShade(Color(), colorBorder_, advColorBorder_, TShadeDirection::Darken);
}

void TFlatSpeedButton::ColorChanged()
{
    // The derived colours follow Color, whether it came from the parent or
    // was set here.
    ApplyAdvancedColors();
    TGraphicControl::ColorChanged();
}

void TFlatSpeedButton::SetGlyph(const TBitmap& v)
{
    if (&v == &glyph_)
        return;
    glyph_.Assign(v);
    // A strip of square cells names its own cell count.
    if (!glyph_.Empty() && glyph_.Width() % glyph_.Height() == 0) {
        const int cells = glyph_.Width() / glyph_.Height();
        SetNumGlyphs(cells > 4 ? 1 : cells);
    }
    Invalidate();
}

void TFlatSpeedButton::SetNumGlyphs(TNumGlyphs v)
{
    v = std::clamp(v, 1, 4);
    if (numGlyphs_ == v)
        return;
    numGlyphs_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetLayout(TButtonLayout v)
{
    if (layout_ == v)
        return;
    layout_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetMargin(int v)
{
    if (v < -1 || margin_ == v)
        return;
    margin_ = v;
    Invalidate();
}

void TFlatSpeedButton::SetSpacing(int v)
{
    if (spacing_ == v)
        return;
    spacing_ = v;
    Invalidate();
}

// ---------------------------------------------------------------------------
// Groups

void TFlatSpeedButton::SetDown(bool v)
{
    if (groupIndex_ == 0)
        v = false;
    if (v == down_ || (down_ && !allowAllUp_))
        return;
    down_ = v;
    if (v) {
        if (state_ == FlatButtonState::Up)
            Invalidate();
        state_ = FlatButtonState::Exclusive;
        NotifyGroup();
    } else {
        state_ = FlatButtonState::Up;
        Invalidate();
    }
}

void TFlatSpeedButton::SetGroupIndex(int v)
{
    if (groupIndex_ == v)
        return;
    groupIndex_ = v;
    NotifyGroup();
}

void TFlatSpeedButton::SetAllowAllUp(bool v)
{
    if (allowAllUp_ == v)
        return;
    allowAllUp_ = v;
    NotifyGroup();
}

void TFlatSpeedButton::NotifyGroup()
{
    TWinControl* parent = Parent();
    if (groupIndex_ == 0 || !parent)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TFlatSpeedButton*>(parent->Controls(i)))
            b->GroupNotice(groupIndex_, this);
}

void TFlatSpeedButton::GroupNotice(int groupIndex, TFlatSpeedButton* sender)
{
    if (sender == this || groupIndex != groupIndex_ || !sender)
        return;
    if (sender->Down() && down_) {
        down_ = false;
        state_ = FlatButtonState::Up;
        Invalidate();
    }
    // One AllowAllUp for the whole group.
    allowAllUp_ = sender->AllowAllUp();
}

// ---------------------------------------------------------------------------
// Hover tracking

void TFlatSpeedButton::EnterHover()
{
    if (!Enabled() || mouseInside_)
        return;
    mouseInside_ = true;
    Invalidate();
}

void TFlatSpeedButton::LeaveHover()
{
    if (!Enabled() || !mouseInside_ || dragging_)
        return;
    mouseInside_ = false;
    StopHoverTracking();
    Invalidate();
}

void TFlatSpeedButton::StopHoverTracking()
{
    if (g_hoverButton != this)
        return;
    if (g_hoverTimer)
        g_hoverTimer->SetEnabled(false);
    g_hoverButton = nullptr;
}

void TFlatSpeedButton::BeginHoverTracking()
{
    if (g_hoverButton && g_hoverButton != this)
        g_hoverButton->LeaveHover();
    // An inactive application does not light its buttons.
    if (!FlatDesktop().ApplicationActive() || !g_hoverTimer)
        return;
    g_hoverTimer->SetEnabled(false);
    g_hoverButton = this;
    // The tick asks for whoever is tracked at that moment, so a button that
    // goes away leaves nothing behind in the timer.
    g_hoverTimer->OnTimer = &TFlatSpeedButton::HoverCheck;
    g_hoverTimer->SetEnabled(true);
    EnterHover();
}

void TFlatSpeedButton::HoverCheck()
{
    TFlatSpeedButton* tracked = g_hoverButton;
    if (!tracked) {
        if (g_hoverTimer)
            g_hoverTimer->SetEnabled(false);
        return;
    }
    IFlatDesktop& desktop = FlatDesktop();
    if (desktop.ControlAt(desktop.PointerPos()) != tracked)
        tracked->LeaveHover();
}

void TFlatSpeedButton::RefreshHover()
{
    if (!Enabled())
        return;
    IFlatDesktop& desktop = FlatDesktop();
    if (desktop.ControlAt(desktop.PointerPos()) == this) {
        // Lit again under a resting pointer, and tracked, so that the light
        // goes out when the pointer leaves without moving over it first.
        if (g_hoverButton != this && desktop.ApplicationActive())
            BeginHoverTracking();
        mouseInside_ = true;
        Invalidate();
    } else {
        mouseInside_ = true;
        LeaveHover();
    }
}

// ---------------------------------------------------------------------------
// Mouse

void TFlatSpeedButton::SetState(FlatButtonState s)
{
    if (state_ == s)
        return;
    state_ = s;
    Invalidate();
}

void TFlatSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!guard || button != mbLeft || !Enabled())
        return;
    if (!down_)
        SetState(FlatButtonState::Down);
    dragging_ = true;
}

void TFlatSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TGraphicControl::MouseMove(shift, x, y);
    if (!guard)
        return;
    if (g_hoverButton != this && FlatDesktop().ControlAt(ClientToScreen({x, y})) == this)
        BeginHoverTracking();
    if (!dragging_)
        return;
    const bool inside = InClient(x, y);
    const FlatButtonState pressed = down_ ? FlatButtonState::Exclusive : FlatButtonState::Down;
    const FlatButtonState released = down_ ? FlatButtonState::Exclusive : FlatButtonState::Up;
    SetState(inside ? pressed : released);
}

void TFlatSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!guard || !dragging_)
        return;
    dragging_ = false;
    // The bottom row and right column past the client area count as outside.
    const bool inside = InClient(x, y);
    if (groupIndex_ == 0) {
        mouseInside_ = false;
        state_ = FlatButtonState::Up;
        Invalidate();
    } else if (inside) {
        SetDown(!down_);
        if (down_)
            Invalidate();
    } else {
        // A release outside without a move first still shows the button up.
        SetState(down_ ? FlatButtonState::Exclusive : FlatButtonState::Up);
    }
    if (inside)
        Click();
    else
        LeaveHover();
    if (guard)
        RefreshHover();
}

void TFlatSpeedButton::DblClick()
{
    // The second press has already been handled as an ordinary press.
    if (down_)
        TGraphicControl::DblClick();
}

void TFlatSpeedButton::Click()
{
    if (Parent())
        if (TForm* form = ParentForm())
            form->SetModalResult(modalResult_);
    TGraphicControl::Click();
}

// ---------------------------------------------------------------------------
// Other notifications

bool TFlatSpeedButton::IsAccelerator(QChar ch) const
{
    return IsAcceleratorOf(Caption(), ch);
}

bool TFlatSpeedButton::DialogChar(QChar ch, TShiftState shift)
{
    // A button nobody can see takes no accelerator.
    if (IsAccelerator(ch) && Enabled() && Showing()) {
        Click();
        return true;
    }
    return TGraphicControl::DialogChar(ch, shift);
}

void TFlatSpeedButton::EnabledChanged()
{
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        mouseInside_ = false;
        dragging_ = false;
        state_ = FlatButtonState::Disabled;
        StopHoverTracking();
    }
    RefreshHover();
    Invalidate();
}

void TFlatSpeedButton::CancelMode()
{
    QPointer<QWidget> guard(this);
    TGraphicControl::CancelMode();
    if (!guard || !dragging_)
        return;
    dragging_ = false;
    SetState(down_ ? FlatButtonState::Exclusive : FlatButtonState::Up);
    RefreshHover();
}

void TFlatSpeedButton::ActionChange()
{
    TGraphicControl::ActionChange();
    const TAction* action = Action();
    if (!action || !glyph_.Empty())
        return;
    TBitmap glyph;
    if (action->ImageAsGlyph(glyph))
        SetGlyph(glyph);
}

// ---------------------------------------------------------------------------
// Painting

void TFlatSpeedButton::NormaliseState()
{
    if (!Enabled()) {
        state_ = FlatButtonState::Disabled;
        dragging_ = false;
    } else if (state_ == FlatButtonState::Disabled) {
        state_ = down_ && groupIndex_ != 0 ? FlatButtonState::Exclusive : FlatButtonState::Up;
    }
}

void TFlatSpeedButton::Paint()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(Font());
    const bool pressed = state_ == FlatButtonState::Down || state_ == FlatButtonState::Exclusive;
    const TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
    const TGlyphCaptionLayout layout = LayoutGlyphAndCaption(
        canvas, ClientRect(), offset, layout_, spacing_, margin_, &glyph_, numGlyphs_, Caption());
    captionArea_ = layout.CaptionArea;
    glyphOrigin_ = layout.GlyphOrigin;
    NormaliseState();
    PaintBackground(canvas);
    PaintFrame(canvas);
    PaintGlyph(canvas);
    PaintCaption(canvas);
}

void TFlatSpeedButton::PaintBackground(TCanvas& canvas)
{
    if (transparentMode_ == tmAlways || (transparentMode_ == tmNotFocused && !mouseInside_))
        return;
    // tmNotFocused paints only while hovered, so it always takes the hovered
    // colour where tmNone would.
    const bool hovered = mouseInside_;
    TColor fill = Color();
    switch (state_) {
    case FlatButtonState::Up: fill = hovered ? colorFocused_ : Color(); break;
    case FlatButtonState::Disabled: fill = Color(); break;
    case FlatButtonState::Down: fill = colorDown_; break;
    case FlatButtonState::Exclusive: fill = hovered ? colorFocused_ : colorDown_; break;
    }
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = fill;
    canvas.FillRect(ClientRect());
}

void TFlatSpeedButton::PaintFrame(TCanvas& canvas)
{
    TColor topLeft = colorBorder_;
    TColor bottomRight = colorBorder_;
    switch (state_) {
    case FlatButtonState::Up:
        if (mouseInside_) {
            topLeft = colorHighLight_;
            bottomRight = colorShadow_;
        }
        break;
    case FlatButtonState::Disabled: break;
    case FlatButtonState::Down:
    case FlatButtonState::Exclusive:
        topLeft = colorShadow_;
        bottomRight = colorHighLight_;
        break;
    }
    DrawFlatFrame(canvas, ClientRect(), topLeft, bottomRight, 1);
}

namespace {

// Which cell of a strip of `count` cells shows in a state, and whether it
// reaches to the strip's end (so that a strip whose width is not a multiple
// of the count still shows all of its last cell, squeezed).
struct TGlyphCell {
    int index;
    bool toEnd;
};

TGlyphCell ChooseCell(TNumGlyphs count, FlatButtonState state)
{
    const int s = int(state);  // Up, Disabled, Down, Exclusive
    static constexpr TGlyphCell kCells[4][4] = {
        {{0, true}, {0, true}, {0, true}, {0, true}},
        {{0, false}, {1, true}, {0, false}, {0, false}},
        {{0, false}, {1, false}, {2, true}, {2, true}},
        {{0, false}, {1, false}, {2, false}, {3, true}},
    };
    return kCells[std::clamp(count, 1, 4) - 1][s];
}

}  // namespace

void TFlatSpeedButton::PaintGlyph(TCanvas& canvas)
{
    if (glyph_.Empty())
        return;
    const int height = glyph_.Height();
    const int cellWidth = glyph_.Width() / numGlyphs_;
    if (cellWidth <= 0)
        return;
    const TGlyphCell cell = ChooseCell(numGlyphs_, state_);
    const int left = cell.index * cellWidth;
    const int right = cell.toEnd ? glyph_.Width() : left + cellWidth;
    TColor key = glyph_.Pixel(0, height - 1);

    auto image = std::make_unique<TBitmap>(cellWidth, height);
    image->Canvas().CopyRect({0, 0, cellWidth, height}, glyph_, {left, 0, right, height});
    if (numGlyphs_ == 1 && state_ == FlatButtonState::Disabled) {
        image = MakeEmbossedGlyph(*image, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, TEmbossHighlight::Draw);
        key = image->Pixel(0, height - 1);
    }
    canvas.DrawTransparent(glyphOrigin_.x, glyphOrigin_.y, *image, key);
}

void TFlatSpeedButton::PaintCaption(TCanvas& canvas)
{
    if (Caption().isEmpty())
        return;
    constexpr unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    canvas.Brush().Style = bsClear;
    canvas.SetBkMode(bkTransparent);
    TRect area = captionArea_;
    if (state_ == FlatButtonState::Disabled) {
        // Etched: a light copy one pixel down-right under the grey one.
        TRect lower = area.Offset(1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        canvas.DrawText(Caption(), lower, format);
        canvas.Font().SetColor(clBtnShadow);
    }
    canvas.DrawText(Caption(), area, format);
}
