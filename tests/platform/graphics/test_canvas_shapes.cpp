#include "tests/platform/graphics/CanvasProbe.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void UseSolidBrush(TCanvas& c, TColor color = clRed)
{
    c.Brush().Style = bsSolid;
    c.Brush().Color = color;
}

TEST(CanvasPolygon, TriangleRowsFollowTheInclusionRule)
{
    TBitmap bmp;
    ResetProbe(bmp, 8, 8);
    UseSolidBrush(bmp.Canvas());
    bmp.Canvas().Pen().Style = psClear;
    bmp.Canvas().Polygon({{0, 0}, {4, 0}, {0, 4}});
    PixelSet expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4 - y; ++x)
            expected.insert({x, y});
    EXPECT_EQ(PixelsNot(bmp), expected) << Picture(PixelsNot(bmp), 8, 8);
}

TEST(CanvasPolygon, RectangleFillsHalfOpenAndThePenReachesOneFurther)
{
    TBitmap bmp;
    ResetProbe(bmp, 10, 10);
    UseSolidBrush(bmp.Canvas());
    bmp.Canvas().Pen().Style = psClear;
    const std::vector<TPoint> rect{{2, 3}, {7, 3}, {7, 8}, {2, 8}};
    bmp.Canvas().Polygon(rect);
    EXPECT_EQ(PixelsNot(bmp), RectPixels(2, 3, 7, 8));

    ResetProbe(bmp, 10, 10);
    UseSolidBrush(bmp.Canvas());
    bmp.Canvas().Polygon(rect);
    EXPECT_EQ(PixelsNot(bmp), RectPixels(2, 3, 8, 9));
    // Brush first, pen on top: the outline is black, the inside red.
    EXPECT_EQ(bmp.Pixel(2, 3), clBlack);
    EXPECT_EQ(bmp.Pixel(7, 8), clBlack);
    EXPECT_EQ(bmp.Pixel(4, 5), clRed);
}

TEST(CanvasPolygon, StarCentreIsEmptyWithAlternateAndFilledWithWinding)
{
    const std::vector<TPoint> star{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    TBitmap alt;
    TBitmap wind;
    for (auto [bmp, mode] : {std::pair{&alt, fmAlternate}, std::pair{&wind, fmWinding}}) {
        ResetProbe(*bmp, 21, 21);
        UseSolidBrush(bmp->Canvas());
        bmp->Canvas().Pen().Style = psClear;
        bmp->Canvas().SetPolyFillMode(mode);
        bmp->Canvas().Polygon(star);
    }
    EXPECT_EQ(alt.Pixel(10, 11), clWhite);
    EXPECT_EQ(wind.Pixel(10, 11), clRed);
    // The points of the star are filled either way.
    EXPECT_EQ(alt.Pixel(10, 3), clRed);
    EXPECT_EQ(wind.Pixel(10, 3), clRed);
    // Winding covers a superset of alternate.
    const PixelSet a = PixelsNot(alt);
    const PixelSet w = PixelsNot(wind);
    for (const auto& p : a)
        EXPECT_TRUE(w.count(p));
    EXPECT_GT(w.size(), a.size());
}

// Fans of random triangles around a random inner point tile their rectangle:
// every pixel of the rectangle is filled exactly once, nothing outside.
TEST(CanvasPolygon, RandomTrianglesSharingEdgesLeaveNoGapsAndNoOverlaps)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> coord(0, 40);
    for (int round = 0; round < 60; ++round) {
        int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng);
        if (l > r)
            std::swap(l, r);
        if (t > b)
            std::swap(t, b);
        if (r - l < 2 || b - t < 2)
            continue;
        const TPoint inner{std::uniform_int_distribution<int>(l + 1, r - 1)(rng),
                           std::uniform_int_distribution<int>(t + 1, b - 1)(rng)};
        // Boundary points in order around the rectangle, with a few extras.
        std::vector<TPoint> ring{{l, t}};
        ring.push_back({std::uniform_int_distribution<int>(l, r)(rng), t});
        ring.push_back({r, t});
        ring.push_back({r, std::uniform_int_distribution<int>(t, b)(rng)});
        ring.push_back({r, b});
        ring.push_back({std::uniform_int_distribution<int>(l, r)(rng), b});
        ring.push_back({l, b});
        ring.push_back({l, std::uniform_int_distribution<int>(t, b)(rng)});

        std::vector<int> count(41 * 41, 0);
        for (std::size_t i = 0; i < ring.size(); ++i) {
            TBitmap bmp;
            ResetProbe(bmp, 41, 41);
            UseSolidBrush(bmp.Canvas());
            bmp.Canvas().Pen().Style = psClear;
            bmp.Canvas().Polygon({ring[i], ring[(i + 1) % ring.size()], inner});
            for (const auto& [x, y] : PixelsNot(bmp))
                ++count[std::size_t(y * 41 + x)];
        }
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 41; ++x) {
                const int want = (x >= l && x < r && y >= t && y < b) ? 1 : 0;
                ASSERT_EQ(count[std::size_t(y * 41 + x)], want) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(CanvasPolygon, RegionOfARandomPolygonEqualsItsFilledPixels)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-5, 35);
    std::uniform_int_distribution<int> size(3, 9);
    for (int round = 0; round < 80; ++round) {
        std::vector<TPoint> pts(std::size_t(size(rng)));
        for (TPoint& p : pts)
            p = {coord(rng), coord(rng)};
        for (TFillMode mode : {fmAlternate, fmWinding}) {
            TBitmap bmp;
            ResetProbe(bmp, 31, 31);
            UseSolidBrush(bmp.Canvas());
            bmp.Canvas().Pen().Style = psClear;
            bmp.Canvas().SetPolyFillMode(mode);
            bmp.Canvas().Polygon(pts);
            const TRegion rgn = TRegion::FromPolygon(pts, mode);
            ASSERT_EQ(RegionPixels(rgn, {0, 0, 31, 31}), PixelsNot(bmp)) << "round " << round;
        }
    }
}

struct RectCase {
    const char* name;
    enum Op { Fill, Frame, RectWithPen, RectClearPen } op;
    TRect r;
    PixelSet brush;  // pixels of the brush colour
    PixelSet pen;    // pixels of the pen colour
};

PixelSet Minus(PixelSet a, const PixelSet& b)
{
    for (const auto& p : b)
        a.erase(p);
    return a;
}

class RectTable : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectTable, CoversExactlyItsBounds)
{
    const RectCase& c = GetParam();
    TBitmap bmp;
    ResetProbe(bmp, 12, 12);
    TCanvas& cv = bmp.Canvas();
    UseSolidBrush(cv);
    switch (c.op) {
    case RectCase::Fill: cv.FillRect(c.r); break;
    case RectCase::Frame: cv.FrameRect(c.r); break;
    case RectCase::RectWithPen: cv.Rectangle(c.r); break;
    case RectCase::RectClearPen:
        cv.Pen().Style = psClear;
        cv.Rectangle(c.r);
        break;
    }
    EXPECT_EQ(PixelsOf(bmp, clRed), c.brush) << Picture(PixelsOf(bmp, clRed), 12, 12);
    EXPECT_EQ(PixelsOf(bmp, clBlack), c.pen) << Picture(PixelsOf(bmp, clBlack), 12, 12);
}

const PixelSet kFrame2to7 = Minus(RectPixels(2, 3, 7, 9), RectPixels(3, 4, 6, 8));

INSTANTIATE_TEST_SUITE_P(
    Canvas, RectTable,
    ::testing::Values(
        RectCase{"FillHalfOpen", RectCase::Fill, {2, 3, 7, 9}, RectPixels(2, 3, 7, 9), {}},
        RectCase{"FillEmptyWidth", RectCase::Fill, {5, 3, 5, 9}, {}, {}},
        RectCase{"FillReversedIsEmpty", RectCase::Fill, {7, 9, 2, 3}, {}, {}},
        RectCase{"FillClippedToImage", RectCase::Fill, {-5, -5, 2, 1}, RectPixels(0, 0, 2, 1), {}},
        RectCase{"FrameInside", RectCase::Frame, {2, 3, 7, 9}, kFrame2to7, {}},
        RectCase{"FrameOnePixel", RectCase::Frame, {4, 4, 5, 5}, {{4, 4}}, {}},
        RectCase{"FrameEmpty", RectCase::Frame, {4, 4, 4, 8}, {}, {}},
        RectCase{"RectanglePenInside", RectCase::RectWithPen, {2, 3, 7, 9}, RectPixels(3, 4, 6, 8), kFrame2to7},
        RectCase{"RectangleNormalised", RectCase::RectWithPen, {7, 9, 2, 3}, RectPixels(3, 4, 6, 8), kFrame2to7},
        RectCase{"RectangleClearPenShrinks", RectCase::RectClearPen, {2, 3, 7, 9}, RectPixels(2, 3, 6, 8), {}},
        RectCase{"RectangleFlat", RectCase::RectWithPen, {2, 3, 7, 3}, {}, {}},
        RectCase{"RectangleOneWide", RectCase::RectWithPen, {2, 3, 3, 9}, {}, RectPixels(2, 3, 3, 9)}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundCase {
    const char* name;
    TRect box;
    int w;
    int h;  // w == 0: an ellipse
};

class RoundTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundTable, StaysInsideItsBoxTouchesEverySideAndIsSymmetric)
{
    const RoundCase& c = GetParam();
    for (bool pen : {true, false}) {
        TBitmap bmp;
        ResetProbe(bmp, 40, 40);
        TCanvas& cv = bmp.Canvas();
        UseSolidBrush(cv);
        cv.Pen().Style = pen ? psSolid : psClear;
        if (c.w == 0)
            cv.Ellipse(c.box);
        else
            cv.RoundRect(c.box.Left, c.box.Top, c.box.Right, c.box.Bottom, c.w, c.h);
        const PixelSet all = PixelsNot(bmp);
        ASSERT_FALSE(all.empty());
        TRect bounds{40, 40, 0, 0};
        for (const auto& [x, y] : all) {
            bounds.Left = std::min(bounds.Left, x);
            bounds.Top = std::min(bounds.Top, y);
            bounds.Right = std::max(bounds.Right, x + 1);
            bounds.Bottom = std::max(bounds.Bottom, y + 1);
        }
        EXPECT_EQ(bounds, c.box) << Picture(all, 40, 40);
        // Mirror symmetry in both axes, pen and fill alike.
        for (const auto& [x, y] : all) {
            const int mx = c.box.Left + c.box.Right - 1 - x;
            const int my = c.box.Top + c.box.Bottom - 1 - y;
            EXPECT_EQ(bmp.Pixel(mx, y), bmp.Pixel(x, y)) << x << "," << y;
            EXPECT_EQ(bmp.Pixel(x, my), bmp.Pixel(x, y)) << x << "," << y;
        }
        // Corners stay empty; the centre is brush.
        EXPECT_EQ(bmp.Pixel(c.box.Left, c.box.Top), clWhite);
        EXPECT_EQ(bmp.Pixel(c.box.Right - 1, c.box.Bottom - 1), clWhite);
        EXPECT_EQ(bmp.Pixel((c.box.Left + c.box.Right) / 2, (c.box.Top + c.box.Bottom) / 2), clRed);
        if (pen) {
            // The outline closes: every row of the box has pen at both sides.
            for (int y = c.box.Top; y < c.box.Bottom; ++y) {
                int first = -1;
                for (int x = c.box.Left; x < c.box.Right && first < 0; ++x)
                    if (bmp.Pixel(x, y) != clWhite)
                        first = x;
                EXPECT_EQ(bmp.Pixel(first, y), clBlack) << "row " << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Canvas, RoundTable,
                         ::testing::Values(RoundCase{"EllipseOdd", {3, 4, 24, 17}, 0, 0},
                                           RoundCase{"EllipseEven", {2, 2, 32, 22}, 0, 0},
                                           RoundCase{"Circle", {5, 5, 36, 36}, 0, 0},
                                           RoundCase{"TallEllipse", {10, 1, 17, 39}, 0, 0},
                                           RoundCase{"RoundRect", {2, 3, 30, 25}, 9, 7},
                                           RoundCase{"RoundRectBigCorners", {2, 3, 30, 25}, 100, 100},
                                           RoundCase{"RoundRectEvenCorners", {4, 4, 36, 20}, 10, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasRoundRect, TinyCornersDrawAPlainRectangle)
{
    TBitmap a;
    TBitmap b;
    for (TBitmap* bmp : {&a, &b}) {
        ResetProbe(*bmp, 12, 12);
        UseSolidBrush(bmp->Canvas());
    }
    a.Canvas().RoundRect(1, 2, 9, 10, 2, 6);
    b.Canvas().Rectangle(1, 2, 9, 10);
    EXPECT_EQ(PixelsOf(a, clRed), PixelsOf(b, clRed));
    EXPECT_EQ(PixelsOf(a, clBlack), PixelsOf(b, clBlack));
}

TEST(CanvasEllipse, SmallEllipseMatchesItsKnownShape)
{
    TBitmap bmp;
    ResetProbe(bmp, 8, 8);
    bmp.Canvas().Ellipse(0, 0, 5, 5);
    EXPECT_EQ(Picture(PixelsNot(bmp), 5, 5), "\n"
                                               ".###.\n"
                                               "#...#\n"
                                               "#...#\n"
                                               "#...#\n"
                                               ".###.\n");
}

TEST(CanvasBrush, PatternFollowsTheImageOriginNotTheShape)
{
    TBitmap bmp;
    ResetProbe(bmp, 16, 16);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsPattern;
    c.Brush().Pattern = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    c.Brush().PatternSetColor = clBlue;
    c.Brush().PatternClearColor = clYellow;
    c.SetViewportOrg({3, 1});
    c.FillRect({0, 0, 9, 9});  // device 3..11 x 1..9
    for (int y = 1; y < 10; ++y)
        for (int x = 3; x < 12; ++x)
            ASSERT_EQ(bmp.Pixel(x, y), (x + y) % 2 == 0 ? clBlue : clYellow) << x << "," << y;

    // Bit 7 of row 0 is pixel (0, 0): a single set bit marks column 0 only.
    ResetProbe(bmp, 16, 16);
    c.Brush().Style = bsPattern;
    c.Brush().Pattern = {0x80, 0, 0, 0, 0, 0, 0, 0};
    c.Brush().PatternClearColor = clNone;  // leaves the background
    c.FillRect({0, 0, 16, 16});
    EXPECT_EQ(PixelsOf(bmp, clBlue), (PixelSet{{0, 0}, {8, 0}, {0, 8}, {8, 8}}));
    EXPECT_EQ(PixelsNot(bmp).size(), 4u);
}

TEST(CanvasBrush, NoneAndClearBrushesPaintNothingButThePen)
{
    TBitmap bmp;
    for (TBrush brush : {TBrush{clNone, bsSolid, {}, clBlack, clWhite}, TBrush{clRed, bsClear, {}, clBlack, clWhite}}) {
        ResetProbe(bmp, 10, 10);
        bmp.Canvas().Brush() = brush;
        bmp.Canvas().Rectangle(1, 1, 8, 8);
        bmp.Canvas().FillRect({0, 0, 10, 10});
        EXPECT_EQ(PixelsNot(bmp), Minus(RectPixels(1, 1, 8, 8), RectPixels(2, 2, 7, 7)));
    }
}

TEST(CanvasBrush, SystemColoursResolveThroughTheClassicTable)
{
    TBitmap bmp;
    ResetProbe(bmp, 4, 4);
    UseSolidBrush(bmp.Canvas(), clBtnFace);
    bmp.Canvas().FillRect({0, 0, 4, 4});
    EXPECT_EQ(bmp.Pixel(2, 2), RGB(212, 208, 200));
    EXPECT_EQ(bmp.ScanLine(2)[2], 0xFFD4D0C8u);
}

TEST(CanvasFocusRect, InvertsEveryOtherFramePixelOnceAndUndoesItself)
{
    TBitmap bmp;
    ResetProbe(bmp, 12, 12);
    bmp.Canvas().DrawFocusRect({2, 2, 9, 8});
    const PixelSet lit = PixelsOf(bmp, clBlack);
    const PixelSet frame = Minus(RectPixels(2, 2, 9, 8), RectPixels(3, 3, 8, 7));
    PixelSet expected;
    for (const auto& [x, y] : frame)
        if ((x + y) % 2 == 0)
            expected.insert({x, y});
    EXPECT_EQ(lit, expected) << Picture(lit, 12, 12);
    EXPECT_EQ(PixelsNot(bmp), lit);
    bmp.Canvas().DrawFocusRect({2, 2, 9, 8});
    EXPECT_TRUE(PixelsNot(bmp).empty());
}

}  // namespace
