// Rectangle copies between images: plain, stretched (nearest pixel), with a
// raster operation, or leaving out a key colour.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include "platform/graphics/CanvasPainter.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using i64 = std::int64_t;

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

// Any ternary raster operation on RGB: bit (P S D) of the operation's index
// byte gives the result for that combination of pattern, source and
// destination bits.
std::uint32_t ApplyRop(std::uint32_t rop, std::uint32_t d, std::uint32_t s, std::uint32_t p)
{
    switch (rop) {
    case SRCCOPY: return s | 0xFF000000u;
    case SRCAND: return (d & s) | 0xFF000000u;
    case SRCPAINT: return (d | s) | 0xFF000000u;
    case SRCINVERT: return ((d ^ s) & kRgbMask) | 0xFF000000u;
    case DSPDxax: return ((d ^ (s & (p ^ d))) & kRgbMask) | 0xFF000000u;
    default: break;
    }
    const unsigned index = (rop >> 16) & 0xFF;
    std::uint32_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((index >> i) & 1))
            continue;
        out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return (out & kRgbMask) | 0xFF000000u;
}

std::uint32_t PatternAt(const TInk& ink, i64 x, i64 y)
{
    switch (ink.kind) {
    case TInk::Solid: return ink.solid;
    case TInk::Pattern: return ink.pattern[std::size_t(y & 7)][std::size_t(x & 7)];
    case TInk::None: break;
    }
    return 0;
}

struct BlitJob {
    TDevRect dest;
    TDevRect src;
    std::uint32_t rop = SRCCOPY;
    std::optional<std::uint32_t> key;  // pixel of the colour to leave out
};

// Source coordinate for every destination coordinate of [from, to): pixel
// centres map to pixel centres, so a 1:1 copy is exact and a stretch picks
// the nearest source pixel. -1 marks coordinates outside the source.
std::vector<i64> MapAxis(i64 from, i64 to, i64 d0, i64 dn, i64 s0, i64 sn, i64 limit)
{
    std::vector<i64> map;
    map.reserve(std::size_t(std::max<i64>(to - from, 0)));
    for (i64 v = from; v < to; ++v) {
        const i64 s = sn == dn ? s0 + (v - d0) : s0 + i64((__int128(2) * (v - d0) + 1) * sn / (__int128(2) * dn));
        map.push_back(s >= 0 && s < limit ? s : -1);
    }
    return map;
}

void CopyRow(const BlitJob& job, const TInk& brush, std::uint32_t* row, int a, int b, i64 y, const std::uint32_t* src,
             const std::vector<i64>& xmap, i64 x0)
{
    const bool plain = job.rop == SRCCOPY && !job.key;
    if (plain && job.src.r - job.src.l == job.dest.r - job.dest.l) {
        // Source columns are contiguous here: trim to the source and copy.
        int lo = a;
        while (lo < b && xmap[std::size_t(lo - x0)] < 0)
            ++lo;
        int hi = b;
        while (hi > lo && xmap[std::size_t(hi - 1 - x0)] < 0)
            --hi;
        if (hi > lo)
            std::memmove(row + lo, src + xmap[std::size_t(lo - x0)], std::size_t(hi - lo) * sizeof(std::uint32_t));
        return;
    }
    for (int x = a; x < b; ++x) {
        const i64 sx = xmap[std::size_t(x - x0)];
        if (sx < 0)
            continue;
        const std::uint32_t s = src[sx];
        if (job.key && IsKeyPixel(s, *job.key))
            continue;
        row[x] = plain ? (s | 0xFF000000u) : ApplyRop(job.rop, row[x], s, PatternAt(brush, x, y));
    }
}

void Blit(const TCanvas& dst, const QImage& srcImage, const BlitJob& job)
{
    const i64 dw = job.dest.r - job.dest.l;
    const i64 dh = job.dest.b - job.dest.t;
    const i64 sw = job.src.r - job.src.l;
    const i64 sh = job.src.b - job.src.t;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || srcImage.isNull() || !dst.Target())
        return;
    // Reading from the image being written needs a snapshot of the source;
    // so does a source that is not 32-bit.
    QImage snapshot;
    const QImage* src = &srcImage;
    if (srcImage.depth() != 32)
        snapshot = srcImage.convertToFormat(QImage::Format_RGB32);
    else if (srcImage.constBits() == dst.Target()->constBits())
        snapshot = srcImage.copy();
    if (!snapshot.isNull())
        src = &snapshot;

    const TCanvasPainter p(dst);
    if (!p.Active())
        return;
    const TRect& box = p.Box();
    const i64 x0 = std::max<i64>(job.dest.l, box.Left);
    const i64 x1 = std::min<i64>(job.dest.r, box.Right);
    const i64 y0 = std::max<i64>(job.dest.t, box.Top);
    const i64 y1 = std::min<i64>(job.dest.b, box.Bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    const std::vector<i64> xmap = MapAxis(x0, x1, job.dest.l, dw, job.src.l, sw, src->width());
    const std::vector<i64> ymap = MapAxis(y0, y1, job.dest.t, dh, job.src.t, sh, src->height());
    const TInk brush = TInk::FromBrush(dst.Brush());
    for (i64 y = y0; y < y1; ++y) {
        const i64 sy = ymap[std::size_t(y - y0)];
        if (sy < 0)
            continue;
        const auto* srow = reinterpret_cast<const std::uint32_t*>(src->constScanLine(int(sy)));
        p.ForVisible(y, x0, x1, [&](std::uint32_t* row, int a, int b) {
            CopyRow(job, brush, row, a, b, y, srow, xmap, x0);
        });
    }
}

TDevRect Dev(const TRect& r, TPoint org)
{
    return {i64(r.Left) + org.x, i64(r.Top) + org.y, i64(r.Right) + org.x, i64(r.Bottom) + org.y};
}

}  // namespace

void TCanvas::CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect, std::uint32_t rop)
{
    if (!src.Target())
        return;
    Blit(*this, *src.Target(), {Dev(dest, ViewportOrg()), Dev(srcRect, src.ViewportOrg()), rop, std::nullopt});
}

void TCanvas::CopyRect(const TRect& dest, const TBitmap& src, const TRect& srcRect, std::uint32_t rop)
{
    Blit(*this, src.Image(), {Dev(dest, ViewportOrg()), Dev(srcRect, {}), rop, std::nullopt});
}

void TCanvas::Draw(int x, int y, const TBitmap& bmp)
{
    const TDevRect d{i64(x) + ViewportOrg().x, i64(y) + ViewportOrg().y, 0, 0};
    Blit(*this, bmp.Image(),
         {{d.l, d.t, d.l + bmp.Width(), d.t + bmp.Height()}, {0, 0, bmp.Width(), bmp.Height()}, SRCCOPY, std::nullopt});
}

void TCanvas::DrawTransparent(int x, int y, const TBitmap& bmp, TColor key)
{
    const TDevRect d{i64(x) + ViewportOrg().x, i64(y) + ViewportOrg().y, 0, 0};
    Blit(*this, bmp.Image(),
         {{d.l, d.t, d.l + bmp.Width(), d.t + bmp.Height()}, {0, 0, bmp.Width(), bmp.Height()}, SRCCOPY,
          key == clNone ? std::nullopt : std::optional(ColorToPixel(key))});
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bmp)
{
    Blit(*this, bmp.Image(), {Dev(dest, ViewportOrg()), {0, 0, bmp.Width(), bmp.Height()}, SRCCOPY, std::nullopt});
}
