#include "controls/flat/FlatUtilitys.h"
#include "tests/controls/flat/PixelArt.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kBack = RGB(10, 20, 30);
constexpr TColor kTopLeft = RGB(200, 0, 0);
constexpr TColor kBottomRight = RGB(0, 0, 200);
const std::map<TColor, char> kFrameLegend{{kBack, '.'}, {kTopLeft, 'T'}, {kBottomRight, 'B'}};

struct FrameCase {
    const char* name;
    TRect rect;
    int rings;
    std::vector<std::string> expected;  // the whole 6 x 6 image
};

void PrintTo(const FrameCase& c, std::ostream* os)
{
    *os << c.name;
}

class FlatFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FlatFrame, DrawsRingsInsideTheRectangleOnly)
{
    const FrameCase& c = GetParam();
    TBitmap bmp(6, 6);
    FillBitmap(bmp, kBack);
    DrawFlatFrame(bmp.Canvas(), c.rect, kTopLeft, kBottomRight, c.rings);
    EXPECT_EQ(PixelArt(bmp, kFrameLegend), c.expected);
}

const std::vector<std::string> kBlank{"......", "......", "......", "......", "......", "......"};

// The inner ring of two on 4 x 4 is a 2 x 2 square with only its top-left
// pixel in the top-left colour; a third ring has no room and draws nothing.
INSTANTIATE_TEST_SUITE_P(
    Rings, FlatFrame,
    ::testing::Values(
        FrameCase{"OneRing", {1, 1, 5, 4}, 1, {"......", ".TTTB.", ".T..B.", ".BBBB.", "......", "......"}},
        FrameCase{"TwoRingsOn4x4", {1, 1, 5, 5}, 2, {"......", ".TTTB.", ".TTBB.", ".TBBB.", ".BBBB.", "......"}},
        FrameCase{"ThreeRingsOn4x4", {1, 1, 5, 5}, 3, {"......", ".TTTB.", ".TTBB.", ".TBBB.", ".BBBB.", "......"}},
        FrameCase{"SinglePixel", {2, 2, 3, 3}, 1, {"......", "......", "..B...", "......", "......", "......"}},
        FrameCase{"OneColumn", {2, 1, 3, 4}, 2, {"......", "..B...", "..B...", "..B...", "......", "......"}},
        FrameCase{"ZeroRings", {1, 1, 5, 5}, 0, kBlank},
        FrameCase{"NegativeRings", {1, 1, 5, 5}, -3, kBlank},
        FrameCase{"ZeroWidth", {2, 1, 2, 5}, 1, kBlank},
        FrameCase{"Inverted", {5, 5, 1, 1}, 1, kBlank}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlatFrame, LeavesTheCallersRectangleAndUsesAOnePixelPen)
{
    TBitmap bmp(6, 6);
    FillBitmap(bmp, kBack);
    bmp.Canvas().Pen().Width = 3;
    bmp.Canvas().Pen().Style = psClear;
    const TRect r{0, 0, 6, 6};
    DrawFlatFrame(bmp.Canvas(), r, kTopLeft, kBottomRight, 1);
    EXPECT_EQ(r, (TRect{0, 0, 6, 6}));
    EXPECT_EQ(PixelArt(bmp, kFrameLegend),
              (std::vector<std::string>{"TTTTTB", "T....B", "T....B", "T....B", "T....B", "BBBBBB"}));
}

// Embossing: black shape pixels become shadow, with a highlight copy one pixel
// down and right underneath; what moves past the edge is cut off, not wrapped.
constexpr TColor kHighlight = RGB(255, 255, 255);
constexpr TColor kShadow = RGB(128, 128, 128);
constexpr TColor kFace = RGB(212, 208, 200);
const std::map<TColor, char> kEmbossLegend{{kFace, '.'}, {kHighlight, 'H'}, {kShadow, 'S'}};

std::unique_ptr<TBitmap> ShapeBitmap(const std::vector<std::string>& art)
{
    auto bmp = std::make_unique<TBitmap>(int(art[0].size()), int(art.size()));
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x)
            bmp->ScanLine(y)[x] = ColorToPixel(art[std::size_t(y)][std::size_t(x)] == '#' ? clBlack : RGB(0, 128, 0));
    return bmp;
}

TEST(EmbossedGlyph, ShadowOnTheShapeHighlightOnePixelDownRight)
{
    const auto source = ShapeBitmap({".....", ".##..", ".##..", ".....", "...##"});
    const auto glyph = MakeEmbossedGlyph(*source, clBlack, kFace, kHighlight, kShadow, TEmbossHighlight::Draw);
    ASSERT_EQ(glyph->Width(), 5);
    ASSERT_EQ(glyph->Height(), 5);
    EXPECT_EQ(PixelArt(*glyph, kEmbossLegend),
              (std::vector<std::string>{".....", ".SS..", ".SSH.", "..HH.", "...SS"}));
}

TEST(EmbossedGlyph, WithoutHighlightOnlyTheShadowIsDrawn)
{
    const auto source = ShapeBitmap({"#..#", "....", "...#"});
    const auto glyph = MakeEmbossedGlyph(*source, clBlack, kFace, kHighlight, kShadow, TEmbossHighlight::Omit);
    EXPECT_EQ(PixelArt(*glyph, kEmbossLegend), (std::vector<std::string>{"S..S", "....", "...S"}));
}

TEST(EmbossedGlyph, KeyMayBeAnyColourAndSourceIsUntouched)
{
    const auto source = ShapeBitmap({"#.", ".."});
    const auto glyph =
        MakeEmbossedGlyph(*source, RGB(0, 128, 0), kFace, kHighlight, kShadow, TEmbossHighlight::Draw);
    EXPECT_EQ(PixelArt(*glyph, kEmbossLegend), (std::vector<std::string>{".S", "SS"}));
    EXPECT_EQ(PixelToColor(source->ScanLine(0)[0]), clBlack);
}

TEST(EmbossedGlyph, EmptySourceGivesAnEmptyBitmap)
{
    const TBitmap empty;
    const auto glyph = MakeEmbossedGlyph(empty, clBlack, kFace, kHighlight, kShadow, TEmbossHighlight::Draw);
    ASSERT_NE(glyph, nullptr);
    EXPECT_TRUE(glyph->Empty());
}

}  // namespace
