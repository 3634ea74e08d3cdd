#pragma once

#include "platform/core/Types.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QRegion>

#include <cstdint>
#include <vector>

// A set of pixels as y-x-banded, sorted, non-overlapping half-open rectangles.
class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const TRect& r);

    static TRegion FromRect(const TRect& r) { return TRegion(r); }
    // The same pixels a brush fill of the polygon covers (left/top edges in,
    // right/bottom out).
    static TRegion FromPolygon(const TPoint* pts, int count, TFillMode mode);
    static TRegion FromPolygon(const std::vector<TPoint>& pts, TFillMode mode)
    {
        return FromPolygon(pts.data(), int(pts.size()), mode);
    }
    // Whether FromPolygon(pts, mode) would hold pixel (x, y), found from that
    // one row only: cheap however far the polygon reaches.
    static bool PolygonContains(const std::vector<TPoint>& pts, TFillMode mode, int x, int y);
    // Region data bytes: a 32-byte header then 16-byte rectangles. Malformed
    // data gives an empty region and false.
    static bool FromData(const std::uint8_t* data, std::size_t size, TRegion& out);

    bool IsEmpty() const { return rects_.empty(); }
    bool Contains(int x, int y) const;
    TRect BoundingBox() const;
    const std::vector<TRect>& Rects() const { return rects_; }

    TRegion Union(const TRegion& other) const;
    TRegion Intersect(const TRegion& other) const;
    TRegion Subtract(const TRegion& other) const;
    TRegion Offset(int dx, int dy) const;

    std::vector<std::uint8_t> ToData() const;
    // The part inside -kQtCoordinateLimit..kQtCoordinateLimit on both axes.
    QRegion ToQRegion() const;
    static constexpr int kQtCoordinateLimit = 1 << 29;

    friend bool operator==(const TRegion&, const TRegion&) = default;

    // Every pixel of the image whose colour is not key (runs per row).
    static TRegion FromImageExcept(const QImage& img, TColor key);
    // Builds a region from rectangles that may overlap or be unsorted.
    static TRegion FromRects(const std::vector<TRect>& rects);

private:
    std::vector<TRect> rects_;
};
