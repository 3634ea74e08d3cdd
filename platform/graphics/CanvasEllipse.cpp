// Ellipses and round rectangles. An ellipse is a round rectangle whose corner
// ellipse is the whole box. The corner ellipse is traced with Zingl's integer
// algorithm on its w x h box, which keeps outline and fill inside [l, r) x
// [t, b) and makes the shape symmetric pixel for pixel.

#include "platform/graphics/Canvas.h"

#include "platform/graphics/CanvasPainter.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

using i64 = std::int64_t;

// Above this corner size the exact trace would need millions of points and
// its cubic terms would leave 64 bits; such shapes are far larger than any
// image, so an analytic approximation of the visible rows does.
constexpr i64 kExactLimit = i64(1) << 15;

// Zingl's error terms for a w x h box (a = w - 1, b = h - 1).
struct Zingl {
    i64 asq;
    i64 bsq;
    i64 dx;
    i64 dy;
    i64 err;

    Zingl(i64 w, i64 h)
    {
        const i64 a = w - 1;
        const i64 b = h - 1;
        asq = 8 * a * a;
        bsq = 8 * b * b;
        dx = 4 * b * b * (1 - a);
        dy = 4 * a * a * (1 + (b % 2));
        err = dx + dy + a * a * (b % 2);
    }
    // One step; reports which axes moved.
    void Step(bool& stepX, bool& stepY)
    {
        const i64 e2 = 2 * err;
        stepX = e2 >= dx;
        stepY = e2 <= dy;
        if (stepX) {
            dx += bsq;
            err += dx;
        }
        if (stepY) {
            dy += asq;
            err += dy;
        }
    }
};

// The lower-right quarter of the corner ellipse in box coordinates, from
// (w - 1, h / 2) towards (w / 2, h - 1).
std::vector<TDevPoint> FirstQuadrant(i64 w, i64 h)
{
    std::vector<TDevPoint> pts;
    Zingl z(w, h);
    TDevPoint pt{w - 1, h / 2};
    while (pt.x >= w / 2) {
        pts.push_back(pt);
        bool sx = false;
        bool sy = false;
        z.Step(sx, sy);
        pt.x -= sx ? 1 : 0;
        pt.y += sy ? 1 : 0;
    }
    return pts;
}

// How far each row of the corner ellipse's box is indented on both sides.
std::vector<i64> RowInsets(i64 w, i64 h)
{
    std::vector<i64> inset(std::size_t(h), -1);
    Zingl z(w, h);
    i64 x = 0;
    i64 y = h / 2;
    inset[std::size_t(y)] = 0;
    while (x <= w / 2) {
        bool sx = false;
        bool sy = false;
        z.Step(sx, sy);
        x += sx ? 1 : 0;
        if (sy && ++y < h)
            inset[std::size_t(y)] = x;
    }
    for (i64 i = h / 2 + 1; i < h; ++i)
        if (inset[std::size_t(i)] < 0)
            inset[std::size_t(i)] = inset[std::size_t(i - 1)];
    for (i64 i = 0; i < h / 2; ++i)
        inset[std::size_t(i)] = inset[std::size_t(h - 1 - i)];
    return inset;
}

void FillExact(const TCanvasPainter& p, const TInk& ink, const TDevRect& d, i64 w, i64 h)
{
    const std::vector<i64> inset = RowInsets(w, h);
    for (i64 i = 0; i < h; ++i) {
        const i64 in = inset[std::size_t(i)];
        // Upper rows hang from the top, lower rows from the bottom; the middle
        // row stretches over the straight sides between them.
        const i64 y0 = i <= h / 2 ? d.t + i : d.b - h + i;
        const i64 y1 = i < h / 2 ? y0 + 1 : d.b - h + i + 1;
        p.FillRect(d.l + in, y0, d.r - in, y1, ink);
    }
}

void OutlineExact(const TCanvasPainter& p, const TInk& ink, int width, const TDevRect& d, i64 w, i64 h)
{
    const std::vector<TDevPoint> q = FirstQuadrant(w, h);
    std::vector<TDevPoint> path;
    path.reserve(q.size() * 4);
    auto place = [&d, w, h](TDevPoint pt) { return TDevPoint{d.r - w + pt.x, d.b - h + pt.y}; };
    auto mirrorX = [&d](TDevPoint pt) { return TDevPoint{d.l + d.r - 1 - pt.x, pt.y}; };
    auto mirrorY = [&d](TDevPoint pt) { return TDevPoint{pt.x, d.t + d.b - 1 - pt.y}; };
    for (const TDevPoint& pt : q)
        path.push_back(place(pt));
    for (auto it = q.rbegin(); it != q.rend(); ++it)
        path.push_back(mirrorX(place(*it)));
    for (const TDevPoint& pt : q)
        path.push_back(mirrorY(mirrorX(place(pt))));
    for (auto it = q.rbegin(); it != q.rend(); ++it)
        path.push_back(mirrorY(place(*it)));
    StrokePath(p, ink, width, path.data(), path.size(), TPathKind::Closed);
}

// Analytic indent of row y for shapes too big to trace exactly.
i64 ApproxInset(const TDevRect& d, i64 w, i64 h, i64 y)
{
    const double a = double(w - 1) / 2;
    const double b = double(h - 1) / 2;
    double dy = 0;
    if (y < d.t + h / 2)
        dy = (double(d.t) + b - double(y)) / b;
    else if (y > d.b - h + h / 2)
        dy = (double(y) - (double(d.b) - 1 - b)) / b;
    const double inset = a * (1 - std::sqrt(std::max(0.0, 1 - dy * dy)));
    return i64(std::llround(inset));
}

void DrawApprox(const TCanvasPainter& p, const TInk& brush, const TInk& pen, const TDevRect& d, i64 w, i64 h)
{
    const i64 top = std::max<i64>(d.t, p.Box().Top);
    const i64 bottom = std::min<i64>(d.b, p.Box().Bottom);
    for (i64 y = top; y < bottom; ++y) {
        const i64 in = ApproxInset(d, w, h, y);
        p.FillSpan(y, d.l + in, d.r - in, brush);
        if (y == d.t || y == d.b - 1) {
            p.FillSpan(y, d.l + in, d.r - in, pen);
            continue;
        }
        // Reach over to the indent of the row further from the middle so the
        // outline stays connected.
        const i64 outer = ApproxInset(d, w, h, y < d.t + h / 2 ? y - 1 : y + 1);
        const i64 run = std::max<i64>(outer - in, 1);
        p.FillSpan(y, d.l + in, d.l + in + run, pen);
        p.FillSpan(y, d.r - in - run, d.r - in, pen);
    }
}

}  // namespace

void TCanvas::RoundRect(int l, int t, int r, int b, int w, int h)
{
    const TCanvasPainter p(*this);
    if (!p.Active())
        return;
    const TDevPoint o{state_.ViewportOrg.x, state_.ViewportOrg.y};
    const TDevRect d{std::min(l, r) + o.x, std::min(t, b) + o.y, std::max(l, r) + o.x, std::max(t, b) + o.y};
    if (d.l == d.r || d.t == d.b)
        return;
    const i64 cw = std::min<i64>(std::abs(i64(w)), d.r - d.l);
    const i64 ch = std::min<i64>(std::abs(i64(h)), d.b - d.t);
    if (cw <= 2 || ch <= 2) {
        Rectangle(l, t, r, b);
        return;
    }
    const TInk brush = TInk::FromBrush(state_.Brush);
    const TInk pen = TInk::FromPen(state_.Pen);
    if (cw > kExactLimit || ch > kExactLimit) {
        DrawApprox(p, brush, pen, d, cw, ch);
        return;
    }
    if (brush.Visible())
        FillExact(p, brush, d, cw, ch);
    if (pen.Visible())
        OutlineExact(p, pen, EffectivePenWidth(state_.Pen), d, cw, ch);
}

void TCanvas::Ellipse(int l, int t, int r, int b)
{
    const i64 w = std::abs(i64(r) - l);
    const i64 h = std::abs(i64(b) - t);
    RoundRect(l, t, r, b, int(std::min<i64>(w, INT_MAX)), int(std::min<i64>(h, INT_MAX)));
}
