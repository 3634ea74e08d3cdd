// Copies, clipping, viewport origin, saved states and bad input.

#include "tests/platform/graphics/CanvasProbe.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

namespace {

// A bitmap whose pixel (x, y) has a colour unique to its position.
void FillGradient(TBitmap& bmp, int w, int h)
{
    bmp.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixel(x, y, RGB(x * 10, y * 10, 77));
}

TEST(CanvasCopy, CopiesOneToOneAndClipsToBothImages)
{
    TBitmap src;
    FillGradient(src, 6, 5);
    TBitmap dst;
    ResetProbe(dst, 8, 8);
    dst.Canvas().CopyRect({4, 5, 10, 10}, src, {1, 1, 7, 6});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            // Source column 7 and row 6 do not exist: those pixels stay.
            const bool copied = x >= 4 && y >= 5 && x - 3 < 6 && y - 4 < 5;
            EXPECT_EQ(dst.Pixel(x, y), copied ? src.Pixel(x - 3, y - 4) : clWhite) << x << "," << y;
        }
}

TEST(CanvasCopy, StretchesByNearestPixelAndShrinks)
{
    TBitmap src;
    FillGradient(src, 3, 2);
    TBitmap dst;
    ResetProbe(dst, 6, 4);
    dst.Canvas().StretchDraw({0, 0, 6, 4}, src);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;

    TBitmap small;
    ResetProbe(small, 3, 2);
    small.Canvas().CopyRect({0, 0, 3, 2}, dst.Canvas(), {0, 0, 6, 4});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(small.Pixel(x, y), src.Pixel(x, y));
}

TEST(CanvasCopy, OverlappingCopyWithinOneImageReadsTheOriginal)
{
    TBitmap bmp;
    FillGradient(bmp, 10, 3);
    TBitmap orig;
    orig.Assign(bmp);
    bmp.Canvas().CopyRect({2, 0, 10, 3}, bmp.Canvas(), {0, 0, 8, 3});
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(bmp.Pixel(x, 1), orig.Pixel(x - 2, 1)) << x;
}

TEST(CanvasCopy, DrawTransparentLeavesOutTheKeyColour)
{
    TBitmap glyph;
    glyph.SetSize(3, 3);
    glyph.Canvas().Brush().Color = clFuchsia;
    glyph.Canvas().FillRect({0, 0, 3, 3});
    glyph.SetPixel(1, 1, clBlue);
    glyph.SetPixel(0, 2, clGreen);
    TBitmap dst;
    ResetProbe(dst, 6, 6);
    dst.Canvas().DrawTransparent(2, 1, glyph, clFuchsia);
    EXPECT_EQ(PixelsNot(dst), (PixelSet{{3, 2}, {2, 3}}));
    EXPECT_EQ(dst.Pixel(3, 2), clBlue);
    EXPECT_EQ(dst.Pixel(2, 3), clGreen);
    // A system colour key is resolved before comparing.
    glyph.SetPixel(2, 0, clBtnFace);
    ResetProbe(dst, 6, 6);
    dst.Canvas().DrawTransparent(0, 0, glyph, clBtnFace);
    EXPECT_EQ(dst.Pixel(2, 0), clWhite);
    EXPECT_EQ(dst.Pixel(0, 0), clFuchsia);
}

struct RopCase {
    const char* name;
    std::uint32_t rop;
    TColor expected;  // D = 0x55AAAA, S = 0x33CCCC, P = 0x0FF0F0
};

class RopTable : public ::testing::TestWithParam<RopCase> {};

TEST_P(RopTable, CombinesSourceDestinationAndBrushBitwise)
{
    TBitmap src;
    src.SetSize(1, 1);
    src.SetPixel(0, 0, MakeColor(0x33CCCC));
    TBitmap dst;
    ResetProbe(dst, 1, 1);
    dst.SetPixel(0, 0, MakeColor(0x55AAAA));
    dst.Canvas().Brush().Style = bsSolid;
    dst.Canvas().Brush().Color = MakeColor(0x0FF0F0);
    dst.Canvas().CopyRect({0, 0, 1, 1}, src, {0, 0, 1, 1}, GetParam().rop);
    EXPECT_EQ(dst.Pixel(0, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Canvas, RopTable,
                         ::testing::Values(RopCase{"Copy", SRCCOPY, MakeColor(0x33CCCC)},
                                           RopCase{"And", SRCAND, MakeColor(0x118888)},
                                           RopCase{"Paint", SRCPAINT, MakeColor(0x77EEEE)},
                                           RopCase{"Invert", SRCINVERT, MakeColor(0x666666)},
                                           // F0/CC/AA gives E2 per bit; 0F/33/55 gives 47.
                                           RopCase{"DSPDxax", DSPDxax, MakeColor(0x47E2E2)},
                                           // NOTSRCCOPY (0x330008) by its truth table.
                                           RopCase{"NotSrcCopy", 0x00330008, MakeColor(0xCC3333)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasClip, DrawingStaysInsideClipMinusExcludedRects)
{
    TBitmap bmp;
    ResetProbe(bmp, 12, 12);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.SetClipRect({2, 2, 10, 10});
    c.ExcludeClipRect({4, 4, 6, 12});
    c.FillRect({0, 0, 12, 12});
    c.MoveTo(0, 5);
    c.LineTo(12, 5);
    PixelSet expected = RectPixels(2, 2, 10, 10);
    for (int y = 4; y < 10; ++y)
        for (int x = 4; x < 6; ++x)
            expected.erase({x, y});
    EXPECT_EQ(PixelsNot(bmp), expected) << Picture(PixelsNot(bmp), 12, 12);
    EXPECT_EQ(c.ClipRect(), (TRect{2, 2, 10, 10}));
    EXPECT_EQ(c.DeviceClipRegion(), TRegion({2, 2, 10, 10}).Subtract(TRegion({4, 4, 6, 12})));

    c.IntersectClipRect({0, 0, 3, 3});
    EXPECT_EQ(c.ClipRect(), (TRect{2, 2, 3, 3}));
    c.ResetClip();
    EXPECT_FALSE(c.HasClip());
    EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 12, 12}));
}

TEST(CanvasClip, ClipIsKeptInDeviceCoordinates)
{
    TBitmap bmp;
    ResetProbe(bmp, 10, 10);
    TCanvas& c = bmp.Canvas();
    c.SetViewportOrg({3, 3});
    c.SetClipRect({0, 0, 2, 2});  // device 3..5
    c.SetViewportOrg({0, 0});
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.FillRect({0, 0, 10, 10});
    EXPECT_EQ(PixelsNot(bmp), RectPixels(3, 3, 5, 5));
    EXPECT_EQ(c.ClipRect(), (TRect{3, 3, 5, 5}));
    c.SetViewportOrg({1, 1});
    EXPECT_EQ(c.ClipRect(), (TRect{2, 2, 4, 4}));
}

TEST(CanvasClip, ClipFollowsAResizedTarget)
{
    TBitmap bmp;
    ResetProbe(bmp, 4, 4);
    EXPECT_EQ(bmp.Canvas().ClipRect(), (TRect{0, 0, 4, 4}));
    bmp.SetSize(9, 7);
    EXPECT_EQ(bmp.Canvas().ClipRect(), (TRect{0, 0, 9, 7}));
    bmp.Canvas().Brush().Style = bsSolid;
    bmp.Canvas().Brush().Color = clRed;
    bmp.Canvas().FillRect({0, 0, 9, 7});
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 63u);
}

TEST(CanvasViewport, ShiftsEveryOperation)
{
    TBitmap a;
    TBitmap b;
    ResetProbe(a, 20, 20);
    ResetProbe(b, 20, 20);
    auto draw = [](TCanvas& c, int dx, int dy) {
        c.Brush().Style = bsSolid;
        c.Brush().Color = clRed;
        c.Rectangle(1 + dx, 1 + dy, 6 + dx, 5 + dy);
        c.Ellipse(7 + dx, 1 + dy, 13 + dx, 9 + dy);
        c.Polygon({{1 + dx, 10 + dy}, {8 + dx, 12 + dy}, {3 + dx, 14 + dy}});
        c.SetPixel(0 + dx, 0 + dy, clBlue);
    };
    a.Canvas().SetViewportOrg({4, 3});
    draw(a.Canvas(), 0, 0);
    draw(b.Canvas(), 4, 3);
    EXPECT_EQ(PixelsNot(a), PixelsNot(b));
    EXPECT_EQ(a.Canvas().Pixel(0, 0), clBlue);
    EXPECT_EQ(a.Canvas().Pixel(-5, 0), clNone);
}

TEST(CanvasState, RestoreDCPopsOneOrReturnsToALevel)
{
    TCanvas c;
    c.Pen().Color = clRed;
    const int one = c.SaveDC();
    c.Pen().Color = clBlue;
    c.SetClipRect({1, 1, 2, 2});
    c.SaveDC();
    c.Pen().Color = clGreen;
    c.SetViewportOrg({5, 5});
    c.SaveDC();
    c.Pen().Color = clYellow;

    EXPECT_TRUE(c.RestoreDC(-1));
    EXPECT_EQ(c.Pen().Color, clGreen);
    EXPECT_EQ(c.ViewportOrg(), (TPoint{5, 5}));
    EXPECT_TRUE(c.RestoreDC(one));
    EXPECT_EQ(c.Pen().Color, clRed);
    EXPECT_FALSE(c.HasClip());
    EXPECT_EQ(c.ViewportOrg(), (TPoint{0, 0}));
    // Nothing is left to restore.
    EXPECT_FALSE(c.RestoreDC(-1));
    EXPECT_FALSE(c.RestoreDC(1));
    EXPECT_FALSE(c.RestoreDC(0));
}

TEST(CanvasState, RestoredClipTakesEffect)
{
    TBitmap bmp;
    ResetProbe(bmp, 6, 6);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.SaveDC();
    c.SetClipRect({0, 0, 1, 1});
    c.RestoreDC(-1);
    c.FillRect({0, 0, 6, 6});
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 36u);
}

// A paint that throws half way leaves the canvas as the saver found it: the
// state, the font object when asked for, and an unbalanced save made inside.
TEST(CanvasState, SaverRestoresWhenThePaintThrows)
{
    for (const TCanvasSave what : {TCanvasSave::State, TCanvasSave::StateAndFont}) {
        SCOPED_TRACE(int(what));
        TCanvas c;
        c.Pen().Color = clRed;
        c.Font().SetName(QStringLiteral("Arial"));
        c.Font().SetColor(clBlue);
        c.SaveDC();
        try {
            const TCanvasSaver saved(c, what);
            c.Pen().Color = clGreen;
            c.SetClipRect({1, 1, 2, 2});
            c.SetViewportOrg({3, 3});
            c.Font().SetName(QStringLiteral("Courier New"));
            c.Font().SetColor(clLime);
            c.SaveDC();
            throw std::runtime_error("paint failed");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(c.Pen().Color, clRed);
        EXPECT_FALSE(c.HasClip());
        EXPECT_EQ(c.ViewportOrg(), (TPoint{0, 0}));
        EXPECT_EQ(c.TextColor(), clBlue);
        const bool keptFont = what == TCanvasSave::StateAndFont;
        EXPECT_EQ(c.Font().Name(), keptFont ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
        // The level saved before the saver is still there, and only it.
        EXPECT_TRUE(c.RestoreDC(-1));
        EXPECT_FALSE(c.RestoreDC(-1));
    }
}

TEST(CanvasState, LockCountsAndNeverGoesNegative)
{
    TCanvas c;
    c.Lock();
    c.Lock();
    c.Unlock();
    EXPECT_EQ(c.LockCount(), 1);
    c.Unlock();
    c.Unlock();
    EXPECT_EQ(c.LockCount(), 0);
}

// Every operation on a canvas without an image, and with absurd coordinates,
// does nothing harmful.
TEST(CanvasBadInput, NoTargetDoesNothing)
{
    TCanvas c;
    TBitmap other;
    FillGradient(other, 4, 4);
    c.Brush().Style = bsPattern;
    c.MoveTo(0, 0);
    c.LineTo(10, 10);
    c.Polygon({{0, 0}, {5, 0}, {0, 5}});
    c.Rectangle(0, 0, 5, 5);
    c.Ellipse(0, 0, 5, 5);
    c.RoundRect(0, 0, 5, 5, 3, 3);
    c.FillRect({0, 0, 5, 5});
    c.FrameRect({0, 0, 5, 5});
    c.FillRegion(TRegion({0, 0, 2, 2}));
    c.DrawFocusRect({0, 0, 5, 5});
    c.SetPixel(1, 1, clRed);
    c.Draw(0, 0, other);
    c.CopyRect({0, 0, 4, 4}, other, {0, 0, 4, 4});
    c.ExcludeClipRect({0, 0, 1, 1});
    EXPECT_EQ(c.Pixel(1, 1), clNone);
    EXPECT_EQ(c.ClipRect(), TRect{});
    other.Canvas().CopyRect({0, 0, 4, 4}, c, {0, 0, 4, 4});
    EXPECT_EQ(other.Pixel(1, 1), RGB(10, 10, 77));
}

TEST(CanvasBadInput, HugeCoordinatesAreClippedWithoutOverflow)
{
    TBitmap bmp;
    ResetProbe(bmp, 10, 10);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    const int big = 1000000000;
    c.FillRect({-big, -big, big, big});
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 100u);

    ResetProbe(bmp, 10, 10);
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.Rectangle(-big, -big, big, big);
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 100u);

    ResetProbe(bmp, 10, 10);
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.Polygon({{-big, -big}, {big, -big + 7}, {big, big}, {-big, big}});
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 100u);

    ResetProbe(bmp, 10, 10);
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    c.Ellipse(-big, -big, big, big);
    EXPECT_EQ(PixelsOf(bmp, clRed).size(), 100u);
    c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    c.RoundRect(INT_MIN, 0, INT_MAX, 10, INT_MAX, 5);

    ResetProbe(bmp, 10, 10);
    c.Pen().Width = 7;
    c.MoveTo(INT_MIN, INT_MIN);
    c.LineTo(INT_MAX, INT_MAX);
    EXPECT_EQ(bmp.Pixel(5, 5), clBlack);
    c.SetViewportOrg({INT_MAX, INT_MAX});
    c.LineTo(INT_MAX, INT_MIN);
    c.SetViewportOrg({INT_MIN, INT_MIN});
    EXPECT_EQ(c.ClipRect(), (TRect{INT_MAX, INT_MAX, INT_MAX, INT_MAX}));

    // A pen wider than anything on screen covers what it reaches, quickly.
    ResetProbe(bmp, 10, 10);
    c.Pen().Width = INT_MAX;
    c.MoveTo(-big, 3);
    c.LineTo(big, 3);
    EXPECT_EQ(PixelsOf(bmp, clBlack).size(), 100u);
    c.Pen().Width = 1;
    c.SetViewportOrg({INT_MAX, INT_MAX});
    c.FillRect({INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX});
    c.SetPixel(INT_MAX, INT_MAX, clRed);
    EXPECT_EQ(c.Pixel(INT_MAX, INT_MAX), clNone);

    TBitmap src;
    FillGradient(src, 4, 4);
    ResetProbe(bmp, 10, 10);
    bmp.Canvas().CopyRect({-big, -big, big, big}, src, {0, 0, 4, 4});
    // The middle of the destination shows the middle of the source.
    EXPECT_EQ(bmp.Pixel(5, 5), src.Pixel(2, 2));
    bmp.Canvas().CopyRect({0, 0, 10, 10}, src, {-big, -big, big, big});
}

TEST(CanvasBadInput, ZeroAndNegativeSizesDrawNothing)
{
    TBitmap bmp;
    ResetProbe(bmp, 10, 10);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clRed;
    TBitmap src;
    FillGradient(src, 4, 4);
    c.FillRect({5, 5, 2, 8});
    c.FrameRect({5, 5, 5, 8});
    c.Rectangle(3, 3, 3, 9);
    c.Ellipse(3, 3, 9, 3);
    c.RoundRect(3, 3, 3, 3, 4, 4);
    c.CopyRect({4, 4, 2, 2}, src, {0, 0, 2, 2});
    c.CopyRect({0, 0, 2, 2}, src, {2, 2, 0, 0});
    c.Polygon(nullptr, 5);
    c.Polyline(nullptr, 3);
    c.Polygon({{1, 1}});
    c.FillRegion(TRegion());
    EXPECT_TRUE(PixelsNot(bmp).empty());
    TBitmap empty;
    c.Draw(0, 0, empty);
    c.StretchDraw({0, 0, 5, 5}, empty);
    EXPECT_TRUE(PixelsNot(bmp).empty());
    bmp.SetSize(0, 5);
    EXPECT_TRUE(bmp.Empty());
    c.FillRect({0, 0, 5, 5});
}

TEST(Bitmap, ResizingKeepsTheOverlapAndWhitensTheRest)
{
    TBitmap bmp;
    FillGradient(bmp, 3, 3);
    bmp.SetSize(5, 2);
    EXPECT_EQ(bmp.Pixel(2, 1), RGB(20, 10, 77));
    EXPECT_EQ(bmp.Pixel(4, 1), clWhite);
    EXPECT_EQ(bmp.Pixel(5, 1), clNone);
    EXPECT_EQ(bmp.ScanLine(2), nullptr);
    TBitmap copy;
    copy.Assign(bmp);
    bmp.SetPixel(0, 0, clRed);
    EXPECT_EQ(copy.Pixel(0, 0), RGB(0, 0, 77));
}

TEST(Colors, SystemColoursComeFromTheClassicTable)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), std::uint32_t(RGB(212, 208, 200)));
    EXPECT_EQ(ColorToRGB(clHighlight), std::uint32_t(RGB(10, 36, 106)));
    EXPECT_EQ(ColorToRGB(clBtnText), 0u);
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), std::uint32_t(RGB(64, 64, 64)));
    EXPECT_EQ(ColorToRGB(SystemColor(200)), 0u);
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToPixel(clBtnShadow), 0xFF808080u);
}

}  // namespace
