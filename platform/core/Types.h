#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Integer pixel geometry. Rectangles are half-open: [Left, Right) x [Top, Bottom).

struct TPoint {
    int x = 0;
    int y = 0;

    constexpr TPoint() = default;
    constexpr TPoint(int ax, int ay) : x(ax), y(ay) {}
    friend constexpr bool operator==(TPoint, TPoint) = default;
    constexpr TPoint operator+(TPoint o) const { return {x + o.x, y + o.y}; }
    constexpr TPoint operator-(TPoint o) const { return {x - o.x, y - o.y}; }
};

// A wide result brought back into the int range: saturated, never wrapped.
constexpr int ClampToInt(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

constexpr int SatAdd(int a, std::int64_t b)
{
    return ClampToInt(std::int64_t(a) + b);
}

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    friend constexpr bool operator==(const TRect&, const TRect&) = default;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const
    {
        return p.x >= Left && p.x < Right && p.y >= Top && p.y < Bottom;
    }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }

    // Moving or growing saturates at the int range instead of wrapping, so a
    // rectangle far off the image stays far off it.
    constexpr TRect Offset(std::int64_t dx, std::int64_t dy) const
    {
        return {SatAdd(Left, dx), SatAdd(Top, dy), SatAdd(Right, dx), SatAdd(Bottom, dy)};
    }
    constexpr TRect Inflate(int dx, int dy) const
    {
        return {SatAdd(Left, -std::int64_t(dx)), SatAdd(Top, -std::int64_t(dy)), SatAdd(Right, dx), SatAdd(Bottom, dy)};
    }
    // Left <= Right and Top <= Bottom afterwards.
    constexpr TRect Normalized() const
    {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
    }
    constexpr TRect Intersect(const TRect& o) const
    {
        TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right), std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
};

constexpr TRect Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}
