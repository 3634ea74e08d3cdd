#include "controls/flat/TFlatPanelUnit.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TColor PatternAt(int x, int y)
{
    return RGB(x * 5, y * 7, (x + y) % 2 ? 200 : 50);
}

// A parent whose every pixel tells where it is.
class PatternParent : public TCustomControl {
public:
    PatternParent() : TCustomControl(nullptr)
    {
        SetControlStyle(ControlStyle() | csOpaque);
        SetBounds(0, 0, 40, 30);
    }
    void Paint() override
    {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                Canvas().SetPixel(x, y, PatternAt(x, y));
    }
};

constexpr TColor kFace = RGB(1, 2, 3);
constexpr TColor kLight = RGB(250, 0, 0);
constexpr TColor kDark = RGB(0, 0, 250);

// The panel's own look, as it would go to the screen.
std::unique_ptr<TBitmap> Render(TFlatPanel& panel)
{
    auto bmp = std::make_unique<TBitmap>(panel.Width(), panel.Height());
    panel.PaintTo(bmp->Canvas(), {0, 0});
    return bmp;
}

struct PanelOnParent {
    std::unique_ptr<TCustomPanel> parent = std::make_unique<TPanel>(nullptr);
    TFlatPanel* panel = new TFlatPanel(parent.get());  // owned by the parent

    PanelOnParent()
    {
        parent->SetBounds(0, 0, 60, 40);
        parent->SetColor(kFace);
        panel->SetParent(parent.get());
        panel->SetBounds(4, 4, 30, 20);
    }
};

TEST(FlatPanel, ConstructionDefaults)
{
    TFlatPanel panel(nullptr);
    EXPECT_FALSE(panel.Transparent());
    EXPECT_EQ(panel.ColorHighLight(), RGB(160, 150, 131));
    EXPECT_EQ(panel.ColorShadow(), RGB(160, 150, 131));
    EXPECT_TRUE(panel.ParentColor());
    EXPECT_TRUE(panel.ParentFont());
    EXPECT_EQ(panel.Width(), 185);
    EXPECT_EQ(panel.Height(), 41);
    EXPECT_EQ(panel.Alignment(), taCenter);
    EXPECT_TRUE(panel.ControlStyle() & csAcceptsControls);
    EXPECT_TRUE(panel.ControlStyle() & csOpaque);
}

TEST(FlatPanel, FillsWithItsColourInsideAOnePixelFrame)
{
    PanelOnParent p;
    p.panel->SetColorHighLight(kLight);
    p.panel->SetColorShadow(kDark);
    const auto bmp = Render(*p.panel);
    const struct {
        int x, y;
        TColor c;
    } probes[] = {{0, 0, kLight}, {28, 0, kLight}, {29, 0, kDark},  {0, 18, kLight}, {0, 19, kDark},
                  {29, 19, kDark}, {29, 10, kDark}, {15, 19, kDark}, {1, 1, kFace},   {28, 18, kFace}};
    for (const auto& pr : probes)
        EXPECT_EQ(bmp->Pixel(pr.x, pr.y), pr.c) << pr.x << "," << pr.y;
}

TEST(FlatPanel, TransparentShowsTheParentsPixelsUnderIt)
{
    PatternParent parent;
    auto* panel = new TFlatPanel(&parent);  // owned by the parent
    panel->SetParent(&parent);
    panel->SetBounds(5, 3, 20, 10);
    panel->SetColor(kFace);
    panel->SetTransparent(true);
    const auto bmp = Render(*panel);
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 19; ++x)
            ASSERT_EQ(bmp->Pixel(x, y), PatternAt(x + 5, y + 3)) << x << "," << y;
    EXPECT_EQ(bmp->Pixel(0, 0), TFlatPanel::DefaultFrameColor);
    EXPECT_EQ(bmp->Pixel(19, 9), TFlatPanel::DefaultFrameColor);
}

TEST(FlatPanel, TransparentWithoutParentDrawsItsFrame)
{
    TFlatPanel panel(nullptr);
    panel.SetBounds(0, 0, 10, 6);
    panel.SetTransparent(true);
    panel.SetCaption("x");
    const auto bmp = Render(panel);
    EXPECT_EQ(bmp->Pixel(0, 0), TFlatPanel::DefaultFrameColor);
    EXPECT_EQ(bmp->Pixel(9, 5), TFlatPanel::DefaultFrameColor);
}

TEST(FlatPanel, ZeroSizedPanelPaintsNothing)
{
    TFlatPanel panel(nullptr);
    panel.SetBounds(0, 0, 0, 0);
    panel.SetCaption("x");
    TBitmap bmp(4, 4);
    panel.PaintTo(bmp.Canvas(), {0, 0});
    EXPECT_EQ(bmp.Pixel(0, 0), clWhite);
}

// Neither the frame nor the highlight nor the shadow colour.
constexpr TColor kPaper = RGB(200, 220, 240);

// The caption pixels of an enabled panel with a black font.
std::vector<std::vector<bool>> CaptionMask(TFlatPanel& panel)
{
    panel.SetEnabled(true);
    const auto bmp = Render(panel);
    std::vector<std::vector<bool>> mask(std::size_t(bmp->Height()), std::vector<bool>(std::size_t(bmp->Width())));
    for (int y = 1; y < bmp->Height() - 1; ++y)
        for (int x = 1; x < bmp->Width() - 1; ++x)
            mask[std::size_t(y)][std::size_t(x)] = bmp->Pixel(x, y) == clBlack;
    return mask;
}

TEST(FlatPanel, DisabledCaptionIsEtched)
{
    PanelOnParent p;
    p.panel->SetParentColor(false);
    p.panel->SetColor(kPaper);
    p.panel->SetFont(TFont());
    p.panel->Font().SetColor(clBlack);
    p.panel->SetCaption("Hi");
    const auto mask = CaptionMask(*p.panel);
    int inked = 0;
    p.panel->SetEnabled(false);
    const auto bmp = Render(*p.panel);
    const TColor shadow = PixelToColor(ColorToPixel(clBtnShadow));
    const TColor highlight = PixelToColor(ColorToPixel(clBtnHighlight));
    for (int y = 1; y < bmp->Height() - 1; ++y)
        for (int x = 1; x < bmp->Width() - 1; ++x) {
            const bool ink = mask[std::size_t(y)][std::size_t(x)];
            const bool under = mask[std::size_t(y - 1)][std::size_t(x - 1)];
            const TColor want = ink ? shadow : under ? highlight : kPaper;
            inked += ink;
            ASSERT_EQ(bmp->Pixel(x, y), want) << x << "," << y;
        }
    EXPECT_GT(inked, 10);
}

TEST(FlatPanel, AlignmentMovesTheCaption)
{
    PanelOnParent p;
    p.panel->SetCaption("ab");
    p.panel->Font().SetColor(clBlack);
    auto firstInkColumn = [&](TAlignment a) {
        p.panel->SetAlignment(a);
        const auto bmp = Render(*p.panel);
        for (int x = 1; x < bmp->Width() - 1; ++x)
            for (int y = 1; y < bmp->Height() - 1; ++y)
                if (bmp->Pixel(x, y) == clBlack)
                    return x;
        return -1;
    };
    const int left = firstInkColumn(taLeftJustify);
    const int centre = firstInkColumn(taCenter);
    const int right = firstInkColumn(taRightJustify);
    EXPECT_GE(left, 0);
    EXPECT_LT(left, centre);
    EXPECT_LT(centre, right);
}

}  // namespace
