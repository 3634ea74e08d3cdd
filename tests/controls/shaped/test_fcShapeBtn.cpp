// The shape button as a control: properties, window shapes on the main
// window's keyboard, the press/drag/release cycle through real pointer events,
// groups, painting through the control and bad sizes.
#include "tests/controls/shaped/ShapedFixtures.h"
#include "tests/controls/shaped/ShapedTestUtil.h"

#include "platform/ui/Actions.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>

#include <string>
#include <vector>

using namespace shaped_fixtures;

namespace {

using Log = std::vector<std::string>;

TColor SurfacePixel(const TControl& c, int x, int y)
{
    return PixelToColor(c.Surface().pixel(x, y));
}

TColor Rgb(TColor c) { return MakeColor(ColorToRGB(c)); }

// A shown, active form built the way layouts build them.
class FormTest : public ::testing::Test {
protected:
    TForm form{nullptr};

    void Finish(int width = kFormWidth, int height = kFormHeight)
    {
        form.SetClientSize(width, height);
        form.SetColor(kFormBlue);
        form.AfterConstruction();
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.windowHandle()));
    }

    QWindow* Window() { return form.windowHandle(); }

    void Press(TPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(Window(), b, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void Move(TPoint p) { QTest::mouseMove(Window(), QPoint(p.x, p.y)); }
    void Release(TPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(Window(), b, Qt::NoModifier, QPoint(p.x, p.y));
    }
    void ClickAt(TPoint p)
    {
        Press(p);
        Release(p);
    }

    TfcShapeBtn* AddButton(int left, int top, int width, int height)
    {
        auto* b = new TfcShapeBtn(&form);  // owned by the form
        b->SetParent(&form);
        b->SetBounds(left, top, width, height);
        return b;
    }
};

class KeyboardTest : public FormTest {
protected:
    Keyboard kb;
    Log log;

    void SetUp() override
    {
        kb = BuildKeyboard(form);
        Finish();
        for (std::size_t i = 0; i < kb.keys.size(); ++i) {
            const std::string name = kKeys[i].caption;
            TfcShapeBtn* key = kb.keys[i];
            key->OnClick = [this, name, key](TComponent* sender) {
                EXPECT_EQ(sender, key);
                log.push_back("click " + name + (key->Down() ? " (down)" : ""));
            };
            key->OnMouseDown = [this, name](TComponent*, TMouseButton, TShiftState, int, int) {
                log.push_back("mousedown " + name);
            };
            key->OnMouseUp = [this, name](TComponent*, TMouseButton, TShiftState, int, int) {
                log.push_back("mouseup " + name);
            };
        }
    }

    // A point of the form: centre of key i's diamond.
    TPoint KeyCentre(std::size_t i) const { return {kKeys[i].left + 37, kKeys[i].top + 75}; }
};

}  // namespace

// --- Construction and setters

TEST(ShapeButtonDefaults, InitialValuesAfterConstruction)
{
    TfcShapeBtn b(nullptr);
    EXPECT_FALSE(b.AllowAllUp());
    EXPECT_FALSE(b.Cancel());
    EXPECT_TRUE(b.Caption().isEmpty());
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_FALSE(b.Default());
    EXPECT_FALSE(b.DisableThemes());
    EXPECT_EQ(b.DitherColor(), clWhite);
    EXPECT_FALSE(b.Down());
    EXPECT_TRUE(b.Glyph().Empty());
    EXPECT_EQ(b.GroupIndex(), 0);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.Layout(), blGlyphLeft);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.ModalResult(), 0);
    EXPECT_EQ(b.NumGlyphs(), 0);
    EXPECT_EQ(b.Options(), TfcButtonOptions{});
    EXPECT_EQ(b.Orientation(), soUp);
    EXPECT_EQ(b.RoundRectBias(), 25);
    EXPECT_EQ(b.ShadeStyle(), fbsHighlight);
    EXPECT_EQ(b.Shape(), bsRect);
    EXPECT_FALSE(b.SmoothFont());
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_FALSE(b.StaticCaption());
    EXPECT_EQ(b.Style(), bsAutoDetect);
    EXPECT_EQ(b.Width(), 75);
    EXPECT_EQ(b.Height(), 25);
    EXPECT_TRUE(b.TabStop());
    EXPECT_TRUE(b.PointList().isEmpty());

    const auto& o = dynamic_cast<const TfcImgDownOffsets&>(b.Offsets());
    EXPECT_EQ((std::vector<int>{o.GlyphX(), o.GlyphY(), o.TextX(), o.TextY(), o.TextDownX(), o.TextDownY(),
                                o.ImageDownX(), o.ImageDownY()}),
              (std::vector<int>{0, 0, 0, 0, 1, 1, 2, 2}));
    const TfcShadeColors& s = b.ShadeColors();
    EXPECT_EQ((std::vector<TColor>{s.BtnHighlight(), s.Btn3DLight(), s.BtnShadow(), s.BtnBlack(), s.BtnFocus(),
                                   s.Shadow()}),
              (std::vector<TColor>{clBtnHighlight, cl3DLight, clBtnShadow, clBlack, clBlack, clBlack}));
    EXPECT_EQ(b.TextOptions().Alignment(), taCenter);
    EXPECT_EQ(b.TextOptions().VAlignment(), vaVCenter);
}

TEST(ShapeButtonSetters, OutOfRangeValuesFollowTheirRules)
{
    TfcShapeBtn b(nullptr);
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    b.SetMargin(-7);
    EXPECT_EQ(b.Margin(), 3);
    for (const auto& [in, out] : {std::pair{0, 1}, {7, 4}, {-3, 1}, {2, 2}}) {
        b.SetNumGlyphs(in);
        EXPECT_EQ(b.NumGlyphs(), out) << in;
    }
    b.SetDown(true);
    EXPECT_FALSE(b.Down()) << "Down needs a group";
    b.SetGroupIndex(1);
    b.SetDown(true);
    EXPECT_TRUE(b.Down());
}

TEST(ShapeButtonSetters, KindPresetsAndForgettingTheKind)
{
    TfcShapeBtn b(nullptr);
    b.SetKind(bkOK);
    EXPECT_EQ(b.Kind(), bkOK);
    EXPECT_TRUE(b.Default());
    EXPECT_EQ(b.ModalResult(), 1);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_FALSE(b.Glyph().Empty());
    EXPECT_FALSE(b.Caption().isEmpty());
    b.SetKind(bkNo);
    EXPECT_FALSE(b.Default());
    EXPECT_TRUE(b.Cancel());
    EXPECT_EQ(b.ModalResult(), 7);
    b.SetModalResult(2);
    EXPECT_EQ(b.Kind(), bkCustom);
}

TEST(ShapeButtonSetters, ALinkedActionsImageBecomesTheGlyphOfAButtonWithout)
{
    TImageList images(nullptr, 3, 2);
    TBitmap red(3, 2);
    red.Canvas().Brush().Color = clRed;
    red.Canvas().FillRect({0, 0, 3, 2});
    red.SetPixel(2, 1, clLime);
    images.AddMasked(red, clLime);
    TAction action(nullptr);
    action.SetCaption(QStringLiteral("ДО"));
    action.SetImages(&images);

    TfcShapeBtn b(nullptr);
    action.SetImageIndex(5);  // not in the list: no glyph
    b.SetAction(&action);
    EXPECT_EQ(b.Caption(), QStringLiteral("ДО"));
    EXPECT_TRUE(b.Glyph().Empty());

    action.SetImageIndex(0);
    ASSERT_FALSE(b.Glyph().Empty());
    EXPECT_EQ(b.Glyph().Width(), 3);
    EXPECT_EQ(b.Glyph().Height(), 2);
    EXPECT_EQ(b.Glyph().Pixel(0, 0), clRed);
    EXPECT_EQ(b.Glyph().Pixel(2, 1), RGB(255, 0, 255));  // masked: the fuchsia under it

    // A button with a glyph of its own keeps it.
    TfcShapeBtn own(nullptr);
    TBitmap blue(5, 5);
    blue.Canvas().Brush().Color = clBlue;
    blue.Canvas().FillRect({0, 0, 5, 5});
    own.SetGlyph(blue);
    own.SetAction(&action);
    EXPECT_EQ(own.Glyph().Width(), 5);
    EXPECT_EQ(own.Glyph().Pixel(0, 0), clBlue);
}

TEST(ShapeButtonSetters, OptionsWithoutFocusableDropTheTabStop)
{
    TfcShapeBtn b(nullptr);
    b.SetOptions({boFocusable, boFocusRect});
    EXPECT_TRUE(b.TabStop());
    b.SetOptions({boFocusRect});
    EXPECT_FALSE(b.TabStop());
}

TEST(ShapeButtonLayout, CaptionAndGlyphPlacement)
{
    struct Case {
        const char* what;
        TfcLayoutInput in;
        TRect caption, glyph;
    };
    TfcLayoutInput key;
    key.Width = 75;
    key.Height = 150;
    key.TextWidth = 21;
    key.TextHeight = 14;
    key.HasCaption = true;
    key.DownOffset = {1, 1};
    TfcLayoutInput keyDown = key;
    keyDown.Down = true;
    // Glyph 16 x 16 on the left of a 40 x 10 caption in a 100 x 40 button.
    TfcLayoutInput glyphLeft;
    glyphLeft.Width = 100;
    glyphLeft.Height = 40;
    glyphLeft.TextWidth = 40;
    glyphLeft.TextHeight = 10;
    glyphLeft.HasCaption = true;
    glyphLeft.HasGlyph = true;
    glyphLeft.GlyphWidth = 16;
    glyphLeft.GlyphHeight = 16;
    TfcLayoutInput glyphTop = glyphLeft;
    glyphTop.Layout = blGlyphTop;
    TfcLayoutInput leftJustified = glyphLeft;
    leftJustified.Alignment = taLeftJustify;
    leftJustified.Margin = 2;
    TfcLayoutInput wide = key;
    wide.TextWidth = 300;
    wide.TextOffset = {0, -200};

    const std::vector<Case> cases{
        // P = (37, 75), s = -3: left = 37 - (21 - 3) / 2 - 3, top = 75 - 14 / 2.
        {"key up", key, {25, 68, 46, 82}, {28, 75, 28, 75}},
        {"key down", keyDown, {26, 69, 47, 83}, {29, 76, 29, 76}},
        // Block 16 + 4 + 40 = 60 wide around x = 50: glyph 20..36, caption 40..80.
        {"glyph left", glyphLeft, {40, 15, 80, 25}, {20, 12, 36, 28}},
        // Block 17 + 4 + 10 = 31 high around y = 20.
        {"glyph top", glyphTop, {30, 25, 70, 35}, {42, 5, 58, 21}},
        {"left justified", leftJustified, {22, 15, 62, 25}, {2, 12, 18, 28}},
        // Only the left and top are raised to 0 and the right and bottom lowered
        // to the size: a caption pushed above the button ends up empty.
        {"clipped", wide, {0, 0, 75, -118}, {-111, 75, -111, 75}},
    };
    for (const Case& c : cases) {
        const TfcLayoutResult r = fcArrangeGlyphAndCaption(c.in);
        EXPECT_EQ(r.Caption, c.caption) << c.what;
        EXPECT_EQ(r.Glyph, c.glyph) << c.what;
    }
}

// --- Window shapes of the keyboard

TEST_F(KeyboardTest, EveryKeyIsCutToItsDiamond)
{
    for (TfcShapeBtn* key : kb.keys) {
        ASSERT_TRUE(key->HasWindowRegion());
        for (TPoint v : {TPoint{37, 0}, TPoint{74, 74}, TPoint{37, 149}, TPoint{0, 74}})
            EXPECT_TRUE(key->ContainsPoint(v)) << key->Caption().toStdString();
        for (TPoint c : {TPoint{0, 0}, TPoint{74, 0}, TPoint{0, 149}, TPoint{74, 149}})
            EXPECT_FALSE(key->ContainsPoint(c)) << key->Caption().toStdString();
    }
    for (TfcShapeBtn* arrow : {kb.octaveDown, kb.octaveUp}) {
        ASSERT_TRUE(arrow->HasWindowRegion());
        EXPECT_FALSE(arrow->ContainsPoint({136, 0}));
    }
    EXPECT_TRUE(kb.octaveDown->ContainsPoint({0, 16}));
    EXPECT_TRUE(kb.octaveUp->ContainsPoint({136, 16}));
}

TEST_F(KeyboardTest, NoPixelOfTheKeyboardBelongsToTwoKeys)
{
    for (int y = 200; y < 500; ++y)
        for (int x = 0; x < kFormWidth; ++x) {
            int owners = 0;
            for (TfcShapeBtn* key : kb.keys)
                owners += key->ContainsPoint({x - key->Left(), y - key->Top()}) ? 1 : 0;
            ASSERT_LE(owners, 1) << x << "," << y;
        }
}

TEST_F(KeyboardTest, BlackDiamondInsideAWhiteRectangleTakesTheClick)
{
    // (90, 345) lies in the rectangles of "ДО" and "ДО #", and in the black
    // key's diamond only.
    const TPoint p{90, 345};
    ASSERT_TRUE(kb.keys[0]->BoundsRect().Contains(p));
    EXPECT_EQ(form.ControlAtPos(p), kb.keys[7]);
    ClickAt(p);
    EXPECT_EQ(log, (Log{"mousedown ДО #", "mouseup ДО #", "click ДО #"}));

    // In the black key's rectangle but outside its diamond: the white key.
    log.clear();
    const TPoint below{70, 380};
    ASSERT_TRUE(kb.keys[7]->BoundsRect().Contains(below));
    ClickAt(below);
    EXPECT_EQ(log, (Log{"mousedown ДО", "mouseup ДО", "click ДО"}));
}

TEST_F(KeyboardTest, PressAndReleaseOnAKeyClicksOnceWithTheKeyDrawnUp)
{
    TfcShapeBtn* key = kb.keys[1];
    bool downWhilePressed = false;
    key->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) {
        downWhilePressed = key->Down();
        // The pressed look is already on the surface: the right edge is light.
        EXPECT_EQ(SurfacePixel(*key, 57, 40), Rgb(clBtnHighlight));
    };
    key->OnClick = [&](TComponent*) {
        log.push_back(key->Down() ? "click down" : "click up");
        EXPECT_EQ(SurfacePixel(*key, 57, 40), Rgb(clBlack)) << "the up look is painted before OnClick";
    };
    ClickAt(KeyCentre(1));
    EXPECT_TRUE(downWhilePressed);
    EXPECT_EQ(log, (Log{"mouseup РЕ", "click up"}));
    EXPECT_FALSE(key->MousePressed());
}

TEST_F(KeyboardTest, DraggingOffTheDiamondPopsTheKeyUpAndCancelsTheClick)
{
    TfcShapeBtn* key = kb.keys[0];
    const TPoint centre = KeyCentre(0);
    const TPoint corner{24 + 3, 340 + 3};  // in the rectangle, outside the diamond
    Press(centre);
    EXPECT_TRUE(key->Down());
    Move(corner);
    EXPECT_FALSE(key->Down());
    Move(centre);
    EXPECT_TRUE(key->Down()) << "back on the diamond the key goes down again";
    Move(corner);
    Release(corner);
    EXPECT_FALSE(key->Down());
    EXPECT_EQ(log, (Log{"mousedown ДО", "mouseup ДО"}));
}

TEST_F(KeyboardTest, PressOnWhiteReleaseOnBlackClicksNeither)
{
    Press(KeyCentre(0));
    Move({90, 345});
    Release({90, 345});
    EXPECT_EQ(log, (Log{"mousedown ДО", "mouseup ДО"}));
    EXPECT_FALSE(kb.keys[0]->Down());
    EXPECT_FALSE(kb.keys[7]->Down());
}

TEST_F(KeyboardTest, TwoQuickPressesAreTwoClicks)
{
    QTest::mouseDClick(Window(), Qt::LeftButton, Qt::NoModifier, QPoint(KeyCentre(2).x, KeyCentre(2).y));
    EXPECT_EQ(std::count(log.begin(), log.end(), std::string("click МИ")), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), std::string("mousedown МИ")), 2);
}

TEST_F(KeyboardTest, TheRightButtonNeverClicks)
{
    Press(KeyCentre(3), Qt::RightButton);
    EXPECT_FALSE(kb.keys[3]->Down());
    Release(KeyCentre(3), Qt::RightButton);
    EXPECT_EQ(log, (Log{"mousedown ФА", "mouseup ФА"}));
}

TEST_F(KeyboardTest, ArrowsClickInsideTheirOutlineOnly)
{
    int clicks = 0;
    kb.octaveUp->OnClick = [&](TComponent*) { ++clicks; };
    ClickAt({496 + 130, 208 + 16});  // the head of the right arrow
    ClickAt({496 + 130, 208 + 2});   // beside the head
    EXPECT_EQ(clicks, 1);
}

// --- Painting through the control

TEST_F(KeyboardTest, KeysPaintTheirBevelAndFaceOntoTheirSurface)
{
    TfcShapeBtn* white = kb.keys[0];
    white->Repaint();
    EXPECT_EQ(SurfacePixel(*white, 57, 40), Rgb(clBlack));
    EXPECT_EQ(SurfacePixel(*white, 56, 40), Rgb(clBtnShadow));
    EXPECT_EQ(SurfacePixel(*white, 17, 40), Rgb(clBtnHighlight));
    EXPECT_EQ(SurfacePixel(*white, 18, 40), Rgb(cl3DLight));
    EXPECT_EQ(SurfacePixel(*white, 37, 30), kLightKey);

    TfcShapeBtn* black = kb.keys[7];
    black->SetDefault(true);
    black->Repaint();
    EXPECT_EQ(SurfacePixel(*black, 57, 40), Rgb(clBlack)) << "BtnFocus on the outline";
    EXPECT_EQ(SurfacePixel(*black, 56, 40), Rgb(clBlack)) << "BtnBlack one pixel in";
    EXPECT_EQ(SurfacePixel(*black, 55, 40), Rgb(clBtnShadow));
    EXPECT_EQ(SurfacePixel(*black, 37, 30), Rgb(cl3DDkShadow));
}

TEST_F(KeyboardTest, PressedKeyMovesItsCaptionOnePixel)
{
    TfcShapeBtn* key = kb.keys[4];
    key->Repaint();
    const TRect up = key->CaptionRect();
    Press(KeyCentre(4));
    EXPECT_EQ(key->CaptionRect(), up.Offset(1, 1));
    Release(KeyCentre(4));
    EXPECT_EQ(key->CaptionRect(), up);
}

TEST_F(KeyboardTest, ResizeRecomputesTheShape)
{
    TfcShapeBtn* key = kb.keys[0];
    key->SetBounds(key->Left(), key->Top(), 101, 61);
    EXPECT_EQ(key->WindowRegion().BoundingBox(), (TRect{0, 0, 101, 61}));
    EXPECT_TRUE(key->ContainsPoint({50, 0}));
    EXPECT_FALSE(key->ContainsPoint({37, 0})) << "the old diamond's apex";
    key->SetBounds(key->Left(), key->Top(), 75, 150);
    EXPECT_TRUE(key->ContainsPoint({37, 0}));
}

TEST_F(FormTest, RedButtonKeepsItsShapeAndFace)
{
    TfcShapeBtn* b = AddButton(10, 10, 75, 150);
    b->SetShape(bsDiamond);
    b->SetColor(clRed);
    Finish(200, 200);
    EXPECT_TRUE(b->ContainsPoint({37, 0}));
    EXPECT_TRUE(b->ContainsPoint({37, 75}));
    EXPECT_FALSE(b->ContainsPoint({0, 0}));
    b->Repaint();
    EXPECT_EQ(SurfacePixel(*b, 37, 30), clRed);
}

// A subclass that sets its own face brush through the canvas-attributes hook.
class TintedButton : public TfcShapeBtn {
public:
    using TfcShapeBtn::TfcShapeBtn;
    int overrideCalls = 0;

protected:
    void ComputeCanvasAttributes(TCanvas& canvas) override
    {
        ++overrideCalls;
        TfcShapeBtn::ComputeCanvasAttributes(canvas);  // fires the event
        canvas.Brush().Color = clLime;
    }
};

TEST_F(FormTest, TheCanvasAttributesOverrideRunsWithOrWithoutTheEvent)
{
    auto* b = new TintedButton(&form);  // owned by the form
    b->SetParent(&form);
    b->SetBounds(10, 10, 75, 150);
    Finish(200, 200);
    b->overrideCalls = 0;
    b->Repaint();
    EXPECT_GT(b->overrideCalls, 0) << "no event assigned";
    EXPECT_EQ(SurfacePixel(*b, 37, 75), clLime);

    int eventCalls = 0;
    b->OnComputeCanvasAttributes = [&eventCalls](TComponent*, TCanvas&) { ++eventCalls; };
    b->overrideCalls = 0;
    b->Repaint();
    EXPECT_GT(b->overrideCalls, 0);
    EXPECT_EQ(eventCalls, b->overrideCalls) << "the default fires the event";
}

TEST_F(FormTest, PressedGroupButtonDithersByPixelParity)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    b->SetGroupIndex(1);
    b->SetColor(clGreen);
    Finish(100, 100);
    b->SetDown(true);
    b->Repaint();
    for (int y = 10; y < 14; ++y)
        for (int x = 10; x < 14; ++x)
            EXPECT_EQ(SurfacePixel(*b, x, y), (x + y) % 2 == 0 ? clWhite : clGreen) << x << "," << y;
    b->SetGroupIndex(0);
    b->Repaint();
    EXPECT_EQ(SurfacePixel(*b, 10, 10), clGreen) << "a momentary button never dithers";
}

// --- Groups

TEST_F(FormTest, GroupButtonsReleaseEachOther)
{
    TfcShapeBtn* a = AddButton(0, 0, 40, 40);
    TfcShapeBtn* b = AddButton(50, 0, 40, 40);
    Finish(100, 50);
    Log sel;
    for (auto [btn, name] : {std::pair{a, "a"}, {b, "b"}}) {
        btn->SetGroupIndex(1);
        btn->OnSelChange = [&sel, name = std::string(name)](TComponent*) { sel.push_back(name); };
    }
    ClickAt({20, 20});
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(sel, (Log{"a"}));
    ClickAt({70, 20});
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(sel, (Log{"a", "a", "b"}));
    // Without AllowAllUp a down button stays down.
    ClickAt({70, 20});
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(sel.size(), 3u);
    b->SetAllowAllUp(true);
    ClickAt({70, 20});
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(sel.back(), "b");
    EXPECT_EQ(sel.size(), 4u);
}

TEST_F(FormTest, SettingDownInAGroupReleasesTheOthers)
{
    TfcShapeBtn* a = AddButton(0, 0, 40, 40);
    TfcShapeBtn* b = AddButton(50, 0, 40, 40);
    a->SetGroupIndex(2);
    b->SetGroupIndex(2);
    Finish(100, 50);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
}

// --- Keyboard

TEST_F(FormTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton)
{
    TfcShapeBtn* ok = AddButton(0, 0, 40, 40);
    TfcShapeBtn* cancel = AddButton(50, 0, 40, 40);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCancel(true);
    Finish(100, 50);
    Log log;
    ok->OnClick = [&](TComponent*) { log.push_back("ok"); };
    cancel->OnClick = [&](TComponent*) { log.push_back("cancel"); };
    EXPECT_TRUE(form.DialogKey(Qt::Key_Return, 0));
    EXPECT_EQ(form.ModalResult(), mrOk);
    EXPECT_FALSE(form.DialogKey(Qt::Key_Return, ssShift));
    EXPECT_TRUE(form.DialogKey(Qt::Key_Escape, 0));
    EXPECT_EQ(log, (Log{"ok", "cancel"}));
    form.SetModalResult(mrNone);
}

TEST_F(FormTest, SpaceClicksAFocusedButtonAndAcceleratorsClickToo)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    b->SetOptions({boFocusable});
    b->SetCaption(QStringLiteral("&Go"));
    Finish(100, 50);
    int clicks = 0;
    b->OnClick = [&](TComponent*) { ++clicks; };
    b->SetFocus();
    QTest::keyClick(Window(), Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());
    EXPECT_TRUE(form.DialogChar(QLatin1Char('g'), 0));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(form.DialogChar(QLatin1Char('o'), 0));
}

// --- Outlines from text and streams

TEST_F(FormTest, MalformedCustomPointsFallBackToARectangle)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    Finish(100, 50);
    b->SetShape(bsCustom);
    EXPECT_THROW(b->SetPointList({"0, 0", "WIDTH 0", "0, HEIGHT"}), EInvalidOperation);
    EXPECT_EQ(b->Shape(), bsRect);
    b->SetPointList({"0, 0", "1/0, 0", "0, HEIGHT"});
    EXPECT_THROW(b->SetShape(bsCustom), EInvalidOperation);
    EXPECT_EQ(b->Shape(), bsRect);
    EXPECT_FALSE(b->HasWindowRegion());
    b->SetPointList({"0, 0", "WIDTH, 0", "0, HEIGHT"});
    b->SetShape(bsCustom);
    EXPECT_TRUE(b->ContainsPoint({1, 1}));
    EXPECT_FALSE(b->ContainsPoint({38, 38}));
}

TEST_F(FormTest, RegionDataStreamIsUsedUntilTheFirstResize)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    b->SetShape(bsDiamond);
    const std::vector<std::uint8_t> data = TRegion(TRect{0, 0, 5, 5}).ToData();
    QByteArray stream(4, '\0');
    stream[0] = char(data.size() & 0xFF);
    stream[1] = char((data.size() >> 8) & 0xFF);
    stream.append(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    b->ReadRegionData(stream);
    b->ReadDownRegionData(QByteArray("\x10\0\0\0garbage", 11));
    EXPECT_TRUE(b->HasCachedRegion(fcflUp));
    EXPECT_FALSE(b->HasCachedRegion(fcflDown));
    Finish(100, 50);
    EXPECT_EQ(b->WindowRegion(), TRegion(TRect{0, 0, 5, 5}));
    b->SetWidth(41);
    EXPECT_TRUE(b->ContainsPoint({20, 20}));
}

// --- Bad sizes

TEST_F(FormTest, DegenerateSizesNeitherFaultNorShape)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    b->SetShape(bsArrow);
    b->SetOrientation(soRight);
    b->SetCaption(QStringLiteral("x"));
    Finish(100, 50);
    for (const auto& [w, h] : {std::pair{0, 0}, {1, 1}, {1, 30}, {30, 1}, {10000, 2}, {2, 10000}}) {
        b->SetBounds(0, 0, w, h);
        b->Repaint();
        if (w <= 1 && h <= 1) {
            EXPECT_FALSE(b->HasWindowRegion()) << w << "x" << h;
        }
    }
    b->SetBounds(0, 0, 1, 30);
    EXPECT_TRUE(b->ContainsPoint({0, 29})) << "a one-pixel column keeps its whole rectangle";
}

// --- Caption passes, observers, parent clipping, copying

namespace {

// Records where the caption is drawn.
class CaptionProbe : public TfcShapeBtn {
public:
    using TfcShapeBtn::TfcShapeBtn;
    struct Pass {
        bool onSurface;
        TRect rect;
    };
    std::vector<Pass> passes;

protected:
    void DrawCaption(TCanvas& canvas, const TRect& r) override
    {
        passes.push_back({&canvas == &Canvas(), r});
        TfcShapeBtn::DrawCaption(canvas, r);
    }
};

}  // namespace

TEST(ShapeButtonPaint, SmoothFontDrawsTheCaptionASecondTimeOnTheControl)
{
    CaptionProbe b(nullptr);
    b.SetCaption(QStringLiteral("ДО"));
    b.Repaint();
    ASSERT_EQ(b.passes.size(), 1u);
    EXPECT_FALSE(b.passes[0].onSurface) << "composed off screen first";
    b.passes.clear();
    b.SetSmoothFont(true);
    b.Repaint();
    ASSERT_EQ(b.passes.size(), 2u);
    EXPECT_FALSE(b.passes[0].onSurface);
    EXPECT_TRUE(b.passes[1].onSurface);
    EXPECT_EQ(b.passes[0].rect, b.passes[1].rect);
}

TEST_F(FormTest, ObserversHearOfLoadingGoingDownAndSelectionChanges)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    Log heard;
    TfcChangeLink link;
    link.OnLoaded = [&](TfcCustomBitBtn* s) { heard.push_back(s == b ? "loaded" : "?"); };
    link.OnDown = [&](TfcCustomBitBtn*) { heard.push_back("down"); };
    link.OnSelChange = [&](TfcCustomBitBtn*) { heard.push_back("sel"); };
    b->AddChangeLink(&link);
    b->AddChangeLink(&link);
    b->SetGroupIndex(1);
    Finish(100, 50);
    ClickAt({20, 20});
    b->RemoveChangeLink(&link);
    b->SetDown(false);
    EXPECT_EQ(heard, (Log{"loaded", "down", "sel"}));
}

TEST_F(FormTest, AssigningParentClippingSwitchesTheParentsClippingOff)
{
    TfcShapeBtn* b = AddButton(0, 0, 40, 40);
    EXPECT_TRUE(b->ParentClipping());
    b->SetParentClipping(true);
    EXPECT_FALSE(b->ParentClipping());
    TfcShapeBtn orphan(nullptr);
    EXPECT_FALSE(orphan.ParentClipping());
    Finish(100, 50);
}

TEST(ShapeButtonAssign, CopiesTheLookThroughTheSetters)
{
    TfcShapeBtn a(nullptr), b(nullptr);
    a.SetShape(bsStar);
    a.SetOrientation(soLeft);
    a.SetDitherColor(clNone);
    a.SetColor(clGreen);
    a.SetMargin(6);
    a.SetNumGlyphs(3);
    a.SetOptions({boFocusable});
    a.ShadeColors().SetBtnFocus(clRed);
    a.Offsets().SetTextDownX(3);
    a.TextOptions().SetStyle(fclsOutline);
    b.Assign(&a);
    EXPECT_EQ(b.Shape(), bsStar);
    EXPECT_EQ(b.Orientation(), soLeft);
    EXPECT_EQ(b.DitherColor(), clNone);
    EXPECT_EQ(b.Color(), clGreen);
    EXPECT_EQ(b.Margin(), 6);
    EXPECT_EQ(b.NumGlyphs(), 3);
    EXPECT_EQ(b.Options(), TfcButtonOptions{boFocusable});
    EXPECT_EQ(b.ShadeColors().BtnFocus(), clRed);
    EXPECT_EQ(b.Offsets().TextDownX(), 3);
    EXPECT_EQ(b.TextOptions().Style(), fclsOutline);
}
