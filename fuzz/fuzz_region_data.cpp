// Region data bytes to a region and back: malformed data is refused, the
// region holds exactly the pixels of the rectangles, is canonical, survives
// ToData/FromData unchanged, and its set operations and offset agree with
// the pixels.

#include "fuzz/FuzzCheck.h"
#include "platform/graphics/Region.h"

#include <QRegion>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using i64 = std::int64_t;

std::uint32_t LE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The rectangles the data lists, empty ones left out.
std::vector<TRect> ListedRects(const std::uint8_t* data, std::size_t size)
{
    std::vector<TRect> rects;
    const std::size_t count = LE32(data + 8);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = data + 32 + 16 * i;
        const TRect r{int(LE32(p)), int(LE32(p + 4)), int(LE32(p + 8)), int(LE32(p + 12))};
        if (!r.IsEmpty())
            rects.push_back(r);
    }
    (void)size;
    return rects;
}

void CheckCanonical(const TRegion& rgn)
{
    const std::vector<TRect>& rs = rgn.Rects();
    for (std::size_t i = 0; i < rs.size(); ++i) {
        FUZZ_CHECK(!rs[i].IsEmpty());
        if (i == 0)
            continue;
        const TRect& a = rs[i - 1];
        const TRect& b = rs[i];
        if (a.Top == b.Top) {
            FUZZ_CHECK(a.Bottom == b.Bottom);
            FUZZ_CHECK(a.Right < b.Left);
        } else {
            FUZZ_CHECK(a.Bottom <= b.Top);
        }
    }
    if (rs.empty())
        return;
    const TRect box = rgn.BoundingBox();
    int left = INT_MAX;
    int right = INT_MIN;
    for (const TRect& r : rs) {
        left = std::min(left, r.Left);
        right = std::max(right, r.Right);
    }
    FUZZ_CHECK(box == (TRect{left, rs.front().Top, right, rs.back().Bottom}));
}

bool AnyContains(const std::vector<TRect>& rects, int x, int y)
{
    return std::any_of(rects.begin(), rects.end(), [x, y](const TRect& r) { return r.Contains({x, y}); });
}

// Points on and beside the edges of the first rectangles: where a wrong
// region would differ from the right one.
std::vector<TPoint> Probes(const std::vector<TRect>& rects)
{
    std::vector<int> xs;
    std::vector<int> ys;
    for (std::size_t i = 0; i < rects.size() && i < 8; ++i) {
        const TRect& r = rects[i];
        for (i64 x : {i64(r.Left) - 1, i64(r.Left), i64(r.Right) - 1, i64(r.Right)})
            xs.push_back(ClampToInt(x));
        for (i64 y : {i64(r.Top) - 1, i64(r.Top), i64(r.Bottom) - 1, i64(r.Bottom)})
            ys.push_back(ClampToInt(y));
    }
    std::vector<TPoint> probes;
    if (xs.empty())
        return probes;
    for (std::size_t k = 0; k < 64; ++k)
        probes.push_back({xs[k % xs.size()], ys[(k * 7 + k / xs.size()) % ys.size()]});
    return probes;
}

// Whether moving by (dx, dy) keeps every coordinate inside the int range, so
// that the move can be undone.
bool FitsOffset(const TRegion& rgn, int dx, int dy)
{
    if (rgn.IsEmpty())
        return true;
    const TRect box = rgn.BoundingBox();
    const auto fits = [](i64 v) { return v >= INT_MIN && v <= INT_MAX; };
    return fits(i64(box.Left) + dx) && fits(i64(box.Right) + dx) && fits(i64(box.Top) + dy) &&
           fits(i64(box.Bottom) + dy);
}

void CheckSetOperations(const std::vector<TRect>& rects, const TRegion& all, const std::vector<TPoint>& probes)
{
    const std::size_t half = rects.size() / 2;
    const std::vector<TRect> ra(rects.begin(), rects.begin() + std::ptrdiff_t(half));
    const std::vector<TRect> rb(rects.begin() + std::ptrdiff_t(half), rects.end());
    const TRegion a = TRegion::FromRects(ra);
    const TRegion b = TRegion::FromRects(rb);
    const TRegion both = a.Intersect(b);
    const TRegion onlyA = a.Subtract(b);
    FUZZ_CHECK(a.Union(b) == all);
    FUZZ_CHECK(b.Union(a) == all);
    FUZZ_CHECK(both == b.Intersect(a));
    FUZZ_CHECK(onlyA.Union(both) == a);
    FUZZ_CHECK(onlyA.Intersect(b).IsEmpty());
    CheckCanonical(both);
    CheckCanonical(onlyA);
    for (const TPoint p : probes) {
        const bool inA = AnyContains(ra, p.x, p.y);
        const bool inB = AnyContains(rb, p.x, p.y);
        FUZZ_CHECK(both.Contains(p.x, p.y) == (inA && inB));
        FUZZ_CHECK(onlyA.Contains(p.x, p.y) == (inA && !inB));
    }
}

void CheckOffset(const TRegion& rgn, int dx, int dy, const std::vector<TPoint>& probes)
{
    const TRegion moved = rgn.Offset(dx, dy);
    CheckCanonical(moved);
    if (!FitsOffset(rgn, dx, dy) || dx == INT_MIN || dy == INT_MIN)
        return;
    FUZZ_CHECK(moved.Rects().size() == rgn.Rects().size());
    FUZZ_CHECK(moved.Offset(-dx, -dy) == rgn);
    for (const TPoint p : probes) {
        const i64 x = i64(p.x) + dx;
        const i64 y = i64(p.y) + dy;
        if (x >= INT_MIN && x <= INT_MAX && y >= INT_MIN && y <= INT_MAX)
            FUZZ_CHECK(moved.Contains(int(x), int(y)) == rgn.Contains(p.x, p.y));
    }
}

void CheckData(const TRegion& rgn)
{
    const std::vector<std::uint8_t> data = rgn.ToData();
    const std::size_t n = rgn.Rects().size();
    FUZZ_CHECK(data.size() == 32 + 16 * n);
    FUZZ_CHECK(LE32(data.data()) == 32 && LE32(data.data() + 4) == 1);
    FUZZ_CHECK(LE32(data.data() + 8) == n && LE32(data.data() + 12) == 16 * n);
    const TRect box = rgn.BoundingBox();
    FUZZ_CHECK(box == (TRect{int(LE32(data.data() + 16)), int(LE32(data.data() + 20)), int(LE32(data.data() + 24)),
                             int(LE32(data.data() + 28))}));
    TRegion back;
    FUZZ_CHECK(TRegion::FromData(data.data(), data.size(), back));
    FUZZ_CHECK(back == rgn);
    FUZZ_CHECK(back.ToData() == data);
}

void CheckQRegion(const TRegion& rgn, const std::vector<TPoint>& probes)
{
    const QRegion q = rgn.ToQRegion();
    const int limit = TRegion::kQtCoordinateLimit;
    const TRect qtRange{-limit, -limit, limit, limit};
    FUZZ_CHECK(q.isEmpty() == rgn.Intersect(TRegion(qtRange)).IsEmpty());
    for (const TPoint p : probes)
        FUZZ_CHECK(q.contains(QPoint(p.x, p.y)) == (qtRange.Contains(p) && rgn.Contains(p.x, p.y)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TRegion rgn(TRect{0, 0, 1, 1});
    const bool ok = TRegion::FromData(data, size, rgn);
    const bool wellFormed = size >= 32 && LE32(data) >= 32 && LE32(data + 8) <= (size - 32) / 16;
    FUZZ_CHECK(ok == wellFormed);
    if (!ok) {
        FUZZ_CHECK(rgn.IsEmpty());
        return 0;
    }
    const std::vector<TRect> rects = ListedRects(data, size);
    const std::vector<TPoint> probes = Probes(rects);
    CheckCanonical(rgn);
    for (const TPoint p : probes)
        FUZZ_CHECK(rgn.Contains(p.x, p.y) == AnyContains(rects, p.x, p.y));
    CheckData(rgn);
    CheckSetOperations(rects, rgn, probes);
    // The bounding-box words of the header are not read back: they choose the
    // offset to try.
    CheckOffset(rgn, int(LE32(data + 16)), int(LE32(data + 20)), probes);
    CheckQRegion(rgn, probes);
    return 0;
}
