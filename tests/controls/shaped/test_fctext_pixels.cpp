// Pixel probes of drawn captions. Probes are placed relative to the solid
// core of a block character (U+2588) drawn alone first, so they do not
// depend on this machine's font metrics.
#include "tests/controls/shaped/FcTextTestUtil.h"

#include <gtest/gtest.h>

namespace {

const QString kBlock = QStringLiteral("█");

TColor Px(const TBitmap& b, int x, int y)
{
    return PixelToColor(b.Image().pixel(x, y));
}

// Bounding box of the pixels of exactly colour c.
TRect CoreOf(const TBitmap& b, TColor c)
{
    TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (Px(b, x, y) == c)
                r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.IsEmpty() ? TRect{} : r;
}

int CountIn(const TBitmap& b, const TRect& area, TColor c)
{
    int n = 0;
    for (int y = std::max(0, area.Top); y < std::min(b.Height(), area.Bottom); ++y)
        for (int x = std::max(0, area.Left); x < std::min(b.Width(), area.Right); ++x)
            n += Px(b, x, y) == c ? 1 : 0;
    return n;
}

// One block character, centred on a white canvas, face green.
class BlockCaption : public testing::Test {
protected:
    void SetUp() override
    {
        font.SetName(QStringLiteral("Arial"));
        font.SetHeight(-20);
        font.SetColor(clGreen);
        caption.SetText(kBlock);
        caption.SetAlignment(taCenter);
        caption.SetVAlignment(vaVCenter);
        Draw();
        face = CoreOf(bmp, clGreen);
        plainRect = caption.TextRect();
        ASSERT_GE(face.Width(), 4);
        ASSERT_GE(face.Height(), 4);
        caption.SetStyle(fclsDefault);
    }
    void Draw()
    {
        bmp.Image().fill(0xFFFFFFFFu);
        caption.SetBoundsRect({0, 0, bmp.Width(), bmp.Height()});
        caption.Draw();
    }
    int MidX() const { return (face.Left + face.Right) / 2; }
    int MidY() const { return (face.Top + face.Bottom) / 2; }

    TBitmap bmp{48, 48};
    TFont font;
    bool enabled = true;
    TfcCaptionText caption{&font, &bmp.Canvas(), {}, {}, [this] { return enabled; }};
    TRect face;       // the solid core of the face drawn alone
    TRect plainRect;  // and its caption rectangle
};

}  // namespace

// Light from the top left: which copy shows one pixel beyond each side of
// the face.
TEST_F(BlockCaption, ReliefCopiesLieOnePixelOffTheFace)
{
    struct Case {
        const char* name;
        TfcTextStyle style;
        bool enabled;
        TColor highlight;
        TColor shade;
        TColor upLeft;
        TColor downRight;
        TColor faceColor;
    };
    const Case cases[] = {
        {"raised", fclsRaised, true, clRed, clBlue, clRed, clBlue, clGreen},
        {"lowered", fclsLowered, true, clRed, clBlue, clBlue, clRed, clGreen},
        {"raised without highlight", fclsRaised, true, clNone, clBlue, clWhite, clBlue, clGreen},
        {"raised without shade", fclsRaised, true, clRed, clNone, clRed, clWhite, clGreen},
        // Disabled: the light copy is never drawn; dark copy and face in the
        // disabled shade colour.
        {"disabled raised", fclsRaised, false, clRed, clBlue, clWhite, clNavy, clNavy},
        // A disabled flat caption is drawn lowered: light copy down-right.
        {"disabled flat", fclsDefault, false, clRed, clBlue, clWhite, clYellow, clNavy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        caption.SetStyle(c.style);
        caption.SetHighlightColor(c.highlight);
        caption.SetShadeColor(c.shade);
        caption.DisabledColors().SetShadeColor(clNavy);
        caption.DisabledColors().SetHighlightColor(clYellow);
        enabled = c.enabled;
        Draw();
        EXPECT_EQ(Px(bmp, MidX(), MidY()), c.faceColor);
        EXPECT_EQ(Px(bmp, face.Left - 1, MidY()), c.upLeft);
        EXPECT_EQ(Px(bmp, MidX(), face.Top - 1), c.upLeft);
        EXPECT_EQ(Px(bmp, face.Right, MidY()), c.downRight);
        EXPECT_EQ(Px(bmp, MidX(), face.Bottom), c.downRight);
        EXPECT_EQ(Px(bmp, face.Right + 1, MidY()), clWhite);
        EXPECT_EQ(Px(bmp, face.Left - 2, MidY()), clWhite);
    }
}

TEST_F(BlockCaption, OutlineSurroundsTheFaceOnAllEightSides)
{
    caption.SetStyle(fclsOutline);
    caption.SetOutlineColor(clRed);
    Draw();
    EXPECT_EQ(caption.TextRect().TopLeft(), plainRect.TopLeft()) << "the outline does not move the caption";
    // (Centred in a rectangle 2 pixels wider, the glyph itself moves by 1.)
    face = CoreOf(bmp, clGreen);
    const int l = face.Left - 1, r = face.Right, t = face.Top - 1, b = face.Bottom;
    const TPoint around[] = {{l, t}, {MidX(), t}, {r, t}, {l, MidY()}, {r, MidY()}, {l, b}, {MidX(), b}, {r, b}};
    for (TPoint p : around)
        EXPECT_EQ(Px(bmp, p.x, p.y), clRed) << p.x << "," << p.y;
    EXPECT_EQ(Px(bmp, l - 1, MidY()), clWhite);
    EXPECT_EQ(Px(bmp, r + 1, MidY()), clWhite);
}

// A shadow moves the caption by half its offset (truncated); with an
// extrusion to the bottom right it adds nothing, yet is drawn where stored.
// Only the rectangle is compared: centring in a larger rectangle may move the
// glyph within it.
TEST_F(BlockCaption, ShadowOffsetsMoveTheFaceByHalf)
{
    struct Case {
        int x;
        int y;
        bool extrusion;
        TPoint faceMove;
    };
    const Case cases[] = {{1, 1, false, {0, 0}}, {4, 6, false, {-2, -3}}, {3, 3, true, {0, 0}}, {-4, 2, false, {2, -1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " extrusion " << c.extrusion);
        caption.Shadow().SetEnabled(true);
        caption.Shadow().SetColor(clRed);
        caption.Shadow().SetXOffset(c.x);
        caption.Shadow().SetYOffset(c.y);
        caption.ExtrudeEffects().SetEnabled(c.extrusion);
        caption.ExtrudeEffects().SetDepth(0);
        Draw();
        EXPECT_EQ(caption.TextRect().TopLeft(), plainRect.TopLeft() + c.faceMove);
        const TRect moved = CoreOf(bmp, clGreen);
        EXPECT_EQ(moved.Width(), face.Width());
        EXPECT_EQ(moved.Top, face.Top + c.faceMove.y);
        // The shadow's far corner shows beyond the face.
        const int sx = c.x > 0 ? moved.Right - 1 + c.x : moved.Left + c.x;
        const int sy = c.y > 0 ? moved.Bottom - 1 + c.y : moved.Top + c.y;
        EXPECT_EQ(Px(bmp, sx, sy), clRed);
    }
}

TEST_F(BlockCaption, AnEmptyCaptionDrawsNothing)
{
    caption.SetText(QString());
    for (TfcTextStyle s : {fclsDefault, fclsLowered, fclsRaised, fclsOutline}) {
        caption.SetStyle(s);
        caption.Shadow().SetEnabled(true);
        caption.ExtrudeEffects().SetEnabled(s == fclsRaised);
        Draw();
        EXPECT_EQ(CountIn(bmp, {0, 0, 48, 48}, clWhite), 48 * 48) << int(s);
    }
}

TEST_F(BlockCaption, BufferedDrawLooksTheSame)
{
    caption.SetStyle(fclsRaised);
    caption.Shadow().SetEnabled(true);
    caption.Shadow().SetXOffset(1);
    caption.Shadow().SetYOffset(1);
    Draw();
    const QImage direct = bmp.Image().copy();
    caption.SetDoubleBuffered(true);
    Draw();
    EXPECT_EQ(bmp.Image(), direct);
}

// ---------------------------------------------------------------- lines

namespace {

// Starts of the runs of colour c along a row or a column.
std::vector<int> RunStarts(const TBitmap& b, TColor c, bool alongRow, int at)
{
    std::vector<int> starts;
    const int n = alongRow ? b.Width() : b.Height();
    bool in = false;
    for (int i = 0; i < n; ++i) {
        const bool hit = alongRow ? Px(b, i, at) == c : Px(b, at, i) == c;
        if (hit && !in)
            starts.push_back(i);
        in = hit;
    }
    return starts;
}

// The height of s laid out by the measuring call with the caption's font.
int LaidOutHeight(TfcText& t, TCanvas& c, const QString& s, int width)
{
    TLogFont lf;
    t.GetLogFont(lf);
    const auto f = CreateFontIndirect(lf);
    const THFont* before = c.SelectFont(f.get());
    TRect r{0, 0, width, 0};
    c.DrawText(s, r, t.DrawFlags() | DT_CALCRECT);
    c.SelectFont(before);
    return r.Height();
}

}  // namespace

TEST(FcTextLines, LinesFollowEachOtherByLineHeightPlusSpacing)
{
    for (int rotation : {0, 90}) {
        for (int spacing : {5, 12}) {
            SCOPED_TRACE(testing::Message() << "rotation " << rotation << " spacing " << spacing);
            TBitmap bmp(120, 120);
            bmp.Image().fill(0xFFFFFFFFu);
            TFont font;
            font.SetName(QStringLiteral("Arial"));
            font.SetHeight(-20);
            font.SetColor(clGreen);
            TfcCaptionText t(&font, &bmp.Canvas());
            t.SetText(kBlock + QStringLiteral("\r\n") + kBlock);
            t.SetAlignment(taCenter);
            t.SetVAlignment(vaVCenter);
            t.SetRotation(rotation);
            t.SetLineSpacing(spacing);
            t.SetBoundsRect({0, 0, 120, 120});
            t.Draw();
            const TRect ink = CoreOf(bmp, clGreen);
            ASSERT_FALSE(ink.IsEmpty());
            const int lh = LaidOutHeight(t, bmp.Canvas(), kBlock, t.TextRect().Width());
            // Unturned lines stack downwards; turned by 90 degrees they stack
            // to the right.
            const bool alongRow = rotation == 90;
            const int at = alongRow ? (ink.Top + ink.Bottom) / 2 : (ink.Left + ink.Right) / 2;
            const std::vector<int> starts = RunStarts(bmp, clGreen, alongRow, at);
            ASSERT_EQ(starts.size(), 2u);
            EXPECT_EQ(starts[1] - starts[0], lh + spacing);
        }
    }
}

TEST(FcTextLines, CentredLinesShareTheirCentre)
{
    TBitmap bmp(120, 120);
    bmp.Image().fill(0xFFFFFFFFu);
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-20);
    font.SetColor(clGreen);
    TfcCaptionText t(&font, &bmp.Canvas());
    t.SetText(kBlock + kBlock + kBlock + QStringLiteral("\r\n") + kBlock);
    t.SetAlignment(taCenter);
    t.SetVAlignment(vaVCenter);
    t.SetBoundsRect({0, 0, 120, 120});
    t.Draw();
    const TRect ink = CoreOf(bmp, clGreen);
    const int lh = LaidOutHeight(t, bmp.Canvas(), kBlock, t.TextRect().Width());
    const auto rowExtent = [&](int y) {
        int l = INT_MAX, r = INT_MIN;
        for (int x = 0; x < bmp.Width(); ++x)
            if (Px(bmp, x, y) == clGreen) {
                l = std::min(l, x);
                r = std::max(r, x + 1);
            }
        return std::pair{l, r};
    };
    const auto [l1, r1] = rowExtent(ink.Top + 2);
    const auto [l2, r2] = rowExtent(ink.Top + lh + 5 + 2);
    ASSERT_LT(l2, r2);
    EXPECT_GT(r1 - l1, 2 * (r2 - l2));
    EXPECT_NEAR(l1 + r1, l2 + r2, 2);
}

// ---------------------------------------------------------------- justified

namespace {

// Draws the caption's lines with the full-justified layout into a given
// rectangle, with the caption's own font selected meanwhile.
class Justified : public testing::Test {
protected:
    void SetUp() override
    {
        bmp.Image().fill(0xFFFFFFFFu);
        font.SetName(QStringLiteral("Arial"));
        font.SetHeight(-20);
        t.SetWordWrap(true);
        t.SetOptions({toShowAccel, toFullJustify});
        TLogFont lf;
        t.GetLogFont(lf);
        created = CreateFontIndirect(lf);
        previous = bmp.Canvas().SelectFont(created.get());
        bmp.Canvas().SetTextColor(clGreen);
    }
    void TearDown() override { bmp.Canvas().SelectFont(previous); }

    int W(const QString& s) { return bmp.Canvas().TextWidth(s); }
    int SampleHeight(int width)
    {
        TRect r{0, 0, std::max(5, width), 0};
        bmp.Canvas().DrawText(QStringLiteral("AgTpjW"), r, t.DrawFlags() | DT_CALCRECT);
        return r.Height();
    }
    void DrawLines(const QString& text, const TRect& r)
    {
        t.SetText(text);
        t.DrawTextLines(r);
    }
    // Green pixels inside line k (of height hs) of rectangle r; the block
    // glyph may overflow its line by a pixel or two.
    int InkInLine(const TRect& r, int hs, int k)
    {
        return CountIn(bmp, {r.Left, r.Top + k * hs + 3, r.Right + 4, r.Top + (k + 1) * hs - 3}, clGreen);
    }
    bool Ink(int x, int y) { return Px(bmp, x, y) == clGreen; }

    TBitmap bmp{200, 200};
    TFont font;
    TfcCaptionText t{&font, &bmp.Canvas()};
    std::unique_ptr<THFont> created;
    const THFont* previous = nullptr;
};

}  // namespace

TEST_F(Justified, LinesAreStretchedExceptTheLastOfAParagraph)
{
    const QString w2 = kBlock + kBlock;
    const QString sp = QStringLiteral(" ");
    // Room for "XX XX " but not for a third word.
    const int width = W(w2 + sp + w2 + sp) + W(w2);
    const TRect r{10, 10, 10 + width, 10 + 40};
    const int hs = SampleHeight(width);
    DrawLines(w2 + sp + w2 + sp + w2 + sp + w2, r);

    const int row1 = r.Top + hs / 2;
    const int row2 = r.Top + hs + hs / 2;
    // First line: the second word ends at the right edge.
    EXPECT_TRUE(Ink(r.Right - 2, row1));
    EXPECT_FALSE(Ink(r.Right - W(w2) - 2, row1)) << "the stretched blank";
    // Last line: natural width.
    EXPECT_TRUE(Ink(r.Left + W(w2 + sp + w2) - 2, row2));
    EXPECT_FALSE(Ink(r.Right - 2, row2));
    EXPECT_EQ(InkInLine(r, hs, 2), 0);
}

TEST_F(Justified, AWordWiderThanTheLineIsDroppedLeavingAnEmptyLine)
{
    const QString w2 = kBlock + kBlock;
    const QString w8 = w2 + w2 + w2 + w2;
    const int width = W(w2 + w2 + w2);
    const TRect r{10, 10, 10 + width, 10 + 60};
    const int hs = SampleHeight(width);
    DrawLines(w2 + QStringLiteral(" ") + w8 + QStringLiteral(" ") + w2, r);
    EXPECT_TRUE(Ink(r.Left + 2, r.Top + hs / 2));
    EXPECT_EQ(InkInLine(r, hs, 1), 0) << "the dropped word leaves its line empty";
    EXPECT_TRUE(Ink(r.Left + 2, r.Top + 2 * hs + hs / 2)) << "the leading blank is trimmed";
    EXPECT_EQ(CountIn(bmp, {r.Left + W(w2) + 1, 0, 200, 200}, clGreen), 0) << "no part of the long word";
}

TEST_F(Justified, ParagraphsAreSeparatedByLineSpacing)
{
    const QString w2 = kBlock + kBlock;
    t.SetLineSpacing(10);
    const TRect r{10, 10, 150, 100};
    const int hs = SampleHeight(r.Width());
    DrawLines(w2 + QStringLiteral("\n\n") + w2, r);
    EXPECT_TRUE(Ink(r.Left + 2, r.Top + hs / 2));
    EXPECT_FALSE(Ink(r.Left + 2, r.Top + hs + 5));
    EXPECT_TRUE(Ink(r.Left + 2, r.Top + hs + 10 + hs / 2));
}

// A paragraph gets at most (height div hs) + 3 lines.
TEST_F(Justified, LinesBeyondTheRectangleAreCut)
{
    const QString w2 = kBlock + kBlock;
    const QString sp = QStringLiteral(" ");
    const int width = W(w2 + sp) + W(w2);  // one word per line
    const int hs = SampleHeight(width);
    const TRect r{10, 10, 10 + width, 10 + hs};
    DrawLines(w2 + sp + w2 + sp + w2 + sp + w2 + sp + w2 + sp + w2, r);
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(InkInLine(r, hs, k), 0) << k;
    EXPECT_EQ(InkInLine(r, hs, 4), 0);
    EXPECT_EQ(InkInLine(r, hs, 5), 0);
}
