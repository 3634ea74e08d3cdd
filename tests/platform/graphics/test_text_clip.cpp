// Text and the canvas state: clipping, excluded rectangles, system colours,
// saved state.
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace {

const QString kBlocks = QString(12, QChar(0x2588));

TBitmap& Prepare(TBitmap& bmp)
{
    bmp.Canvas().Font().SetName("Arial");
    bmp.Canvas().Font().SetHeight(-16);
    bmp.Canvas().Font().SetColor(clBlack);
    return bmp;
}

} // namespace

TEST(TextClip, InkStaysInsideTheClipMinusExcludedRects)
{
    for (TBkMode mode : {bkTransparent, bkOpaque}) {
        TBitmap bmp(120, 40);
        TCanvas& c = Prepare(bmp).Canvas();
        c.SetBkMode(mode);
        c.SetBkColor(clRed);
        c.SetViewportOrg({5, 0});
        c.SetClipRect({10, 5, 80, 30});     // device 15..85
        c.ExcludeClipRect({30, 0, 40, 40}); // device 35..45
        c.TextOut(0, 0, kBlocks);
        TRect r{0, 0, 120, 40};
        c.DrawText(kBlocks, r, DT_NOCLIP);
        int inside = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x) {
                const bool allowed = x >= 15 && x < 85 && y >= 5 && y < 30 && !(x >= 35 && x < 45);
                const bool inked = bmp.Image().pixel(x, y) != 0xFFFFFFFFu;
                EXPECT_TRUE(allowed || !inked) << x << "," << y;
                inside += inked;
            }
        EXPECT_GT(inside, 400);
    }
}

TEST(TextClip, DrawTextRectangleAndCanvasClipBothApply)
{
    TBitmap bmp(120, 40);
    TCanvas& c = Prepare(bmp).Canvas();
    c.SetBkMode(bkTransparent);
    c.SetClipRect({0, 0, 50, 40});
    TRect r{20, 0, 100, 40};
    c.DrawText(kBlocks, r, DT_LEFT);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (x < 20 || x >= 50) {
                EXPECT_EQ(bmp.Image().pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
            }
    EXPECT_NE(bmp.Image().pixel(30, 8), 0xFFFFFFFFu);
}

TEST(TextColour, SystemColoursResolveAndSavedStateRestores)
{
    TBitmap bmp(40, 30);
    TCanvas& c = Prepare(bmp).Canvas();
    c.SetBkMode(bkTransparent);
    c.Font().SetColor(clBtnShadow);
    c.TextOut(0, 0, kBlocks);
    EXPECT_EQ(bmp.Image().pixel(3, 9), 0xFF808080u);
    c.SetTextColor(clRed);
    const int level = c.SaveDC();
    c.SetTextColor(clBlue);
    c.RestoreDC(level);
    c.TextOut(0, 0, kBlocks);
    EXPECT_EQ(bmp.Image().pixel(3, 9), 0xFFFF0000u);
}
