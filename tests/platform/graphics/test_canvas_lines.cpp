#include "tests/platform/graphics/CanvasProbe.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct LineCase {
    const char* name;
    TPoint from;
    TPoint to;
    PixelSet lit;
};

class LineTable : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTable, LightsExactlyThesePixels)
{
    const LineCase& c = GetParam();
    TBitmap bmp;
    ResetProbe(bmp, 16, 16);
    bmp.Canvas().MoveTo(c.from.x, c.from.y);
    bmp.Canvas().LineTo(c.to.x, c.to.y);
    EXPECT_EQ(PixelsNot(bmp), c.lit) << Picture(PixelsNot(bmp), 16, 16);
    EXPECT_EQ(bmp.Canvas().PenPos(), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Canvas, LineTable,
    ::testing::Values(
        LineCase{"TieDownRight", {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        LineCase{"TieUpLeft", {4, 2}, {0, 0}, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}},
        LineCase{"HorizontalBackwards", {10, 3}, {5, 3}, {{6, 3}, {7, 3}, {8, 3}, {9, 3}, {10, 3}}},
        LineCase{"VerticalUp", {2, 5}, {2, 2}, {{2, 5}, {2, 4}, {2, 3}}},
        LineCase{"DiagonalIsOnePerRow", {1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
        LineCase{"StartEqualsEnd", {5, 5}, {5, 5}, {}},
        LineCase{"SinglePixel", {5, 5}, {6, 5}, {{5, 5}}},
        LineCase{"YMajorTieGoesLeft", {0, 0}, {1, 2}, {{0, 0}, {0, 1}}},
        LineCase{"YMajorTieGoesLeftReversed", {1, 2}, {0, 0}, {{1, 2}, {0, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Round half toward the smaller coordinate: ceil(n / d - 1/2) for d > 0.
std::int64_t RoundHalfDown(__int128 n, __int128 d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const __int128 num = 2 * n - d;
    const __int128 den = 2 * d;
    return std::int64_t(num >= 0 ? (num + den - 1) / den : -((-num) / den));
}

// Every pixel of a line: one per step of the major axis, the minor axis
// rounded to nearest with ties toward the smaller coordinate.
PixelSet ExpectedLine(TPoint a, TPoint b, int ox, int oy)
{
    PixelSet out;
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int n = std::max(std::abs(dx), std::abs(dy));
    const bool xMajor = std::abs(dx) > std::abs(dy);
    for (int i = 0; i < n; ++i) {
        if (xMajor) {
            const int x = a.x + (dx > 0 ? i : -i);
            out.insert({x + ox, int(a.y + RoundHalfDown(std::int64_t(dy) * (x - a.x), dx)) + oy});
        } else {
            const int y = a.y + (dy > 0 ? i : -i);
            out.insert({int(a.x + RoundHalfDown(std::int64_t(dx) * (y - a.y), dy)) + ox, y + oy});
        }
    }
    return out;
}

TEST(CanvasLines, EveryShortLineRoundsHalfTowardSmallerAndMatchesItsReverse)
{
    TBitmap fwd;
    TBitmap rev;
    for (int x1 = -7; x1 <= 7; ++x1) {
        for (int y1 = -7; y1 <= 7; ++y1) {
            const TPoint a{0, 0};
            const TPoint b{x1, y1};
            ResetProbe(fwd, 17, 17);
            ResetProbe(rev, 17, 17);
            fwd.Canvas().SetViewportOrg({8, 8});
            rev.Canvas().SetViewportOrg({8, 8});
            fwd.Canvas().MoveTo(a.x, a.y);
            fwd.Canvas().LineTo(b.x, b.y);
            rev.Canvas().MoveTo(b.x, b.y);
            rev.Canvas().LineTo(a.x, a.y);
            const PixelSet f = PixelsNot(fwd);
            ASSERT_EQ(f, ExpectedLine(a, b, 8, 8)) << "to " << x1 << "," << y1 << Picture(f, 17, 17);
            // Apart from the end points, a line and its reverse agree.
            PixelSet fInner = f;
            PixelSet rInner = PixelsNot(rev);
            fInner.erase({8, 8});
            rInner.erase({8 + x1, 8 + y1});
            ASSERT_EQ(fInner, rInner) << "to " << x1 << "," << y1;
        }
    }
}

TEST(CanvasLines, PolylineDrawsInteriorVerticesOnceAndLeavesTheLastPoint)
{
    TBitmap bmp;
    ResetProbe(bmp, 8, 8);
    bmp.Canvas().Pen().Style = psSolid;
    const std::vector<TPoint> pts{{1, 1}, {4, 1}, {4, 4}};
    bmp.Canvas().Polyline(pts);
    EXPECT_EQ(PixelsNot(bmp), (PixelSet{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
}

TEST(CanvasLines, LinesFromFarOutsideAreClippedToTheSamePixels)
{
    struct Case {
        TPoint a;
        TPoint b;
    };
    const Case cases[] = {
        {{-1000000000, -500000000}, {1000000000, 500000000}},
        {{1000000000, 3}, {-1000000000, 7}},
        {{5, -2000000000}, {9, 2000000000}},
        {{2147483647, -2147483647}, {-2147483647, 2147483647}},
        {{-300, 12}, {40, 12}},
    };
    for (const Case& c : cases) {
        TBitmap bmp;
        ResetProbe(bmp, 20, 20);
        bmp.Canvas().MoveTo(c.a.x, c.a.y);
        bmp.Canvas().LineTo(c.b.x, c.b.y);
        PixelSet expected;
        // The expected pixels inside the image, by the rounding rule.
        const std::int64_t dx = std::int64_t(c.b.x) - c.a.x;
        const std::int64_t dy = std::int64_t(c.b.y) - c.a.y;
        const bool xMajor = std::abs(dx) > std::abs(dy);
        for (int v = 0; v < 20; ++v) {
            const __int128 along = xMajor ? __int128(v) - c.a.x : __int128(v) - c.a.y;
            const std::int64_t m = xMajor ? c.a.y + RoundHalfDown(__int128(dy) * along, dx)
                                          : c.a.x + RoundHalfDown(__int128(dx) * along, dy);
            if (m >= 0 && m < 20)
                expected.insert(xMajor ? std::pair{v, int(m)} : std::pair{int(m), v});
        }
        EXPECT_EQ(PixelsNot(bmp), expected) << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y
                                            << Picture(PixelsNot(bmp), 20, 20);
    }
}

struct PenCase {
    const char* name;
    TPen pen;
    std::size_t expectedCount;
};

class InvisiblePens : public ::testing::TestWithParam<PenCase> {};

TEST_P(InvisiblePens, DrawNothing)
{
    TBitmap bmp;
    ResetProbe(bmp, 10, 10);
    bmp.Canvas().Pen() = GetParam().pen;
    bmp.Canvas().MoveTo(1, 1);
    bmp.Canvas().LineTo(8, 5);
    EXPECT_EQ(PixelsNot(bmp).size(), GetParam().expectedCount);
}

INSTANTIATE_TEST_SUITE_P(Canvas, InvisiblePens,
                         ::testing::Values(PenCase{"Clear", {clBlack, 1, psClear}, 0},
                                           PenCase{"NoneColour", {clNone, 1, psSolid}, 0},
                                           PenCase{"ZeroWidthIsCosmetic", {clBlack, 0, psSolid}, 7}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasLines, WidePenCoversItsWidthAcrossAndReachesBothEnds)
{
    TBitmap bmp;
    ResetProbe(bmp, 20, 12);
    bmp.Canvas().Pen().Width = 3;
    bmp.Canvas().MoveTo(4, 5);
    bmp.Canvas().LineTo(15, 5);
    // Three rows along the whole run, end points included (round tips).
    for (int x = 4; x <= 15; ++x)
        for (int y = 4; y <= 6; ++y)
            EXPECT_EQ(bmp.Pixel(x, y), clBlack) << x << "," << y;
    EXPECT_EQ(bmp.Pixel(10, 3), clWhite);
    EXPECT_EQ(bmp.Pixel(10, 7), clWhite);
    EXPECT_EQ(bmp.Pixel(1, 5), clWhite);
    EXPECT_EQ(bmp.Pixel(18, 5), clWhite);

    // A wide diagonal is as thick across as the pen.
    ResetProbe(bmp, 20, 20);
    bmp.Canvas().Pen().Width = 5;
    bmp.Canvas().MoveTo(3, 3);
    bmp.Canvas().LineTo(16, 16);
    // (i + 2, i - 1) lies 2.1 pixels off the centre line, (i + 3, i - 3) 4.2.
    for (int i = 4; i < 15; ++i) {
        EXPECT_EQ(bmp.Pixel(i + 2, i - 1), clBlack) << i;
        EXPECT_EQ(bmp.Pixel(i - 1, i + 2), clBlack) << i;
        EXPECT_EQ(bmp.Pixel(i + 3, i - 3), clWhite) << i;
        EXPECT_EQ(bmp.Pixel(i - 3, i + 3), clWhite) << i;
    }
}

}  // namespace
