// The control model and the standard controls: inherited colour and font,
// setters that change nothing, window shapes, docking, and the pixels of the
// panel, shape and label.
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QTest>

#include <string>
#include <vector>

namespace {

// A control that counts its notifications.
class Probe : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void ColorChanged() override
    {
        ++color;
        TGraphicControl::ColorChanged();
    }
    void FontChanged() override
    {
        ++font;
        TGraphicControl::FontChanged();
    }
    void TextChanged() override
    {
        ++text;
        TGraphicControl::TextChanged();
    }
    void EnabledChanged() override
    {
        ++enabled;
        TGraphicControl::EnabledChanged();
    }
    void VisibleChanged() override { ++visible; }
    void Resize() override { ++resized; }
    void Paint() override { ++paints; }
    int color = 0, font = 0, text = 0, enabled = 0, visible = 0, resized = 0, paints = 0;
};

// The pixel of a control's image as a colour (transparent pixels: clNone).
TColor At(const TControl& c, int x, int y)
{
    const QRgb px = c.Surface().pixel(x, y);
    if (qAlpha(px) == 0)
        return clNone;
    return PixelToColor(px);
}

}  // namespace

TEST(ParentColor, FollowsTheParentUntilTheControlsOwnIsSet)
{
    TWinControl parent(nullptr);
    parent.SetColor(clBlue);
    auto* child = new Probe(&parent);  // owned by parent
    child->SetParentColor(true);
    child->SetParent(&parent);
    EXPECT_EQ(child->Color(), clBlue);

    parent.SetColor(clAqua);
    EXPECT_EQ(child->Color(), clAqua);
    EXPECT_TRUE(child->ParentColor());

    child->SetColor(clRed);
    EXPECT_FALSE(child->ParentColor());
    parent.SetColor(clGreen);
    EXPECT_EQ(child->Color(), clRed);

    child->SetParentColor(true);
    EXPECT_EQ(child->Color(), clGreen);
}

TEST(ParentColor, ReachesGrandchildrenThroughAFollowingParent)
{
    TWinControl form(nullptr);
    auto* panel = new TWinControl(&form);
    panel->SetParent(&form);
    panel->SetParentColor(true);
    auto* label = new TLabel(&form);  // labels follow their parent by default
    label->SetParent(panel);
    form.SetColor(clBlue);
    EXPECT_EQ(panel->Color(), clBlue);
    EXPECT_EQ(label->Color(), clBlue);
}

TEST(ParentFont, FollowsTheParentUntilTheControlsOwnIsSet)
{
    TWinControl parent(nullptr);
    auto* child = new Probe(&parent);
    child->SetParent(&parent);
    EXPECT_TRUE(child->ParentFont());

    parent.Font().SetName(QStringLiteral("Times New Roman"));
    parent.Font().SetHeight(-13);
    EXPECT_EQ(child->Font().Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(child->Font().Height(), -13);
    EXPECT_TRUE(child->ParentFont());

    child->Font().SetStyle(fsBold);
    EXPECT_FALSE(child->ParentFont());
    parent.Font().SetHeight(-20);
    EXPECT_EQ(child->Font().Height(), -13);

    child->SetParentFont(true);
    EXPECT_EQ(child->Font().Height(), -20);
    EXPECT_EQ(child->Font().Style(), 0);
}

TEST(Setters, ThatChangeNothingDoNothing)
{
    TWinControl parent(nullptr);
    auto* p = new Probe(&parent);
    p->SetParent(&parent);
    p->SetBounds(1, 2, 30, 40);
    p->SetColor(clRed);
    p->SetCaption(QStringLiteral("x"));
    p->SetEnabled(false);
    p->SetVisible(false);
    const int color = p->color, text = p->text, enabled = p->enabled, visible = p->visible, resized = p->resized;

    p->SetBounds(1, 2, 30, 40);
    p->SetWidth(30);
    p->SetColor(clRed);
    p->SetCaption(QStringLiteral("x"));
    p->SetEnabled(false);
    p->SetVisible(false);
    p->SetParentColor(false);
    p->SetAlign(alNone);

    EXPECT_EQ(p->color, color);
    EXPECT_EQ(p->text, text);
    EXPECT_EQ(p->enabled, enabled);
    EXPECT_EQ(p->visible, visible);
    EXPECT_EQ(p->resized, resized);
}

TEST(Setters, ChangesNotifyOnce)
{
    Probe p(nullptr);
    p.SetColor(clRed);
    p.SetCaption(QStringLiteral("x"));
    p.SetEnabled(false);
    p.SetWidth(p.Width() + 1);
    EXPECT_EQ(p.color, 1);
    EXPECT_EQ(p.text, 1);
    EXPECT_EQ(p.enabled, 1);
    EXPECT_EQ(p.resized, 1);
}

TEST(Painting, RepaintPaintsNowAndInvalidatePaintsAtTheNextPaintEvent)
{
    Probe p(nullptr);
    p.SetBounds(0, 0, 4, 4);
    p.Repaint();
    EXPECT_EQ(p.paints, 1);
    (void)p.grab();  // a paint event with nothing invalidated: the image is reused
    EXPECT_EQ(p.paints, 1);
    p.Invalidate();
    (void)p.grab();
    EXPECT_EQ(p.paints, 2);
}

TEST(WindowShape, ChildAtPointHonoursEachChildsShape)
{
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 50, 50);
    auto* below = new Probe(&parent);
    below->SetParent(&parent);
    below->SetBounds(0, 0, 40, 40);
    auto* above = new Probe(&parent);
    above->SetParent(&parent);
    above->SetBounds(10, 10, 30, 30);
    // Only the top-left 10 x 10 of the upper control is its shape.
    above->SetWindowRegion(TRegion(TRect{0, 0, 10, 10}));
    parent.Show();

    EXPECT_EQ(parent.ControlAtPos({12, 12}), above);
    EXPECT_EQ(parent.ControlAtPos({25, 25}), below);  // inside above's rectangle, outside its shape
    EXPECT_EQ(parent.ControlAtPos({45, 45}), nullptr);
    // Qt answers the same: pointer input goes where the shape is.
    EXPECT_EQ(parent.childAt(12, 12), above);
    EXPECT_EQ(parent.childAt(25, 25), below);

    above->SetEnabled(false);
    EXPECT_EQ(parent.ControlAtPos({12, 12}), above);
    EXPECT_EQ(parent.ControlAtPos({12, 12}, TWinControl::TControlAtPos::EnabledOnly), below);
    above->Hide();
    EXPECT_EQ(parent.ControlAtPos({12, 12}), below);

    above->Show();
    above->ClearWindowRegion();
    EXPECT_EQ(parent.ControlAtPos({25, 25}), above);
    parent.Hide();
}

TEST(Geometry, AControlSizedBeforeItHasAParentKeepsEverySizeOnScreen)
{
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 400, 100);
    auto* label = new TLabel(&parent);  // sized by its constructor while parentless
    label->SetParent(&parent);
    label->SetAutoSize(false);
    label->SetBounds(8, 8, 284, 15);
    EXPECT_EQ(label->geometry(), QRect(8, 8, 284, 15));
    label->SetBounds(8, 8, 20, 40);
    EXPECT_EQ(label->geometry(), QRect(8, 8, 20, 40));
}

TEST(Align, TopAndBottomDockSpanTheParentsWidth)
{
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 657, 523);
    auto* top = new Probe(&parent);
    top->SetParent(&parent);
    top->SetBounds(5, 30, 100, 41);
    top->SetAlign(alTop);
    auto* bottom = new Probe(&parent);
    bottom->SetParent(&parent);
    bottom->SetBounds(0, 0, 10, 15);
    bottom->SetAlign(alBottom);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 657, 41));
    EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 508, 657, 15));

    parent.SetBounds(0, 0, 300, 200);
    EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 41));
    EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 185, 300, 15));
}

TEST(Components, OwnerFreesWhatItOwnsAndNothingTwice)
{
    auto* form = new TForm(nullptr);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* label = new TLabel(form);  // owned by the form, placed on the panel
    label->SetParent(panel);
    label->SetName(QStringLiteral("Label1"));
    auto* timer = new TTimer(form);
    (void)timer;
    EXPECT_EQ(form->ComponentCount(), 3);
    EXPECT_EQ(form->FindComponent(QStringLiteral("label1")), label);

    delete panel;  // takes the label (its Qt child) with it
    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->FindComponent(QStringLiteral("Label1")), nullptr);
    delete form;
}

TEST(Loading, ControlsMadeByALayoutAreLoadingUntilLoaded)
{
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    EXPECT_TRUE(label->Loading());
    form.AfterConstruction();
    EXPECT_FALSE(label->Loading());
    EXPECT_FALSE(form.Loading());
    auto* later = new TLabel(&form);
    EXPECT_FALSE(later->Loading());
}

TEST(Mouse, ClickFiresAfterMouseUpOnlyWhenReleasedInside)
{
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 100, 100);
    auto* c = new Probe(&parent);
    c->SetParent(&parent);
    c->SetBounds(10, 10, 20, 20);
    std::vector<std::string> log;
    c->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    c->OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    c->OnClick = [&](TComponent*) { log.push_back("click"); };
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mousePress(c, Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mouseRelease(c, Qt::LeftButton, {}, QPoint(50, 4));
    QTest::mouseClick(c, Qt::RightButton, {}, QPoint(3, 4));
    EXPECT_EQ(log, (std::vector<std::string>{"down 3,4", "up", "click", "down 3,4", "up", "down 3,4", "up"}));
}

// --- Standard controls' pixels

TEST(PanelPaint, OuterAndInnerBevelRings)
{
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 8, 6);
    panel.SetColor(clAqua);
    panel.SetBevelInner(bvLowered);  // outer stays raised
    panel.Repaint();
    const TColor hi = PixelToColor(ColorToPixel(clBtnHighlight));
    const TColor sh = PixelToColor(ColorToPixel(clBtnShadow));
    const TColor face = clAqua;
    // Rows of the 8 x 6 image: raised ring outside, lowered ring inside.
    const TColor expected[6][8] = {
        {hi, hi, hi, hi, hi, hi, hi, sh},
        {hi, sh, sh, sh, sh, sh, hi, sh},
        {hi, sh, face, face, face, face, hi, sh},
        {hi, sh, face, face, face, face, hi, sh},
        {hi, hi, hi, hi, hi, hi, hi, sh},
        {sh, sh, sh, sh, sh, sh, sh, sh},
    };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(panel, x, y), expected[y][x]) << "at " << x << "," << y;
}

TEST(PanelPaint, BevelNoneLeavesOnlyTheFace)
{
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 4, 4);
    panel.SetColor(clRed);
    panel.SetBevelOuter(bvNone);
    panel.Repaint();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(panel, x, y), clRed);
}

TEST(ShapePaint, ATwentyPixelCircleTouchesEachEdgeOfItsBounds)
{
    TShape shape(nullptr);
    shape.SetShape(stCircle);
    shape.SetBounds(0, 0, 20, 20);
    shape.Brush().SetColor(clBtnFace);
    EXPECT_EQ(shape.FigureRect(), TRect(0, 0, 20, 20));
    shape.Repaint();
    EXPECT_EQ(At(shape, 10, 0), clBlack);
    EXPECT_EQ(At(shape, 0, 10), clBlack);
    EXPECT_EQ(At(shape, 19, 10), clBlack);
    EXPECT_EQ(At(shape, 10, 19), clBlack);
    EXPECT_EQ(At(shape, 0, 0), clNone);  // outside the circle the parent shows
    EXPECT_EQ(At(shape, 19, 19), clNone);
    EXPECT_EQ(At(shape, 10, 10), PixelToColor(ColorToPixel(clBtnFace)));

    // A new brush colour shows at the next paint without anything else.
    shape.Brush().SetColor(clGreen);
    (void)shape.grab();
    EXPECT_EQ(At(shape, 10, 10), clGreen);
}

TEST(ShapePaint, AOnePixelWideRectangleIsAVerticalLineInThePenColour)
{
    TShape shape(nullptr);
    shape.SetBounds(0, 0, 1, 33);
    shape.Pen().SetColor(RGB(160, 150, 131));
    EXPECT_EQ(shape.FigureRect(), TRect(0, 0, 1, 33));
    shape.Repaint();
    for (int y = 0; y < 33; ++y)
        EXPECT_EQ(At(shape, 0, y), RGB(160, 150, 131)) << y;
}

TEST(ShapePaint, FigureRectFollowsThePenWidth)
{
    TShape shape(nullptr);
    shape.SetBounds(0, 0, 30, 20);
    shape.Pen().SetWidth(3);
    EXPECT_EQ(shape.FigureRect(), TRect(1, 1, 29, 19));
    shape.SetShape(stSquare);
    EXPECT_EQ(shape.FigureRect(), TRect(6, 1, 24, 19));
    shape.Pen().SetWidth(0);
    EXPECT_EQ(shape.FigureRect(), TRect(5, 0, 25, 20));
}

TEST(LabelPaint, AnOpaqueLabelFillsItsRectangleAndATransparentOneDoesNot)
{
    TLabel label(nullptr);
    label.SetAutoSize(false);
    label.SetBounds(0, 0, 12, 6);
    label.SetColor(clBtnFace);
    label.SetCaption(QString());
    label.Repaint();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(At(label, x, y), PixelToColor(ColorToPixel(clBtnFace)));
    label.SetTransparent(true);
    label.Repaint();
    EXPECT_EQ(At(label, 5, 3), clNone);
}

TEST(ImagePaint, ThePictureIsDrawnUnscaledAtTheTopLeft)
{
    TImage image(nullptr);
    image.SetBounds(0, 0, 6, 6);
    QImage pic(3, 2, QImage::Format_RGB32);
    pic.fill(QColor(255, 0, 0));
    image.SetPicture(pic);
    image.Repaint();
    EXPECT_EQ(At(image, 0, 0), clRed);
    EXPECT_EQ(At(image, 2, 1), clRed);
    EXPECT_EQ(At(image, 3, 1), clNone);
    EXPECT_EQ(At(image, 2, 2), clNone);
}

TEST(PaintTo, AParentPaintsItselfAndItsWindowlessChildrenAtAnOffset)
{
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 10, 10);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clBlue);
    auto* shape = new TShape(&panel);
    shape->SetParent(&panel);
    shape->SetBounds(5, 5, 2, 2);
    shape->Pen().SetColor(clRed);
    TBitmap target(6, 6);
    target.Canvas().Brush().Color = clWhite;
    target.Canvas().FillRect({0, 0, 6, 6});
    // The part of the panel under a control at (4, 4): it lands at (0, 0).
    panel.PaintTo(target.Canvas(), {-4, -4});
    EXPECT_EQ(target.Pixel(0, 0), clBlue);
    EXPECT_EQ(target.Pixel(1, 1), clRed);
    EXPECT_EQ(target.Pixel(5, 5), clBlue);
    EXPECT_EQ(target.Pixel(6, 6), clNone);
    EXPECT_EQ(target.Canvas().ViewportOrg(), TPoint(0, 0));
}

TEST(ButtonPaint, RaisedFaceAndPressedLook)
{
    TButton b(nullptr);
    b.SetBounds(0, 0, 10, 8);
    b.SetCaption(QString());
    b.Repaint();
    EXPECT_EQ(At(b, 0, 0), PixelToColor(ColorToPixel(clBtnHighlight)));
    EXPECT_EQ(At(b, 9, 7), PixelToColor(ColorToPixel(cl3DDkShadow)));
    EXPECT_EQ(At(b, 8, 6), PixelToColor(ColorToPixel(clBtnShadow)));
    EXPECT_EQ(At(b, 5, 4), PixelToColor(ColorToPixel(clBtnFace)));
}

TEST(Timer, TicksOnlyWhileEnabledWithAnInterval)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TComponent*) { ++ticks; };
    timer.Tick();
    EXPECT_EQ(ticks, 1);
    timer.SetInterval(0);
    timer.SetEnabled(false);
    timer.SetInterval(5);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 5u);
}

TEST(ListBox, KeepsItemsAndSelection)
{
    TListBox list(nullptr);
    list.SetItems({QStringLiteral("субконтроктава"), QStringLiteral("контроктава")});
    list.SetItemIndex(1);
    EXPECT_EQ(list.ItemIndex(), 1);
    list.SetItemIndex(5);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.AddItem(QStringLiteral("большая октава"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items().at(2), QStringLiteral("большая октава"));
}
