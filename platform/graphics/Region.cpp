#include "platform/graphics/Region.h"

#include "platform/core/LittleEndian.h"
#include "platform/graphics/PolygonScan.h"

#include <QImage>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using i64 = std::int64_t;

// Appends bands from top to bottom and keeps the rectangles canonical: a band
// whose spans equal the band just above it and touches it extends that band,
// so equal pixel sets always give equal rectangle lists.
class BandBuilder {
public:
    explicit BandBuilder(std::vector<TRect>& out) : out_(out) {}

    // spans: sorted, disjoint, non-touching pairs x0, x1.
    template <class T>
    void Add(i64 y0, i64 y1, const T* spans, std::size_t n)
    {
        const int top = ClampToInt(y0);
        const int bottom = ClampToInt(y1);
        if (n == 0 || bottom <= top)
            return;
        if (Extends(top, spans, n)) {
            for (std::size_t i = lastStart_; i < out_.size(); ++i)
                out_[i].Bottom = bottom;
            return;
        }
        lastStart_ = out_.size();
        for (std::size_t i = 0; i + 1 < n; i += 2)
            out_.push_back({ClampToInt(spans[i]), top, ClampToInt(spans[i + 1]), bottom});
    }

private:
    template <class T>
    bool Extends(int top, const T* spans, std::size_t n) const
    {
        if (lastStart_ >= out_.size() || out_[lastStart_].Bottom != top || out_.size() - lastStart_ != n / 2)
            return false;
        for (std::size_t i = 0; i + 1 < n; i += 2) {
            const TRect& r = out_[lastStart_ + i / 2];
            if (r.Left != ClampToInt(spans[i]) || r.Right != ClampToInt(spans[i + 1]))
                return false;
        }
        return true;
    }

    std::vector<TRect>& out_;
    std::size_t lastStart_ = SIZE_MAX;
};

// A view of one band of a canonical rectangle list.
struct BandRef {
    int top = 0;
    int bottom = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::vector<BandRef> Bands(const std::vector<TRect>& rects)
{
    std::vector<BandRef> bands;
    for (std::size_t i = 0; i < rects.size();) {
        std::size_t j = i;
        while (j < rects.size() && rects[j].Top == rects[i].Top)
            ++j;
        bands.push_back({rects[i].Top, rects[i].Bottom, i, j});
        i = j;
    }
    return bands;
}

enum class TSetOp { Union, Intersect, Subtract };

bool Apply(TSetOp op, bool a, bool b)
{
    switch (op) {
    case TSetOp::Union: return a || b;
    case TSetOp::Intersect: return a && b;
    case TSetOp::Subtract: return a && !b;
    }
    return false;
}

// The x boundaries of a band, as a sorted toggle list.
void BandXs(const std::vector<TRect>& rects, const BandRef* band, std::vector<int>& xs)
{
    xs.clear();
    if (!band)
        return;
    for (std::size_t i = band->begin; i < band->end; ++i) {
        xs.push_back(rects[i].Left);
        xs.push_back(rects[i].Right);
    }
}

// Combines two toggle lists; touching results merge because nothing changes
// at a shared boundary.
void CombineXs(TSetOp op, const std::vector<int>& a, const std::vector<int>& b, std::vector<int>& out)
{
    out.clear();
    std::size_t i = 0;
    std::size_t j = 0;
    bool inA = false;
    bool inB = false;
    while (i < a.size() || j < b.size()) {
        const int x = std::min(i < a.size() ? a[i] : INT_MAX, j < b.size() ? b[j] : INT_MAX);
        const bool before = Apply(op, inA, inB);
        while (i < a.size() && a[i] == x) {
            inA = !inA;
            ++i;
        }
        while (j < b.size() && b[j] == x) {
            inB = !inB;
            ++j;
        }
        if (Apply(op, inA, inB) != before)
            out.push_back(x);
    }
}

const BandRef* BandAt(const std::vector<BandRef>& bands, std::size_t& idx, int y)
{
    while (idx < bands.size() && bands[idx].bottom <= y)
        ++idx;
    if (idx < bands.size() && bands[idx].top <= y)
        return &bands[idx];
    return nullptr;
}

std::vector<TRect> Combine(TSetOp op, const std::vector<TRect>& a, const std::vector<TRect>& b)
{
    const std::vector<BandRef> bandsA = Bands(a);
    const std::vector<BandRef> bandsB = Bands(b);
    std::vector<int> ys;
    for (const BandRef& band : bandsA) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    for (const BandRef& band : bandsB) {
        ys.push_back(band.top);
        ys.push_back(band.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<TRect> out;
    BandBuilder builder(out);
    std::vector<int> xa;
    std::vector<int> xb;
    std::vector<int> xs;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        BandXs(a, BandAt(bandsA, ia, ys[k]), xa);
        BandXs(b, BandAt(bandsB, ib, ys[k]), xb);
        CombineXs(op, xa, xb, xs);
        builder.Add(ys[k], ys[k + 1], xs.data(), xs.size());
    }
    return out;
}

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kRectSize = 16;
constexpr std::uint32_t kRectanglesType = 1;

}  // namespace

TRegion::TRegion(const TRect& r)
{
    if (!r.IsEmpty())
        rects_.push_back(r);
}

TRegion TRegion::FromPolygon(const TPoint* pts, int count, TFillMode mode)
{
    TRegion rgn;
    BandBuilder builder(rgn.rects_);
    polyscan::Scratch scratch;
    polyscan::Scan(pts, count, mode, 0, 0, INT64_MIN, INT64_MAX, scratch,
                   [&builder](i64 y0, i64 y1, const std::vector<i64>& spans) {
                       builder.Add(y0, y1, spans.data(), spans.size());
                   });
    return rgn;
}

bool TRegion::PolygonContains(const std::vector<TPoint>& pts, TFillMode mode, int x, int y)
{
    bool inside = false;
    thread_local polyscan::Scratch scratch;
    polyscan::Scan(pts.data(), int(pts.size()), mode, 0, 0, y, i64(y) + 1, scratch,
                   [&inside, x](i64, i64, const std::vector<i64>& spans) {
                       for (std::size_t i = 0; i + 1 < spans.size(); i += 2)
                           inside = inside || (x >= spans[i] && x < spans[i + 1]);
                   });
    return inside;
}

bool TRegion::FromData(const std::uint8_t* data, std::size_t size, TRegion& out)
{
    out = TRegion();
    if (!data || size < kHeaderSize)
        return false;
    const std::uint32_t headerSize = GetLE32(data);
    const std::uint64_t count = GetLE32(data + 8);
    // The rectangles follow the fixed 32-byte header whatever dwSize says;
    // a count the buffer cannot hold is rejected instead of read past.
    if (headerSize < kHeaderSize || count > (size - kHeaderSize) / kRectSize)
        return false;
    std::vector<TRect> rects;
    rects.reserve(std::size_t(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* p = data + kHeaderSize + i * kRectSize;
        const TRect r{int(GetLE32(p)), int(GetLE32(p + 4)), int(GetLE32(p + 8)), int(GetLE32(p + 12))};
        if (!r.IsEmpty())
            rects.push_back(r);
    }
    out = FromRects(rects);
    return true;
}

bool TRegion::Contains(int x, int y) const
{
    // Bottoms never decrease along a banded list: find the band holding y.
    auto it = std::upper_bound(rects_.begin(), rects_.end(), y, [](int v, const TRect& r) { return v < r.Bottom; });
    for (; it != rects_.end() && it->Top <= y; ++it)
        if (x >= it->Left && x < it->Right)
            return true;
    return false;
}

TRect TRegion::BoundingBox() const
{
    if (rects_.empty())
        return {};
    TRect box{INT_MAX, rects_.front().Top, INT_MIN, rects_.back().Bottom};
    for (const TRect& r : rects_) {
        box.Left = std::min(box.Left, r.Left);
        box.Right = std::max(box.Right, r.Right);
    }
    return box;
}

TRegion TRegion::Union(const TRegion& other) const
{
    if (other.IsEmpty())
        return *this;
    if (IsEmpty())
        return other;
    TRegion r;
    r.rects_ = Combine(TSetOp::Union, rects_, other.rects_);
    return r;
}

TRegion TRegion::Intersect(const TRegion& other) const
{
    TRegion r;
    if (!IsEmpty() && !other.IsEmpty())
        r.rects_ = Combine(TSetOp::Intersect, rects_, other.rects_);
    return r;
}

TRegion TRegion::Subtract(const TRegion& other) const
{
    if (IsEmpty() || other.IsEmpty())
        return *this;
    TRegion r;
    r.rects_ = Combine(TSetOp::Subtract, rects_, other.rects_);
    return r;
}

TRegion TRegion::Offset(int dx, int dy) const
{
    TRegion r;
    r.rects_.reserve(rects_.size());
    for (const TRect& s : rects_) {
        // Saturate instead of wrapping; a rectangle squeezed empty at the
        // edge of the coordinate range is dropped.
        const TRect t = s.Offset(dx, dy);
        if (!t.IsEmpty())
            r.rects_.push_back(t);
    }
    if (r.rects_.size() != rects_.size())
        return FromRects(r.rects_);
    return r;
}

std::vector<std::uint8_t> TRegion::ToData() const
{
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + rects_.size() * kRectSize);
    const TRect box = BoundingBox();
    PutLE32(out, kHeaderSize);
    PutLE32(out, kRectanglesType);
    PutLE32(out, std::uint32_t(rects_.size()));
    PutLE32(out, std::uint32_t(rects_.size() * kRectSize));
    for (int v : {box.Left, box.Top, box.Right, box.Bottom})
        PutLE32(out, std::uint32_t(v));
    for (const TRect& r : rects_)
        for (int v : {r.Left, r.Top, r.Right, r.Bottom})
            PutLE32(out, std::uint32_t(v));
    return out;
}

QRegion TRegion::ToQRegion() const
{
    // A QRect keeps its width and its last pixel in an int, so a region
    // reaching towards the ends of the int range (read from region data) is
    // cut to a range it can hold, far beyond any window.
    constexpr TRect qtRange{-kQtCoordinateLimit, -kQtCoordinateLimit, kQtCoordinateLimit, kQtCoordinateLimit};
    const TRect box = BoundingBox();
    if (!IsEmpty() && box.Intersect(qtRange) != box)
        return Intersect(TRegion(qtRange)).ToQRegion();
    std::vector<QRect> qrects;
    qrects.reserve(rects_.size());
    for (const TRect& r : rects_)
        qrects.emplace_back(r.Left, r.Top, r.Width(), r.Height());
    QRegion q;
    q.setRects(qrects.data(), int(qrects.size()));
    return q;
}

TRegion TRegion::FromImageExcept(const QImage& img, TColor key)
{
    TRegion rgn;
    if (img.isNull())
        return rgn;
    const QImage rgb = img.depth() == 32 ? img : img.convertToFormat(QImage::Format_RGB32);
    const std::uint32_t keyPx = ColorToPixel(key);
    BandBuilder builder(rgn.rects_);
    std::vector<int> runs;
    const int w = rgb.width();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        runs.clear();
        int x = 0;
        while (x < w) {
            while (x < w && IsKeyPixel(row[x], keyPx))
                ++x;
            if (x == w)
                break;
            const int x0 = x;
            while (x < w && !IsKeyPixel(row[x], keyPx))
                ++x;
            runs.push_back(x0);
            runs.push_back(x);
        }
        builder.Add(y, y + 1, runs.data(), runs.size());
    }
    return rgn;
}

TRegion TRegion::FromRects(const std::vector<TRect>& rects)
{
    std::vector<int> ys;
    for (const TRect& r : rects) {
        if (r.IsEmpty())
            continue;
        ys.push_back(r.Top);
        ys.push_back(r.Bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    TRegion rgn;
    BandBuilder builder(rgn.rects_);
    std::vector<std::pair<int, int>> row;
    std::vector<int> spans;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        row.clear();
        for (const TRect& r : rects)
            if (!r.IsEmpty() && r.Top <= ys[k] && ys[k] < r.Bottom)
                row.emplace_back(r.Left, r.Right);
        std::sort(row.begin(), row.end());
        spans.clear();
        for (const auto& [l, r] : row) {
            if (!spans.empty() && spans.back() >= l) {
                spans.back() = std::max(spans.back(), r);
                continue;
            }
            spans.push_back(l);
            spans.push_back(r);
        }
        builder.Add(ys[k], ys[k + 1], spans.data(), spans.size());
    }
    return rgn;
}
