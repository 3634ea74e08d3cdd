#pragma once

// Internal to the canvas: row access to the target image and the device clip
// for one drawing operation, and the inks (pen and brush resolved to pixels).

#include "platform/core/Types.h"
#include "platform/graphics/GraphicsTypes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

class TCanvas;

// A point and a rectangle in device coordinates, wide enough that logical
// coordinates anywhere in the int range plus a viewport origin never wrap.
struct TDevPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
};
struct TDevRect {
    std::int64_t l = 0;
    std::int64_t t = 0;
    std::int64_t r = 0;
    std::int64_t b = 0;
};

// A pen or brush resolved to pixel values for one operation.
struct TInk {
    enum Kind : std::uint8_t { None, Solid, Pattern };
    Kind kind = None;
    std::uint32_t solid = 0;
    // Pattern pixels by (device y & 7, device x & 7); opaque bit x of
    // row y says whether that pixel is painted (a clNone colour is not).
    std::array<std::array<std::uint32_t, 8>, 8> pattern{};
    std::array<std::uint8_t, 8> opaque{};
    bool allOpaque = false;

    static TInk FromColor(TColor c);
    static TInk FromPen(const TPen& pen);
    static TInk FromBrush(const TBrush& brush);
    bool Visible() const { return kind != None; }
};

class TCanvasPainter {
public:
    using i64 = std::int64_t;

    // target: the canvas's image; nothing is drawn unless it is a 32-bit
    // image with something left visible by the clip.
    explicit TCanvasPainter(const TCanvas& canvas);

    bool Active() const { return bits_ != nullptr; }
    // Bounding box of the visible device pixels.
    const TRect& Box() const { return box_; }
    std::uint32_t* Row(i64 y) const { return reinterpret_cast<std::uint32_t*>(bits_ + bpl_ * y); }

    // Calls f(row, x0, x1) for every visible part [x0, x1) of the device
    // span [x0, x1) on row y.
    template <class F>
    void ForVisible(i64 y, i64 x0, i64 x1, F&& f) const
    {
        if (y < box_.Top || y >= box_.Bottom || x1 <= box_.Left || x0 >= box_.Right)
            return;
        if (single_) {
            f(Row(y), int(std::max<i64>(x0, box_.Left)), int(std::min<i64>(x1, box_.Right)));
            return;
        }
        for (const TRect& c : *clip_) {
            if (c.Top > y)
                break;
            if (y >= c.Bottom)
                continue;
            const i64 a = std::max<i64>(x0, c.Left);
            const i64 b = std::min<i64>(x1, c.Right);
            if (a < b)
                f(Row(y), int(a), int(b));
        }
    }
    bool Visible(i64 x, i64 y) const;

    void Plot(i64 x, i64 y, std::uint32_t px) const;
    void FillSpan(i64 y, i64 x0, i64 x1, const TInk& ink) const;
    void FillRect(i64 l, i64 t, i64 r, i64 b, const TInk& ink) const;
    // Fills a band of rows [y0, y1) with the same spans (pairs x0, x1).
    template <class T>
    void FillBand(i64 y0, i64 y1, const std::vector<T>& spans, const TInk& ink) const
    {
        const i64 top = std::max<i64>(y0, box_.Top);
        const i64 bottom = std::min<i64>(y1, box_.Bottom);
        for (i64 y = top; y < bottom; ++y)
            for (std::size_t i = 0; i + 1 < spans.size(); i += 2)
                FillSpan(y, spans[i], spans[i + 1], ink);
    }

private:
    std::uint8_t* bits_ = nullptr;
    i64 bpl_ = 0;
    const std::vector<TRect>* clip_ = nullptr;
    TRect box_;
    bool single_ = false;
};

// Walks the pixels of the line (x0, y0) -> (x1, y1), end pixel excluded, with
// the biased Bresenham rule that makes a line and its reverse light the same
// pixels: the minor axis steps when err + bias > 0, bias being 1 for x-major
// lines going up and y-major lines going left. Only steps whose pixel lies in
// box are visited, and the error term is derived directly at the first of
// them, so a line from far outside costs no more than its visible part.
template <class Plot>
void WalkLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, const TRect& box, Plot&& plot)
{
    using i64 = std::int64_t;
    const i64 adx = x1 >= x0 ? x1 - x0 : x0 - x1;
    const i64 ady = y1 >= y0 ? y1 - y0 : y0 - y1;
    if (adx == 0 && ady == 0)
        return;
    const bool xMajor = adx > ady;
    const i64 major = xMajor ? adx : ady;
    const i64 minor = xMajor ? ady : adx;
    const int bias = xMajor ? (y1 < y0 ? 1 : 0) : (x1 < x0 ? 1 : 0);
    const i64 m0 = xMajor ? x0 : y0;
    const i64 n0 = xMajor ? y0 : x0;
    const int sm = (xMajor ? x1 >= x0 : y1 >= y0) ? 1 : -1;
    const int sn = (xMajor ? y1 >= y0 : x1 >= x0) ? 1 : -1;
    const i64 lo = xMajor ? box.Left : box.Top;
    const i64 hi = xMajor ? box.Right : box.Bottom;
    const i64 nlo = xMajor ? box.Top : box.Left;
    const i64 nhi = xMajor ? box.Bottom : box.Right;
    if (hi <= lo || nhi <= nlo)
        return;
    i64 first = sm > 0 ? lo - m0 : m0 - (hi - 1);
    i64 last = sm > 0 ? hi - 1 - m0 : m0 - lo;
    first = std::max<i64>(first, 0);
    last = std::min<i64>(last, major - 1);
    if (first > last)
        return;
    // Minor steps taken before step i: floor((2 minor i + major + bias - 1) / (2 major)).
    i64 k = i64((__int128(2) * minor * first + major + bias - 1) / (__int128(2) * major));
    i64 err = i64(__int128(2) * minor * (first + 1) - major - __int128(2) * major * k);
    for (i64 i = first; i <= last; ++i) {
        const i64 n = n0 + sn * k;
        if (n >= nlo && n < nhi) {
            const i64 m = m0 + sm * i;
            if (xMajor)
                plot(m, n);
            else
                plot(n, m);
        } else if ((sn > 0 && n >= nhi) || (sn < 0 && n < nlo)) {
            return;  // past the box for good
        }
        if (err + bias > 0) {
            ++k;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
    }
}

enum class TPathKind : std::uint8_t { Open, Closed };

// Strokes a path with the pen ink. A 1-pixel pen lights every segment from
// its start up to, not including, its end; a wider pen stamps a round tip of
// its width along the same pixels, ends included.
void StrokePath(const TCanvasPainter& p, const TInk& ink, int width, const TDevPoint* pts, std::size_t n,
                TPathKind kind);

// The pen width that counts for drawing: 0 for no visible pen, at least 1.
int EffectivePenWidth(const TPen& pen);
