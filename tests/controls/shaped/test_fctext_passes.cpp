// Drawing passes of the caption renderer, recorded pass by pass (rectangle
// and colour), and the resources a draw holds: fonts, the canvas lock, the
// buffer bitmap.
#include "tests/controls/shaped/FcTextTestUtil.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Remembers where PrepareFont put the face, before any extrusion moved it.
class PassText : public RecordingText {
public:
    using RecordingText::RecordingText;
    void PrepareFont() override
    {
        RecordingText::PrepareFont();
        prepared = TextRect();
        fontDuringDraw = GetCanvas()->SelectedFont();
    }
    TRect prepared;
    const THFont* fontDuringDraw = nullptr;
};

struct Offset {
    int dx;
    int dy;
    TColor color;
};

struct PassCase {
    const char* name;
    bool enabled;
    std::function<void(TfcText&, TFont&)> configure;
    std::vector<Offset> expected;  // relative to the final face rectangle
};

void Shadow11(TfcText& t)
{
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(1);
    t.Shadow().SetYOffset(1);
}

std::vector<Offset> OutlinePasses(TColor outline, TColor face)
{
    std::vector<Offset> v;
    for (TPoint s : OrientationSteps)
        v.push_back({s.x, s.y, outline});
    v.push_back({0, 0, face});
    return v;
}

std::vector<Offset> WithShadowFirst(TColor shadow, std::vector<Offset> rest)
{
    rest.insert(rest.begin(), Offset{1, 1, shadow});
    return rest;
}

constexpr TColor kLightKey = 10930928;

const std::vector<PassCase>& PassCases()
{
    static const std::vector<PassCase> cases{
        {"white key: raised with shadow", true,
         [](TfcText& t, TFont& f) {
             t.SetStyle(fclsRaised);
             Shadow11(t);
             f.SetColor(cl3DDkShadow);
         },
         {{1, 1, clBtnShadow}, {-1, -1, clBtnHighlight}, {1, 1, clBtnShadow}, {0, 0, cl3DDkShadow}}},
        {"black key: outlined with shadow", true,
         [](TfcText& t, TFont& f) {
             t.SetStyle(fclsOutline);
             Shadow11(t);
             f.SetColor(kLightKey);
         },
         WithShadowFirst(clBtnShadow, OutlinePasses(clBlack, kLightKey))},
        {"octave arrow: the face alone", true, [](TfcText&, TFont& f) { f.SetColor(clWindowText); },
         {{0, 0, clWindowText}}},
        {"disabled flat looks lowered", false, [](TfcText&, TFont& f) { f.SetColor(clWindowText); },
         {{1, 1, clBtnHighlight}, {0, 0, clBtnShadow}}},
        {"disabled raised: no light copy", false,
         [](TfcText& t, TFont&) {
             t.SetStyle(fclsRaised);
             t.DisabledColors().SetShadeColor(clRed);
             t.DisabledColors().SetHighlightColor(clYellow);
         },
         {{1, 1, clRed}, {0, 0, clRed}}},
        {"lowered", true,
         [](TfcText& t, TFont& f) {
             t.SetStyle(fclsLowered);
             t.SetHighlightColor(clYellow);
             t.SetShadeColor(clNavy);
             f.SetColor(clGreen);
         },
         {{-1, -1, clNavy}, {1, 1, clYellow}, {0, 0, clGreen}}},
        {"raised without highlight", true,
         [](TfcText& t, TFont& f) {
             t.SetStyle(fclsRaised);
             t.SetHighlightColor(clNone);
             f.SetColor(clGreen);
         },
         {{1, 1, clBtnShadow}, {0, 0, clGreen}}},
        {"raised without shade", true,
         [](TfcText& t, TFont& f) {
             t.SetStyle(fclsRaised);
             t.SetShadeColor(clNone);
             f.SetColor(clGreen);
         },
         {{-1, -1, clBtnHighlight}, {0, 0, clGreen}}},
        {"disabled outline with shadow", false,
         [](TfcText& t, TFont&) {
             t.SetStyle(fclsOutline);
             Shadow11(t);
             t.DisabledColors().SetHighlightColor(clRed);
             t.DisabledColors().SetShadeColor(clBlue);
         },
         WithShadowFirst(clBlue, OutlinePasses(clBlue, clRed))},
        // clNone only drops relief copies; a shadow draws whatever it is given.
        {"shadow in clNone still drawn", true,
         [](TfcText& t, TFont& f) {
             t.Shadow().SetEnabled(true);
             t.Shadow().SetXOffset(3);
             t.Shadow().SetYOffset(-2);
             t.Shadow().SetColor(clNone);
             f.SetColor(clGreen);
         },
         {{3, -2, clNone}, {0, 0, clGreen}}},
    };
    return cases;
}

}  // namespace

TEST(FcTextPasses, StylesDrawTheirCopiesInOrder)
{
    TBitmap bmp(75, 150);
    for (const PassCase& c : PassCases()) {
        SCOPED_TRACE(c.name);
        TFont font;
        SetKeyFont(font);
        PassText t(&font, &bmp.Canvas());
        t.OnGetEnabled = [&] { return c.enabled; };
        t.SetText(QStringLiteral("ДО"));
        t.SetAlignment(taCenter);
        t.SetVAlignment(vaVCenter);
        t.SetBoundsRect({2, 2, 73, 148});
        c.configure(t, font);
        t.Draw();

        const TRect face = t.TextRect();
        EXPECT_EQ(face, t.prepared) << "nothing moved the face";
        std::vector<RecordingText::Pass> expected;
        for (const Offset& o : c.expected)
            expected.push_back({face.Offset(o.dx, o.dy), o.color});
        EXPECT_EQ(t.passes, expected);
    }
}

TEST(FcTextPasses, TheEmbossedStyleHoldsTheCanvasLockAndTheFontMeanwhile)
{
    TBitmap bmp(40, 40);
    TFont font;
    PassText t(&font, &bmp.Canvas());
    t.SetText(QStringLiteral("A"));
    t.SetBoundsRect({0, 0, 40, 40});
    t.SetRotation(30);
    std::vector<int> locks;
    std::vector<int> escapements;
    t.onPass = [&](RecordingText& r) {
        locks.push_back(r.GetCanvas()->LockCount());
        escapements.push_back(r.GetCanvas()->SelectedFont()->Escapement());
    };
    t.SetStyle(fclsRaised);
    t.Draw();
    EXPECT_EQ(locks, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(escapements, (std::vector<int>{300, 300, 300}));
    EXPECT_EQ(bmp.Canvas().LockCount(), 0);

    locks.clear();
    t.SetStyle(fclsOutline);
    t.Draw();
    EXPECT_EQ(locks, std::vector<int>(9, 0)) << "only the embossed style locks";
}

// ---------------------------------------------------------------- extrusion

TEST(FcTextExtrusion, StepsRunFromTheFarToTheNearColourUnderTheFace)
{
    struct Case {
        const char* name;
        TfcOrientation orientation;
        bool striated;
        TPoint startFromPrepared;  // where step 0 would lie
        std::vector<TColor> colors;
    };
    // Depth 3 from blue (far) to red (near): per channel (near - far) / (3 / i) + far.
    const Case cases[] = {
        {"bottom right", fcBottomRight, false, {2, 2}, {RGB(85, 0, 170), RGB(170, 0, 85), RGB(255, 0, 0)}},
        {"striated", fcBottomRight, true, {2, 2}, {RGB(85, 0, 170), RGB(42, 0, 21), RGB(255, 0, 0)}},
        {"top left", fcTopLeft, false, {0, 0}, {RGB(85, 0, 170), RGB(170, 0, 85), RGB(255, 0, 0)}},
        {"top", fcTop, false, {0, 0}, {RGB(85, 0, 170), RGB(170, 0, 85), RGB(255, 0, 0)}},
        {"right", fcRight, false, {2, 0}, {RGB(85, 0, 170), RGB(170, 0, 85), RGB(255, 0, 0)}},
    };
    TBitmap bmp(80, 80);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFont font;
        font.SetColor(clGreen);
        PassText t(&font, &bmp.Canvas());
        t.SetText(QStringLiteral("A"));
        t.SetBoundsRect({0, 0, 80, 80});
        t.SetAlignment(taCenter);
        t.SetVAlignment(vaVCenter);
        TfcExtrudeEffects& e = t.ExtrudeEffects();
        e.SetEnabled(true);
        e.SetDepth(3);
        e.SetNearColor(clRed);
        e.SetFarColor(clBlue);
        e.SetOrientation(c.orientation);
        e.SetStriated(c.striated);
        t.Draw();

        const TPoint s = OrientationSteps[c.orientation];
        const TRect start = t.prepared.Offset(c.startFromPrepared.x, c.startFromPrepared.y);
        std::vector<RecordingText::Pass> expected;
        for (int i = 1; i <= 3; ++i)
            expected.push_back({start.Offset(i * s.x, i * s.y), c.colors[std::size_t(i - 1)]});
        const TRect last = start.Offset(3 * s.x, 3 * s.y);
        expected.push_back({last, clGreen});
        EXPECT_EQ(t.TextRect(), last) << "the face covers the last step";
        EXPECT_EQ(t.passes, expected);
    }
}

TEST(FcTextExtrusion, ShadowIsDrawnAtItsStoredOffsetsThoughItAddsNoSize)
{
    TBitmap bmp(80, 80);
    TFont font;
    PassText t(&font, &bmp.Canvas());
    t.SetText(QStringLiteral("A"));
    t.SetBoundsRect({0, 0, 80, 80});
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(4);
    t.Shadow().SetYOffset(6);
    t.ExtrudeEffects().SetEnabled(true);
    t.ExtrudeEffects().SetDepth(0);
    EXPECT_EQ(t.Shadow().EffectiveOffset(), TPoint(0, 0));
    t.Draw();
    // Depth 0: no step, and the face stays where PrepareFont put it.
    EXPECT_EQ(t.TextRect(), t.prepared);
    ASSERT_EQ(t.passes.size(), 2u);
    EXPECT_EQ(t.passes[0].rect, t.prepared.Offset(4, 6));
    EXPECT_EQ(t.passes[1].rect, t.prepared);
}

// A depth of 10 000 would mean 10 000 text draws; only the steps that can
// reach the canvas are drawn, and the face still ends where the full run of
// steps would leave it.
TEST(FcTextExtrusion, DeepExtrusionDrawsOnlyWhatCanShow)
{
    TBitmap bmp(64, 64);
    TFont font;
    font.SetColor(clGreen);
    PassText t(&font, &bmp.Canvas());
    t.SetText(QStringLiteral("ДО"));
    t.SetBoundsRect({0, 0, 64, 64});
    t.ExtrudeEffects().SetEnabled(true);
    t.ExtrudeEffects().SetDepth(10000);
    t.ExtrudeEffects().SetNearColor(clRed);
    t.Draw();

    ASSERT_GE(t.passes.size(), 2u);
    EXPECT_LT(t.passes.size(), 1000u);
    // fcBottomRight starts 10 000 pixels down-right and steps back up-left.
    const TRect finalFace = t.prepared;
    EXPECT_EQ(t.TextRect(), finalFace);
    const std::size_t steps = t.passes.size() - 1;
    for (std::size_t k = 0; k < steps; ++k) {
        const int back = int(steps - 1 - k);  // steps before the last
        EXPECT_EQ(t.passes[k].rect, finalFace.Offset(back, back)) << k;
    }
    EXPECT_EQ(t.passes[steps - 1].color, clRed) << "the nearest step has the near colour";
    EXPECT_GE(t.passes[0].rect.Left, 64) << "the first drawn step lies off the canvas";
    EXPECT_EQ(t.passes.back(), (RecordingText::Pass{finalFace, clGreen}));
}

TEST(FcTextExtrusion, DepthExtremesStayBounded)
{
    TBitmap bmp(32, 32);
    TFont font;
    for (int depth : {INT_MAX, INT_MIN, -5, 1}) {
        for (TfcOrientation o : {fcTopLeft, fcBottomRight, fcTop, fcLeft}) {
            PassText t(&font, &bmp.Canvas());
            t.SetText(QStringLiteral("A"));
            t.SetBoundsRect({0, 0, 32, 32});
            t.SetStyle(fclsOutline);
            t.ExtrudeEffects().SetEnabled(true);
            t.ExtrudeEffects().SetDepth(depth);
            t.ExtrudeEffects().SetOrientation(o);
            t.Draw();
            EXPECT_LT(t.passes.size(), 2000u) << depth << " " << int(o);
        }
    }
}

// ---------------------------------------------------------------- resources

TEST(FcTextResources, BufferedDrawGoesThroughAnOffscreenCopy)
{
    TBitmap bmp(50, 30);
    TFont font;
    RecordingText t(&font, &bmp.Canvas());
    t.SetText(QStringLiteral("A"));
    t.SetBoundsRect({0, 0, 50, 30});
    t.SetDoubleBuffered(true);
    t.SetStyle(fclsRaised);
    int checked = 0;
    t.onPass = [&](RecordingText& r) {
        EXPECT_TRUE(r.Buffering());
        ASSERT_NE(r.BufferBitmap(), nullptr);
        EXPECT_EQ(r.GetCanvas(), &r.BufferBitmap()->Canvas());
        EXPECT_EQ(r.BufferBitmap()->Width(), 50);
        EXPECT_EQ(r.BufferBitmap()->Height(), 30);
        ++checked;
    };
    t.Draw();
    EXPECT_EQ(checked, 3);
    EXPECT_FALSE(t.Buffering());
    EXPECT_EQ(t.BufferBitmap(), nullptr);
    EXPECT_EQ(t.GetCanvas(), &bmp.Canvas());
}

// Whatever pass fails, the created font is released, the canvas gets its
// previous font and lock count back, and a buffered draw ends.
TEST(FcTextResources, AFailingPassReleasesEverything)
{
    TBitmap bmp(50, 30);
    TFont font;
    const auto sentinelFont = CreateFontIndirect(font.ToLogFont());
    bmp.Canvas().SelectFont(sentinelFont.get());
    const int fontsBefore = THFont::LiveCount();
    for (TfcTextStyle style : {fclsDefault, fclsLowered, fclsRaised, fclsOutline}) {
        for (bool buffered : {false, true}) {
            for (int failAt : {0, 1}) {
                SCOPED_TRACE(testing::Message() << int(style) << " " << buffered << " " << failAt);
                RecordingText t(&font, &bmp.Canvas());
                t.SetText(QStringLiteral("A"));
                t.SetBoundsRect({0, 0, 50, 30});
                t.SetStyle(style);
                t.SetDoubleBuffered(buffered);
                Shadow11(t);
                t.throwOnPass = failAt;
                EXPECT_THROW(t.Draw(), std::runtime_error);
                EXPECT_EQ(THFont::LiveCount(), fontsBefore);
                EXPECT_EQ(bmp.Canvas().SelectedFont(), sentinelFont.get());
                EXPECT_EQ(bmp.Canvas().LockCount(), 0);
                EXPECT_FALSE(t.Buffering());
                EXPECT_EQ(t.BufferBitmap(), nullptr);
            }
        }
    }
    bmp.Canvas().SelectFont(nullptr);
}

TEST(FcTextResources, ADrawLeavesTheCanvasAsItWas)
{
    TBitmap bmp(75, 150);
    TFont font;
    SetKeyFont(font);
    const int fontsBefore = THFont::LiveCount();
    for (bool buffered : {false, true}) {
        TfcCaptionText t(&font, &bmp.Canvas());
        t.SetText(QStringLiteral("ДО\r\nРЕ"));
        t.SetBoundsRect({2, 2, 73, 148});
        t.SetStyle(fclsRaised);
        t.SetDoubleBuffered(buffered);
        bmp.Canvas().SetBkMode(bkOpaque);
        t.Draw();
        EXPECT_EQ(THFont::LiveCount(), fontsBefore);
        EXPECT_EQ(bmp.Canvas().SelectedFont(), nullptr);
        EXPECT_EQ(bmp.Canvas().BkMode(), bkOpaque);
        EXPECT_EQ(bmp.Canvas().LockCount(), 0);
    }
}

// ---------------------------------------------------------------- bad input

TEST(FcTextBadInput, OddTextsRectanglesAndSettingsDrawWithoutFault)
{
    const QString thousands = QString(QStringLiteral("ДО РЕ МИ ")).repeated(250);
    const QString manyLines = QString(QStringLiteral("ДО\r\n")).repeated(300);
    const QString texts[] = {QString(), thousands, manyLines, QStringLiteral("&"), QStringLiteral("\r\n\n\n\r")};
    const TRect rects[] = {{0, 0, 0, 0},
                           {30, 30, 10, 5},
                           {-50, -50, -10, -10},
                           {-100000, -100000, 100000, 100000},
                           {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                           {0, 0, 40, 30}};
    TBitmap bmp(40, 30);
    TFont font;
    const int fontsBefore = THFont::LiveCount();
    for (const QString& text : texts) {
        for (const TRect& r : rects) {
            for (int variant = 0; variant < 4; ++variant) {
                TfcCaptionText t(&font, &bmp.Canvas());
                t.SetText(text);
                t.SetBoundsRect(r);
                t.SetStyle(TfcTextStyle(variant));
                t.SetRotation(variant == 1 ? INT_MIN : variant * 97);
                t.SetLineSpacing(variant == 2 ? -40 : INT_MAX / (variant + 1));
                t.SetWordWrap(variant >= 2);
                t.SetOptions({toShowAccel, toFullJustify, toShowEllipsis});
                t.SetDoubleBuffered(variant == 3);
                t.Shadow().SetEnabled(true);
                t.Shadow().SetXOffset(variant == 0 ? INT_MAX : -3);
                t.ExtrudeEffects().SetEnabled(variant % 2 == 1);
                t.ExtrudeEffects().SetDepth(variant == 1 ? 10000 : 0);
                EXPECT_NO_THROW(t.CalcRectWithFont(TfcMeasure::MeasureOnly));
                EXPECT_NO_THROW(t.Draw());
            }
        }
    }
    EXPECT_EQ(THFont::LiveCount(), fontsBefore);
}

// Placement and pass arithmetic at the ends of the integer range: no
// overflow (the sanitizer build checks), every pass rectangle well formed.
TEST(FcTextBadInput, ExtremeCoordinatesAndOffsetsSaturate)
{
    TBitmap bmp(40, 30);
    TFont font;
    for (int variant = 0; variant < 4; ++variant) {
        PassText t(&font, &bmp.Canvas());
        t.SetText(QStringLiteral("ДО\r\nРЕ"));
        t.SetBoundsRect(variant % 2 ? TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX} : TRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN});
        t.SetAlignment(TAlignment(variant % 3));
        t.SetVAlignment(TfcVAlignment(variant % 3));
        t.SetStyle(TfcTextStyle(variant));
        t.SetRotation(variant * 45);
        t.SetLineSpacing(variant < 2 ? INT_MAX : INT_MIN);
        t.Shadow().SetEnabled(true);
        t.Shadow().SetXOffset(variant < 2 ? INT_MIN : INT_MAX);
        t.Shadow().SetYOffset(INT_MAX);
        t.ExtrudeEffects().SetEnabled(variant >= 2);
        t.ExtrudeEffects().SetDepth(variant == 2 ? INT_MAX : INT_MIN);
        EXPECT_NO_THROW(t.CalcRectWithFont(TfcMeasure::MeasureOnly));
        EXPECT_NO_THROW(t.Draw());
        EXPECT_LT(t.passes.size(), 5000u);
    }
}

TEST(FcTextBadInput, NoCanvasOrFontMeasuresAndDrawsNothing)
{
    TfcCaptionText t(nullptr, nullptr);
    t.SetText(QStringLiteral("ДО"));
    t.SetBoundsRect({0, 0, 10, 10});
    EXPECT_EQ(t.CalcTextSize(), (TfcSize{1, 0}));
    EXPECT_NO_THROW(t.CalcRectWithFont(TfcMeasure::MeasureOnly));
    EXPECT_NO_THROW(t.Draw());
}
