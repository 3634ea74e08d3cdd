#pragma once

// Scan conversion shared by polygon fills and polygon regions, so that a
// region made from a polygon covers exactly the pixels its fill paints.
//
// Pixel (x, y) is inside when the integer point (x, y) is inside the polygon,
// with left and top boundaries in and right and bottom boundaries out: at
// each row y the edges with yTop <= y < yBottom are active (horizontal edges
// never are), each crosses the row at ceil(xExact(y)), and a span covers
// ceil(xLeft) <= x < ceil(xRight).

#include "platform/core/Types.h"
#include "platform/graphics/GraphicsTypes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace polyscan {

using i64 = std::int64_t;

struct Edge {
    i64 yTop = 0;
    i64 yBottom = 0;
    i64 xTop = 0;
    i64 dx = 0;   // xBottom - xTop
    i64 dy = 0;   // yBottom - yTop, > 0
    int dir = 0;  // +1 when the polygon runs downwards along the edge
    // Crossing at the current row: xTop + q + r / dy with 0 <= r < dy.
    i64 q = 0;
    i64 r = 0;
    i64 stepQ = 0;
    i64 stepR = 0;

    i64 Crossing() const { return xTop + q + (r > 0 ? 1 : 0); }
    void StartAt(i64 y)
    {
        // (y - yTop) * dx can exceed 64 bits for coordinates far outside.
        const __int128 t = __int128(y - yTop) * dx;
        __int128 qq = t / dy;
        __int128 rr = t % dy;
        if (rr < 0) {
            rr += dy;
            --qq;
        }
        q = i64(qq);
        r = i64(rr);
        stepQ = dx / dy;
        stepR = dx % dy;
        if (stepR < 0) {
            stepR += dy;
            --stepQ;
        }
    }
    void Step()
    {
        q += stepQ;
        r += stepR;
        if (r >= dy) {
            r -= dy;
            ++q;
        }
    }
};

struct Crossing {
    i64 x;
    int dir;
};

// Reusable buffers, so repeated fills do not allocate.
struct Scratch {
    std::vector<Edge> edges;
    std::vector<Edge*> active;
    std::vector<Crossing> crossings;
    std::vector<i64> spans;
};

inline void BuildEdges(const TPoint* pts, int count, i64 offX, i64 offY, std::vector<Edge>& edges)
{
    edges.clear();
    for (int i = 0; i < count; ++i) {
        const TPoint a = pts[i];
        const TPoint b = pts[(i + 1) % count];
        if (a.y == b.y)
            continue;
        Edge e;
        const bool down = b.y > a.y;
        const TPoint top = down ? a : b;
        const TPoint bottom = down ? b : a;
        e.yTop = top.y + offY;
        e.yBottom = bottom.y + offY;
        e.xTop = top.x + offX;
        e.dx = i64(bottom.x) - top.x;
        e.dy = i64(bottom.y) - top.y;
        e.dir = down ? 1 : -1;
        edges.push_back(e);
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.yTop < r.yTop; });
}

// Turns the sorted crossings of one row into sorted, disjoint, non-touching
// spans [x0, x1) stored as pairs.
inline void RowSpans(std::vector<Crossing>& xs, TFillMode mode, std::vector<i64>& spans)
{
    std::sort(xs.begin(), xs.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    spans.clear();
    auto add = [&spans](i64 x0, i64 x1) {
        if (x1 <= x0)
            return;
        if (!spans.empty() && spans.back() >= x0) {
            spans.back() = std::max(spans.back(), x1);
            return;
        }
        spans.push_back(x0);
        spans.push_back(x1);
    };
    if (mode == fmAlternate) {
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            add(xs[i].x, xs[i + 1].x);
        return;
    }
    int winding = 0;
    i64 start = 0;
    for (const Crossing& c : xs) {
        const int before = winding;
        winding += c.dir;
        if (before == 0 && winding != 0)
            start = c.x;
        else if (before != 0 && winding == 0)
            add(start, c.x);
    }
}

// Calls sink(y0, y1, spans) for consecutive bands of rows [y0, y1) within
// [yMin, yMax) whose spans (pairs x0, x1) are the same on every row of the
// band. Rows between vertical edges come as one band, so shapes far larger
// than the image cost no more than they show.
template <class Sink>
void Scan(const TPoint* pts, int count, TFillMode mode, i64 offX, i64 offY, i64 yMin, i64 yMax, Scratch& s,
          Sink&& sink)
{
    if (!pts || count < 3)
        return;
    BuildEdges(pts, count, offX, offY, s.edges);
    if (s.edges.empty())
        return;
    i64 yEnd = yMax;
    i64 lowest = s.edges.front().yBottom;
    for (const Edge& e : s.edges)
        lowest = std::max(lowest, e.yBottom);
    yEnd = std::min(yEnd, lowest);
    i64 y = std::max(yMin, s.edges.front().yTop);
    std::size_t next = 0;
    s.active.clear();
    while (y < yEnd) {
        // Retire finished edges, admit the ones starting at or above y.
        s.active.erase(std::remove_if(s.active.begin(), s.active.end(), [y](const Edge* e) { return e->yBottom <= y; }),
                       s.active.end());
        while (next < s.edges.size() && s.edges[next].yTop <= y) {
            Edge& e = s.edges[next++];
            if (e.yBottom <= y)
                continue;
            e.StartAt(y);
            s.active.push_back(&e);
        }
        if (s.active.empty()) {
            if (next >= s.edges.size())
                break;
            y = std::max(y, s.edges[next].yTop);
            continue;
        }
        s.crossings.clear();
        bool allVertical = true;
        i64 bandEnd = yEnd;
        for (const Edge* e : s.active) {
            s.crossings.push_back({e->Crossing(), e->dir});
            allVertical = allVertical && e->dx == 0;
            bandEnd = std::min(bandEnd, e->yBottom);
        }
        if (next < s.edges.size())
            bandEnd = std::min(bandEnd, s.edges[next].yTop);
        if (!allVertical)
            bandEnd = y + 1;
        RowSpans(s.crossings, mode, s.spans);
        if (!s.spans.empty())
            sink(y, bandEnd, s.spans);
        if (!allVertical)
            for (Edge* e : s.active)
                e->Step();
        y = bandEnd;
    }
}

}  // namespace polyscan
