#include "platform/ui/StdCtrls.h"

#include "platform/core/Property.h"
#include "platform/graphics/TextPrefix.h"
#include "platform/ui/Accessible.h"
#include "platform/ui/Forms.h"

#include <QTimer>

#include <algorithm>

namespace {

unsigned AlignmentFlags(TAlignment a)
{
    switch (a) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

void FillSolid(TCanvas& canvas, const TRect& r, TColor color)
{
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = color;
    canvas.FillRect(r);
}

// Draws text in r; a disabled caption is etched: a highlight copy one pixel
// right and down, the shadow copy on top.
void DrawCaption(TCanvas& canvas, const QString& text, TRect r, unsigned flags, bool enabled, TColor color)
{
    canvas.Brush().Style = bsClear;
    canvas.SetBkMode(bkTransparent);
    if (enabled) {
        canvas.SetTextColor(color);
        canvas.DrawText(text, r, flags);
        return;
    }
    TRect shifted = r.Offset(1, 1);
    canvas.SetTextColor(clBtnHighlight);
    canvas.DrawText(text, shifted, flags);
    canvas.SetTextColor(clBtnShadow);
    canvas.DrawText(text, r, flags);
}

}  // namespace

// ---------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetControlStyle(ControlStyle() | csOpaque);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment v)
{
    if (Store(alignment_, v))
        Invalidate();
}

void TLabel::SetLayout(TTextLayout v)
{
    if (Store(layout_, v))
        Invalidate();
}

void TLabel::SetTransparent(bool v)
{
    if (!Store(transparent_, v))
        return;
    SetControlStyle(v ? TControlStyle(ControlStyle() & ~csOpaque) : TControlStyle(ControlStyle() | csOpaque));
    Invalidate();
}

void TLabel::SetAutoSize(bool v)
{
    if (Store(autoSize_, v))
        AdjustBounds();
}

unsigned TLabel::TextFlags() const
{
    unsigned flags = DT_EXPANDTABS | DT_SINGLELINE | AlignmentFlags(alignment_);
    if (layout_ == tlCenter)
        flags |= DT_VCENTER;
    else if (layout_ == tlBottom)
        flags |= DT_BOTTOM;
    return flags;
}

void TLabel::Paint()
{
    TCanvas& canvas = Canvas();
    if (!transparent_)
        FillSolid(canvas, ClientRect(), Color());
    DrawCaption(canvas, Caption(), ClientRect(), TextFlags(), Enabled(), Font().Color());
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || Loading())
        return;
    // Measure on a scratch canvas: the label's own image may not exist yet.
    TBitmap scratch(1, 1);
    scratch.Canvas().Font().Assign(Font());
    // An empty caption still takes one blank's height.
    const QString text = Caption().isEmpty() ? QStringLiteral(" ") : Caption();
    TRect r{0, 0, Width(), 0};
    scratch.Canvas().DrawText(text, r, (TextFlags() & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    int left = Left();
    if (alignment_ == taRightJustify)
        left += Width() - r.Width();
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::TextChanged()
{
    AdjustBounds();
    Invalidate();
    // A label is read by its text: a new text is a new name (status lines
    // are announced this way).
    AnnounceAccessibleEvent(this, QAccessible::NameChanged);
}

void TLabel::FontChanged()
{
    AdjustBounds();
    Invalidate();
}

// ---------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut v)
{
    if (Store(bevelOuter_, v))
        Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v)
{
    if (Store(bevelInner_, v))
        Invalidate();
}

void TCustomPanel::SetBevelWidth(int v)
{
    v = std::max(v, 1);
    if (Store(bevelWidth_, v))
        Invalidate();
}

void TCustomPanel::SetBorderWidth(int v)
{
    v = std::max(v, 0);
    if (Store(borderWidth_, v))
        Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment v)
{
    if (Store(alignment_, v))
        Invalidate();
}

TRect TCustomPanel::Frame3D(TCanvas& canvas, TRect r, TColor topColor, TColor bottomColor, int width)
{
    canvas.Pen().Width = 1;
    canvas.Pen().Style = psSolid;
    // Work on the last pixel column and row inside r.
    r.Right -= 1;
    r.Bottom -= 1;
    for (; width > 0; --width) {
        canvas.Pen().Color = topColor;
        canvas.Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        canvas.Pen().Color = bottomColor;
        canvas.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        r = r.Inflate(-1, -1);
    }
    r.Right += 1;
    r.Bottom += 1;
    return r;
}

void TCustomPanel::Paint()
{
    TCanvas& canvas = Canvas();
    auto ring = [&](TRect r, TBevelCut cut) {
        const bool raised = cut == bvRaised;
        return Frame3D(canvas, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
                       bevelWidth_);
    };
    TRect r = ClientRect();
    if (bevelOuter_ != bvNone)
        r = ring(r, bevelOuter_);
    r = Frame3D(canvas, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone)
        r = ring(r, bevelInner_);
    FillSolid(canvas, r, Color());
    if (Caption().isEmpty())
        return;
    // The caption takes one text line centred vertically in the inner area.
    const int lineHeight = canvas.TextHeight(QStringLiteral("W"));
    r.Top = (r.Bottom + r.Top - lineHeight) / 2;
    r.Bottom = r.Top + lineHeight;
    DrawCaption(canvas, Caption(), r, DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | AlignmentFlags(alignment_),
                Enabled(), Font().Color());
}

// ---------------------------------------------------------------------------
// Pen and brush objects

void TPenObject::SetColor(TColor v)
{
    if (v == pen_.Color)
        return;
    pen_.Color = v;
    Changed();
}

void TPenObject::SetWidth(int v)
{
    v = std::max(v, 0);
    if (v == pen_.Width)
        return;
    pen_.Width = v;
    Changed();
}

void TPenObject::SetStyle(TPenStyle v)
{
    if (v == pen_.Style)
        return;
    pen_.Style = v;
    Changed();
}

void TPenObject::Changed()
{
    Fire(OnChange);
}

void TBrushObject::SetColor(TColor v)
{
    if (v == brush_.Color)
        return;
    brush_.Color = v;
    Changed();
}

void TBrushObject::SetStyle(TBrushStyle v)
{
    if (v == brush_.Style)
        return;
    brush_.Style = v;
    Changed();
}

void TBrushObject::Changed()
{
    Fire(OnChange);
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 65, 65);
    pen_.OnChange = [this] { Invalidate(); };
    brush_.OnChange = [this] { Invalidate(); };
}

void TShape::SetShape(TShapeType v)
{
    if (Store(shape_, v))
        Invalidate();
}

TRect TShape::FigureRect() const
{
    // The pen is centred on the outline, so half of it lies inside.
    const int penWidth = pen_.Width();
    int x = penWidth / 2;
    int y = x;
    int w = Width() - penWidth + 1;
    int h = Height() - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = s;
        h = s;
    }
    return {x, y, x + w, y + h};
}

void TShape::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Pen() = pen_.Value();
    canvas.Brush() = brush_.Value();
    const TRect r = FigureRect();
    const int s = std::min(r.Width(), r.Height());
    switch (shape_) {
    case stRectangle:
    case stSquare:
        canvas.Rectangle(r);
        break;
    case stRoundRect:
    case stRoundSquare:
        canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, s / 4, s / 4);
        break;
    case stEllipse:
    case stCircle:
        canvas.Ellipse(r);
        break;
    }
}

// ---------------------------------------------------------------------------
// TListBox

TListBox::TListBox(TComponent* owner) : TWinControl(owner)
{
    SetColor(clWindow);
    SetTabStop(true);
    SetFocusOnClick(true);
    SetBounds(0, 0, 121, 97);
}

void TListBox::SetItems(const QStringList& v)
{
    if (!Store(items_, v))
        return;
    if (itemIndex_ >= int(items_.size()))
        itemIndex_ = -1;
    Invalidate();
}

void TListBox::AddItem(const QString& item)
{
    items_.append(item);
    Invalidate();
}

void TListBox::ClearItems()
{
    if (items_.isEmpty())
        return;
    items_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    Invalidate();
}

void TListBox::SetItemIndex(int v)
{
    if (v < -1 || v >= int(items_.size()))
        v = -1;
    if (!Store(itemIndex_, v))
        return;
    // Keep the selected row in view.
    const int rows = std::max(1, (Height() - 4) / std::max(itemHeight_, 1));
    if (itemIndex_ >= 0 && itemIndex_ < topIndex_)
        topIndex_ = itemIndex_;
    else if (itemIndex_ >= topIndex_ + rows)
        topIndex_ = itemIndex_ - rows + 1;
    Invalidate();
}

void TListBox::SetItemHeight(int v)
{
    v = std::max(v, 1);
    if (Store(itemHeight_, v))
        Invalidate();
}

void TListBox::Paint()
{
    TCanvas& canvas = Canvas();
    // Sunken client edge: two rings.
    TRect r = TCustomPanel::Frame3D(canvas, ClientRect(), clBtnShadow, clBtnHighlight, 1);
    r = TCustomPanel::Frame3D(canvas, r, cl3DDkShadow, cl3DLight, 1);
    FillSolid(canvas, r, Color());
    const TCanvasSaver saved(canvas);
    canvas.IntersectClipRect(r);
    for (int i = topIndex_, y = r.Top; i < int(items_.size()) && y < r.Bottom; ++i, y += itemHeight_) {
        TRect row{r.Left, y, r.Right, y + itemHeight_};
        const bool selected = i == itemIndex_;
        if (selected)
            FillSolid(canvas, row, clHighlight);
        TRect text = row;
        text.Left += 2;
        DrawCaption(canvas, items_[i], text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, Enabled(),
                    selected ? clHighlightText : Font().Color());
    }
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && y >= 2) {
        const int row = topIndex_ + (y - 2) / itemHeight_;
        if (row < int(items_.size()))
            SetItemIndex(row);
    }
    TWinControl::MouseDown(button, shift, x, y);
}

bool TListBox::WantsKey(TKeyCode key, TShiftState) const
{
    return key == Qt::Key_Up || key == Qt::Key_Down;
}

void TListBox::KeyDown(TKeyCode& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    if (key == Qt::Key_Down && itemIndex_ + 1 < int(items_.size()))
        SetItemIndex(itemIndex_ + 1);
    else if (key == Qt::Key_Up && itemIndex_ > 0)
        SetItemIndex(itemIndex_ - 1);
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 105, 105);
}

void TImage::SetPicture(const QImage& image)
{
    if (image.isNull())
        picture_.SetSize(0, 0);
    else
        picture_.LoadFromImage(image);
    Invalidate();
}

void TImage::EditPicture(const std::function<void(TBitmap&)>& edit)
{
    edit(picture_);
    Invalidate();
}

void TImage::Paint()
{
    if (!picture_.Empty())
        Canvas().Draw(0, 0, picture_);
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    // Clicks come from this control's own press and release logic.
    SetControlStyle(TControlStyle((ControlStyle() | csOpaque) & ~csClickEvents));
    SetTabStop(true);
    SetFocusOnClick(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool v)
{
    if (!Store(default_, v))
        return;
    TForm* form = ParentForm();
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    activeDefault_ = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    Invalidate();
}

void TButton::Click()
{
    if (TForm* form = ParentForm())
        form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::SetPressed(bool v)
{
    if (Store(pressed_, v))
        Repaint();
}

void TButton::Paint()
{
    TCanvas& canvas = Canvas();
    TRect r = ClientRect();
    const bool defaultLook = activeDefault_ || Focused();
    if (defaultLook)
        r = TCustomPanel::Frame3D(canvas, r, cl3DDkShadow, cl3DDkShadow, 1);
    if (pressed_) {
        r = TCustomPanel::Frame3D(canvas, r, clBtnShadow, clBtnShadow, 1);
    } else {
        r = TCustomPanel::Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1);
        r = TCustomPanel::Frame3D(canvas, r, cl3DLight, clBtnShadow, 1);
    }
    FillSolid(canvas, r, Color());
    TRect text = ClientRect();
    if (pressed_)
        text = text.Offset(1, 1);
    DrawCaption(canvas, Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled(), Font().Color());
    if (Focused())
        canvas.DrawFocusRect(ClientRect().Inflate(-4, -4));
}

bool TButton::DialogKey(TKeyCode key, TShiftState shift)
{
    const bool enter = (key == Qt::Key_Return || key == Qt::Key_Enter) && activeDefault_;
    const bool escape = key == Qt::Key_Escape && cancel_;
    if ((enter || escape) && (shift & (ssShift | ssAlt | ssCtrl)) == 0 && CanFocus()) {
        Click();
        return true;
    }
    return false;
}

bool TButton::DialogChar(QChar ch, TShiftState)
{
    if (!IsAcceleratorOf(Caption(), ch) || !CanFocus())
        return false;
    Click();
    return true;
}

void TButton::FocusChanged(TWinControl* focused)
{
    const bool v = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    if (Store(activeDefault_, v))
        Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    mouseHeld_ = true;
    SetPressed(true);
}

void TButton::MouseMove(TShiftState shift, int x, int y)
{
    TWinControl::MouseMove(shift, x, y);
    if (mouseHeld_)
        SetPressed(ClientRect().Contains({x, y}));
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TWinControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !mouseHeld_)
        return;
    mouseHeld_ = false;
    const bool inside = ClientRect().Contains({x, y});
    SetPressed(false);
    if (inside)
        Click();
}

void TButton::KeyDown(TKeyCode& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    if (key == Qt::Key_Space) {
        spaceHeld_ = true;
        SetPressed(true);
    }
}

void TButton::KeyUp(TKeyCode& key, TShiftState shift)
{
    TWinControl::KeyUp(key, shift);
    if (key == Qt::Key_Space && spaceHeld_) {
        spaceHeld_ = false;
        SetPressed(false);
        Click();
    }
}

void TButton::CancelMode()
{
    TWinControl::CancelMode();
    mouseHeld_ = false;
    spaceHeld_ = false;
    SetPressed(false);
}

void TButton::EnabledChanged()
{
    if (!Enabled())
        CancelMode();
    TWinControl::EnabledChanged();
}

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>())
{
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { GuardedCall([this] { Tick(); }); });
    Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool v)
{
    if (Store(enabled_, v))
        Update();
}

void TTimer::SetInterval(unsigned v)
{
    if (Store(interval_, v))
        Update();
}

void TTimer::Tick()
{
    Fire(OnTimer, this);
}

void TTimer::Update()
{
    if (enabled_ && interval_ > 0)
        timer_->start(int(std::min<unsigned>(interval_, 0x7FFFFFFF)));
    else
        timer_->stop();
}
