#include "controls/flat/FlatUtilitys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A canvas only for measuring text with its default font.
struct MeasuringCanvas {
    TBitmap bmp{1, 1};
    TCanvas& canvas = bmp.Canvas();

    TPoint TextSize(const QString& s)
    {
        TRect r{0, 0, 1000, 0};
        canvas.DrawText(s, r, DT_CALCRECT | DT_SINGLELINE);
        return {r.Width(), r.Height()};
    }
};

TEST(FlatLayout, SmallButtonCentresItsCaption)
{
    MeasuringCanvas m;
    const TPoint text = m.TextSize("X");
    ASSERT_GT(text.y, 0);
    const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, 25, 25}, {0, 0}, blGlyphTop, 4, -1, nullptr, 1, "X");
    const int margin = (25 - text.y + 1) / 2;
    EXPECT_EQ(l.CaptionArea, Bounds((25 - text.x + 1) / 2, margin, text.x, text.y));
    EXPECT_EQ(l.GlyphOrigin, (TPoint{(25 + 1) / 2, margin}));
}

TEST(FlatLayout, NothingToPlaceSitsInTheMiddleMovedByOffsets)
{
    MeasuringCanvas m;
    const auto l = LayoutGlyphAndCaption(m.canvas, {5, 7, 35, 27}, {1, 2}, blGlyphTop, 4, -1, nullptr, 1, "");
    EXPECT_EQ(l.CaptionArea, (TRect{21, 19, 21, 19}));
    EXPECT_EQ(l.GlyphOrigin, (TPoint{21, 19}));
}

// Glyph only, client 60 x 40, glyph cell 12 x 8: with no caption the spacing
// drops to 0 whatever was asked for, so an automatic margin centres the cell.
const char* LayoutName(TButtonLayout l)
{
    static const char* const names[] = {"Left", "Right", "Top", "Bottom"};
    return names[l];
}

std::string Auto(int v)
{
    return v < 0 ? "Auto" : std::to_string(v);
}

struct GlyphCase {
    TButtonLayout layout;
    int margin;
    int spacing;
    TPoint glyph;
    TPoint caption;  // top-left of the empty caption area
};

void PrintTo(const GlyphCase& c, std::ostream* os)
{
    *os << LayoutName(c.layout) << " margin " << c.margin << " spacing " << c.spacing;
}

class FlatLayoutGlyphOnly : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(FlatLayoutGlyphOnly, PlacesTheCell)
{
    const GlyphCase& c = GetParam();
    MeasuringCanvas m;
    const TBitmap glyph(24, 8);
    const auto l =
        LayoutGlyphAndCaption(m.canvas, {0, 0, 60, 40}, {0, 0}, c.layout, c.spacing, c.margin, &glyph, 2, "");
    EXPECT_EQ(l.GlyphOrigin, c.glyph);
    EXPECT_EQ(l.CaptionArea, (TRect{c.caption.x, c.caption.y, c.caption.x, c.caption.y}));
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, FlatLayoutGlyphOnly,
    ::testing::Values(GlyphCase{blGlyphLeft, -1, -1, {24, 16}, {36, 20}},
                      GlyphCase{blGlyphLeft, -1, 4, {24, 16}, {36, 20}},
                      GlyphCase{blGlyphLeft, 3, -1, {3, 16}, {15, 20}},
                      GlyphCase{blGlyphLeft, 3, 4, {3, 16}, {15, 20}},
                      GlyphCase{blGlyphRight, -1, -1, {24, 16}, {24, 20}},
                      GlyphCase{blGlyphRight, -1, 4, {24, 16}, {24, 20}},
                      GlyphCase{blGlyphRight, 3, -1, {45, 16}, {45, 20}},
                      GlyphCase{blGlyphTop, -1, -1, {24, 16}, {30, 24}},
                      GlyphCase{blGlyphTop, -1, 4, {24, 16}, {30, 24}},
                      GlyphCase{blGlyphTop, 3, 4, {24, 3}, {30, 11}},
                      GlyphCase{blGlyphBottom, -1, -1, {24, 16}, {30, 16}},
                      GlyphCase{blGlyphBottom, -1, 4, {24, 16}, {30, 16}},
                      GlyphCase{blGlyphBottom, 3, -1, {24, 29}, {30, 29}}),
    [](const auto& info) {
        const GlyphCase& c = info.param;
        return std::string(LayoutName(c.layout)) + "Margin" + Auto(c.margin) + "Spacing" + Auto(c.spacing);
    });

// Glyph and caption together: the rules for margin and spacing, checked as
// the gaps they leave along the layout axis.
struct Gaps {
    int glyphSide;  // between the client edge and the glyph
    int between;
    int captionSide;
};

Gaps MeasureGaps(const TGlyphCaptionLayout& l, TButtonLayout layout, TPoint client, TPoint glyph)
{
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int c = horizontal ? client.x : client.y;
    const int gStart = horizontal ? l.GlyphOrigin.x : l.GlyphOrigin.y;
    const int gEnd = gStart + (horizontal ? glyph.x : glyph.y);
    const int tStart = horizontal ? l.CaptionArea.Left : l.CaptionArea.Top;
    const int tEnd = horizontal ? l.CaptionArea.Right : l.CaptionArea.Bottom;
    if (layout == blGlyphLeft || layout == blGlyphTop)
        return {gStart, tStart - gEnd, c - tEnd};
    return {c - gEnd, gStart - tEnd, tStart};
}

struct BothCase {
    TButtonLayout layout;
    int margin;
    int spacing;
};

void PrintTo(const BothCase& c, std::ostream* os)
{
    *os << LayoutName(c.layout) << " margin " << c.margin << " spacing " << c.spacing;
}

class FlatLayoutGlyphAndCaption : public ::testing::TestWithParam<BothCase> {};

TEST_P(FlatLayoutGlyphAndCaption, KeepsMarginAndSpacingRules)
{
    const BothCase& c = GetParam();
    MeasuringCanvas m;
    const TPoint text = m.TextSize("Abc");
    ASSERT_GT(text.x, 0);
    const TPoint client{80, 60};
    const TPoint cell{12, 8};
    const TBitmap glyph(cell.x, cell.y);
    const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, client.x, client.y}, {0, 0}, c.layout, c.spacing,
                                         c.margin, &glyph, 1, "Abc");
    EXPECT_EQ(l.CaptionArea.Width(), text.x);
    EXPECT_EQ(l.CaptionArea.Height(), text.y);

    // Across the axis both are centred, odd remainders going down or right.
    if (c.layout == blGlyphLeft || c.layout == blGlyphRight) {
        EXPECT_EQ(l.GlyphOrigin.y, (client.y - cell.y + 1) / 2);
        EXPECT_EQ(l.CaptionArea.Top, (client.y - text.y + 1) / 2);
    } else {
        EXPECT_EQ(l.GlyphOrigin.x, (client.x - cell.x + 1) / 2);
        EXPECT_EQ(l.CaptionArea.Left, (client.x - text.x + 1) / 2);
    }

    const Gaps g = MeasureGaps(l, c.layout, client, cell);
    if (c.margin >= 0) {
        EXPECT_EQ(g.glyphSide, c.margin);
    }
    if (c.spacing >= 0) {
        EXPECT_EQ(g.between, c.spacing);
    }
    if (c.margin < 0 && c.spacing < 0) {
        EXPECT_EQ(g.between, g.glyphSide);
        EXPECT_GE(g.captionSide - g.glyphSide, 0);
        EXPECT_LE(g.captionSide - g.glyphSide, 2);
    } else if (c.margin < 0) {
        EXPECT_LE(std::abs(g.glyphSide - g.captionSide), 1);
    } else if (c.spacing < 0) {
        EXPECT_GE(g.captionSide - g.between, 0);
        EXPECT_LE(g.captionSide - g.between, 1);
    }
}

std::vector<BothCase> AllBothCases()
{
    std::vector<BothCase> cases;
    for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom})
        for (int margin : {-1, 0, 5})
            for (int spacing : {-1, 0, 3})
                cases.push_back({layout, margin, spacing});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, FlatLayoutGlyphAndCaption, ::testing::ValuesIn(AllBothCases()),
                         [](const auto& info) {
                             const BothCase& c = info.param;
                             return std::string(LayoutName(c.layout)) + "Margin" + Auto(c.margin) + "Spacing" +
                                    Auto(c.spacing);
                         });

TEST(FlatLayout, CaptionOnlyIgnoresSpacing)
{
    MeasuringCanvas m;
    const TPoint text = m.TextSize("Abc");
    const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, 80, 60}, {0, 0}, blGlyphLeft, 7, 2, nullptr, 1, "Abc");
    EXPECT_EQ(l.CaptionArea, Bounds(2, (60 - text.y + 1) / 2, text.x, text.y));
}

TEST(FlatLayout, GlyphCellIsTheTruncatedShareOfTheStrip)
{
    MeasuringCanvas m;
    const TBitmap strip(25, 8);
    struct {
        int count;
        int cellWidth;
    } const cases[] = {{4, 6}, {3, 8}, {1, 25}, {0, 25}, {-2, 25}};
    for (const auto& c : cases) {
        const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, 60, 40}, {0, 0}, blGlyphTop, 0, 0, &strip, c.count, "");
        EXPECT_EQ(l.GlyphOrigin.x, (60 - c.cellWidth + 1) / 2) << "count " << c.count;
    }
}

TEST(FlatLayout, EmptyGlyphBitmapCountsAsNoGlyph)
{
    MeasuringCanvas m;
    const TBitmap empty;
    const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, 60, 40}, {0, 0}, blGlyphLeft, 4, -1, &empty, 1, "");
    EXPECT_EQ(l.GlyphOrigin, (TPoint{30, 20}));
}

TEST(FlatLayout, OversizeGlyphKeepsNegativeMarginsTruncatedTowardZero)
{
    MeasuringCanvas m;
    const TBitmap wide(80, 8);
    // (60 - 80 + 1) / 2 is -9 (not -10): integer division truncates toward zero.
    const auto l = LayoutGlyphAndCaption(m.canvas, {0, 0, 60, 40}, {0, 0}, blGlyphLeft, -1, -1, &wide, 1, "");
    EXPECT_EQ(l.GlyphOrigin.x, -9);
    const auto empty = LayoutGlyphAndCaption(m.canvas, {0, 0, 0, 0}, {0, 0}, blGlyphTop, -1, -1, &wide, 1, "");
    EXPECT_EQ(empty.GlyphOrigin, (TPoint{-39, -3}));
}

struct OverlapCase {
    TRect a;
    TRect b;
    bool overlap;
};

TEST(FlatRects, OverlapNeedsASharedPixel)
{
    const OverlapCase cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true},  {{0, 0, 10, 10}, {10, 0, 20, 10}, false},
        {{0, 0, 10, 10}, {2, 2, 3, 3}, true},    {{0, 0, 10, 10}, {0, 10, 10, 20}, false},
        {{0, 0, 10, 10}, {3, 3, 3, 8}, false},   {{10, 10, 0, 0}, {0, 0, 10, 10}, false},
        {{-5, -5, 1, 1}, {0, 0, 4, 4}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RectsOverlap(c.a, c.b), c.overlap) << c.a.Left << "," << c.a.Top << " " << c.b.Left;
        EXPECT_EQ(RectsOverlap(c.b, c.a), c.overlap);
    }
}

}  // namespace
