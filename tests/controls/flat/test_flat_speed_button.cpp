// The flat speed button driven through real pointer events on a shown form:
// the press/drag/release states, clicks and modal results, groups, the
// shared hover tracking with its one timer, the painted looks and bad input.
#include "tests/controls/flat/FakeFlatDesktop.h"
#include "tests/controls/flat/FlatButtonFixtures.h"
#include "tests/controls/flat/PixelArt.h"

#include "platform/ui/Actions.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

using namespace flat_fixtures;
using State = FlatButtonState;

namespace {

using Log = std::vector<std::string>;

TColor Rgb(TColor c) { return PixelToColor(ColorToPixel(c)); }

constexpr TColor kMarker = RGB(1, 2, 3);

// The button's look, painted over a marker colour.
std::unique_ptr<TBitmap> Look(TFlatSpeedButton& b, int border = 0)
{
    auto bmp = std::make_unique<TBitmap>(b.Width() + 2 * border, b.Height() + 2 * border);
    bmp->Image().fill(ColorToPixel(kMarker));
    b.PaintTo(bmp->Canvas(), {border, border});
    return bmp;
}

// A shown, active form; the pointer goes where the test moves it.
class FlatButtonTest : public ::testing::Test {
protected:
    TFakeFlatDesktop desktop;  // outlives the form and its buttons
    TForm form{nullptr};

    void SetUp() override
    {
        ASSERT_EQ(TFlatSpeedButton::LiveButtonCount(), 0);
        form.SetClientSize(200, 100);
        form.SetColor(clBtnFace);
        form.AfterConstruction();
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.windowHandle()));
        // Qt drops a move to where the pointer already is: start every test
        // from a corner no button covers.
        Move({199, 99});
    }

    TFlatSpeedButton* Add(int left, int top, int width = 40, int height = 25)
    {
        auto* b = new TFlatSpeedButton(&form);  // owned by the form
        b->SetParent(&form);
        b->SetBounds(left, top, width, height);
        return b;
    }

    QWindow* Window() { return form.windowHandle(); }
    void Point(TPoint p) { desktop.pointer = form.ClientToScreen(p); }
    void Move(TPoint p)
    {
        Point(p);
        QTest::mouseMove(Window(), QPoint(p.x, p.y));
    }
    void Press(TPoint p)
    {
        Point(p);
        QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void Release(TPoint p)
    {
        Point(p);
        QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void ClickAt(TPoint p)
    {
        Move(p);
        Press(p);
        Release(p);
    }
};

}  // namespace

// --- Properties

TEST(FlatSpeedButtonProperties, DefaultsAndSetterRules)
{
    TFakeFlatDesktop desktop;
    TFlatSpeedButton b(nullptr);
    EXPECT_EQ(b.Width(), 25);
    EXPECT_EQ(b.Height(), 25);
    EXPECT_EQ(b.TransparentMode(), tmNone);
    EXPECT_EQ(b.Color(), RGB(235, 234, 225));
    EXPECT_EQ(b.ColorFocused(), RGB(235, 234, 225));
    EXPECT_EQ(b.ColorDown(), RGB(217, 214, 197));
    EXPECT_EQ(b.ColorBorder(), RGB(160, 150, 131));
    EXPECT_EQ(b.ColorHighLight(), clWhite);
    EXPECT_EQ(b.ColorShadow(), clBlack);
    EXPECT_EQ(b.AdvColorFocused(), 10);
    EXPECT_EQ(b.AdvColorDown(), 10);
    EXPECT_EQ(b.AdvColorBorder(), 50);
    EXPECT_FALSE(b.UseAdvColors());
    EXPECT_EQ(b.Layout(), blGlyphTop);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.NumGlyphs(), 1);
    EXPECT_TRUE(b.ParentColor());
    EXPECT_TRUE(b.ParentFont());
    EXPECT_FALSE(b.ControlStyle() & csClickEvents);  // it raises its clicks itself
    EXPECT_FALSE(b.ControlStyle() & csOpaque);

    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    b.SetMargin(-5);
    EXPECT_EQ(b.Margin(), 3);
    b.SetMargin(-1);
    EXPECT_EQ(b.Margin(), -1);

    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetNumGlyphs(9);
    EXPECT_EQ(b.NumGlyphs(), 4);

    // Down counts only inside a group.
    b.SetDown(true);
    EXPECT_FALSE(b.Down());
    EXPECT_EQ(b.State(), State::Up);
}

TEST(FlatSpeedButtonProperties, GlyphNamesItsCellCount)
{
    TFakeFlatDesktop desktop;
    const struct {
        int w, h, before, after;
    } rows[] = {{32, 16, 1, 2}, {64, 16, 1, 4}, {80, 16, 3, 1}, {33, 16, 3, 3}, {16, 16, 4, 1}, {0, 0, 2, 2}};
    for (const auto& r : rows) {
        TFlatSpeedButton b(nullptr);
        b.SetNumGlyphs(r.before);
        TBitmap glyph(r.w, r.h);
        b.SetGlyph(glyph);
        EXPECT_EQ(b.NumGlyphs(), r.after) << r.w << "x" << r.h;
    }
}

TEST(FlatSpeedButtonProperties, AdvancedColoursFollowTheColour)
{
    TFakeFlatDesktop desktop;
    TPanel parent(nullptr);
    parent.SetColor(RGB(100, 120, 140));
    auto* b = new TFlatSpeedButton(&parent);  // owned by the parent
    b->SetParent(&parent);
    b->SetParentColor(false);
    b->SetUseAdvColors(true);
    EXPECT_TRUE(b->ParentColor());
    EXPECT_EQ(b->Color(), RGB(100, 120, 140));
    EXPECT_EQ(b->ColorFocused(), DeriveShade(b->Color(), 0, 10, TShadeDirection::Lighten));
    EXPECT_EQ(b->ColorDown(), DeriveShade(b->Color(), 0, 10, TShadeDirection::Darken));
    EXPECT_EQ(b->ColorBorder(), DeriveShade(b->Color(), 0, 50, TShadeDirection::Darken));
    parent.SetColor(RGB(200, 30, 30));
    EXPECT_EQ(b->ColorBorder(), DeriveShade(RGB(200, 30, 30), 0, 50, TShadeDirection::Darken));
    b->SetAdvColorBorder(0);  // 0 keeps the colour as it is
    EXPECT_EQ(b->ColorBorder(), DeriveShade(RGB(200, 30, 30), 0, 50, TShadeDirection::Darken));
}

// --- Press, drag and release

namespace {

enum class Op { Press, MoveIn, MoveOut, ReleaseIn, ReleaseOut, ReleaseBottomRow };
struct Step {
    Op op;
    State expect;
};
struct PressRow {
    const char* name;
    int group;
    bool allowAllUp;
    bool downBefore;
    std::vector<Step> steps;
    int clicks;
    bool downAfter;
};

}  // namespace

TEST_F(FlatButtonTest, StateTableUnderPointerEvents)
{
    const std::vector<PressRow> rows = {
        {"click", 0, false, false, {{Op::Press, State::Down}, {Op::ReleaseIn, State::Up}}, 1, false},
        {"drag out and back in",
         0, false, false,
         {{Op::Press, State::Down}, {Op::MoveOut, State::Up}, {Op::MoveIn, State::Down}, {Op::ReleaseIn, State::Up}},
         1, false},
        {"released outside", 0, false, false,
         {{Op::Press, State::Down}, {Op::MoveOut, State::Up}, {Op::ReleaseOut, State::Up}}, 0, false},
        {"released on the bottom row", 0, false, false,
         {{Op::Press, State::Down}, {Op::ReleaseBottomRow, State::Up}}, 0, false},
        {"group click latches", 1, false, false, {{Op::Press, State::Down}, {Op::ReleaseIn, State::Exclusive}}, 1, true},
        {"latched stays down", 1, false, true,
         {{Op::Press, State::Exclusive}, {Op::ReleaseIn, State::Exclusive}}, 1, true},
        {"latched with AllowAllUp goes up", 1, true, true,
         {{Op::Press, State::Exclusive}, {Op::ReleaseIn, State::Up}}, 1, false},
        {"latched dragged out", 1, false, true,
         {{Op::Press, State::Exclusive}, {Op::MoveOut, State::Exclusive}, {Op::ReleaseOut, State::Exclusive}}, 0, true},
        {"group button dragged out", 1, false, false,
         {{Op::Press, State::Down}, {Op::MoveOut, State::Up}, {Op::ReleaseOut, State::Up}}, 0, false},
    };
    const TPoint in{30, 30}, out{150, 80}, bottomRow{30, 20 + 25};
    for (const PressRow& row : rows) {
        SCOPED_TRACE(row.name);
        TFlatSpeedButton* b = Add(20, 20);
        b->SetGroupIndex(row.group);
        b->SetAllowAllUp(row.allowAllUp);
        b->SetDown(row.downBefore);
        int clicks = 0;
        b->OnClick = [&](TComponent*) { ++clicks; };
        Move(in);
        for (const Step& s : row.steps) {
            switch (s.op) {
            case Op::Press: Press(in); break;
            case Op::MoveIn: Move(in); break;
            case Op::MoveOut: Move(out); break;
            case Op::ReleaseIn: Release(in); break;
            case Op::ReleaseOut: Release(out); break;
            case Op::ReleaseBottomRow: Release(bottomRow); break;
            }
            EXPECT_EQ(int(b->State()), int(s.expect)) << "after step " << int(s.op);
        }
        EXPECT_FALSE(b->Dragging());
        EXPECT_EQ(clicks, row.clicks);
        EXPECT_EQ(b->Down(), row.downAfter);
        delete b;
    }
}

TEST_F(FlatButtonTest, GroupButtonsRaiseEachOther)
{
    for (const bool allowAllUp : {false, true}) {
        SCOPED_TRACE(allowAllUp ? "AllowAllUp" : "no AllowAllUp");
        TFlatSpeedButton* a = Add(10, 10);
        TFlatSpeedButton* b = Add(60, 10);
        a->SetGroupIndex(1);
        b->SetGroupIndex(1);
        a->SetAllowAllUp(allowAllUp);
        EXPECT_EQ(b->AllowAllUp(), allowAllUp);  // one setting for the group
        Log log;
        a->OnClick = [&](TComponent*) { log.push_back(a->Down() ? "a down" : "a up"); };
        b->OnClick = [&](TComponent*) { log.push_back(b->Down() ? "b down" : "b up"); };
        ClickAt({20, 20});
        ClickAt({70, 20});
        EXPECT_FALSE(a->Down());
        EXPECT_EQ(int(a->State()), int(State::Up));
        ClickAt({70, 20});
        EXPECT_EQ(log, (Log{"a down", "b down", allowAllUp ? "b up" : "b down"}));
        delete a;
        delete b;
    }
}

TEST_F(FlatButtonTest, DoubleClickIsTwoClicksAndRaisesOnDblClickOnlyWhileDown)
{
    for (const int group : {0, 1}) {
        TFlatSpeedButton* b = Add(20, 20);
        b->SetGroupIndex(group);
        int clicks = 0, doubles = 0;
        b->OnClick = [&](TComponent*) { ++clicks; };
        b->OnDblClick = [&](TComponent*) { ++doubles; };
        Move({30, 30});
        QTest::mouseDClick(Window(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
        EXPECT_EQ(clicks, 2) << group;
        EXPECT_EQ(doubles, group == 0 ? 0 : 1) << group;
        delete b;
    }
}

TEST_F(FlatButtonTest, AcceleratorClicksEnabledButtonsOnly)
{
    TFlatSpeedButton* b = Add(20, 20);
    b->SetCaption(QStringLiteral("&Пуск"));
    int clicks = 0;
    b->OnClick = [&](TComponent*) { ++clicks; };
    EXPECT_TRUE(form.DialogChar(QChar(u'п'), 0));
    EXPECT_FALSE(form.DialogChar(QChar(u'у'), 0));
    b->SetEnabled(false);
    EXPECT_FALSE(form.DialogChar(QChar(u'п'), 0));
    EXPECT_EQ(clicks, 1);
}

TEST(FlatSpeedButtonProperties, ActionGivesItsImageToAButtonWithoutGlyph)
{
    TFakeFlatDesktop desktop;
    TImageList images(nullptr, 8, 8);
    TBitmap picture(8, 8);
    FillBitmap(picture, clBlue);
    picture.Canvas().Brush().Color = clRed;
    picture.Canvas().FillRect({0, 0, 4, 8});
    images.AddMasked(picture, clRed);
    TAction action(nullptr);
    action.SetImages(&images);
    action.SetImageIndex(0);
    action.SetCaption(QStringLiteral("Пуск"));

    TFlatSpeedButton plain(nullptr);
    plain.SetAction(&action);
    EXPECT_EQ(plain.Caption(), QStringLiteral("Пуск"));
    ASSERT_EQ(plain.Glyph().Width(), 8);
    EXPECT_EQ(plain.Glyph().Pixel(1, 1), RGB(255, 0, 255));  // the mask shows the fuchsia ground
    EXPECT_EQ(plain.Glyph().Pixel(6, 1), clBlue);

    TFlatSpeedButton withGlyph(nullptr);
    TBitmap own(16, 16);
    withGlyph.SetGlyph(own);
    withGlyph.SetAction(&action);
    EXPECT_EQ(withGlyph.Glyph().Width(), 16);
    plain.SetAction(nullptr);
    withGlyph.SetAction(nullptr);
}

// --- Modal results

TEST(FlatSpeedButtonModal, ResultReachesTheFormBeforeOnClickAndClosesItAfterwards)
{
    TFakeFlatDesktop desktop;
    TForm dialog(nullptr);
    dialog.SetClientSize(100, 60);
    dialog.AfterConstruction();
    auto* panel = new TPanel(&dialog);  // owned by the dialog
    panel->SetParent(&dialog);
    panel->SetBounds(0, 0, 100, 60);
    auto* answer = new TFlatSpeedButton(&dialog);  // owned by the dialog
    answer->SetParent(panel);
    answer->SetModalResult(mrOk);
    Log log;
    answer->OnClick = [&](TComponent*) {
        log.push_back("click: result " + std::to_string(dialog.ModalResult()) + (dialog.Visible() ? ", open" : ", closed"));
    };
    QTimer::singleShot(0, [&] { QTest::mouseClick(answer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); });
    const TModalResult result = dialog.ShowModal();
    log.push_back("returned " + std::to_string(result) + (dialog.Visible() ? ", open" : ", closed"));
    EXPECT_EQ(log, (Log{"click: result 1, open", "returned 1, closed"}));
}

TEST_F(FlatButtonTest, ResultZeroResetsTheFormsResult)
{
    Add(20, 20);
    form.SetModalResult(mrCancel);
    ClickAt({30, 30});
    EXPECT_EQ(form.ModalResult(), mrNone);
}

// --- Hover tracking

TEST_F(FlatButtonTest, HoverMovesStraightFromOneButtonToTheNextWithOneTimer)
{
    TFlatSpeedButton* a = Add(10, 10);
    TFlatSpeedButton* b = Add(50, 10);  // adjacent: no gap to cross
    EXPECT_EQ(desktop.TimerCount(), 1);
    EXPECT_EQ(desktop.RunningTimers(), 0);

    Move({20, 20});
    EXPECT_TRUE(a->MouseInside());
    EXPECT_EQ(TFlatSpeedButton::HoverButton(), a);
    EXPECT_EQ(desktop.RunningTimers(), 1);

    Move({60, 20});
    EXPECT_FALSE(a->MouseInside());  // at once, without a tick
    EXPECT_TRUE(b->MouseInside());
    EXPECT_EQ(TFlatSpeedButton::HoverButton(), b);
    EXPECT_EQ(desktop.TimerCount(), 1);

    // Leaving for the form's surface: the next tick puts the light out and
    // the timer stops.
    Move({150, 80});
    EXPECT_TRUE(b->MouseInside());
    desktop.Advance(TFlatSpeedButton::HoverInterval);
    EXPECT_FALSE(b->MouseInside());
    EXPECT_EQ(TFlatSpeedButton::HoverButton(), nullptr);
    EXPECT_EQ(desktop.RunningTimers(), 0);
}

TEST_F(FlatButtonTest, NoHoverWhileTheApplicationIsInactive)
{
    TFlatSpeedButton* a = Add(10, 10);
    desktop.active = false;
    Move({20, 20});
    EXPECT_FALSE(a->MouseInside());
    EXPECT_EQ(TFlatSpeedButton::HoverButton(), nullptr);
    EXPECT_EQ(desktop.RunningTimers(), 0);
}

TEST_F(FlatButtonTest, DisablingUnderThePointerStopsTrackingAndEnablingLightsItAgain)
{
    TFlatSpeedButton* a = Add(10, 10);
    Move({20, 20});
    a->SetEnabled(false);
    EXPECT_EQ(int(a->State()), int(State::Disabled));
    EXPECT_FALSE(a->MouseInside());
    EXPECT_EQ(desktop.RunningTimers(), 0);
    a->SetEnabled(true);
    EXPECT_TRUE(a->MouseInside());
    // Tracked again, so the light goes out once the pointer has left.
    Point({150, 80});
    desktop.Advance(TFlatSpeedButton::HoverInterval);
    EXPECT_FALSE(a->MouseInside());
    EXPECT_EQ(desktop.RunningTimers(), 0);
}

TEST(FlatSpeedButtonTimer, OneTimerForAllButtonsGoneWithTheLast)
{
    TFakeFlatDesktop desktop;
    ASSERT_EQ(TFlatSpeedButton::LiveButtonCount(), 0);
    EXPECT_EQ(TFlatSpeedButton::HoverTimer(), nullptr);
    auto a = std::make_unique<TFlatSpeedButton>(nullptr);
    TFlatTimer* timer = TFlatSpeedButton::HoverTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), 100u);
    EXPECT_FALSE(timer->Enabled());
    auto b = std::make_unique<TFlatSpeedButton>(nullptr);
    EXPECT_EQ(TFlatSpeedButton::HoverTimer(), timer);
    EXPECT_EQ(TFlatSpeedButton::LiveButtonCount(), 2);
    a.reset();
    EXPECT_EQ(TFlatSpeedButton::HoverTimer(), timer);
    b.reset();
    EXPECT_EQ(TFlatSpeedButton::LiveButtonCount(), 0);
    EXPECT_EQ(TFlatSpeedButton::HoverTimer(), nullptr);
    EXPECT_EQ(desktop.TimerCount(), 0);
}

TEST_F(FlatButtonTest, DeletingAHoveredOrPressedButtonLeavesNothingBehind)
{
    for (const bool pressed : {false, true}) {
        SCOPED_TRACE(pressed ? "pressed" : "hovered");
        TFlatSpeedButton* keep = Add(100, 10);
        TFlatSpeedButton* gone = Add(10, 10);
        Move({20, 20});
        if (pressed)
            Press({20, 20});
        ASSERT_EQ(TFlatSpeedButton::HoverButton(), gone);
        delete gone;
        EXPECT_EQ(TFlatSpeedButton::HoverButton(), nullptr);
        EXPECT_EQ(desktop.RunningTimers(), 0);
        desktop.Advance(1000);
        if (pressed)
            Release({20, 20});
        // The survivor still lights up and clicks.
        int clicks = 0;
        keep->OnClick = [&](TComponent*) { ++clicks; };
        ClickAt({110, 20});
        EXPECT_EQ(clicks, 1);
        EXPECT_TRUE(keep->MouseInside());
        delete keep;
    }
}

// --- Looks

namespace {

struct LookRow {
    const char* name;
    std::function<void(TFlatSpeedButton&)> setUp;
    TColor background, topLeft, bottomRight;
};

}  // namespace

TEST_F(FlatButtonTest, BackgroundAndFramePerState)
{
    constexpr TColor face = RGB(200, 200, 200);
    const TColor border = TFlatSpeedButton::DefaultColorBorder;
    const TColor focused = TFlatSpeedButton::DefaultColorFocused;
    const TColor down = TFlatSpeedButton::DefaultColorDown;
    const std::vector<LookRow> rows = {
        {"up", [](TFlatSpeedButton&) {}, face, border, border},
        {"hovered", [&](TFlatSpeedButton&) { Move({30, 30}); }, focused, clWhite, clBlack},
        {"pressed", [&](TFlatSpeedButton&) { Move({30, 30}); Press({30, 30}); }, down, clBlack, clWhite},
        {"exclusive", [](TFlatSpeedButton& b) { b.SetGroupIndex(1); b.SetDown(true); }, down, clBlack, clWhite},
        {"exclusive hovered", [&](TFlatSpeedButton& b) { b.SetGroupIndex(1); b.SetDown(true); Move({30, 30}); },
         focused, clBlack, clWhite},
        {"disabled", [](TFlatSpeedButton& b) { b.SetEnabled(false); }, face, border, border},
        {"tmAlways hovered", [&](TFlatSpeedButton& b) { b.SetTransparentMode(tmAlways); Move({30, 30}); }, kMarker,
         clWhite, clBlack},
        {"tmNotFocused", [](TFlatSpeedButton& b) { b.SetTransparentMode(tmNotFocused); }, kMarker, border, border},
        {"tmNotFocused hovered", [&](TFlatSpeedButton& b) { b.SetTransparentMode(tmNotFocused); Move({30, 30}); },
         focused, clWhite, clBlack},
        {"tmNotFocused pressed",
         [&](TFlatSpeedButton& b) { b.SetTransparentMode(tmNotFocused); Move({30, 30}); Press({30, 30}); }, down,
         clBlack, clWhite},
    };
    for (const LookRow& row : rows) {
        SCOPED_TRACE(row.name);
        Move({150, 80});
        TFlatSpeedButton* b = Add(20, 20);
        b->SetColor(face);
        row.setUp(*b);
        const auto bmp = Look(*b);
        EXPECT_EQ(bmp->Pixel(5, 5), Rgb(row.background));
        EXPECT_EQ(bmp->Pixel(0, 0), Rgb(row.topLeft));
        EXPECT_EQ(bmp->Pixel(0, 23), Rgb(row.topLeft));
        EXPECT_EQ(bmp->Pixel(39, 0), Rgb(row.bottomRight));
        EXPECT_EQ(bmp->Pixel(39, 24), Rgb(row.bottomRight));
        EXPECT_EQ(bmp->Pixel(0, 24), Rgb(row.bottomRight));
        if (b->Dragging())
            Release({150, 80});
        delete b;
    }
}

TEST_F(FlatButtonTest, PressShiftsTheCaptionByOnePixel)
{
    TFlatSpeedButton* b = Add(20, 20);
    b->SetCaption(QStringLiteral("X"));
    Look(*b);
    const TRect up = b->CaptionArea();
    Move({30, 30});
    Press({30, 30});
    Look(*b);
    EXPECT_EQ(b->CaptionArea(), up.Offset(1, 1));
    Release({30, 30});
}

namespace {

// A strip of square cells, each the key colour with a coloured block in the
// middle.
void PaintStrip(TBitmap& strip, const std::vector<TColor>& blocks, int cell = 8)
{
    strip.SetSize(cell * int(blocks.size()), cell);
    strip.Image().fill(ColorToPixel(kGlyphKey));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        strip.Canvas().Brush().Color = blocks[i];
        strip.Canvas().FillRect({int(i) * cell + 2, 2, int(i) * cell + 6, 6});
    }
}

}  // namespace

TEST_F(FlatButtonTest, GlyphCellPerStateAndEmbossedWhenDisabled)
{
    const std::vector<TColor> cells = {clRed, clBlue, clGreen, clAqua};
    const struct {
        int count;
        bool enabled;
        TColor shown;
    } rows[] = {{2, true, clRed}, {2, false, clBlue}, {3, false, clBlue}, {4, true, clRed}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.count * 10 + r.enabled);
        TFlatSpeedButton* b = Add(20, 20, 25, 25);
        TBitmap strip;
        PaintStrip(strip, std::vector<TColor>(cells.begin(), cells.begin() + r.count));
        b->SetGlyph(strip);
        b->SetEnabled(r.enabled);
        const auto bmp = Look(*b);
        const TPoint g = b->GlyphOrigin();
        EXPECT_EQ(bmp->Pixel(g.x + 3, g.y + 3), Rgb(r.shown));
        EXPECT_EQ(bmp->Pixel(g.x, g.y), Rgb(b->Color()));  // the key is left out
        delete b;
    }

    // One cell, disabled: the black figure as a relief in the button-face
    // colours, its background left out.
    TFlatSpeedButton* b = Add(20, 20, 25, 25);
    b->SetColor(RGB(90, 90, 200));
    TBitmap note;
    PaintNoteGlyph(note);
    b->SetGlyph(note);
    b->SetEnabled(false);
    const auto bmp = Look(*b);
    const TPoint g = b->GlyphOrigin();
    EXPECT_EQ(bmp->Pixel(g.x + 9, g.y + 5), Rgb(clBtnShadow));      // the stem
    EXPECT_EQ(bmp->Pixel(g.x + 11, g.y + 10), Rgb(clBtnHighlight)); // right of the stem, one lower
    EXPECT_EQ(bmp->Pixel(g.x + 1, g.y + 1), RGB(90, 90, 200));      // background shows
}

TEST_F(FlatButtonTest, DisabledCaptionIsEtched)
{
    TFlatSpeedButton* b = Add(20, 20, 60, 25);
    b->SetCaption(QStringLiteral("ИИ"));
    b->Font().SetColor(clBlack);
    b->SetEnabled(false);
    const auto bmp = Look(*b);
    int shadow = 0, highlight = 0, black = 0;
    for (int y = 1; y < bmp->Height() - 1; ++y)
        for (int x = 1; x < bmp->Width() - 1; ++x) {
            const TColor c = bmp->Pixel(x, y);
            shadow += c == Rgb(clBtnShadow);
            highlight += c == Rgb(clBtnHighlight);
            black += c == clBlack;
        }
    EXPECT_GT(shadow, 10);
    EXPECT_GT(highlight, 5);
    EXPECT_EQ(black, 0);
}

TEST_F(FlatButtonTest, BadGlyphsAndCaptionsDrawNothingOutside)
{
    const struct {
        const char* name;
        int glyphWidth, glyphHeight, numGlyphs;
        int captionLength;
    } rows[] = {
        {"empty glyph", 0, 0, 1, 0},        {"glyph wider than the button", 300, 20, 1, 3},
        {"width not a multiple", 33, 16, 2, 3}, {"narrower than its count", 3, 16, 4, 0},
        {"count below range", 16, 16, 0, 0}, {"count above range", 40, 16, 9, 0},
        {"very long caption", 16, 16, 1, 5000},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        for (const bool enabled : {true, false}) {
            TFlatSpeedButton* b = Add(20, 20, 25, 25);
            TBitmap glyph(r.glyphWidth, r.glyphHeight);
            b->SetGlyph(glyph);
            b->SetNumGlyphs(r.numGlyphs);
            b->SetCaption(QString(r.captionLength, QChar(u'Ж')));
            b->SetEnabled(enabled);
            constexpr int border = 10;
            const auto bmp = Look(*b, border);
            for (int y = 0; y < bmp->Height(); ++y)
                for (int x = 0; x < bmp->Width(); ++x) {
                    if (!Bounds(border, border, 25, 25).Contains({x, y})) {
                        ASSERT_EQ(bmp->Pixel(x, y), kMarker) << x << "," << y;
                    }
                }
            b->Repaint();
            EXPECT_EQ(b->Surface().size(), QSize(25, 25));
            delete b;
        }
    }
}
