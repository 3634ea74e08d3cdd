#include "tests/controls/shaped/ShapedTestUtil.h"

#include "controls/shaped/fcCommon.h"
#include "controls/shaped/fcShapePaint.h"

#include <gtest/gtest.h>

namespace {

const TColor kFace = RGB(240, 202, 166);
const TfcBevelColors kBevel{RGB(250, 250, 250), RGB(200, 200, 200), RGB(100, 100, 100), RGB(10, 10, 10),
                            RGB(0, 0, 200)};

TfcFaceParams Key(TColor color = kFace)
{
    TfcFaceParams p;
    p.Geometry = {bsDiamond, soUp, 75, 150, {}};
    p.Color = color;
    p.DitherColor = clWhite;
    p.Colors = kBevel;
    return p;
}

struct Probe {
    int x, y;
    TColor expected;
    const char* what;
};

void ExpectPixels(const TBitmap& bmp, const std::vector<Probe>& probes, const char* context)
{
    for (const Probe& pr : probes)
        EXPECT_EQ(bmp.Pixel(pr.x, pr.y), pr.expected)
            << context << ": " << pr.what << " at (" << pr.x << "," << pr.y << ")";
}

// Probes across the four edges of the 75 x 150 diamond, on rows where each
// edge's pixel is unambiguous. on = the outline pixel, in = one pixel inside.
struct EdgeColours {
    TColor upRightOn, upRightIn, downRightOn, downRightIn, downLeftOn, downLeftIn, upLeftOn, upLeftIn;
};

std::vector<Probe> DiamondProbes(const EdgeColours& c, int inset)
{
    const int k = inset;
    return {
        {57 - k, 40, c.upRightOn, "upper right edge"},   {56 - k, 40, c.upRightIn, "inside upper right"},
        {56 - k, 111, c.downRightOn, "lower right edge"}, {55 - k, 111, c.downRightIn, "inside lower right"},
        {18 + k, 111, c.downLeftOn, "lower left edge"},   {19 + k, 111, c.downLeftIn, "inside lower left"},
        {17 + k, 40, c.upLeftOn, "upper left edge"},      {18 + k, 40, c.upLeftIn, "inside upper left"},
        {37, 75, kFace, "centre"},                        {58, 40, clRed, "outside upper right"},
        {16, 40, clRed, "outside upper left"},            {0, 0, clRed, "corner"},
    };
}

TEST(PolygonBevel, UpKeyIsLightUpLeftAndDarkDownRight)
{
    TBitmap bmp;
    fcPaintShapeFace(bmp, Key(), fcfpDisplay, fbsNormal, fcflUp);
    const TfcBevelColors& b = kBevel;
    ExpectPixels(bmp, DiamondProbes({b.Black, b.Shadow, b.Black, b.Shadow, b.Highlight, b.Light, b.Highlight, b.Light}, 0),
                 "up");
    EXPECT_EQ(bmp.Pixel(37, 0), b.Black);     // top vertex starts the first (dark) edge
    EXPECT_EQ(bmp.Pixel(0, 74), b.Highlight); // left vertex starts the closing (light) edge
}

TEST(PolygonBevel, DownKeySwapsTheColours)
{
    TBitmap bmp;
    fcPaintShapeFace(bmp, Key(), fcfpDisplay, fbsNormal, fcflDown);
    const TfcBevelColors& b = kBevel;
    ExpectPixels(bmp, DiamondProbes({b.Highlight, b.Light, b.Highlight, b.Light, b.Black, b.Shadow, b.Black, b.Shadow}, 0),
                 "down");
}

TEST(PolygonBevel, FocusedOrDefaultMovesTheBevelInAndOutlinesInFocusColour)
{
    for (const bool focused : {true, false}) {
        TfcFaceParams p = Key();
        p.Focused = focused;
        p.Default = !focused;
        TBitmap bmp;
        fcPaintShapeFace(bmp, p, fcfpDisplay, fbsNormal, fcflUp);
        const TfcBevelColors& b = kBevel;
        ExpectPixels(bmp, DiamondProbes({b.Black, b.Shadow, b.Black, b.Shadow, b.Highlight, b.Light, b.Highlight, b.Light}, 1),
                     focused ? "focused" : "default");
        ExpectPixels(bmp, {{57, 40, b.Focus, "outline right"}, {17, 40, b.Focus, "outline left"}},
                     focused ? "focused" : "default");
    }
}

TEST(PolygonBevel, ArrowsBevelLikeKeysWhateverTheNonFlatStyle)
{
    TfcFaceParams p = Key(clBtnFace);
    p.Geometry = {bsArrow, soLeft, 137, 33, {}};
    TBitmap normal, highlight, raised;
    fcPaintShapeFace(normal, p, fcfpDisplay, fbsNormal, fcflUp);
    fcPaintShapeFace(highlight, p, fcfpDisplay, fbsHighlight, fcflUp);
    fcPaintShapeFace(raised, p, fcfpDisplay, fbsRaised, fcflUp);
    EXPECT_EQ(normal.Image(), highlight.Image());
    EXPECT_EQ(normal.Image(), raised.Image());
    // The head's upper slanted edge faces up-left; the shaft's bottom faces down.
    EXPECT_EQ(normal.Pixel(43, 8), kBevel.Highlight);
    EXPECT_EQ(normal.Pixel(90, 24), kBevel.Black);
}

TEST(FlatStyle, BevelOnlyWhenHotAndEnabledOrDown)
{
    struct Case {
        bool hot, enabled;
        TfcFaceLook look;
        bool bevel;
    };
    for (const Case c : {Case{false, true, fcflUp, false}, Case{true, true, fcflUp, true},
                         Case{true, false, fcflUp, false}, Case{false, false, fcflDown, true}}) {
        TfcFaceParams p = Key();
        p.Hot = c.hot;
        p.Enabled = c.enabled;
        TBitmap bmp;
        fcPaintShapeFace(bmp, p, fcfpDisplay, fbsFlat, c.look);
        const TColor edge = bmp.Pixel(c.look == fcflUp ? 57 : 17, 40);
        EXPECT_EQ(edge, c.bevel ? kBevel.Black : kFace) << c.hot << c.enabled << int(c.look);
    }
}

TEST(Dither, OnlyAPressedGroupButtonDithersWithEvenPixelsInDitherColour)
{
    struct Case {
        int group;
        TfcFaceLook look;
        TColor dither;
        bool dithers;
    };
    for (const Case c : {Case{1, fcflDown, clWhite, true}, Case{0, fcflDown, clWhite, false},
                         Case{1, fcflUp, clWhite, false}, Case{1, fcflDown, clNone, false}}) {
        TfcFaceParams p = Key();
        p.GroupIndex = c.group;
        p.DitherColor = c.dither;
        TBitmap bmp;
        fcPaintShapeFace(bmp, p, fcfpDisplay, fbsNormal, c.look);
        for (int y = 60; y < 64; ++y)
            for (int x = 30; x < 34; ++x) {
                const TColor want = c.dithers && (x + y) % 2 == 0 ? clWhite : kFace;
                EXPECT_EQ(bmp.Pixel(x, y), want) << c.group << " (" << x << "," << y << ")";
            }
    }
}

TEST(Region, KeyRegionHoldsItsVerticesButNotItsCorners)
{
    for (const TColor color : {kFace, clRed}) {
        TBitmap bmp;
        fcPaintShapeFace(bmp, Key(color), fcfpRegion, fbsNormal, fcflUp);
        const auto rgn = fcRegionFromBitmap(bmp, fcKeyColour(color));
        ASSERT_TRUE(rgn.has_value());
        for (TPoint v : {TPoint{37, 0}, TPoint{74, 74}, TPoint{37, 149}, TPoint{0, 74}, TPoint{37, 75}})
            EXPECT_TRUE(rgn->Contains(v.x, v.y)) << color << " " << v.x << "," << v.y;
        for (TPoint c : {TPoint{0, 0}, TPoint{74, 0}, TPoint{0, 149}, TPoint{74, 149}})
            EXPECT_FALSE(rgn->Contains(c.x, c.y)) << color << " " << c.x << "," << c.y;
        EXPECT_EQ(rgn->BoundingBox(), (TRect{0, 0, 75, 150}));
        EXPECT_EQ(bmp.Pixel(37, 75), color);  // a red face is drawn red, on blue
    }
}

TEST(Region, RectFillsTheWholeControlAndRoundRectBiasLeavesADiamondAlone)
{
    TfcFaceParams p = Key();
    p.Geometry.Shape = bsRect;
    TBitmap bmp;
    fcPaintShapeFace(bmp, p, fcfpRegion, fbsNormal, fcflUp);
    EXPECT_EQ(fcRegionFromBitmap(bmp, clRed), std::optional<TRegion>(TRegion(TRect{0, 0, 75, 150})));

    TBitmap a, b;
    p = Key();
    fcPaintShapeFace(a, p, fcfpRegion, fbsNormal, fcflUp);
    p.RoundRectBias = 3;
    fcPaintShapeFace(b, p, fcfpRegion, fbsNormal, fcflUp);
    EXPECT_EQ(a.Image(), b.Image());
}

TEST(Region, NoneForAnEmptyOrAllKeyImage)
{
    TBitmap empty;
    EXPECT_FALSE(fcRegionFromBitmap(empty, clRed).has_value());
    TBitmap red(4, 4);
    red.Canvas().Brush().Color = clRed;
    red.Canvas().FillRect({0, 0, 4, 4});
    EXPECT_FALSE(fcRegionFromBitmap(red, clRed).has_value());
    red.SetPixel(3, 2, clBlack);
    EXPECT_EQ(fcRegionFromBitmap(red, clRed), std::optional<TRegion>(TRegion(TRect{3, 2, 4, 3})));
}

TEST(CurvedBevel, EllipseEndsOfEveryDiagonalRunAreLitAndShaded)
{
    TfcFaceParams p = Key();
    p.Geometry = {bsEllipse, soUp, 31, 31, {}};
    TBitmap shape, face;
    fcPaintShapeFace(shape, p, fcfpRegion, fbsNormal, fcflUp);
    fcPaintShapeFace(face, p, fcfpDisplay, fbsNormal, fcflUp);
    // The main diagonal's run: its ends as found in the plain shape.
    int a = 0;
    while (shape.Pixel(a, a) == clRed)
        ++a;
    int b = a;
    while (shape.Pixel(b + 1, b + 1) != clRed && b + 1 < 30)
        ++b;
    ASSERT_LT(a, b);
    EXPECT_EQ(face.Pixel(a, a), kBevel.Highlight);
    EXPECT_EQ(face.Pixel(a + 1, a + 1), kBevel.Light);
    EXPECT_EQ(face.Pixel(b, b), kBevel.Black);
    EXPECT_EQ(face.Pixel(b - 1, b - 1), kBevel.Shadow);
    EXPECT_EQ(face.Pixel(15, 15), kFace);

    TBitmap down;
    fcPaintShapeFace(down, p, fcfpDisplay, fbsNormal, fcflDown);
    EXPECT_EQ(down.Pixel(a, a), kBevel.Black);
    EXPECT_EQ(down.Pixel(b, b), kBevel.Highlight);
}

TEST(FacePainting, OddSizesDrawWithoutFault)
{
    for (const TfcButtonShape shape : {bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond, bsRect, bsStar,
                                       bsTrapezoid, bsCustom})
        for (const TfcShapeOrientation o : {soLeft, soRight, soUp, soDown})
            for (const auto& [w, h] : {std::pair{0, 0}, {1, 1}, {1, 40}, {40, 1}, {2, 2}, {10000, 3}, {3, 10000}}) {
                TfcFaceParams p = Key();
                p.Geometry = {shape, o, w, h, {"0, 0", "WIDTH, HEIGHT/2", "0, HEIGHT"}};
                p.Focused = true;
                p.Focusable = true;
                TBitmap bmp;
                fcPaintShapeFace(bmp, p, fcfpDisplay, fbsNormal, fcflDown);
                EXPECT_EQ(bmp.Width(), std::max(w, 0));
                // A one-pixel-wide outline cannot turn: it covers its whole column.
                if (w == 1 && h > 1 && !IsCurvedShape(shape) && shape != bsStar) {
                    EXPECT_EQ(fcRegionFromBitmap(bmp, clRed), std::optional<TRegion>(TRegion(TRect{0, 0, 1, h})));
                }
            }
}

TEST(FacePainting, CanvasAttributesHookSeesTheFaceBrushAndMayChangeIt)
{
    TfcFaceParams p = Key();
    TColor seen = clNone;
    p.ComputeCanvasAttributes = [&seen](TCanvas& c) {
        seen = c.Brush().Color;
        c.Brush().Color = clGreen;
    };
    TBitmap bmp;
    fcPaintShapeFace(bmp, p, fcfpDisplay, fbsNormal, fcflUp);
    EXPECT_EQ(seen, kFace);
    EXPECT_EQ(bmp.Pixel(37, 75), clGreen);
}

TEST(Colours, FaceColourAvoidsChannelsADisplayWouldSnap)
{
    EXPECT_EQ(fcFaceColor(RGB(192, 64, 0), TfcGreyHandling::AvoidSnappedGrey), RGB(191, 63, 0));
    EXPECT_EQ(fcFaceColor(RGB(193, 65, 7), TfcGreyHandling::AvoidSnappedGrey), RGB(193, 65, 7));
    EXPECT_EQ(fcFaceColor(RGB(192, 64, 0), TfcGreyHandling::DisplayKeepsGrey), RGB(192, 64, 0));
    EXPECT_TRUE(DisplayKeepsGrey());  // our images hold 24-bit colour
    EXPECT_EQ(fcShadeColor(RGB(10, 128, 250), 50, TfcShadeDirection::Lighten), RGB(60, 178, 255));
    EXPECT_EQ(fcShadeColor(RGB(10, 128, 250), 50, TfcShadeDirection::Darken), RGB(0, 78, 200));
}

}  // namespace
