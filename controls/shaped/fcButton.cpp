#include "controls/shaped/fcButton.h"

#include "platform/core/Property.h"
#include "platform/core/ScopeExit.h"
#include "platform/graphics/TextPrefix.h"
#include "platform/ui/Actions.h"
#include "platform/ui/Forms.h"

#include <QPointer>

#include <algorithm>
#include <array>
#include <cstring>

// ---------------------------------------------------------------------------
// Companion objects

void TfcShadeColors::Set(TColor& field, TColor v)
{
    if (field == v)
        return;
    field = v;
    if (onChange_)
        onChange_();
}

void TfcShadeColors::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcShadeColors*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetBtnHighlight(s->BtnHighlight());
    SetBtn3DLight(s->Btn3DLight());
    SetBtnShadow(s->BtnShadow());
    SetBtnBlack(s->BtnBlack());
    SetBtnFocus(s->BtnFocus());
    SetShadow(s->Shadow());
}

void TfcOffsets::Set(int& field, int v)
{
    if (field == v)
        return;
    field = v;
    if (onChange_)
        onChange_();
}

void TfcOffsets::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcOffsets*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetGlyphX(s->GlyphX());
    SetGlyphY(s->GlyphY());
    SetTextX(s->TextX());
    SetTextY(s->TextY());
    SetTextDownX(s->TextDownX());
    SetTextDownY(s->TextDownY());
}

void TfcImgDownOffsets::Assign(const TPersistent* source)
{
    TfcOffsets::Assign(source);
    if (const auto* s = dynamic_cast<const TfcImgDownOffsets*>(source)) {
        SetImageDownX(s->ImageDownX());
        SetImageDownY(s->ImageDownY());
    }
}

// ---------------------------------------------------------------------------
// Layout of glyph and caption

namespace {

// Bits of an item's placement code: which extents make up the centred block
// on that axis, and whether the item comes after the other one.
enum : int { kGlyphExtent = 1, kCaptionExtent = 2, kFollows = 4 };

struct TLayoutCodes {
    int captionX, captionY, glyphX, glyphY;
};

TLayoutCodes CodesFor(TButtonLayout layout)
{
    switch (layout) {
    case blGlyphLeft: return {7, 2, 3, 1};
    case blGlyphRight: return {3, 2, 7, 1};
    case blGlyphTop: return {2, 7, 1, 3};
    case blGlyphBottom: return {2, 3, 1, 7};
    }
    return {7, 2, 3, 1};
}

}  // namespace

TfcLayoutResult fcArrangeGlyphAndCaption(const TfcLayoutInput& in)
{
    const int tw = in.TextWidth, th = in.TextHeight;
    const int gw = in.HasGlyph ? in.GlyphWidth : 0;
    const int gh = in.HasGlyph ? in.GlyphHeight : 0;
    int s = in.HasCaption && in.HasGlyph ? in.Spacing : 0;
    const int m = in.Margin == -1 ? 4 : in.Margin;

    TPoint anchor{in.Width / 2, in.Height / 2};
    if (in.Alignment == taLeftJustify)
        anchor.x = (tw + gw + s) / 2 + m;
    else if (in.Alignment == taRightJustify)
        anchor.x = in.Width - m - (tw + gw + s) / 2;
    if (gw == 0 || gh == 0)
        s = (s - 6) / 2;

    const auto place = [&](int cx, int cy, int ow, int oh) {
        const bool bothX = (cx & (kGlyphExtent | kCaptionExtent)) == (kGlyphExtent | kCaptionExtent);
        const bool bothY = (cy & (kGlyphExtent | kCaptionExtent)) == (kGlyphExtent | kCaptionExtent);
        const int a = (bothX ? s : 0) + (cx & kGlyphExtent ? gw : 0) + (cx & kCaptionExtent ? tw : 0);
        const int b = (bothY ? s : 0) + (cy & kGlyphExtent ? gh + 1 : 0) + (cy & kCaptionExtent ? th : 0);
        return TPoint{anchor.x - a / 2 + (cx & kFollows ? s + ow : 0), anchor.y - b / 2 + (cy & kFollows ? s + oh : 0)};
    };
    const TLayoutCodes codes = CodesFor(in.Layout);
    const TPoint c = place(codes.captionX, codes.captionY, gw, gh);
    const TPoint g = place(codes.glyphX, codes.glyphY, tw, th);

    TfcLayoutResult r;
    r.Caption = TRect{c.x, c.y, c.x + tw, c.y + th}.Offset(in.TextOffset.x, in.TextOffset.y);
    r.Glyph = TRect{g.x, g.y, g.x + gw, g.y + gh}.Offset(in.GlyphOffset.x, in.GlyphOffset.y);
    if (in.Down) {
        r.Caption = r.Caption.Offset(in.DownOffset.x, in.DownOffset.y);
        r.Glyph = r.Glyph.Offset(in.DownOffset.x, in.DownOffset.y);
    }
    r.Caption.Left = std::max(r.Caption.Left, 0);
    r.Caption.Top = std::max(r.Caption.Top, 0);
    r.Caption.Right = std::min(r.Caption.Right, in.Width);
    r.Caption.Bottom = std::min(r.Caption.Bottom, in.Height);
    return r;
}

// ---------------------------------------------------------------------------
// Kind presets

namespace {

// By kind, bkCustom to bkAll.
constexpr std::array<TModalResult, 11> kKindModalResults{
    mrNone, mrOk, mrCancel, mrNone, mrYes, mrNo, mrNone, mrAbort, mrRetry, mrIgnore, mrAll};

QString KindCaption(TBitBtnKind k)
{
    switch (k) {
    case bkCustom: return {};
    case bkOK: return QStringLiteral("ОК");
    case bkCancel: return QStringLiteral("Отмена");
    case bkHelp: return QStringLiteral("&Справка");
    case bkYes: return QStringLiteral("&Да");
    case bkNo: return QStringLiteral("&Нет");
    case bkClose: return QStringLiteral("&Закрыть");
    case bkAbort: return QStringLiteral("Прервать");
    case bkRetry: return QStringLiteral("&Повторить");
    case bkIgnore: return QStringLiteral("&Пропустить");
    case bkAll: return QStringLiteral("&Все");
    }
    return {};
}

constexpr int kKindCell = 16;

void DrawKindSymbol(TCanvas& c, TBitBtnKind k, int dx, TColor colour)
{
    c.Pen().Color = colour;
    c.Brush().Color = colour;
    const auto line = [&](int x0, int y0, int x1, int y1) {
        c.MoveTo(dx + x0, y0);
        c.LineTo(dx + x1, y1);
    };
    switch (k) {
    case bkOK:
    case bkYes:
    case bkAll:
        for (int t = 0; t < 2; ++t) {
            line(3, 8 + t, 6, 11 + t);
            line(6, 11 + t, 13, 4 + t);
        }
        if (k == bkAll)
            line(3, 4, 8, 4);
        break;
    case bkCancel:
    case bkNo:
    case bkAbort:
        for (int t = 0; t < 2; ++t) {
            line(3 + t, 3, 13 + t, 13);
            line(12 + t, 3, 2 + t, 13);
        }
        break;
    case bkHelp:
        c.Ellipse(dx + 4, 2, dx + 12, 10);
        c.FillRect({dx + 7, 11, dx + 9, 14});
        break;
    case bkClose:
        c.FrameRect({dx + 4, 2, dx + 12, 14});
        c.FillRect({dx + 9, 7, dx + 11, 9});
        break;
    case bkRetry:
        c.Brush().Style = bsClear;
        c.Ellipse(dx + 3, 3, dx + 13, 13);
        c.Brush().Style = bsSolid;
        break;
    case bkIgnore:
        c.FillRect({dx + 3, 7, dx + 13, 9});
        break;
    case bkCustom:
        break;
    }
}

// The two-cell glyph of a kind (normal, disabled): made at its first use and
// shared by every button for the rest of the run.
const TBitmap& KindGlyph(TBitBtnKind k)
{
    static std::array<std::unique_ptr<TBitmap>, 11> cache;
    std::unique_ptr<TBitmap>& slot = cache[k];
    if (!slot) {
        slot = std::make_unique<TBitmap>(2 * kKindCell, kKindCell);
        TCanvas& c = slot->Canvas();
        c.Brush().Color = clOlive;  // the bottom-left pixel: transparent
        c.FillRect({0, 0, 2 * kKindCell, kKindCell});
        const TColor colour = (k == bkCancel || k == bkNo || k == bkAbort) ? clRed
                              : k == bkHelp                               ? clNavy
                                                                          : clGreen;
        DrawKindSymbol(c, k, 0, colour);
        DrawKindSymbol(c, k, kKindCell, clGray);
    }
    return *slot;
}

TRect UnionRect(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

}  // namespace

// ---------------------------------------------------------------------------
// TfcCustomBitBtn

TfcCustomBitBtn::TfcCustomBitBtn(TComponent* owner) : TCustomControl(owner)
{
    ownCanvas_ = &Canvas();
    shadeColors_ = std::make_unique<TfcShadeColors>([this] { RequestRepaint(); });
    offsets_ = TfcCustomBitBtn::CreateOffsets();
    textOptions_ = std::make_unique<TfcCaptionText>(
        &Font(), ownCanvas_, [this] { RequestRepaint(); }, [this] { CaptionSizeChanged(); },
        [this] { return Enabled(); });
    textOptions_->SetAlignment(taCenter);
    textOptions_->SetVAlignment(vaVCenter);
    // The button paints every pixel of its shape itself and decides on its own
    // when a press and release make a click.
    SetControlStyle(TControlStyle((ControlStyle() | csOpaque | csCaptureMouse) & ~csClickEvents));
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), 75, 25);
    SetTabStop(true);
    activeDefault_ = default_;
}

TfcCustomBitBtn::~TfcCustomBitBtn()
{
    BeginDestroy();
}

std::unique_ptr<TfcOffsets> TfcCustomBitBtn::CreateOffsets()
{
    return std::make_unique<TfcOffsets>([this] { RequestRepaint(); });
}

QString TfcCustomBitBtn::GetCaption() const
{
    if (FieldDisplayText && !staticCaption_)
        return FieldDisplayText();
    return Caption();
}

// --- Property setters

void TfcCustomBitBtn::SetAllowAllUp(bool v)
{
    if (Store(allowAllUp_, v))
        BroadcastPressed();
}

void TfcCustomBitBtn::SetCancel(bool v)
{
    cancel_ = v;
}

void TfcCustomBitBtn::SetDefault(bool v)
{
    if (!Store(default_, v))
        return;
    if (HasWindow())
        ReevaluateActiveDefault();
    RequestRepaint();
}

void TfcCustomBitBtn::SetDisableThemes(bool v)
{
    if (Store(disableThemes_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetDown(bool v)
{
    // Only a group button stays down; a form file may store either value.
    const bool wanted = groupIndex_ == 0 && !Loading() ? false : v;
    if (wanted == down_)
        return;
    SetDownState(wanted, TfcBroadcast::Yes, TfcRepaint::Yes);
    if (down_ == wanted)
        SelChange();
}

void TfcCustomBitBtn::SetGlyph(const TBitmap& v)
{
    glyph_.Assign(v);
    GlyphChanged();
}

void TfcCustomBitBtn::GlyphChanged()
{
    RequestRepaint();
}

void TfcCustomBitBtn::SetGroupIndex(int v)
{
    if (Store(groupIndex_, v))
        BroadcastPressed();
}

TBitBtnKind TfcCustomBitBtn::Kind()
{
    if (kind_ != bkCustom) {
        const bool wantsDefault = kind_ == bkOK || kind_ == bkYes;
        const bool wantsCancel = kind_ == bkCancel || kind_ == bkNo;
        if (wantsDefault != default_ || wantsCancel != cancel_ || modalResult_ != kKindModalResults[kind_])
            kind_ = bkCustom;
    }
    return kind_;
}

void TfcCustomBitBtn::SetKind(TBitBtnKind v)
{
    if (v > bkAll || v == kind_)
        return;
    if (v != bkCustom) {
        SetDefault(v == bkOK || v == bkYes);
        SetCancel(v == bkCancel || v == bkNo);
        if (!Loading() || Caption().isEmpty())
            SetCaption(KindCaption(v));
        SetModalResult(kKindModalResults[v]);
        SetGlyph(KindGlyph(v));
        SetNumGlyphs(2);
    }
    kind_ = v;
    RequestRepaint();
}

void TfcCustomBitBtn::SetLayout(TButtonLayout v)
{
    if (Store(layout_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetMargin(int v)
{
    if (v < -1 || margin_ == v)
        return;
    margin_ = v;
    RequestRepaint();
}

void TfcCustomBitBtn::SetNumGlyphs(int v)
{
    v = std::clamp(v, 1, 4);
    if (Store(numGlyphs_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetOptions(TfcButtonOptions v)
{
    if (options_ == v)
        return;
    const bool boldChanged = options_.Contains(boAutoBold) != v.Contains(boAutoBold);
    options_ = v;
    if (!options_.Contains(boFocusable))
        SetTabStop(false);
    if (boldChanged)
        SetDownState(down_, TfcBroadcast::No, TfcRepaint::Yes);
}

void TfcCustomBitBtn::SetShadeStyle(TfcShadeStyle v)
{
    if (Store(shadeStyle_, v))
        RecreateShape();
}

void TfcCustomBitBtn::SetSmoothFont(bool v)
{
    if (Store(smoothFont_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetSpacing(int v)
{
    if (Store(spacing_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetStaticCaption(bool v)
{
    if (Store(staticCaption_, v))
        RequestRepaint();
}

void TfcCustomBitBtn::SetStyle(TButtonStyle v)
{
    if (Store(style_, v))
        RequestRepaint();
}

// --- States

void TfcCustomBitBtn::SetDownState(bool value, TfcBroadcast broadcast, TfcRepaint repaint)
{
    if (value != down_) {
        down_ = value;
        if (HitsByOwnRegion())
            ApplyRegion();
        if (down_)
            NotifyDown();
        if (broadcast == TfcBroadcast::Yes)
            BroadcastPressed();
        if (repaint == TfcRepaint::Yes)
            RequestRepaint();
    }
    ApplyAutoBold();
}

void TfcCustomBitBtn::ApplyAutoBold()
{
    if (groupIndex_ <= 0 || !options_.Contains(boAutoBold))
        return;
    const TFontStyles style = Font().Style();
    Font().SetStyle(TFontStyles(down_ ? style | fsBold : style & ~fsBold));
}

void TfcCustomBitBtn::Press()
{
    downAtPress_ = down_;
    if (!options_.Contains(boToggleOnUp) || groupIndex_ == 0) {
        if (options_.Contains(boFocusable) && CanFocus())
            SetFocus();
        SetDownState(true, TfcBroadcast::No, TfcRepaint::No);
    }
    if (down_ != downAtPress_)
        PaintNow();
}

void TfcCustomBitBtn::Release(TfcReleasePlace place)
{
    if (groupIndex_ == 0) {
        SetDownState(false, TfcBroadcast::No, TfcRepaint::No);
        PaintNow();
        return;
    }
    BroadcastPressed();
    if (place != TfcReleasePlace::Inside && !options_.Contains(boToggleOnUp))
        return;
    const bool wasDown = downAtPress_;
    if (!wasDown || allowAllUp_) {
        SetDownState(!wasDown, TfcBroadcast::Yes, TfcRepaint::No);
        PaintNow();
        SelChange();
    }
}

bool TfcCustomBitBtn::HitTest(int x, int y, TfcPressCheck check)
{
    if (check == TfcPressCheck::RequirePressed && !mousePressed_)
        return false;
    // A press and release that straddle a change of the active window make
    // no click.
    if (const TForm* form = ParentForm(); form && !form->Active())
        return false;
    const TPoint p = x == -1 && y == -1 ? ScreenToClient(CursorPos()) : TPoint{x, y};
    if (HitsByOwnRegion() || !Parent())
        return ContainsPoint(p);
    // The parent knows which child is topmost at the point, window shapes
    // included: a black key above a white key's rectangle takes its diamond.
    return Parent()->ControlAtPos(p + TPoint{Left(), Top()}) == this;
}

bool TfcCustomBitBtn::IsHot()
{
    return HitTest(-1, -1, TfcPressCheck::AnyState);
}

void TfcCustomBitBtn::BroadcastPressed()
{
    TWinControl* parent = Parent();
    if (groupIndex_ == 0 || !parent)
        return;
    QPointer<QWidget> guard(this);
    std::vector<QPointer<QWidget>> siblings;
    for (int i = 0; i < parent->ControlCount(); ++i)
        siblings.emplace_back(parent->Controls(i));
    for (const QPointer<QWidget>& w : siblings) {
        if (!guard)
            return;
        if (auto* b = dynamic_cast<TfcCustomBitBtn*>(w.data()))
            b->GroupButtonPressed(groupIndex_, this);
    }
}

void TfcCustomBitBtn::GroupButtonPressed(int groupIndex, TfcCustomBitBtn* sender)
{
    if (groupIndex != groupIndex_ || !sender || sender == this || !sender->Down())
        return;
    // Only a button that actually goes up reports a change of selection.
    if (!down_)
        return;
    SetDownState(false, TfcBroadcast::No, TfcRepaint::Yes);
    SelChange();
}

void TfcCustomBitBtn::SelChange()
{
    QPointer<QWidget> guard(this);
    Fire(OnSelChange, this);
    if (guard)
        NotifySelChange();
}

void TfcCustomBitBtn::ActionChange()
{
    TCustomControl::ActionChange();
    const TAction* action = Action();
    if (!action || !glyph_.Empty())
        return;
    TBitmap glyph;
    if (action->ImageAsGlyph(glyph))
        SetGlyph(glyph);
}

void TfcCustomBitBtn::Click()
{
    QPointer<QWidget> guard(this);
    inClick_ = true;
    TForm* form = ParentForm();
    const TBitBtnKind kind = Kind();
    if (kind == bkClose && form) {
        form->Close();
    } else {
        // There is no help system: a help button clicks like any other.
        if (kind != bkHelp && form)
            form->SetModalResult(modalResult_);
        TCustomControl::Click();
    }
    if (!guard)
        return;
    inClick_ = false;
    RequestRepaint();
}

// --- Observers

void TfcCustomBitBtn::AddChangeLink(TfcChangeLink* link)
{
    if (link && std::find(changeLinks_.begin(), changeLinks_.end(), link) == changeLinks_.end())
        changeLinks_.push_back(link);
}

void TfcCustomBitBtn::RemoveChangeLink(TfcChangeLink* link)
{
    changeLinks_.erase(std::remove(changeLinks_.begin(), changeLinks_.end(), link), changeLinks_.end());
}

void TfcCustomBitBtn::NotifySelChange()
{
    for (TfcChangeLink* l : std::vector<TfcChangeLink*>(changeLinks_))
        l->SelChange(this);
}

void TfcCustomBitBtn::NotifyDown()
{
    for (TfcChangeLink* l : std::vector<TfcChangeLink*>(changeLinks_))
        l->WentDown(this);
}

void TfcCustomBitBtn::NotifyLoaded()
{
    for (TfcChangeLink* l : std::vector<TfcChangeLink*>(changeLinks_))
        l->Loaded(this);
}

void TfcCustomBitBtn::DeriveShadeColors(TColor base)
{
    TfcShadeColors& c = *shadeColors_;
    c.SetBtnShadow(fcShadeColor(base, 50, TfcShadeDirection::Darken));
    c.SetBtnBlack(fcShadeColor(c.BtnShadow(), 50, TfcShadeDirection::Darken));
    c.SetBtn3DLight(fcShadeColor(base, 50, TfcShadeDirection::Lighten));
    c.SetBtnHighlight(fcShadeColor(c.Btn3DLight(), 50, TfcShadeDirection::Lighten));
}

// --- Window shape

void TfcCustomBitBtn::ReadRegionStream(const QByteArray& stream, std::vector<std::uint8_t>& cache)
{
    cache.clear();
    if (stream.size() < 4)
        return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.constData());
    const std::uint32_t n = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
                            std::uint32_t(bytes[3]) << 24;
    if (n == 0 || n > std::uint32_t(stream.size() - 4))
        return;
    TRegion check;
    if (!TRegion::FromData(bytes + 4, n, check))
        return;
    cache.assign(bytes + 4, bytes + 4 + n);
}

void TfcCustomBitBtn::ReadRegionData(const QByteArray& stream)
{
    ReadRegionStream(stream, upRegionCache_);
}

void TfcCustomBitBtn::ReadDownRegionData(const QByteArray& stream)
{
    ReadRegionStream(stream, downRegionCache_);
}

std::optional<TRegion> TfcCustomBitBtn::CreateRegion(TfcRegionCompute, TfcFaceLook look)
{
    const std::vector<std::uint8_t>& cache = RegionCache(look);
    TRegion region;
    if (!cache.empty() && TRegion::FromData(cache.data(), cache.size(), region))
        return region;
    return std::nullopt;
}

void TfcCustomBitBtn::StoreRegionData(const TRegion& region, TfcFaceLook look)
{
    RegionCache(look) = region.ToData();
}

void TfcCustomBitBtn::ClearRegionCache()
{
    upRegionCache_.clear();
    downRegionCache_.clear();
}

void TfcCustomBitBtn::FreeRegions()
{
    if (HasWindowRegion())
        ClearWindowRegion();
}

void TfcCustomBitBtn::ApplyRegion()
{
    if (!HasWindow() || !UsesWindowShape())
        return;
    FreeRegions();
    if (std::optional<TRegion> region = CreateRegion(TfcRegionCompute::Compute, DownLook()))
        SetWindowRegion(*region);
}

void TfcCustomBitBtn::InvalidateParentUnderShape()
{
    if (Parent())
        Parent()->update(QRect(Left(), Top(), Width(), Height()));
}

void TfcCustomBitBtn::RecreateShape()
{
    if (!HasWindow())
        return;
    activeDefault_ = default_;
    ClearRegionCache();
    ApplyRegion();
    RequestRepaint();
}

void TfcCustomBitBtn::Resize()
{
    TCustomControl::Resize();
    if (!HasWindow())
        return;
    // A shape computed for the old size is never used again.
    ClearRegionCache();
    FreeRegions();
    ApplyRegion();
    RequestRepaint();
    InvalidateParentUnderShape();
}

void TfcCustomBitBtn::Loaded()
{
    TCustomControl::Loaded();
    // The window exists from here on: it answers Enter when it is Default.
    activeDefault_ = default_;
    if (!options_.Contains(boFocusable))
        SetTabStop(false);
    ApplyRegion();
    NotifyLoaded();
}

// --- Painting

void TfcCustomBitBtn::PaintFace(TBitmap&, TfcFacePurpose, TfcShadeStyle, TfcFaceLook) {}

int TfcCustomBitBtn::GlyphCellWidth() const
{
    return numGlyphs_ <= 1 ? glyph_.Width() : glyph_.Width() / numGlyphs_;
}

void TfcCustomBitBtn::ArrangeGlyphAndCaption(TCanvas& canvas, TfcFaceLook look)
{
    const QString caption = GetCaption();
    TfcCaptionText& text = *textOptions_;
    text.SetCanvas(&canvas);
    text.SetText(caption);
    text.SetBoundsRect(ClientRect().Inflate(-2, -2));
    const TRect measured = text.CalcRectWithFont(TfcMeasure::MeasureOnly);

    TfcLayoutInput in;
    in.Width = Width();
    in.Height = Height();
    in.TextWidth = measured.Width();
    in.TextHeight = measured.Height();
    in.HasCaption = !caption.isEmpty();
    in.HasGlyph = !glyph_.Empty();
    in.GlyphWidth = in.HasGlyph ? GlyphCellWidth() : 0;
    in.GlyphHeight = in.HasGlyph ? glyph_.Height() : 0;
    in.Spacing = spacing_;
    in.Margin = margin_;
    in.Alignment = text.Alignment();
    in.Layout = layout_;
    in.GlyphOffset = {offsets_->GlyphX(), offsets_->GlyphY()};
    in.TextOffset = {offsets_->TextX(), offsets_->TextY()};
    in.DownOffset = {offsets_->TextDownX(), offsets_->TextDownY()};
    in.Down = look == fcflDown;
    const TfcLayoutResult r = fcArrangeGlyphAndCaption(in);
    glyphRect_ = r.Glyph;
    captionRect_ = r.Caption;
}

void TfcCustomBitBtn::DrawGlyph(TCanvas& canvas, TfcFaceLook look)
{
    const int cellWidth = GlyphCellWidth();
    const int height = glyph_.Height();
    if (glyph_.Empty() || cellWidth <= 0)
        return;
    const int cells = std::max(numGlyphs_, 1);
    int cell = 0;
    if (!Enabled() && cells >= 2)
        cell = 1;
    else if (look == fcflDown && cells > 2)
        cell = 2;
    else if (cells > 3 && IsHot())
        cell = 3;

    TBitmap image(cellWidth, height);
    image.Canvas().CopyRect({0, 0, cellWidth, height}, glyph_, {cell * cellWidth, 0, (cell + 1) * cellWidth, height});
    // The bottom-left pixel names the glyph's transparent colour.
    const TColor key = glyph_.Pixel(0, height - 1);
    if (!Enabled() && cells == 1) {
        const std::uint32_t keyPx = ColorToPixel(key);
        const std::uint32_t grey = ColorToPixel(clBtnShadow);
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = image.ScanLine(y);
            for (int x = 0; x < cellWidth; ++x)
                if ((row[x] | 0xFF000000u) != keyPx)
                    row[x] = grey;
        }
    }
    canvas.DrawTransparent(glyphRect_.Left, glyphRect_.Top, image, key);
}

void TfcCustomBitBtn::DrawCaption(TCanvas& canvas, const TRect& captionRect)
{
    canvas.Brush().Style = bsClear;
    TfcCaptionText& text = *textOptions_;
    text.SetCanvas(&canvas);
    text.SetBoundsRect(captionRect);
    text.Draw();
}

void TfcCustomBitBtn::DrawGlyphAndCaption(TCanvas& canvas, TfcFaceLook look)
{
    ArrangeGlyphAndCaption(canvas, look);
    if (!glyph_.Empty())
        DrawGlyph(canvas, look);
    DrawCaption(canvas, captionRect_);
    if (options_.Contains(boFocusRect) && options_.Contains(boFocusable) && Focused()) {
        canvas.Brush().Style = bsSolid;
        canvas.Brush().Color = clWhite;
        canvas.SetTextColor(clBlack);
        canvas.DrawFocusRect(UnionRect(captionRect_, glyphRect_).Inflate(2, 2));
    }
}

void TfcCustomBitBtn::Paint()
{
    if (Destroying() || Width() <= 0 || Height() <= 0)
        return;
    const TfcFaceLook look = DownLook();
    // One image per paint, composed completely, copied once.
    TBitmap image(Width(), Height());
    const TfcShadeStyle style = inClick_ && shadeStyle_ == fbsFlat ? fbsNormal : shadeStyle_;
    const TScopeExit reset([this] { textOptions_->SetCanvas(ownCanvas_); });
    PaintFace(image, fcfpDisplay, style, look);
    DrawGlyphAndCaption(image.Canvas(), look);
    TCanvas& surface = Canvas();
    surface.Draw(0, 0, image);
    // The second pass draws the caption straight on the control so its
    // anti-aliased edges blend with the final face.
    if (smoothFont_)
        DrawCaption(surface, captionRect_);
}

// --- Input

void TfcCustomBitBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft) {
        TCustomControl::MouseDown(button, shift, x, y);
        return;
    }
    if (TControl* other = CaptureControl(); other && other != this)
        other->CancelMode();
    QPointer<QWidget> guard(this);
    mousePressed_ = true;
    SetMouseCapture(true);
    Press();
    if (guard)
        TCustomControl::MouseDown(button, shift, x, y);
}

void TfcCustomBitBtn::MouseMove(TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TCustomControl::MouseMove(shift, x, y);
    if (!guard || options_.Contains(boToggleOnUp) || !mousePressed_ || !(shift & ssLeft))
        return;
    const bool inside = HitTest(x, y, TfcPressCheck::RequirePressed);
    // Dragged off its shape the button pops up; back on, it goes down again.
    if ((inside && !down_) || (!inside && down_ && !downAtPress_)) {
        SetDownState(inside, TfcBroadcast::No, TfcRepaint::No);
        PaintNow();
    }
}

void TfcCustomBitBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<QWidget> guard(this);
    TCustomControl::MouseUp(button, shift, x, y);
    if (!guard)
        return;
    Release(HitTest(x, y, TfcPressCheck::RequirePressed) ? TfcReleasePlace::Inside : TfcReleasePlace::Outside);
    if (!guard)
        return;
    SetMouseCapture(false);
    if (HitTest(x, y, TfcPressCheck::RequirePressed) || options_.Contains(boToggleOnUp))
        Click();
    if (guard)
        mousePressed_ = false;
}

void TfcCustomBitBtn::CancelMode()
{
    TCustomControl::CancelMode();
    if (mousePressed_)
        MouseUp(mbLeft, 0, -1, -1);
}

void TfcCustomBitBtn::KeyDown(TKeyCode& key, TShiftState shift)
{
    QPointer<QWidget> guard(this);
    TCustomControl::KeyDown(key, shift);
    if (!guard || key != Qt::Key_Space)
        return;
    Press();
    if (guard)
        Release(TfcReleasePlace::Inside);
    if (guard)
        Click();
}

bool TfcCustomBitBtn::IsDialogKeyClick(TKeyCode key, TShiftState shift) const
{
    if (shift & (ssShift | ssAlt | ssCtrl))
        return false;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    return (enter && activeDefault_) || (key == Qt::Key_Escape && cancel_);
}

bool TfcCustomBitBtn::DialogKey(TKeyCode key, TShiftState shift)
{
    if (IsDialogKeyClick(key, shift) && CanFocus()) {
        Click();
        return true;
    }
    return TCustomControl::DialogKey(key, shift);
}

bool TfcCustomBitBtn::DialogChar(QChar ch, TShiftState shift)
{
    const TKeyCode key = ch == QLatin1Char('\r') ? TKeyCode(Qt::Key_Return)
                         : ch == QChar(0x1B)     ? TKeyCode(Qt::Key_Escape)
                                                 : 0;
    if (key != 0 && IsDialogKeyClick(key, shift) && CanFocus()) {
        Click();
        return true;
    }
    if (IsAcceleratorOf(Caption(), ch) && CanFocus()) {
        QPointer<QWidget> guard(this);
        if (groupIndex_ > 0)
            SetDownState(true, TfcBroadcast::Yes, TfcRepaint::No);
        Click();
        if (guard)
            RequestRepaint();
        return true;
    }
    return TCustomControl::DialogChar(ch, shift);
}

void TfcCustomBitBtn::FocusChanged(TWinControl* focused)
{
    TCustomControl::FocusChanged(focused);
    activeDefault_ = dynamic_cast<TfcCustomBitBtn*>(focused) ? focused == this : default_;
}

void TfcCustomBitBtn::ReevaluateActiveDefault()
{
    const TForm* form = ParentForm();
    FocusChanged(form ? form->ActiveControl() : nullptr);
}

void TfcCustomBitBtn::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    RequestRepaint();
}

void TfcCustomBitBtn::MouseEnter()
{
    if (shadeStyle_ == fbsFlat || numGlyphs_ == 4)
        RequestRepaint();
    TCustomControl::MouseEnter();
}

void TfcCustomBitBtn::MouseLeave()
{
    if (shadeStyle_ == fbsFlat || numGlyphs_ == 4)
        RequestRepaint();
    TCustomControl::MouseLeave();
}
