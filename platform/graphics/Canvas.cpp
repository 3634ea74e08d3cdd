#include "platform/graphics/Canvas.h"

#include "platform/graphics/CanvasPainter.h"
#include "platform/graphics/PolygonScan.h"
#include "platform/graphics/Region.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

using i64 = std::int64_t;

i64 FloorDiv(i64 a, i64 b)
{
    const i64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// floor(sqrt(v)), or -1 for negative v.
i64 IntSqrt(i64 v)
{
    if (v < 0)
        return -1;
    i64 r = i64(std::sqrt(double(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

// The spans of a round pen tip of the given width, relative to its centre:
// one (dy, x0, x1) per row. Even widths put the centre half a pixel up-left.
struct PenTip {
    struct Row {
        int dy;
        int x0;
        int x1;
    };
    std::vector<Row> rows;
    int reach = 0;

    explicit PenTip(int width)
    {
        // Pixel (dx, dy) belongs to the tip when (2dx + odd)^2 + (2dy + odd)^2 <= width^2.
        const i64 odd = width % 2 ? 0 : 1;
        const i64 lo = -(width / 2);
        const i64 hi = (width - 1) / 2;
        const i64 w2 = i64(width) * width;
        reach = width;
        for (i64 dy = lo; dy <= hi; ++dy) {
            const i64 ey = 2 * dy + odd;
            const i64 room = IntSqrt(w2 - ey * ey);
            // |2dx + odd| <= room
            const i64 x0 = std::max(lo, FloorDiv(-room - odd + 1, 2));
            const i64 x1 = std::min(hi, FloorDiv(room - odd, 2));
            if (x0 <= x1)
                rows.push_back({int(dy), int(x0), int(x1 + 1)});
        }
    }

    void Stamp(const TCanvasPainter& p, const TInk& ink, i64 x, i64 y) const
    {
        // Only the rows that meet the visible box.
        const i64 first = std::max<i64>(0, p.Box().Top - y - rows.front().dy);
        const i64 last = std::min<i64>(i64(rows.size()), p.Box().Bottom - y - rows.front().dy);
        for (i64 i = first; i < last; ++i) {
            const Row& r = rows[std::size_t(i)];
            p.FillSpan(y + r.dy, x + r.x0, x + r.x1, ink);
        }
    }
};

void ThinSegment(const TCanvasPainter& p, const TInk& ink, TDevPoint a, TDevPoint b)
{
    if (a.y == b.y) {
        // Horizontal runs go straight to the rows.
        if (b.x > a.x)
            p.FillSpan(a.y, a.x, b.x, ink);
        else if (b.x < a.x)
            p.FillSpan(a.y, b.x + 1, a.x + 1, ink);
        return;
    }
    WalkLine(a.x, a.y, b.x, b.y, p.Box(), [&p, &ink](i64 x, i64 y) { p.Plot(x, y, ink.solid); });
}

void WideSegment(const TCanvasPainter& p, const TInk& ink, const PenTip& tip, TDevPoint a, TDevPoint b)
{
    const TRect& box = p.Box();
    const TRect reach = box.Inflate(tip.reach, tip.reach);
    WalkLine(a.x, a.y, b.x, b.y, reach, [&](i64 x, i64 y) { tip.Stamp(p, ink, x, y); });
    if (reach.Contains({ClampToInt(b.x), ClampToInt(b.y)}))
        tip.Stamp(p, ink, b.x, b.y);
}

std::vector<TDevPoint> ToDevice(const TPoint* pts, int count, TPoint org)
{
    std::vector<TDevPoint> dev;
    dev.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        dev.push_back({i64(pts[i].x) + org.x, i64(pts[i].y) + org.y});
    return dev;
}

TDevRect Normalized(TDevRect r)
{
    return {std::min(r.l, r.r), std::min(r.t, r.b), std::max(r.l, r.r), std::max(r.t, r.b)};
}

}  // namespace

// ---------------------------------------------------------------------------
// Inks and the per-operation painter

TInk TInk::FromColor(TColor c)
{
    TInk ink;
    if (c == clNone)
        return ink;
    ink.kind = Solid;
    ink.solid = ColorToPixel(c);
    return ink;
}

TInk TInk::FromPen(const TPen& pen)
{
    return pen.Style == psClear ? TInk{} : FromColor(pen.Color);
}

TInk TInk::FromBrush(const TBrush& brush)
{
    switch (brush.Style) {
    case bsClear: return {};
    case bsSolid: return FromColor(brush.Color);
    case bsPattern: break;
    }
    TInk ink;
    ink.kind = Pattern;
    bool any = false;
    ink.allOpaque = true;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            // Bit 7 of a row is its leftmost pixel.
            const bool set = (brush.Pattern[std::size_t(y)] >> (7 - x)) & 1;
            const TColor c = set ? brush.PatternSetColor : brush.PatternClearColor;
            if (c == clNone) {
                ink.allOpaque = false;
                continue;
            }
            any = true;
            ink.pattern[std::size_t(y)][std::size_t(x)] = ColorToPixel(c);
            ink.opaque[std::size_t(y)] |= std::uint8_t(1u << x);
        }
    }
    return any ? ink : TInk{};
}

TCanvasPainter::TCanvasPainter(const TCanvas& canvas)
{
    QImage* img = canvas.target_;
    if (!img || img->isNull() || img->depth() != 32)
        return;
    const std::vector<TRect>& clip = canvas.DeviceClipRects();
    if (clip.empty())
        return;
    clip_ = &clip;
    single_ = clip.size() == 1;
    box_ = clip.front();
    for (const TRect& r : clip) {
        box_.Left = std::min(box_.Left, r.Left);
        box_.Right = std::max(box_.Right, r.Right);
        box_.Bottom = std::max(box_.Bottom, r.Bottom);
    }
    bits_ = img->bits();
    bpl_ = img->bytesPerLine();
}

bool TCanvasPainter::Visible(i64 x, i64 y) const
{
    if (!bits_ || x < box_.Left || x >= box_.Right || y < box_.Top || y >= box_.Bottom)
        return false;
    if (single_)
        return true;
    for (const TRect& c : *clip_)
        if (c.Contains({int(x), int(y)}))
            return true;
    return false;
}

void TCanvasPainter::Plot(i64 x, i64 y, std::uint32_t px) const
{
    if (Visible(x, y))
        Row(y)[x] = px;
}

void TCanvasPainter::FillSpan(i64 y, i64 x0, i64 x1, const TInk& ink) const
{
    if (!bits_ || ink.kind == TInk::None)
        return;
    if (ink.kind == TInk::Solid) {
        ForVisible(y, x0, x1, [px = ink.solid](std::uint32_t* row, int a, int b) { std::fill(row + a, row + b, px); });
        return;
    }
    const auto& pat = ink.pattern[std::size_t(y & 7)];
    const unsigned opaque = ink.opaque[std::size_t(y & 7)];
    if (ink.allOpaque) {
        ForVisible(y, x0, x1, [&pat](std::uint32_t* row, int a, int b) {
            for (int x = a; x < b; ++x)
                row[x] = pat[std::size_t(x & 7)];
        });
        return;
    }
    ForVisible(y, x0, x1, [&pat, opaque](std::uint32_t* row, int a, int b) {
        for (int x = a; x < b; ++x)
            if ((opaque >> (x & 7)) & 1)
                row[x] = pat[std::size_t(x & 7)];
    });
}

void TCanvasPainter::FillRect(i64 l, i64 t, i64 r, i64 b, const TInk& ink) const
{
    if (!bits_ || ink.kind == TInk::None || r <= l || b <= t)
        return;
    const i64 top = std::max<i64>(t, box_.Top);
    const i64 bottom = std::min<i64>(b, box_.Bottom);
    for (i64 y = top; y < bottom; ++y)
        FillSpan(y, l, r, ink);
}

int EffectivePenWidth(const TPen& pen)
{
    if (pen.Style == psClear || pen.Color == clNone)
        return 0;
    return std::max(pen.Width, 1);
}

void StrokePath(const TCanvasPainter& p, const TInk& ink, int width, const TDevPoint* pts, std::size_t n,
                TPathKind kind)
{
    if (!p.Active() || ink.kind != TInk::Solid || n < 2)
        return;
    const std::size_t segments = kind == TPathKind::Closed ? n : n - 1;
    if (width <= 1) {
        for (std::size_t i = 0; i < segments; ++i)
            ThinSegment(p, ink, pts[i], pts[(i + 1) % n]);
        return;
    }
    // A tip wider than twice the visible box's perimeter covers all of the
    // box it can reach; capping it keeps absurd widths cheap.
    const TRect& box = p.Box();
    const i64 cap = 2 * (i64(box.Width()) + box.Height()) + 2;
    const PenTip tip(int(std::min<i64>(width, cap)));
    for (std::size_t i = 0; i < segments; ++i)
        WideSegment(p, ink, tip, pts[i], pts[(i + 1) % n]);
}

// ---------------------------------------------------------------------------
// The canvas

TCanvas::TCanvas(QImage* target) : target_(target) {}

int TCanvas::ImageWidth() const
{
    return target_ ? target_->width() : 0;
}

int TCanvas::ImageHeight() const
{
    return target_ ? target_->height() : 0;
}

TBkMode TCanvas::SetBkMode(TBkMode m)
{
    const TBkMode old = state_.BkMode;
    state_.BkMode = m;
    return old;
}

TColor TCanvas::SetBkColor(TColor c)
{
    const TColor old = state_.BkColor;
    state_.BkColor = c;
    return old;
}

const std::vector<TRect>& TCanvas::DeviceClipRects() const
{
    const TRect image{0, 0, ImageWidth(), ImageHeight()};
    if (clipCacheValid_ && clipCacheTarget_ == target_ && clipCacheImage_ == image)
        return clipCache_;
    const TRect base = state_.HasClip ? image.Intersect(state_.ClipRect) : image;
    clipCache_.clear();
    if (!base.IsEmpty()) {
        if (state_.Excluded.empty())
            clipCache_.push_back(base);
        else
            clipCache_ = TRegion(base).Subtract(TRegion::FromRects(state_.Excluded)).Rects();
    }
    clipCacheTarget_ = target_;
    clipCacheImage_ = image;
    clipCacheValid_ = true;
    return clipCache_;
}

TRegion TCanvas::DeviceClipRegion() const
{
    return TRegion::FromRects(DeviceClipRects());
}

void TCanvas::MoveTo(int x, int y)
{
    state_.PenPos = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = state_.PenPos;
    state_.PenPos = {x, y};
    const TPoint pts[2] = {from, {x, y}};
    Polyline(pts, 2);
}

void TCanvas::Polyline(const TPoint* pts, int count)
{
    if (!pts || count < 2)
        return;
    const TCanvasPainter p(*this);
    if (!p.Active())
        return;
    const std::vector<TDevPoint> dev = ToDevice(pts, count, state_.ViewportOrg);
    StrokePath(p, TInk::FromPen(state_.Pen), EffectivePenWidth(state_.Pen), dev.data(), dev.size(), TPathKind::Open);
}

void TCanvas::Polygon(const TPoint* pts, int count)
{
    if (!pts || count < 2)
        return;
    const TCanvasPainter p(*this);
    if (!p.Active())
        return;
    const TInk brush = TInk::FromBrush(state_.Brush);
    if (brush.Visible()) {
        thread_local polyscan::Scratch scratch;
        polyscan::Scan(pts, count, state_.FillMode, state_.ViewportOrg.x, state_.ViewportOrg.y, p.Box().Top,
                       p.Box().Bottom, scratch, [&](i64 y0, i64 y1, const std::vector<i64>& spans) {
                           p.FillBand(y0, y1, spans, brush);
                       });
    }
    const std::vector<TDevPoint> dev = ToDevice(pts, count, state_.ViewportOrg);
    StrokePath(p, TInk::FromPen(state_.Pen), EffectivePenWidth(state_.Pen), dev.data(), dev.size(),
               TPathKind::Closed);
}

void TCanvas::Rectangle(int l, int t, int r, int b)
{
    const TCanvasPainter p(*this);
    if (!p.Active())
        return;
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    const TDevRect d = Normalized({l + o.x, t + o.y, r + o.x, b + o.y});
    if (d.l == d.r || d.t == d.b)
        return;
    // The outline runs inside the rectangle, on its last column and row; the
    // brush fills what the pen leaves, so a clear pen leaves the fill one
    // pixel short on the right and bottom.
    const int pw = EffectivePenWidth(state_.Pen);
    const i64 in = (pw + 1) / 2;
    const i64 out = 1 + pw / 2;
    p.FillRect(d.l + in, d.t + in, d.r - out, d.b - out, TInk::FromBrush(state_.Brush));
    const TDevPoint outline[4] = {{d.r - 1, d.b - 1}, {d.l, d.b - 1}, {d.l, d.t}, {d.r - 1, d.t}};
    StrokePath(p, TInk::FromPen(state_.Pen), pw, outline, 4, TPathKind::Closed);
}

void TCanvas::FillRect(const TRect& r)
{
    const TCanvasPainter p(*this);
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    p.FillRect(r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y, TInk::FromBrush(state_.Brush));
}

void TCanvas::FrameRect(const TRect& r)
{
    const TCanvasPainter p(*this);
    if (!p.Active() || r.IsEmpty())
        return;
    const TInk ink = TInk::FromBrush(state_.Brush);
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    const TDevRect d{r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y};
    p.FillRect(d.l, d.t, d.r, d.t + 1, ink);
    p.FillRect(d.l, d.b - 1, d.r, d.b, ink);
    p.FillRect(d.l, d.t, d.l + 1, d.b, ink);
    p.FillRect(d.r - 1, d.t, d.r, d.b, ink);
}

void TCanvas::FillRegion(const TRegion& rgn)
{
    const TCanvasPainter p(*this);
    if (!p.Active())
        return;
    const TInk ink = TInk::FromBrush(state_.Brush);
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    for (const TRect& r : rgn.Rects())
        p.FillRect(r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y, ink);
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    const TCanvasPainter p(*this);
    if (!p.Active() || r.IsEmpty())
        return;
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    const TDevRect d{r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y};
    // Inverting is its own undo, so every frame pixel is touched once only:
    // full top and bottom rows, then the sides between them.
    auto invert = [&p](i64 y, i64 x0, i64 x1) {
        p.ForVisible(y, x0, x1, [y](std::uint32_t* row, int a, int b) {
            for (int x = a + int((a + y) & 1); x < b; x += 2)
                row[x] ^= 0x00FFFFFFu;
        });
    };
    const i64 top = std::max<i64>(d.t, p.Box().Top);
    const i64 bottom = std::min<i64>(d.b, p.Box().Bottom);
    for (i64 y = top; y < bottom; ++y) {
        if (y == d.t || y == d.b - 1) {
            invert(y, d.l, d.r);
            continue;
        }
        invert(y, d.l, d.l + 1);
        if (d.r - 1 > d.l)
            invert(y, d.r - 1, d.r);
    }
}

TColor TCanvas::Pixel(int x, int y) const
{
    const i64 dx = i64(x) + state_.ViewportOrg.x;
    const i64 dy = i64(y) + state_.ViewportOrg.y;
    if (!target_ || target_->depth() != 32 || dx < 0 || dy < 0 || dx >= target_->width() || dy >= target_->height())
        return clNone;
    return PixelToColor(reinterpret_cast<const std::uint32_t*>(target_->constScanLine(int(dy)))[dx]);
}

void TCanvas::SetPixel(int x, int y, TColor c)
{
    if (c == clNone)
        return;
    const TCanvasPainter p(*this);
    p.Plot(i64(x) + state_.ViewportOrg.x, i64(y) + state_.ViewportOrg.y, ColorToPixel(c));
}

// ---------------------------------------------------------------------------
// Clipping, viewport and saved states

namespace {

TRect ToDevice(const TRect& r, TPoint org)
{
    return r.Offset(org.x, org.y);
}

}  // namespace

void TCanvas::SetClipRect(const TRect& r)
{
    state_.HasClip = true;
    state_.ClipRect = ToDevice(r, state_.ViewportOrg);
    state_.Excluded.clear();
    InvalidateClip();
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    const TRect d = ToDevice(r, state_.ViewportOrg);
    state_.ClipRect = state_.HasClip ? state_.ClipRect.Intersect(d) : d;
    state_.HasClip = true;
    InvalidateClip();
}

void TCanvas::ExcludeClipRect(const TRect& r)
{
    const TRect d = ToDevice(r, state_.ViewportOrg);
    if (d.IsEmpty())
        return;
    state_.Excluded.push_back(d);
    InvalidateClip();
}

void TCanvas::ResetClip()
{
    if (!state_.HasClip && state_.Excluded.empty())
        return;
    state_.HasClip = false;
    state_.ClipRect = {};
    state_.Excluded.clear();
    InvalidateClip();
}

TRect TCanvas::ClipRect() const
{
    const std::vector<TRect>& clip = DeviceClipRects();
    if (clip.empty())
        return {};
    const TRect box = TRegion::FromRects(clip).BoundingBox();
    const TPoint o = state_.ViewportOrg;
    return box.Offset(-i64(o.x), -i64(o.y));
}

TPoint TCanvas::SetViewportOrg(TPoint p)
{
    const TPoint old = state_.ViewportOrg;
    state_.ViewportOrg = p;
    return old;
}

int TCanvas::SaveDC()
{
    saved_.push_back(state_);
    return int(saved_.size());
}

bool TCanvas::RestoreDC(int level)
{
    // A negative level counts back from the latest save (-1: the latest).
    const i64 n = i64(saved_.size());
    const i64 index = level < 0 ? n + level + 1 : level;
    if (index < 1 || index > n)
        return false;
    state_ = saved_[std::size_t(index - 1)];
    saved_.resize(std::size_t(index - 1));
    InvalidateClip();
    return true;
}

TCanvasSaver::TCanvasSaver(TCanvas& canvas, TCanvasSave what) : canvas_(canvas)
{
    if (what == TCanvasSave::StateAndFont)
        font_.emplace().Assign(canvas.Font());
    level_ = canvas.SaveDC();
}

TCanvasSaver::~TCanvasSaver()
{
    if (font_)
        canvas_.Font().Assign(*font_);
    canvas_.RestoreDC(level_);
}
