// The spin button's arrows on a shown form: their geometry and glyphs, the
// repeat while held on fake time, no step while dragged off, and the end of
// the repeat whenever the pointer is taken away.
#include "controls/flat/TFlatSpinButtonUnit.h"

#include "tests/controls/flat/FakeFlatDesktop.h"
#include "tests/controls/flat/PixelArt.h"

#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class SpinButtonTest : public ::testing::Test {
protected:
    TFakeFlatDesktop desktop;  // outlives the form and its buttons
    TForm form{nullptr};
    TSpinButton* spin = nullptr;
    int ups = 0;
    int downs = 0;

    // The spin button at (20, 20), 22 x 14, as a spin edit places it.
    void SetUp() override
    {
        form.SetClientSize(120, 60);
        spin = new TSpinButton(&form);  // owned by the form
        spin->SetParent(&form);
        spin->SetBounds(20, 20, 22, 14);
        spin->OnUpClick = [this](TComponent*) { ++ups; };
        spin->OnDownClick = [this](TComponent*) { ++downs; };
        form.AfterConstruction();
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.windowHandle()));
        Move({110, 50});
    }
    void TearDown() override
    {
        if (QGuiApplication::mouseButtons() & Qt::LeftButton)
            QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(110, 50));
    }

    void Point(TPoint p) { desktop.pointer = form.ClientToScreen(p); }
    void Move(TPoint p)
    {
        Point(p);
        QTest::mouseMove(form.windowHandle(), QPoint(p.x, p.y));
    }
    void Press(TPoint p)
    {
        Point(p);
        QTest::mousePress(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void Release(TPoint p)
    {
        Point(p);
        QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
    }

    static constexpr TPoint kUp{24, 26};
    static constexpr TPoint kDown{36, 26};
    static constexpr TPoint kOff{80, 50};
};

std::unique_ptr<TBitmap> Look(TFlatSpeedButton& b)
{
    auto bmp = std::make_unique<TBitmap>(b.Width(), b.Height());
    b.PaintTo(bmp->Canvas(), {0, 0});
    return bmp;
}

}  // namespace

TEST(SpinButtonParts, ConstructionAndBuiltInArrows)
{
    TFakeFlatDesktop desktop;
    TSpinButton spin(nullptr);
    EXPECT_EQ(spin.Width(), 21);
    EXPECT_EQ(spin.Height(), 10);
    EXPECT_EQ(spin.FocusedButton(), spin.UpButton());
    EXPECT_FALSE(spin.ControlStyle() & csAcceptsControls);
    const struct {
        TTimerSpeedButton* button;
        TButtonLayout layout;
        std::vector<std::string> art;
    } rows[] = {
        {spin.UpButton(), blGlyphTop, {".....", "..#..", ".###.", "#####", "....."}},
        {spin.DownButton(), blGlyphBottom, {".....", "#####", ".###.", "..#..", "....."}},
    };
    for (const auto& r : rows) {
        EXPECT_TRUE(r.button->RepeatEnabled());
        EXPECT_EQ(r.button->NumGlyphs(), 1);
        EXPECT_EQ(r.button->Margin(), 2);
        EXPECT_EQ(r.button->Layout(), r.layout);
        EXPECT_EQ(PixelArt(r.button->Glyph(), {{clBlack, '#'}, {TSpinButton::ArrowKeyColor, '.'}}), r.art);
    }
    // A glyph of one's own replaces the arrow; none brings it back.
    TBitmap own(10, 5);
    spin.SetUpGlyph(&own);
    EXPECT_EQ(spin.UpGlyph().Width(), 10);
    EXPECT_EQ(spin.UpNumGlyphs(), 2);
    spin.SetUpGlyph(nullptr);
    EXPECT_EQ(spin.UpGlyph().Width(), 5);
    EXPECT_EQ(spin.UpNumGlyphs(), 1);
}

TEST_F(SpinButtonTest, ArrowsShareTheirMiddleColumn)
{
    EXPECT_EQ(spin->UpButton()->BoundsRect(), (TRect{0, 0, 11, 14}));
    EXPECT_EQ(spin->DownButton()->BoundsRect(), (TRect{10, 0, 21, 14}));
    spin->SetHeight(20);
    EXPECT_EQ(spin->DownButton()->BoundsRect(), (TRect{10, 0, 21, 20}));
    EXPECT_EQ(spin->Width(), 22);
    // The down arrow lies above: the shared column belongs to it.
    EXPECT_EQ(spin->ControlAtPos({10, 5}), spin->DownButton());
}

TEST_F(SpinButtonTest, GlyphPixelsPressedAndNot)
{
    // Rows 0..3 of the arrow's black triangle: its first column and width.
    const struct {
        const char* name;
        TTimerSpeedButton* button;
        TPoint pressAt;
        TPoint glyphTopLeft;
        bool upArrow;
    } rows[] = {
        {"up", spin->UpButton(), {}, {3, 2}, true},
        {"up pressed", spin->UpButton(), kUp, {4, 3}, true},
        {"down", spin->DownButton(), {}, {3, 7}, false},
        {"down pressed", spin->DownButton(), kDown, {4, 8}, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.pressAt != TPoint{})
            Press(r.pressAt);
        const auto bmp = Look(*r.button);
        const TPoint g = r.glyphTopLeft;
        const int tip = r.upArrow ? 1 : 3, base = r.upArrow ? 3 : 1;
        EXPECT_EQ(bmp->Pixel(g.x + 2, g.y + tip), clBlack);
        EXPECT_NE(bmp->Pixel(g.x + 1, g.y + tip), clBlack);
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(bmp->Pixel(g.x + x, g.y + base), clBlack) << x;
        EXPECT_NE(bmp->Pixel(g.x - 1, g.y + base), clBlack);
        EXPECT_NE(bmp->Pixel(g.x + 2, g.y), clBlack);  // the key row is left out
        if (r.pressAt != TPoint{})
            Release(r.pressAt);
    }
}

TEST_F(SpinButtonTest, HoldingAnArrowForOneSecondStepsEightTimes)
{
    Move(kUp);
    Press(kUp);
    desktop.Advance(1000);
    EXPECT_EQ(ups, 7);
    Release(kUp);
    EXPECT_EQ(ups, 8);
    EXPECT_EQ(downs, 0);
    EXPECT_FALSE(spin->UpButton()->RepeatTimer()->Enabled());
    desktop.Advance(1000);
    EXPECT_EQ(ups, 8);

    // The timer is made once and reused, starting again from 400 ms.
    TFlatTimer* timer = spin->UpButton()->RepeatTimer();
    Press(kUp);
    desktop.Advance(399);
    EXPECT_EQ(ups, 8);
    desktop.Advance(1);
    EXPECT_EQ(ups, 9);
    Release(kUp);
    EXPECT_EQ(spin->UpButton()->RepeatTimer(), timer);
}

TEST_F(SpinButtonTest, NoStepWhileDraggedOffTheArrow)
{
    Move(kDown);
    Press(kDown);
    Move(kOff);
    desktop.Advance(1000);
    EXPECT_EQ(downs, 0);
    Move(kDown);  // back on: stepping resumes
    desktop.Advance(200);
    EXPECT_EQ(downs, 2);
    Move(kOff);
    Release(kOff);
    EXPECT_EQ(downs, 2);
    EXPECT_FALSE(spin->DownButton()->RepeatTimer()->Enabled());
}

TEST_F(SpinButtonTest, RepeatStopsWhenThePointerIsTakenAway)
{
    const struct {
        const char* name;
        std::function<void(SpinButtonTest&)> takeAway;
    } rows[] = {
        {"another window becomes active",
         [this](SpinButtonTest&) {
             auto other = std::make_unique<TForm>(nullptr);
             other->SetBounds(300, 300, 50, 50);
             other->AfterConstruction();
             other->Show();
             ASSERT_TRUE(QTest::qWaitForWindowActive(other->windowHandle()));
             other.reset();
             form.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(form.windowHandle()));
         }},
        {"released where the arrow never hears of it",
         [](SpinButtonTest&) {
             // A window that takes no activation stands for the world
             // outside the application.
             QWidget other;
             other.setAttribute(Qt::WA_ShowWithoutActivating);
             other.setGeometry(300, 300, 50, 50);
             other.show();
             QTest::mouseRelease(other.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
         }},
        {"the framework cancels the press", [this](SpinButtonTest&) { spin->UpButton()->CancelMode(); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ups = 0;
        Move(kUp);
        Press(kUp);
        desktop.Advance(500);
        ASSERT_EQ(ups, 2);
        r.takeAway(*this);
        desktop.Advance(2000);
        EXPECT_EQ(ups, 2);
        EXPECT_FALSE(spin->UpButton()->RepeatTimer()->Enabled());
        EXPECT_FALSE(spin->UpButton()->Dragging());
        EXPECT_EQ(int(spin->UpButton()->State()), int(FlatButtonState::Up));
        Release(kOff);
    }
}

TEST_F(SpinButtonTest, AClickThatDestroysTheSpinButtonEndsTheRepeat)
{
    spin->OnUpClick = [this](TComponent*) {
        ++ups;
        delete spin;
        spin = nullptr;
    };
    Move(kUp);
    Press(kUp);
    desktop.Advance(1000);
    EXPECT_EQ(ups, 1);
    Release(kUp);
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.TimerCount(), 0);
}

TEST_F(SpinButtonTest, KeysClickTheFocusedArrow)
{
    spin->SetTabStop(true);
    spin->SetFocus();
    QTest::keyClick(spin, Qt::Key_Space);
    EXPECT_EQ(ups, 1);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(spin->FocusedButton(), spin->DownButton());
    QTest::keyClick(spin, Qt::Key_Space);
    EXPECT_EQ(downs, 2);
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(spin->FocusedButton(), spin->UpButton());
}

TEST_F(SpinButtonTest, PressingAnArrowFocusesTheFocusControlWhichMayGo)
{
    auto* edit = new TCustomControl(&form);  // owned by the form
    edit->SetParent(&form);
    edit->SetBounds(60, 5, 40, 20);
    edit->SetTabStop(true);
    spin->SetFocusControl(edit);
    Move(kUp);
    Press(kUp);
    Release(kUp);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(spin->FocusedButton(), spin->UpButton());  // not a tab stop: stays
    delete edit;
    EXPECT_EQ(spin->FocusControl(), nullptr);
    Press(kDown);
    Release(kDown);
    EXPECT_EQ(downs, 1);
}
