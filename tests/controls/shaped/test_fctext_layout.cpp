// Placement arithmetic of the caption renderer: text size, draw size, the
// caption rectangle and the alignment narrowing of Draw.
#include "tests/controls/shaped/FcTextTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A caption of a fixed measured size, so the placement arithmetic can be
// checked to the pixel without depending on font metrics.
class FixedSizeText : public RecordingText {
public:
    FixedSizeText(TFont* f, TCanvas* c, TfcSize size) : RecordingText(f, c), size_(size) {}
    TfcSize CalcTextSize() override { return size_; }

private:
    TfcSize size_;
};

constexpr TfcSize kText{41, 13};
constexpr TRect kBounds{10, 20, 110, 80};  // centre (60, 50)

struct PlacementCase {
    const char* name;
    std::function<void(TfcText&)> configure;
    TRect forDraw;
    TRect measureOnly;
};

}  // namespace

TEST(FcTextPlacement, CaptionRectangleFromTextSizeEffectsAndRotation)
{
    const PlacementCase cases[] = {
        {"plain", [](TfcText&) {}, {40, 44, 81, 57}, {40, 44, 81, 57}},
        // (1, 1) does not move the caption (1 div 2 is 0), only enlarges it.
        {"shadow 1,1",
         [](TfcText& t) {
             t.Shadow().SetEnabled(true);
             t.Shadow().SetXOffset(1);
             t.Shadow().SetYOffset(1);
         },
         {40, 44, 82, 58},
         {40, 44, 82, 58}},
        {"shadow 4,6",
         [](TfcText& t) {
             t.Shadow().SetEnabled(true);
             t.Shadow().SetXOffset(4);
             t.Shadow().SetYOffset(6);
         },
         {38, 41, 83, 60},
         {38, 41, 83, 60}},
        {"outline", [](TfcText& t) { t.SetStyle(fclsOutline); }, {40, 44, 83, 59}, {40, 44, 83, 59}},
        // The extrusion to the bottom right takes the place of a (1, 1) shadow.
        {"extrusion cancels shadow",
         [](TfcText& t) {
             t.Shadow().SetEnabled(true);
             t.Shadow().SetXOffset(1);
             t.Shadow().SetYOffset(1);
             t.ExtrudeEffects().SetEnabled(true);
         },
         {35, 39, 86, 62},
         {35, 39, 86, 62}},
        {"rotation 90", [](TfcText& t) { t.SetRotation(90); }, {54, 70, 67, 111}, {54, 70, 67, 111}},
        {"rotation 180", [](TfcText& t) { t.SetRotation(180); }, {80, 56, 121, 69}, {80, 56, 121, 69}},
        {"rotation -90", [](TfcText& t) { t.SetRotation(-90); }, {66, 30, 79, 71}, {66, 30, 79, 71}},
        {"rotation 45", [](TfcText& t) { t.SetRotation(45); }, {42, 60, 80, 98}, {42, 60, 80, 98}},
        {"rotation 360 is flat", [](TfcText& t) { t.SetRotation(360); }, {40, 44, 81, 57}, {40, 44, 81, 57}},
        // Too large for the bounds: pushed back to the top-left corner, and
        // limited to the bounds only when drawing.
        {"wide and deep",
         [](TfcText& t) { t.SetBoundsRect({0, 0, 20, 10}); },
         {0, 0, 20, 10},
         {0, 0, 41, 13}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        FixedSizeText t(nullptr, nullptr, kText);
        t.SetBoundsRect(kBounds);
        c.configure(t);
        EXPECT_EQ(t.CalcRect(TfcMeasure::ForDraw), c.forDraw);
        EXPECT_EQ(t.CalcRect(TfcMeasure::MeasureOnly), c.measureOnly);
    }
}

TEST(FcTextPlacement, DrawSizeTurnsTheBoundingBox)
{
    FixedSizeText t(nullptr, nullptr, kText);
    t.SetBoundsRect({0, 0, 1000, 1000});
    for (int deg : {0, 30, 45, 90, 135, 200, 270, 333}) {
        t.SetRotation(deg);
        const double a = deg * std::numbers::pi / 180;
        const TfcSize expected{SnapDown(std::abs(std::cos(a)) * 41 + std::abs(std::sin(a)) * 13),
                               SnapDown(std::abs(std::sin(a)) * 41 + std::abs(std::cos(a)) * 13)};
        EXPECT_EQ(t.CalcDrawSize(TfcMeasure::MeasureOnly), expected) << deg;
    }
    t.SetRotation(90);
    EXPECT_EQ(t.CalcDrawSize(TfcMeasure::MeasureOnly), (TfcSize{13, 41}));
}

// Draw narrows the bounds so that the centring in CalcRect puts the caption
// at the chosen edge; a turned caption ignores the alignment.
TEST(FcTextPlacement, DrawNarrowsBoundsToTheAlignment)
{
    struct Case {
        TAlignment h;
        TfcVAlignment v;
        int rotation;
        TRect bounds;
        TRect face;
        unsigned alignFlags;
    };
    const Case cases[] = {
        {taLeftJustify, vaTop, 0, {10, 20, 51, 33}, {10, 20, 51, 33}, 0},
        {taRightJustify, vaBottom, 0, {69, 67, 110, 80}, {69, 67, 110, 80}, DT_RIGHT},
        {taCenter, vaVCenter, 0, kBounds, {40, 44, 81, 57}, DT_CENTER},
        {taCenter, vaTop, 0, {10, 20, 110, 33}, {40, 20, 81, 33}, DT_CENTER},
        {taLeftJustify, vaTop, 45, kBounds, {42, 60, 80, 98}, 0},
        {taRightJustify, vaBottom, 360, {69, 67, 110, 80}, {69, 67, 110, 80}, DT_RIGHT},
    };
    TBitmap bmp(120, 120);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.h) << "/" << int(c.v) << "/" << c.rotation);
        FixedSizeText t(nullptr, &bmp.Canvas(), kText);
        t.SetAlignment(c.h);
        t.SetVAlignment(c.v);
        t.SetRotation(c.rotation);
        t.SetBoundsRect(kBounds);
        t.Draw();
        EXPECT_EQ(t.BoundsRect(), c.bounds);
        EXPECT_EQ(t.TextRect(), c.face);
        EXPECT_EQ(t.DrawFlags() & (DT_CENTER | DT_RIGHT), c.alignFlags);
        ASSERT_EQ(t.passes.size(), 1u);
        EXPECT_EQ(t.passes[0].rect, c.face);
    }
}

// ---------------------------------------------------------------- measured

namespace {

// Measures with the caption's own font, as the renderer does.
class MeasuredFont : public testing::Test {
protected:
    void SetUp() override
    {
        SetKeyFont(font);
        font.SetHeight(-16);
    }
    // Selects the caption's font until the test ends.
    void Select(const TfcText& t)
    {
        TLogFont lf;
        t.GetLogFont(lf);
        auto next = CreateFontIndirect(lf);
        const THFont* before = canvas().SelectFont(next.get());
        if (!created)
            previous = before;
        created = std::move(next);
    }
    void TearDown() override
    {
        if (created)
            canvas().SelectFont(previous);
    }
    TCanvas& canvas() { return bmp.Canvas(); }
    int W(const QString& s) { return canvas().TextWidth(s); }
    int H(const QString& s) { return canvas().TextHeight(s); }

    TFont font;
    TBitmap bmp{200, 200};
    std::unique_ptr<THFont> created;
    const THFont* previous = nullptr;
};

}  // namespace

TEST_F(MeasuredFont, TextSizeOfLinesAndAccelerators)
{
    TfcCaptionText t(&font, &canvas());
    t.SetBoundsRect({0, 0, 200, 200});
    Select(t);
    struct Case {
        QString text;
        TfcTextOptions options;
        int lineSpacing;
        TfcSize expected;
    };
    const Case cases[] = {
        {QString(), {toShowAccel}, 5, {1, 0}},
        {QStringLiteral("ДО"), {toShowAccel}, 5, {W("ДО") + 1, H("ДО")}},
        {QStringLiteral("A&&B"), {toShowAccel}, 5, {W("A&B") + 1, H("A&B")}},
        {QStringLiteral("A&&B"), {}, 5, {W("A&&B") + 1, H("A&&B")}},
        {QStringLiteral("&Key&"), {toShowAccel}, 5, {W("Key") + 1, H("Key")}},
        {QStringLiteral("ДО\r\nРЕ #"), {toShowAccel}, 5,
         {std::max(W("ДО"), W("РЕ #")) + 1, H("ДО") + 5 + H("РЕ #")}},
        {QStringLiteral("ДО\r\nРЕ"), {toShowAccel}, -20, {std::max(W("ДО"), W("РЕ")) + 1, H("ДО") - 20 + H("РЕ")}},
        {QStringLiteral("ДО\r\n"), {toShowAccel}, 5, {W("ДО") + 1, H("ДО") + 5 + H("")}},
        {QStringLiteral("\r\n\r\n"), {toShowAccel}, 2, {1, 3 * H("") + 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        t.SetText(c.text);
        t.SetOptions(c.options);
        t.SetLineSpacing(c.lineSpacing);
        EXPECT_EQ(t.CalcTextSize(), c.expected);
    }
}

// With word wrap the lines are laid out in the bounds' width less the
// largest effect offset.
TEST_F(MeasuredFont, WrappedTextIsMeasuredInTheAvailableWidth)
{
    TfcCaptionText t(&font, &canvas());
    t.SetWordWrap(true);
    t.SetText(QStringLiteral("ДО РЕ МИ ФА СОЛЬ ЛЯ СИ"));
    t.SetBoundsRect({5, 5, 85, 200});
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(7);
    Select(t);
    TRect r{0, 0, 80 - 7, 0};
    canvas().DrawText(t.Text(), r, t.DrawFlags() | DT_CALCRECT);
    EXPECT_EQ(t.CalcTextSize(), (TfcSize{r.Width() + 1, r.Height()}));
}

// The button measures through CalcRectWithFont: the caption block of
// (w + 1, h) centred in its bounds, with the font created only meanwhile.
TEST_F(MeasuredFont, MeasureWithFontCentresTheTextBlock)
{
    TfcCaptionText t(&font, &canvas());
    t.SetText(QStringLiteral("ДО #"));
    t.SetBoundsRect({2, 2, 73, 148});
    const int before = THFont::LiveCount();
    const THFont* selectedBefore = canvas().SelectedFont();
    const TRect r = t.CalcRectWithFont(TfcMeasure::MeasureOnly);
    EXPECT_EQ(THFont::LiveCount(), before);
    EXPECT_EQ(canvas().SelectedFont(), selectedBefore);

    Select(t);
    const int w = W("ДО #") + 1;
    const int h = H("ДО #");
    const int left = 2 + 71 / 2 - SnapDown(w) / 2;
    const int top = 2 + 146 / 2 - h / 2;
    EXPECT_EQ(r, (TRect{left, top, left + w, top + h}));
}
