// Text output on the canvas: TextOut, measuring, DrawText layout and flags.
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
const QString kBlock(QChar(0x2588)); // a full block: plenty of ink

// Bounding box of every pixel that is not white, or nothing.
std::optional<TRect> InkBox(const QImage& img, std::uint32_t background = kWhite)
{
    std::optional<TRect> box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) == background)
                continue;
            if (!box)
                box = TRect{x, y, x + 1, y + 1};
            box->Left = std::min(box->Left, x);
            box->Top = std::min(box->Top, y);
            box->Right = std::max(box->Right, x + 1);
            box->Bottom = std::max(box->Bottom, y + 1);
        }
    return box;
}

int CountPixels(const QImage& img, std::uint32_t px)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == px;
    return n;
}

// A white bitmap whose canvas draws black text on a transparent background
// with a 13-pixel sans font.
struct TextBitmap {
    explicit TextBitmap(int w = 160, int h = 80) : bmp(w, h)
    {
        c().Font().SetName("Arial");
        c().Font().SetHeight(-13);
        c().Font().SetColor(clBlack);
        c().SetBkMode(bkTransparent);
    }
    TCanvas& c() { return bmp.Canvas(); }
    const QImage& img() const { return bmp.Image(); }
    TBitmap bmp;
};

// Draws with DrawText on one bitmap and with TextOut at the expected place on
// another; the two must be the same picture.
void ExpectDrawTextAt(const QString& s, TRect r, unsigned flags, TPoint expected, const char* what,
                      TPoint origin = {})
{
    TextBitmap a;
    TextBitmap b;
    a.c().SetViewportOrg(origin);
    b.c().SetViewportOrg(origin);
    a.c().DrawText(s, r, flags);
    b.c().TextOut(expected.x, expected.y, s);
    ASSERT_TRUE(InkBox(b.img()).has_value()) << what;
    EXPECT_TRUE(a.img() == b.img()) << what;
}

} // namespace

TEST(TextOut, TransparentLeavesTheBackgroundOpaqueFillsTheCell)
{
    for (TBkMode mode : {bkTransparent, bkOpaque}) {
        TextBitmap t;
        t.c().SetBkMode(mode);
        t.c().SetBkColor(clRed);
        t.c().TextOut(10, 20, "i i");
        const int w = t.c().TextWidth("i i");
        const int h = t.c().GetTextMetrics().tmHeight;
        const int red = CountPixels(t.img(), 0xFFFF0000u);
        const int black = CountPixels(t.img(), 0xFF000000u);
        EXPECT_GT(black, 0);
        if (mode == bkTransparent) {
            EXPECT_EQ(red, 0);
        } else {
            // The cell holds only background and ink; nothing outside it.
            EXPECT_EQ(red + black, w * h);
            EXPECT_EQ(InkBox(t.img()), (TRect{10, 20, 10 + w, 20 + h}));
        }
        // One colour each: glyphs are not antialiased.
        EXPECT_EQ(red + black + CountPixels(t.img(), kWhite), t.img().width() * t.img().height());
    }
}

TEST(TextOut, DrawingTwiceChangesNothing)
{
    TextBitmap once;
    TextBitmap twice;
    once.c().TextOut(3, 3, "Ладотон ДО");
    twice.c().TextOut(3, 3, "Ладотон ДО");
    twice.c().TextOut(3, 3, "Ладотон ДО");
    EXPECT_TRUE(once.img() == twice.img());
}

TEST(TextOut, TextColourFollowsTheFontUntilSetDirectly)
{
    TextBitmap t;
    t.c().Font().SetColor(clBlue);
    EXPECT_EQ(t.c().TextColor(), clBlue);
    t.c().TextOut(0, 0, kBlock);
    EXPECT_EQ(t.img().pixel(2, 8), 0xFF0000FFu);
    t.c().SetTextColor(clRed);
    t.c().TextOut(0, 0, kBlock);
    EXPECT_EQ(t.img().pixel(2, 8), 0xFFFF0000u);
    t.c().Font().SetColor(clLime);
    t.c().TextOut(0, 0, kBlock);
    EXPECT_EQ(t.img().pixel(2, 8), 0xFF00FF00u);
    EXPECT_EQ(t.c().TextColor(), clLime);
    // Other font changes keep an explicit text colour.
    t.c().SetTextColor(clRed);
    t.c().Font().SetHeight(-14);
    EXPECT_EQ(t.c().TextColor(), clRed);
    // A font taken over wholesale, then an explicit colour: the explicit one
    // draws (the order painting code uses).
    TFont other;
    other.SetColor(clGray);
    t.c().Font().Assign(other);
    EXPECT_EQ(t.c().TextColor(), clGray);
    t.c().SetTextColor(clBlue);
    t.c().TextOut(0, 0, kBlock);
    EXPECT_EQ(t.img().pixel(2, 8), 0xFF0000FFu);
}

TEST(TextOut, ViewportOriginMovesTheText)
{
    TextBitmap plain;
    TextBitmap moved;
    plain.c().TextOut(10, 5, "Ab");
    moved.c().SetViewportOrg({7, 3});
    moved.c().TextOut(3, 2, "Ab");
    EXPECT_TRUE(plain.img() == moved.img());
}

TEST(TextOut, EmptyAndHugeTextsAreMeasuredAndDrawn)
{
    TextBitmap t;
    EXPECT_EQ(t.c().TextWidth(""), 0);
    t.c().TextOut(0, 0, "");
    EXPECT_FALSE(InkBox(t.img()).has_value());

    const QString huge = QString("ab cd ").repeated(100000 / 6);
    const int w = t.c().TextWidth(huge);
    EXPECT_EQ(w, t.c().TextWidth("ab cd ") * (100000 / 6));
    t.c().TextOut(-5000, 10, huge);
    EXPECT_TRUE(InkBox(t.img()).has_value());
    TRect r{0, 0, 150, 0};
    const int h = t.c().DrawText(huge, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GT(h, 1000 * t.c().GetTextMetrics().tmHeight);
    EXPECT_LE(r.Right, 150);
    TRect d{0, 0, 150, 80};
    t.c().DrawText(huge, d, DT_WORDBREAK);
    t.c().DrawText(huge, d, DT_WORDBREAK | DT_NOCLIP | DT_CENTER);
}

TEST(TextOut, ExtremeCoordinatesNeverOverflow)
{
    const int lo = std::numeric_limits<int>::min();
    const int hi = std::numeric_limits<int>::max();
    const TRect rects[] = {{lo, lo, hi, hi}, {hi - 5, hi - 5, hi, hi}, {lo, lo, lo + 5, lo + 5},
                           {hi, hi, lo, lo}, {lo, 0, hi, 20},         {-10, lo, 40, hi}};
    const TPoint origins[] = {{0, 0}, {hi, hi}, {lo, lo}};
    const unsigned flagSets[] = {DT_CENTER | DT_VCENTER | DT_SINGLELINE, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE,
                                 DT_WORDBREAK | DT_END_ELLIPSIS, DT_CENTER | DT_NOCLIP, DT_CALCRECT | DT_WORDBREAK,
                                 DT_CALCRECT | DT_SINGLELINE};
    for (const TPoint& org : origins) {
        TextBitmap t(20, 20);
        t.c().SetViewportOrg(org);
        t.c().TextOut(lo, hi, "x y");
        t.c().TextOut(hi, lo, "x y");
        t.c().SetTextJustification(hi, 1);
        t.c().TextOut(0, 0, "x y z");
        EXPECT_GE(t.c().TextWidth("x y z"), t.c().TextWidth("xyz"));
        t.c().SetTextJustification(0, 0);
        for (const TRect& rect : rects)
            for (unsigned flags : flagSets) {
                TRect r = rect;
                t.c().DrawText("a b\nc", r, flags);
                TRect e = rect;
                t.c().DrawText("", e, flags);
            }
    }
}

TEST(TextOut, NoImageDrawsNothingButStillMeasures)
{
    TCanvas c(nullptr);
    c.TextOut(0, 0, "x");
    TRect r{0, 0, 100, 100};
    c.DrawText("x y", r, DT_WORDBREAK);
    EXPECT_GT(c.TextWidth("x"), 0);
}

TEST(TextJustification, ExtraPixelsWidenTheLineExactly)
{
    TextBitmap t;
    const int plain = t.c().TextWidth("a b c d");
    const int c0 = t.c().TextWidth("a b c ");
    const int ab = t.c().TextWidth("a b");
    t.c().SetTextJustification(10, 3);
    EXPECT_EQ(t.c().TextWidth("a b c d"), plain + 10);
    // 10 over 3 blanks: 4, 3, 3, so the last word moves by all 10.
    EXPECT_EQ(t.c().TextWidth("a b c "), c0 + 10);
    EXPECT_EQ(t.c().TextWidth("a b"), ab + 4);
    t.c().TextOut(0, 0, "a b c " + kBlock);
    const auto justified = InkBox(t.img());
    t.c().SetTextJustification(0, 0);
    EXPECT_EQ(t.c().TextWidth("a b c d"), plain);

    TextBitmap u;
    u.c().TextOut(0, 0, "a b c " + kBlock);
    ASSERT_TRUE(justified && InkBox(u.img()));
    EXPECT_EQ(justified->Right, InkBox(u.img())->Right + 10);
}

TEST(TextRotation, NinetyDegreesRunsUpFromTheStartPoint)
{
    TextBitmap t(80, 160);
    TLogFont lf = t.c().Font().ToLogFont();
    lf.lfEscapement = 900;
    lf.lfOrientation = 900;
    auto font = CreateFontIndirect(lf);
    t.c().SelectFont(font.get());
    const int w = t.c().TextWidth(kBlock + kBlock + kBlock + kBlock);
    const int h = t.c().GetTextMetrics().tmHeight;
    t.c().TextOut(20, 140, kBlock + kBlock + kBlock + kBlock);
    const auto box = InkBox(t.img());
    ASSERT_TRUE(box);
    EXPECT_LE(box->Bottom, 141);
    EXPECT_GE(box->Top, 140 - w - 1);
    EXPECT_GE(box->Left, 19);
    EXPECT_LE(box->Right, 20 + h + 1);
    EXPECT_GT(box->Height(), 2 * box->Width());
    t.c().SelectFont(nullptr);
}

TEST(DrawTextLayout, CalcRectCountsLinesAndTheWidestOne)
{
    TextBitmap t;
    const int lh = t.c().GetTextMetrics().tmHeight;
    const struct {
        const char* text;
        int lines;
        const char* widest;
    } cases[] = {
        {"ab", 1, "ab"},
        {"ab\ncd", 2, "ab"},
        {"ab\r\ncdef\rg\n\rh", 4, "cdef"},
        {"a\r\rb", 3, "a"},      // CR CR ends two lines
        {"a\n\nb", 3, "a"},
        {"ab\r\n", 1, "ab"},     // a final line end adds no empty line
        {"\n", 1, ""},
    };
    for (const auto& c : cases) {
        TRect r{5, 7, 6, 8};
        const int h = t.c().DrawText(c.text, r, DT_CALCRECT);
        EXPECT_EQ(h, c.lines * lh) << c.text;
        EXPECT_EQ(r, (TRect{5, 7, 5 + t.c().TextWidth(c.widest), 7 + c.lines * lh})) << c.text;
    }
    TRect single{5, 7, 6, 8};
    t.c().DrawText("ab\ncd", single, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(single.Bottom, 7 + lh);
}

TEST(DrawTextLayout, EmptyStringCalcRect)
{
    TextBitmap t;
    const int lh = t.c().GetTextMetrics().tmHeight;
    TRect r{3, 4, 50, 60};
    EXPECT_EQ(t.c().DrawText("", r, DT_CALCRECT), 0);
    EXPECT_EQ(r, (TRect{3, 4, 3, 4}));
    TRect s{3, 4, 50, 60};
    EXPECT_EQ(t.c().DrawText("", s, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(s, (TRect{3, 4, 3, 4 + lh}));
}

TEST(DrawTextLayout, WordBreakKeepsOrDropsTheBreakingBlank)
{
    TextBitmap t;
    const int lh = t.c().GetTextMetrics().tmHeight;
    auto W = [&t](const char* s) { return t.c().TextWidth(s); };
    const struct {
        int rectWidth;
        unsigned align;
        int lines;
        int widest;
    } cases[] = {
        // Room for "aaa bbb" but not its blank: the blank is consumed.
        {W("aaa bbb") + 1, DT_LEFT, 2, W("aaa bbb")},
        // Room for "aaa bbb ": a left-aligned line keeps the blank ...
        {W("aaa bbb "), DT_LEFT, 2, W("aaa bbb ")},
        // ... a centred or right-aligned one drops it.
        {W("aaa bbb "), DT_CENTER, 2, W("aaa bbb")},
        {W("aaa bbb "), DT_RIGHT, 2, W("aaa bbb")},
        {W("aaa bbb c"), DT_LEFT, 2, W("aaa bbb ")},
        // A word wider than the rectangle overflows whole.
        {W("a"), DT_LEFT, 3, W("ccc")},
        {0, DT_LEFT, 3, W("ccc")},
        {W("aaa bbb ccc"), DT_LEFT, 1, W("aaa bbb ccc")},
    };
    for (const auto& c : cases) {
        TRect r{0, 0, c.rectWidth, 0};
        EXPECT_EQ(t.c().DrawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK | c.align), c.lines * lh)
            << c.rectWidth << " " << c.align;
        EXPECT_EQ(r.Right, c.widest) << c.rectWidth << " " << c.align;
    }
    // Hard line ends still count, and a single line never wraps.
    TRect r{0, 0, W("aaa"), 0};
    EXPECT_EQ(t.c().DrawText("aaa bbb\nccc", r, DT_CALCRECT | DT_WORDBREAK), 3 * lh);
    TRect s{0, 0, W("aaa"), 0};
    EXPECT_EQ(t.c().DrawText("aaa bbb", s, DT_CALCRECT | DT_WORDBREAK | DT_SINGLELINE), lh);
    EXPECT_EQ(s.Right, W("aaa bbb"));
}

TEST(DrawTextLayout, WrappedLinesStackOneLineHeightApart)
{
    TextBitmap a;
    TextBitmap b;
    const int lh = a.c().GetTextMetrics().tmHeight;
    TRect r{4, 2, 4 + a.c().TextWidth("Ab Cd"), 80};
    a.c().DrawText("Ab Cd Ef", r, DT_WORDBREAK);
    b.c().TextOut(4, 2, "Ab Cd");
    b.c().TextOut(4, 2 + lh, "Ef");
    EXPECT_TRUE(a.img() == b.img());
}

TEST(DrawTextPlacement, AlignmentFlagsUseIntegerArithmetic)
{
    TextBitmap t;
    const int w = t.c().TextWidth(kBlock);
    const int h = t.c().GetTextMetrics().tmHeight;
    const TRect r{10, 5, 10 + w + 21, 5 + h + 17}; // odd slack both ways
    const unsigned nc = DT_NOCLIP; // clipping has its own test
    ExpectDrawTextAt(kBlock, r, nc | DT_LEFT, {10, 5}, "left");
    ExpectDrawTextAt(kBlock, r, nc | DT_CENTER, {(r.Left + r.Right - w) / 2, 5}, "center");
    ExpectDrawTextAt(kBlock, r, nc | DT_RIGHT, {r.Right - w, 5}, "right");
    ExpectDrawTextAt(kBlock, r, nc | DT_VCENTER | DT_SINGLELINE, {10, 5 + (h + 17) / 2 - h / 2}, "vcenter");
    ExpectDrawTextAt(kBlock, r, nc | DT_BOTTOM | DT_SINGLELINE, {10, r.Bottom - h}, "bottom");
    // Without DT_SINGLELINE the vertical flags do nothing.
    ExpectDrawTextAt(kBlock, r, nc | DT_VCENTER, {10, 5}, "vcenter alone");
    ExpectDrawTextAt(kBlock, r, nc | DT_BOTTOM, {10, 5}, "bottom alone");
    // Centring truncates toward zero, also left of the origin: -7 / 2 is -3.
    const TRect neg{-8 - w, 5, 1, 40};
    ASSERT_EQ((neg.Left + neg.Right - w) % 2, -1);
    ExpectDrawTextAt(kBlock, neg, nc | DT_CENTER, {(neg.Left + neg.Right - w) / 2, 5}, "negative", {60, 0});
}

TEST(DrawTextPlacement, ClipsToTheRectangleUnlessNoClip)
{
    TextBitmap clipped;
    TextBitmap free;
    const QString s = kBlock + kBlock + kBlock + kBlock;
    TRect r{10, 10, 10 + clipped.c().TextWidth(kBlock), 10 + 4};
    clipped.c().DrawText(s, r, DT_LEFT);
    free.c().DrawText(s, r, DT_NOCLIP);
    const auto inClip = InkBox(clipped.img());
    const auto outside = InkBox(free.img());
    ASSERT_TRUE(inClip && outside);
    EXPECT_GE(inClip->Left, r.Left);
    EXPECT_LE(inClip->Right, r.Right);
    EXPECT_GE(inClip->Top, r.Top);
    EXPECT_LE(inClip->Bottom, r.Bottom);
    EXPECT_GT(outside->Right, r.Right + 10);
    EXPECT_GT(outside->Bottom, r.Bottom);
}

TEST(DrawTextPlacement, ClippedOutputStopsAfterTheLineCrossingTheBottom)
{
    TextBitmap t;
    const int lh = t.c().GetTextMetrics().tmHeight;
    TRect r{0, 0, 100, lh + lh / 2};
    EXPECT_EQ(t.c().DrawText("a\nb\nc\nd", r, DT_LEFT), 2 * lh);
    TRect n{0, 0, 100, lh + lh / 2};
    EXPECT_EQ(t.c().DrawText("a\nb\nc\nd", n, DT_NOCLIP), 4 * lh);
}

TEST(DrawTextPrefix, AmpersandsAreMeasuredAsShown)
{
    TextBitmap t;
    auto calcWidth = [&t](const QString& s, unsigned flags) {
        TRect r{0, 0, 0, 0};
        t.c().DrawText(s, r, DT_CALCRECT | flags);
        return r.Right;
    };
    const struct {
        const char* text;
        unsigned flags;
        const char* shown;
    } cases[] = {
        {"&&a", 0, "&a"},    {"&a", 0, "a"},      {"a&", 0, "a&"},  {"a&&&b", 0, "a&b"},
        {"&&a", DT_NOPREFIX, "&&a"}, {"&a", DT_NOPREFIX, "&a"}, {"x&\ny", 0, "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(calcWidth(c.text, c.flags), t.c().TextWidth(c.shown)) << c.text;
}

TEST(DrawTextPrefix, PrefixedCharacterIsUnderlined)
{
    TextBitmap prefixed;
    TextBitmap plain;
    TRect r{10, 10, 100, 40};
    prefixed.c().DrawText("a&xa", r, DT_LEFT);
    plain.c().TextOut(10, 10, "axa");
    const int row = 10 + plain.c().GetTextMetrics().tmAscent + 1;
    const int from = 10 + plain.c().TextWidth("a");
    const int to = 10 + plain.c().TextWidth("ax") - 1;
    // The only difference is a one-pixel line under the x, one pixel short of
    // its advance.
    for (int y = 0; y < plain.img().height(); ++y)
        for (int x = 0; x < plain.img().width(); ++x) {
            const bool underline = y == row && x >= from && x < to;
            EXPECT_EQ(prefixed.img().pixel(x, y), underline ? 0xFF000000u : plain.img().pixel(x, y))
                << x << "," << y;
        }
    // "&&" underlines nothing; DT_NOPREFIX shows both ampersands.
    TextBitmap doubled;
    TextBitmap literal;
    doubled.c().DrawText("a&&x", r, DT_LEFT);
    literal.c().TextOut(10, 10, "a&x");
    EXPECT_TRUE(doubled.img() == literal.img());
    TextBitmap noprefix;
    TextBitmap both;
    noprefix.c().DrawText("a&&x", r, DT_NOPREFIX);
    both.c().TextOut(10, 10, "a&&x");
    EXPECT_TRUE(noprefix.img() == both.img());
}

TEST(DrawTextEllipsis, OverWideLineEndsInDotsThatFit)
{
    TextBitmap t;
    const QString s = "Instructions of the exercise";
    const int room = t.c().TextWidth("Instructions of") + 2;
    TRect calc{0, 0, room, 0};
    t.c().DrawText(s, calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(calc.Right, room);
    int keep = int(s.size());
    while (keep > 0 && t.c().TextWidth(s.left(keep) + "...") > room)
        --keep;
    EXPECT_EQ(calc.Right, t.c().TextWidth(s.left(keep) + "..."));
    ExpectDrawTextAt(s.left(keep) + "...", TRect{0, 0, 160, 20}, DT_LEFT, {0, 0}, "reference");
    TextBitmap a;
    TextBitmap b;
    TRect r{0, 0, room, 20};
    a.c().DrawText(s, r, DT_SINGLELINE | DT_END_ELLIPSIS);
    b.c().TextOut(0, 0, s.left(keep) + "...");
    EXPECT_TRUE(a.img() == b.img());
    // A line that fits is left alone.
    TRect wide{0, 0, 500, 0};
    t.c().DrawText(s, wide, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(wide.Right, t.c().TextWidth(s));
}

TEST(DrawTextEllipsis, LastVisibleLineAnnouncesMoreText)
{
    TextBitmap a;
    TextBitmap b;
    const int lh = a.c().GetTextMetrics().tmHeight;
    // The second line crosses the bottom, so it is the last one shown.
    TRect r{0, 0, 150, lh + lh / 2};
    a.c().DrawText("first\nsecond\nthird", r, DT_END_ELLIPSIS);
    b.c().DrawText("first\nsecond...", r, DT_LEFT);
    EXPECT_TRUE(a.img() == b.img());
    EXPECT_TRUE(InkBox(a.img()).has_value());
}
