#include "controls/shaped/fctext.h"

#include "platform/core/Property.h"
#include "platform/graphics/TextPrefix.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

using i64 = long long;

// A change of an effect reaches the text it belongs to: the caption's size
// first when the change can move it.
void EffectChanged(TfcText* owner, bool resizes)
{
    if (!owner)
        return;
    if (resizes)
        owner->NotifySizeChange();
    owner->Changed();
}

i64 WidthOf(const TRect& r)
{
    return i64(r.Right) - r.Left;
}

i64 HeightOf(const TRect& r)
{
    return i64(r.Bottom) - r.Top;
}

// The pieces between separators; an empty string has none, a string ending
// in a separator has an empty last piece.
QStringList SplitLines(const QString& s, const QString& separator)
{
    if (s.isEmpty())
        return {};
    return s.split(separator);
}

bool IsBlank(QChar c)
{
    return c.unicode() <= 32;
}

QString TrimBlanks(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && IsBlank(s[first]))
        ++first;
    while (last > first && IsBlank(s[last - 1]))
        --last;
    return s.mid(first, last - first);
}

// The next word or single blank of a paragraph, for the justified layout.
// After a one-character token the blank that follows it is skipped (a
// one-letter word is appended with a blank of its own). A character above 32
// is never skipped, so no letter of the caption is lost.
std::optional<QString> NextToken(const QString& s, qsizetype& pos)
{
    if (pos >= s.size())
        return std::nullopt;
    qsizetype end = pos + 1;
    if (!IsBlank(s[pos]))
        while (end < s.size() && !IsBlank(s[end]))
            ++end;
    QString token = s.mid(pos, end - pos);
    pos = end;
    if (token.size() == 1 && pos < s.size() && IsBlank(s[pos]))
        ++pos;
    return token;
}

// Builds one line of the justified layout: a token fits when the line's text
// width plus the token's is less than the line width. Measuring the growing
// line after every token would cost time quadratic in its length, so the
// line is measured only when a running sum of the token widths, widened by
// an em per join (more than kerning can move), cannot decide.
class LineBuilder {
public:
    LineBuilder(const TCanvas& canvas, i64 width)
        : canvas_(canvas), width_(width), em_(std::abs(i64(canvas.TextHeight(QStringLiteral("Ag")))) + 1)
    {
    }

    bool Fits(const QString& token)
    {
        const i64 tokenWidth = canvas_.TextWidth(token);
        if (estimate_ + tokenWidth + joins_ * em_ < width_)
            return true;
        if (joins_ > 0) {
            estimate_ = canvas_.TextWidth(line_);
            joins_ = 0;
        }
        return width_ > estimate_ + tokenWidth;
    }

    // A one-letter word brings the blank that followed it.
    void Append(const QString& token)
    {
        line_ += token;
        estimate_ += canvas_.TextWidth(token);
        ++joins_;
        if (token.size() == 1 && !IsBlank(token[0])) {
            line_ += QLatin1Char(' ');
            estimate_ += canvas_.TextWidth(QStringLiteral(" "));
            ++joins_;
        }
        empty_ = false;
    }

    bool Empty() const { return empty_; }
    const QString& Line() const { return line_; }

private:
    const TCanvas& canvas_;
    i64 width_;
    i64 em_;
    QString line_;
    i64 estimate_ = 0;  // exact when joins_ is 0
    i64 joins_ = 0;
    bool empty_ = true;
};

class LockScope {
public:
    explicit LockScope(TCanvas* c) : canvas_(c)
    {
        if (canvas_)
            canvas_->Lock();
    }
    ~LockScope()
    {
        if (canvas_)
            canvas_->Unlock();
    }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    TCanvas* canvas_;
};

class TransparentScope {
public:
    explicit TransparentScope(TCanvas& c) : canvas_(c), previous_(c.SetBkMode(bkTransparent)) {}
    ~TransparentScope() { canvas_.SetBkMode(previous_); }
    TransparentScope(const TransparentScope&) = delete;
    TransparentScope& operator=(const TransparentScope&) = delete;

private:
    TCanvas& canvas_;
    TBkMode previous_;
};

}  // namespace

int SnapDown(double x)
{
    if (std::isnan(x))
        return 0;
    const double y = x - 0.4999;
    double f = std::floor(y);
    const double frac = y - f;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(f, 2.0) != 0.0))
        f += 1.0;
    return int(std::clamp(f, double(INT_MIN), double(INT_MAX)));
}

// ---------------------------------------------------------------- effects

void TfcShadowEffects::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcShadowEffects*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetColor(s->color_);
    SetEnabled(s->enabled_);
    SetXOffset(s->xOffset_);
    SetYOffset(s->yOffset_);
}

void TfcShadowEffects::SetColor(TColor v)
{
    if (Store(color_, v))
        EffectChanged(owner_, false);
}

void TfcShadowEffects::SetEnabled(bool v)
{
    if (Store(enabled_, v))
        EffectChanged(owner_, true);
}

void TfcShadowEffects::SetXOffset(int v)
{
    if (Store(xOffset_, v))
        EffectChanged(owner_, true);
}

void TfcShadowEffects::SetYOffset(int v)
{
    if (Store(yOffset_, v))
        EffectChanged(owner_, true);
}

TPoint TfcShadowEffects::EffectiveOffset() const
{
    if (!enabled_)
        return {};
    TPoint p{xOffset_, yOffset_};
    if (owner_ && owner_->ExtrudeEffects().Enabled()) {
        // The extrusion already occupies the side the shadow points to.
        const TPoint s = owner_->ExtrudeEffects().Step();
        const auto keep = [](int v, int step) { return (v > 0 && step > 0) || (v < 0 && step < 0) ? v : 0; };
        p = {keep(p.x, s.x), keep(p.y, s.y)};
    }
    return p;
}

void TfcExtrudeEffects::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcExtrudeEffects*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetDepth(s->depth_);
    SetEnabled(s->enabled_);
    SetFarColor(s->farColor_);
    SetNearColor(s->nearColor_);
    SetOrientation(s->orientation_);
    SetStriated(s->striated_);
}

void TfcExtrudeEffects::SetDepth(int v)
{
    if (Store(depth_, v))
        EffectChanged(owner_, true);
}

void TfcExtrudeEffects::SetEnabled(bool v)
{
    if (Store(enabled_, v))
        EffectChanged(owner_, true);
}

void TfcExtrudeEffects::SetFarColor(TColor v)
{
    if (Store(farColor_, v))
        EffectChanged(owner_, false);
}

void TfcExtrudeEffects::SetNearColor(TColor v)
{
    if (Store(nearColor_, v))
        EffectChanged(owner_, false);
}

void TfcExtrudeEffects::SetOrientation(TfcOrientation v)
{
    if (v == orientation_ || std::size_t(v) >= OrientationSteps.size())
        return;
    orientation_ = v;
    if (owner_) {
        owner_->NotifySizeChange();
        owner_->Changed();
    }
}

void TfcExtrudeEffects::SetStriated(bool v)
{
    if (Store(striated_, v))
        EffectChanged(owner_, false);
}

TPoint TfcExtrudeEffects::EffectiveOffset(TfcAxes axes) const
{
    if (!enabled_)
        return {};
    if (axes == TfcAxes::Both)
        return {depth_, depth_};
    const TPoint s = Step();
    return {depth_ * std::abs(s.x), depth_ * std::abs(s.y)};
}

void TfcDisabledColors::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcDisabledColors*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetHighlightColor(s->highlightColor_);
    SetShadeColor(s->shadeColor_);
}

// The disabled colours repaint the owner without going through Changed.
void TfcDisabledColors::SetHighlightColor(TColor v)
{
    if (Store(highlightColor_, v) && owner_ && owner_->OnChange)
        owner_->OnChange();
}

void TfcDisabledColors::SetShadeColor(TColor v)
{
    if (Store(shadeColor_, v) && owner_ && owner_->OnChange)
        owner_->OnChange();
}

// ------------------------------------------------------------ scopes

TfcText::FontSelection::FontSelection(TCanvas* canvas, std::unique_ptr<THFont> font)
    : canvas_(canvas), font_(std::move(font)), previous_(canvas_ ? canvas_->SelectFont(font_.get()) : nullptr)
{
}

TfcText::FontSelection::~FontSelection()
{
    if (canvas_)
        canvas_->SelectFont(previous_);
}

class TfcText::PreparedFontScope {
public:
    explicit PreparedFontScope(TfcText& t) : text_(t) { text_.keepLayout_ = true; }
    ~PreparedFontScope()
    {
        text_.keepLayout_ = false;
        text_.layout_.reset();
        text_.preparedFont_.reset();
    }
    PreparedFontScope(const PreparedFontScope&) = delete;
    PreparedFontScope& operator=(const PreparedFontScope&) = delete;

private:
    TfcText& text_;
};

class TfcText::BufferScope {
public:
    BufferScope(TfcText& t, int width, int height) : text_(t)
    {
        text_.bufferBitmap_ = std::make_unique<TBitmap>(width, height);
        text_.buffering_ = true;
    }
    ~BufferScope()
    {
        text_.buffering_ = false;
        text_.bufferBitmap_.reset();
    }
    BufferScope(const BufferScope&) = delete;
    BufferScope& operator=(const BufferScope&) = delete;

private:
    TfcText& text_;
};

// ------------------------------------------------------------ TfcText

TfcText::TfcText(TFont* font, TCanvas* canvas, std::function<void()> onChange, std::function<void()> onSizeChange,
                 std::function<bool()> onGetEnabled)
    : OnChange(std::move(onChange)),
      OnSizeChange(std::move(onSizeChange)),
      OnGetEnabled(std::move(onGetEnabled)),
      canvas_(canvas),
      disabledColors_(std::make_unique<TfcDisabledColors>(this)),
      extrude_(std::make_unique<TfcExtrudeEffects>(this)),
      font_(font),
      shadow_(std::make_unique<TfcShadowEffects>(this))
{
}

TfcText::~TfcText() = default;

void TfcText::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcText*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    SetAlignment(s->alignment_);
    disabledColors_->Assign(s->disabledColors_.get());
    SetDoubleBuffered(s->doubleBuffered_);
    SetWordWrap(s->wordWrap_);
    SetVAlignment(s->vAlignment_);
    extrude_->Assign(s->extrude_.get());
    SetHighlightColor(s->highlightColor_);
    SetLineSpacing(s->lineSpacing_);
    SetOptions(s->options_);
    SetOutlineColor(s->outlineColor_);
    SetRotation(s->rotation_);
    SetShadeColor(s->shadeColor_);
    shadow_->Assign(s->shadow_.get());
    SetStyle(s->style_);
    SetText(s->text_);
}

// Only another text object can take a text object's options.
void TfcText::AssignTo(TPersistent*) const
{
    throw EInvalidCast();
}

void TfcText::SetText(const QString& v)
{
    if (v != text_)
        text_ = v;
}

void TfcText::SetAlignment(TAlignment v)
{
    if (Store(alignment_, v))
        Changed();
}

void TfcText::SetVAlignment(TfcVAlignment v)
{
    if (Store(vAlignment_, v))
        Changed();
}

void TfcText::SetHighlightColor(TColor v)
{
    if (Store(highlightColor_, v))
        Changed();
}

void TfcText::SetShadeColor(TColor v)
{
    if (Store(shadeColor_, v))
        Changed();
}

void TfcText::SetOutlineColor(TColor v)
{
    if (Store(outlineColor_, v))
        Changed();
}

void TfcText::SetLineSpacing(int v)
{
    if (Store(lineSpacing_, v)) {
        NotifySizeChange();
        Changed();
    }
}

void TfcText::SetStyle(TfcTextStyle v)
{
    if (Store(style_, v)) {
        NotifySizeChange();
        Changed();
    }
}

void TfcText::SetOptions(TfcTextOptions v)
{
    if (v == options_)
        return;
    options_ = v;
    drawFlags_ &= ~unsigned(DT_NOPREFIX | DT_END_ELLIPSIS);
    if (!v.Contains(toShowAccel))
        drawFlags_ |= DT_NOPREFIX;
    if (v.Contains(toShowEllipsis))
        drawFlags_ |= DT_END_ELLIPSIS;
    NotifySizeChange();
    Changed();
}

void TfcText::SetWordWrap(bool v)
{
    if (v == wordWrap_)
        return;
    wordWrap_ = v;
    if (v)
        drawFlags_ |= DT_WORDBREAK;
    else
        drawFlags_ &= ~unsigned(DT_WORDBREAK);
    Changed();
}

// Stored as 0..360: a negative angle counts back from a full turn, so -360
// stays a full turn (360) rather than 0. The remainder is taken before
// negating, so INT_MIN is safe.
void TfcText::SetRotation(int v)
{
    rotation_ = v < 0 ? 360 + v % 360 : v % 360;
    NotifySizeChange();
    Changed();
}

void TfcText::NotifySizeChange()
{
    Fire(OnSizeChange);
}

void TfcText::Changed()
{
    Fire(OnChange);
}

bool TfcText::IsEnabled() const
{
    return OnGetEnabled ? OnGetEnabled() : true;
}

TCanvas* TfcText::GetCanvas() const
{
    return buffering_ && bufferBitmap_ ? &bufferBitmap_->Canvas() : canvas_;
}

const TFont& TfcText::EffectiveFont() const
{
    static const TFont fallback;
    return font_ ? *font_ : fallback;
}

double TfcText::Angle() const
{
    return rotation_ * std::numbers::pi / 180.0;
}

// The step from one line to the next: down the page, turned with the text.
TPoint TfcText::RotatedAdvance(long long distance) const
{
    const double a = Angle();
    return {SnapDown(std::sin(a) * double(distance)), SnapDown(std::cos(a) * double(distance))};
}

void TfcText::GetLogFont(TLogFont& lf) const
{
    const TFont& f = EffectiveFont();
    lf = TLogFont{};
    lf.lfHeight = f.Height();
    lf.lfWidth = 0;
    lf.lfEscapement = rotation_ * 10;
    lf.lfOrientation = rotation_ * 10;
    lf.lfWeight = (f.Style() & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (f.Style() & fsItalic) ? 1 : 0;
    lf.lfUnderline = (f.Style() & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (f.Style() & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = f.Charset() == DEFAULT_CHARSET ? std::uint8_t(ANSI_CHARSET) : f.Charset();
    // A turned font must be an outline font; any other may be too.
    lf.lfOutPrecision = rotation_ == 0 ? OUT_TT_PRECIS : OUT_TT_ONLY_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH;
    lf.lfFaceName = f.Name().left(31);
}

std::unique_ptr<THFont> TfcText::CreateEffectiveFont() const
{
    TLogFont lf;
    GetLogFont(lf);
    return CreateFontIndirect(lf);
}

QString TfcText::MeasuredText() const
{
    if (!options_.Contains(toShowAccel))
        return text_;
    return ResolvePrefixes(text_).text;
}

int TfcText::LineHeightIn(const QString& s, int width)
{
    TCanvas* c = GetCanvas();
    if (!c)
        return 0;
    TRect r{0, 0, width, 0};
    c->DrawText(s, r, drawFlags_ | DT_CALCRECT);
    return ClampToInt(HeightOf(r));
}

TfcSize TfcText::CalcTextSize()
{
    const TPoint sh = shadow_->EffectiveOffset();
    const TPoint ex = extrude_->EffectiveOffset(TfcAxes::Both);
    const i64 available = WidthOf(boundsRect_) - std::max(sh.x, ex.x);
    const int wrapWidth = wordWrap_ ? ClampToInt(available) : 0;

    i64 w = 0;
    i64 h = 0;
    TCanvas* c = GetCanvas();
    const QStringList lines = SplitLines(MeasuredText(), QStringLiteral("\r\n"));
    for (qsizetype i = 0; c && i < lines.size(); ++i) {
        if (wrapWidth == 0) {
            h += c->TextHeight(lines[i]);
            w = std::max<i64>(w, c->TextWidth(lines[i]));
        } else {
            TRect r{0, 0, wrapWidth, 0};
            c->DrawText(lines[i], r, drawFlags_ | DT_CALCRECT);
            h += HeightOf(r);
            w = std::max(w, WidthOf(r));
        }
        if (i + 1 < lines.size())
            h += lineSpacing_;
    }
    return {ClampToInt(w + 1), ClampToInt(h)};
}

TfcSize TfcText::CalcDrawSize(TfcMeasure mode)
{
    const TfcSize t = CalcTextSize();
    const TPoint ex = extrude_->EffectiveOffset(TfcAxes::Both);
    const TPoint sh = shadow_->EffectiveOffset();
    i64 w = i64(t.cx) + ex.x + sh.x;
    i64 h = i64(t.cy) + ex.y + sh.y;
    if (style_ == fclsOutline) {
        w += 2;
        h += 2;
    }
    const double a = Angle();
    const double cosA = std::abs(std::cos(a));
    const double sinA = std::abs(std::sin(a));
    i64 W = SnapDown(cosA * double(w) + sinA * double(h));
    i64 H = SnapDown(sinA * double(w) + cosA * double(h));
    if (mode == TfcMeasure::ForDraw) {
        W = std::min(W, WidthOf(boundsRect_));
        H = std::min(H, HeightOf(boundsRect_));
    }
    return {ClampToInt(W), ClampToInt(H)};
}

TRect TfcText::CalcRect(TfcMeasure mode)
{
    const TRect& b = boundsRect_;
    i64 left = b.Left + WidthOf(b) / 2;
    i64 top = b.Top + HeightOf(b) / 2;
    const TPoint sh = shadow_->EffectiveOffset();
    const TPoint ex = extrude_->EffectiveOffset(TfcAxes::Both);
    left -= sh.x / 2;
    top -= sh.y / 2;
    left -= ex.x / 2;
    top -= ex.y / 2;

    // From the centre to the start point of the turned text.
    const TfcSize t = CalcTextSize();
    const double a = Angle();
    left -= SnapDown(std::cos(a) * t.cx) / 2;
    top += SnapDown(std::sin(a) * t.cx) / 2;
    top -= SnapDown(std::cos(a) * t.cy) / 2;
    left -= SnapDown(std::sin(a) * t.cy) / 2;

    const TfcSize d = CalcDrawSize(mode);
    i64 right = left + d.cx;
    i64 bottom = top + d.cy;
    if (left < b.Left) {
        right += b.Left - left;
        left = b.Left;
    }
    if (top < b.Top) {
        bottom += b.Top - top;
        top = b.Top;
    }
    return {ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
}

TRect TfcText::CalcRectWithFont(TfcMeasure mode)
{
    FontSelection selection(GetCanvas(), CreateEffectiveFont());
    return CalcRect(mode);
}

void TfcText::PrepareFont()
{
    preparedFont_.reset();
    TCanvas* c = GetCanvas();
    preparedFont_.emplace(c, CreateEffectiveFont());
    if (c)
        c->SetTextColor(EffectiveFont().Color());
    textRect_ = CalcRect(TfcMeasure::ForDraw);
}

// ------------------------------------------------------------ drawing

void TfcText::Draw()
{
    if (!GetCanvas())
        return;
    if (doubleBuffered_ && !buffering_) {
        DrawBuffered();
        return;
    }
    PlaceAndDraw();
}

void TfcText::DrawBuffered()
{
    TCanvas* target = canvas_;
    const TRect clip = target->ClipRect();
    // Nothing of a draw outside the image could show.
    if (clip.IsEmpty() || clip.Right <= 0 || clip.Bottom <= 0)
        return;
    BufferScope scope(*this, clip.Right, clip.Bottom);
    bufferBitmap_->Canvas().CopyRect(clip, *target, clip);
    PlaceAndDraw();
    buffering_ = false;
    target->CopyRect(clip, *bufferBitmap_, clip);
}

void TfcText::PlaceAndDraw()
{
    NarrowBounds();
    switch (style_) {
    case fclsDefault:
        DrawDefault();
        break;
    case fclsLowered:
        DrawEmbossed(TfcRelief::Lowered);
        break;
    case fclsRaised:
        DrawEmbossed(TfcRelief::Raised);
        break;
    case fclsOutline:
        DrawOutlined();
        break;
    }
}

// Alignment works by shrinking the bounds to the caption's width (or height)
// at one edge; the centring in CalcRect then puts the caption there. A turned
// caption is always centred.
void TfcText::NarrowBounds()
{
    drawFlags_ &= ~unsigned(DT_CENTER | DT_RIGHT);
    if (rotation_ % 360 != 0)
        return;
    if (alignment_ == taCenter)
        drawFlags_ |= DT_CENTER;
    else if (alignment_ == taRightJustify)
        drawFlags_ |= DT_RIGHT;

    TRect& b = boundsRect_;
    if (alignment_ == taLeftJustify)
        b.Right = ClampToInt(b.Left + WidthOf(CalcRectWithFont(TfcMeasure::ForDraw)));
    else if (alignment_ == taRightJustify)
        b.Left = ClampToInt(b.Right - WidthOf(CalcRectWithFont(TfcMeasure::ForDraw)));

    if (vAlignment_ == vaTop)
        b.Bottom = ClampToInt(b.Top + HeightOf(CalcRectWithFont(TfcMeasure::ForDraw)));
    else if (vAlignment_ == vaBottom)
        b.Top = ClampToInt(b.Bottom - HeightOf(CalcRectWithFont(TfcMeasure::ForDraw)));
}

void TfcText::DrawDefault()
{
    // A disabled flat caption looks lowered.
    if (!IsEnabled()) {
        DrawEmbossed(TfcRelief::Lowered);
        return;
    }
    PreparedFontScope scope(*this);
    PrepareFont();
    DrawExtrusion();
    DrawShadow(textRect_);
    DrawCopy(textRect_, EffectiveFont().Color());
}

void TfcText::DrawOutlined()
{
    PreparedFontScope scope(*this);
    PrepareFont();
    DrawExtrusion();
    DrawShadow(textRect_);
    DrawOutline();
}

void TfcText::DrawEmbossed(TfcRelief relief)
{
    PreparedFontScope scope(*this);
    PrepareFont();
    LockScope lock(GetCanvas());
    DrawExtrusion();
    DrawShadow(textRect_);
    DrawEmbossLayers(relief);
}

void TfcText::DrawCopy(const TRect& r, TColor color)
{
    TCanvas* c = GetCanvas();
    if (!c)
        return;
    c->SetTextColor(color);
    DrawTextLines(r);
}

// The shadow keeps its stored offsets even where the extrusion cancels its
// share of the caption's size.
void TfcText::DrawShadow(const TRect& r)
{
    if (!shadow_->Enabled())
        return;
    const TRect at = r.Offset(shadow_->XOffset(), shadow_->YOffset());
    DrawCopy(at, ColorFor(IsEnabled(), shadow_->Color(), disabledColors_->ShadeColor()));
}

void TfcText::DrawOutline()
{
    const bool enabled = IsEnabled();
    const TRect face = textRect_;
    const TColor outline = ColorFor(enabled, outlineColor_, disabledColors_->ShadeColor());
    for (const TPoint s : OrientationSteps)
        DrawCopy(face.Offset(s.x, s.y), outline);
    DrawCopy(face, ColorFor(enabled, EffectiveFont().Color(), disabledColors_->HighlightColor()));
}

// Light from the top left: a raised caption has its light copy up-left and
// its dark copy down-right, a lowered one the other way round. A disabled
// caption keeps only the down-right copy, so it looks etched.
void TfcText::DrawEmbossLayers(TfcRelief relief)
{
    const bool enabled = IsEnabled();
    const bool raised = relief == TfcRelief::Raised;
    const TColor light = ColorFor(enabled, highlightColor_, disabledColors_->HighlightColor());
    const TColor dark = ColorFor(enabled, shadeColor_, disabledColors_->ShadeColor());
    const TRect face = textRect_;
    if (enabled) {
        const TColor upLeft = raised ? light : dark;
        if (upLeft != clNone)
            DrawCopy(face.Offset(-1, -1), upLeft);
    }
    const TColor downRight = raised ? dark : light;
    if (downRight != clNone)
        DrawCopy(face.Offset(1, 1), downRight);
    DrawCopy(face, ColorFor(enabled, EffectiveFont().Color(), disabledColors_->ShadeColor()));
}

void TfcText::DrawTextLines(const TRect& r)
{
    TCanvas* c = GetCanvas();
    if (!c)
        return;
    TransparentScope transparent(*c);
    DrawLayout(LayoutFor(r), r);
    if (!keepLayout_)
        layout_.reset();
}

const TfcText::Layout& TfcText::LayoutFor(const TRect& r)
{
    if (!layout_ || layout_->width != WidthOf(r) || layout_->height != HeightOf(r)) {
        if (wordWrap_ && options_.Contains(toFullJustify))
            layout_ = BuildJustifiedLayout(r);
        else
            layout_ = BuildPlainLayout(r);
    }
    return *layout_;
}

void TfcText::AddLine(Layout& layout, LaidLine line, i64 inkWidth, i64 inkHeight, i64 margin) const
{
    // With DT_CENTER or DT_RIGHT a line may start left of the rectangle by up
    // to its own width; the margin covers overhanging glyphs.
    const double along = double(std::abs(inkWidth) + std::abs(layout.width) + margin);
    line.p0 = -along;
    line.p1 = along;
    line.q0 = -double(margin);
    line.q1 = double(std::abs(inkHeight) + margin);
    const double a = Angle();
    const double ux = std::cos(a), uy = -std::sin(a), vx = std::sin(a), vy = std::cos(a);
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (double p : {line.p0, line.p1})
        for (double q : {line.q0, line.q1}) {
            const double x = p * ux + q * vx;
            const double y = p * uy + q * vy;
            minX = first ? x : std::min(minX, x);
            maxX = first ? x : std::max(maxX, x);
            minY = first ? y : std::min(minY, y);
            maxY = first ? y : std::max(maxY, y);
            first = false;
        }
    line.minX = i64(std::floor(minX)) - 1;
    line.maxX = i64(std::ceil(maxX)) + 1;
    line.minY = i64(std::floor(minY)) - 1;
    line.maxY = i64(std::ceil(maxY)) + 1;
    layout.lines.push_back(std::move(line));
}

// Whether the ink of a line starting at `start` can touch the clip box: the
// turned rectangle of the line and the clip box overlap on all four axes.
bool TfcText::CanReachClip(const LaidLine& line, TPoint start, const TRect& clip) const
{
    const i64 x = start.x;
    const i64 y = start.y;
    if (x + line.maxX < clip.Left || x + line.minX >= clip.Right || y + line.maxY < clip.Top ||
        y + line.minY >= clip.Bottom)
        return false;
    const double a = Angle();
    const double ux = std::cos(a), uy = -std::sin(a), vx = std::sin(a), vy = std::cos(a);
    double pLo = 0, pHi = 0, qLo = 0, qHi = 0;
    bool first = true;
    for (i64 cx : {i64(clip.Left), i64(clip.Right)})
        for (i64 cy : {i64(clip.Top), i64(clip.Bottom)}) {
            const double rx = double(cx - x);
            const double ry = double(cy - y);
            const double p = rx * ux + ry * uy;
            const double q = rx * vx + ry * vy;
            pLo = first ? p : std::min(pLo, p);
            pHi = first ? p : std::max(pHi, p);
            qLo = first ? q : std::min(qLo, q);
            qHi = first ? q : std::max(qHi, q);
            first = false;
        }
    return pHi >= line.p0 - 1 && pLo <= line.p1 + 1 && qHi >= line.q0 - 1 && qLo <= line.q1 + 1;
}

// Each CR LF line goes through the formatted-text call (which handles the
// ampersands by DT_NOPREFIX); the next line follows across the turned
// baseline by the line's laid-out height plus LineSpacing.
TfcText::Layout TfcText::BuildPlainLayout(const TRect& r)
{
    TCanvas* c = GetCanvas();
    Layout layout;
    layout.width = WidthOf(r);
    layout.height = HeightOf(r);
    const i64 margin = 2 * i64(std::abs(c->TextHeight(QStringLiteral("Ag")))) + 2;
    const QStringList lines = SplitLines(text_, QStringLiteral("\r\n"));
    i64 dx = 0;
    i64 dy = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        TRect m{0, 0, ClampToInt(layout.width), 0};
        c->DrawText(lines[i], m, drawFlags_ | DT_CALCRECT);
        AddLine(layout, {dx, dy, lines[i], 0, 0, {}, {}, {}, {}, {}, {}, {}, {}}, WidthOf(m), HeightOf(m), margin);
        const TPoint step = RotatedAdvance(HeightOf(m) + lineSpacing_);
        dx += step.x;
        dy += step.y;
    }
    return layout;
}

// Lines are filled word by word and stretched to the full width by spreading
// the spare pixels over their blanks; the last line of a paragraph keeps its
// natural width. A word wider than the line cannot be placed and is left out.
TfcText::Layout TfcText::BuildJustifiedLayout(const TRect& r)
{
    TCanvas* c = GetCanvas();
    Layout layout;
    layout.width = WidthOf(r);
    layout.height = HeightOf(r);
    const i64 width = layout.width;
    const int hs = LineHeightIn(QStringLiteral("AgTpjW"), ClampToInt(std::max<i64>(5, width)));
    const i64 margin = 2 * i64(std::abs(hs)) + 2;
    const i64 linesPerParagraph = (hs > 0 ? layout.height / hs : 0) + 1 + 2;
    const QString lf2 = QStringLiteral("\n\n");
    const QString separator = SplitLines(text_, lf2).size() > 1 ? lf2 : QStringLiteral("\r\n");
    const TPoint lineStep = RotatedAdvance(hs);
    const TPoint paragraphStep = RotatedAdvance(lineSpacing_);
    i64 dx = 0;
    i64 dy = 0;

    for (const QString& paragraph : SplitLines(text_, separator)) {
        qsizetype pos = 0;
        std::optional<QString> carried;
        for (i64 emitted = 0; emitted < linesPerParagraph; ++emitted) {
            std::optional<QString> token = carried ? std::move(carried) : NextToken(paragraph, pos);
            carried.reset();
            if (!token) {
                dx += lineStep.x;
                dy += lineStep.y;
                break;
            }
            LineBuilder builder(*c, width);
            bool lastLine = false;
            for (;;) {
                if (!builder.Fits(*token)) {
                    if (!builder.Empty())
                        carried = std::move(token);
                    break;
                }
                builder.Append(*token);
                token = NextToken(paragraph, pos);
                if (!token) {
                    lastLine = true;
                    break;
                }
            }
            QString line = builder.Line();
            line = TrimBlanks(line);
            const int blanks = int(line.count(QLatin1Char(' ')));
            const int natural = c->TextWidth(line);
            const bool stretch = !lastLine && blanks > 0;
            const int extra = stretch ? ClampToInt(width - natural) : 0;
            AddLine(layout, {dx, dy, line, extra, stretch ? blanks : 0, {}, {}, {}, {}, {}, {}, {}, {}}, i64(natural) + std::abs(extra), hs, margin);
            dx += lineStep.x;
            dy += lineStep.y;
            if (lastLine) {
                dx += paragraphStep.x;
                dy += paragraphStep.y;
                break;
            }
        }
    }
    return layout;
}

// Lines whose ink cannot reach the clip box are not handed to the canvas: a
// deep extrusion or a far line spacing would otherwise cost draws that show
// nothing.
void TfcText::DrawLayout(const Layout& layout, const TRect& r)
{
    TCanvas* c = GetCanvas();
    const TRect clip = c->ClipRect();
    const bool justified = wordWrap_ && options_.Contains(toFullJustify);
    for (const LaidLine& line : layout.lines) {
        const TRect at = r.Offset(line.dx, line.dy);
        if (line.text.isEmpty() || !CanReachClip(line, at.TopLeft(), clip))
            continue;
        if (!justified) {
            TRect box = at;
            c->DrawText(line.text, box, drawFlags_);
            continue;
        }
        if (line.breaks > 0)
            c->SetTextJustification(line.extra, line.breaks);
        c->TextOut(at.Left, at.Top, line.text);
        c->SetTextJustification(0, 0);
    }
}

// ------------------------------------------------------------ extrusion

TColor TfcText::ExtrusionColor(int step) const
{
    const std::uint32_t nearRgb = ColorToRGB(extrude_->NearColor());
    const std::uint32_t farRgb = ColorToRGB(extrude_->FarColor());
    const double share = double(extrude_->Depth()) / step;
    const bool dimmed = extrude_->Striated() && step % 2 == 0;
    const auto channel = [&](int nearC, int farC) {
        int v = std::clamp(SnapDown((nearC - farC) / share + farC), 0, 255);
        return dimmed ? v / 4 : v;
    };
    return RGB(channel(GetRValue(nearRgb), GetRValue(farRgb)), channel(GetGValue(nearRgb), GetGValue(farRgb)),
               channel(GetBValue(nearRgb), GetBValue(farRgb)));
}

// The extrusion steps at which some line can reach the canvas's clip box, as
// sorted, disjoint ranges: the copies of a deep extrusion that have wandered
// off the canvas are never drawn, so a depth of thousands costs no more than
// the copies that show.
std::vector<TfcText::StepRange> TfcText::VisibleExtrusionSteps(const TRect& start, TPoint step, int depth)
{
    const TRect clip = GetCanvas()->ClipRect();
    std::vector<StepRange> ranges;
    for (const LaidLine& line : LayoutFor(start).lines) {
        i64 lo = 1;
        i64 hi = depth;
        const auto limitAxis = [&](i64 inkLo, i64 inkHi, int s, i64 clipLo, i64 clipHi) {
            if (s == 0) {
                if (inkHi < clipLo || inkLo >= clipHi)
                    hi = lo - 1;
            } else if (s > 0) {
                lo = std::max(lo, clipLo - inkHi);
                hi = std::min(hi, clipHi - 1 - inkLo);
            } else {
                lo = std::max(lo, inkLo - (clipHi - 1));
                hi = std::min(hi, inkHi - clipLo);
            }
        };
        const i64 x = i64(start.Left) + line.dx;
        const i64 y = i64(start.Top) + line.dy;
        limitAxis(x + line.minX, x + line.maxX, step.x, clip.Left, clip.Right);
        limitAxis(y + line.minY, y + line.maxY, step.y, clip.Top, clip.Bottom);
        if (lo <= hi)
            ranges.emplace_back(lo, hi);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<StepRange> merged;
    for (const StepRange& r : ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

void TfcText::DrawExtrusion()
{
    if (!extrude_->Enabled() || !GetCanvas())
        return;
    const TPoint e = extrude_->EffectiveOffset(TfcAxes::AlongSteps);
    const TPoint s = extrude_->Step();
    textRect_ = textRect_.Offset(e.x / 2, e.y / 2);
    textRect_ = textRect_.Offset(-i64(s.x) * (e.x / 2), -i64(s.y) * (e.y / 2));
    const int depth = extrude_->Depth();
    if (depth <= 0)
        return;
    // Step i lies at start + i * s, the near colour last, under the face.
    const TRect start = textRect_;
    for (const auto& [first, last] : VisibleExtrusionSteps(start, s, depth))
        for (i64 i = first; i <= last; ++i)
            DrawCopy(start.Offset(i * s.x, i * s.y), ExtrusionColor(int(i)));
    textRect_ = start.Offset(i64(depth) * s.x, i64(depth) * s.y);
}
