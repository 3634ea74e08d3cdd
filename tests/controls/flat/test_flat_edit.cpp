// The flat edit and memo: frame looks, the hot rules, the colour setters and
// the height that follows the font.
#include "controls/flat/TFlatEditUnit.h"
#include "controls/flat/TFlatMemoUnit.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include "tests/support/ShownForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QTest>

namespace {

constexpr TColor kFlat = RGB(200, 10, 10);
constexpr TColor kFocused = RGB(10, 200, 10);
constexpr TColor kBorder = RGB(10, 10, 200);

void PointerEnters(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &e);
}

void PointerLeaves(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

template <class T>
void Colour(T* c)
{
    c->SetColorFlat(kFlat);
    c->SetColorFocused(kFocused);
    c->SetColorBorder(kBorder);
}

// The whole control as it shows on screen (editor, children and frame).
QImage Grab(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TColor At(const QImage& img, int x, int y)
{
    return PixelToColor(img.pixel(x, y));
}

TEST(FlatMemoFrame, ProbesOfTheIdleAndHotLooks)
{
    ShownForm f{700, 300};
    auto* memo = f.Add<TFlatMemo>(10, 10, 120, 60);
    auto* other = f.Add<TFlatEdit>(10, 100, 50, 19);
    Colour(memo);
    f.Show();
    PointerLeaves(memo);  // wherever the platform put the pointer
    const struct {
        bool hot;
        TColor inner;
    } looks[] = {{false, kFlat}, {true, kFocused}};
    for (const auto& look : looks) {
        if (look.hot)
            memo->SetFocus();
        else
            other->SetFocus();
        ASSERT_EQ(memo->Hot(), look.hot) << memo->Focused() << other->Focused();
        EXPECT_EQ(memo->Color(), look.inner);
        const QImage img = Grab(memo);
        const struct {
            int x, y;
            TColor c;
        } probes[] = {{0, 0, kBorder},      {119, 0, kBorder},     {0, 59, kBorder},     {119, 59, kBorder},
                      {60, 0, kBorder},     {1, 1, look.inner},    {2, 2, look.inner},   {118, 58, look.inner},
                      {117, 30, look.inner}, {60, 57, look.inner}, {60, 30, look.inner}, {4, 50, look.inner}};
        for (const auto& p : probes)
            EXPECT_EQ(At(img, p.x, p.y), p.c) << (look.hot ? "hot " : "idle ") << p.x << "," << p.y;
    }
}

TEST(FlatMemoFrame, TheCornerBetweenTwoScrollBarsTakesTheInnerColour)
{
    ShownForm f{700, 300};
    auto* memo = f.Add<TFlatMemo>(10, 10, 120, 80);
    Colour(memo);
    memo->SetScrollBars(ssBoth);
    f.Show();
    const QImage img = Grab(memo);
    for (int y = 80 - 19; y < 80 - 3; ++y)
        for (int x = 120 - 19; x < 120 - 3; ++x)
            ASSERT_EQ(At(img, x, y), memo->Color()) << x << "," << y;
    // The scroll bars themselves are the platform's, in the button face.
    EXPECT_NE(At(img, 120 - 10, 30), memo->Color());
    EXPECT_NE(At(img, 30, 80 - 10), memo->Color());
}

TEST(FlatMemoHot, ThePointerCountsOnlyWhileNoMemoHasTheFocus)
{
    ShownForm f{700, 300};
    auto* focusedMemo = f.Add<TFlatMemo>(10, 10, 100, 50);
    auto* hovered = f.Add<TFlatMemo>(120, 10, 100, 50);
    auto* edit = f.Add<TFlatEdit>(10, 100, 50, 19);
    f.Show();
    if (!f.form.Active())
        GTEST_SKIP() << "this platform does not activate windows";
    const struct {
        TWinControl* focus;
        bool hoveredHot;
    } rows[] = {{focusedMemo, false}, {edit, true}};
    for (const auto& r : rows) {
        r.focus->SetFocus();
        PointerEnters(hovered);
        EXPECT_EQ(hovered->Hot(), r.hoveredHot) << r.focus->ClassName().toStdString();
        EXPECT_EQ(hovered->Color(), r.hoveredHot ? hovered->ColorFocused() : hovered->ColorFlat());
        PointerLeaves(hovered);
        EXPECT_FALSE(hovered->Hot());
    }
    // The edit is hot under the pointer whatever has the focus.
    focusedMemo->SetFocus();
    PointerEnters(edit);
    EXPECT_TRUE(edit->Hot());
    PointerLeaves(edit);
    EXPECT_TRUE(focusedMemo->Hot());
}

TEST(FlatColours, ColorFlatAfterParentColorAndBack)
{
    TPanel parent(nullptr);
    parent.SetColor(RGB(1, 2, 3));
    auto* memo = new TFlatMemo(&parent);  // owned by the parent
    EXPECT_TRUE(memo->ParentColor());
    EXPECT_EQ(memo->ColorFlat(), TFlatMemo::DefaultColorFlat);  // no parent yet: unchanged
    memo->SetParent(&parent);
    EXPECT_EQ(memo->ColorFlat(), RGB(1, 2, 3));
    EXPECT_EQ(memo->Color(), RGB(1, 2, 3));

    memo->SetColorFlat(clBtnFace);
    EXPECT_FALSE(memo->ParentColor());
    parent.SetColor(RGB(4, 5, 6));
    EXPECT_EQ(memo->ColorFlat(), clBtnFace);

    memo->SetParentColor(true);
    EXPECT_EQ(memo->ColorFlat(), RGB(4, 5, 6));
    parent.SetColor(RGB(7, 8, 9));
    EXPECT_EQ(memo->ColorFlat(), RGB(7, 8, 9));
    EXPECT_EQ(memo->Color(), RGB(7, 8, 9));

    // Derived colours follow the parent as well.
    memo->SetUseAdvColors(true);
    EXPECT_TRUE(memo->ParentColor());
    EXPECT_EQ(memo->ColorBorder(), DeriveShade(RGB(7, 8, 9), TFlatMemo::DefaultColorBorder, 50, TShadeDirection::Darken));
    memo->SetUseAdvColors(false);
    EXPECT_FALSE(memo->ParentColor());
}

TEST(FlatEditHeight, FollowsTheFontOnceTheLayoutIsRead)
{
    TForm form(nullptr);  // loading until AfterConstruction
    auto* edit = new TFlatEdit(&form);  // owned by the form
    edit->SetParent(&form);
    edit->SetBounds(5, 5, 121, 30);
    // A font whose text is 13 pixels high, as the main window's.
    TFont font;
    bool found = false;
    for (const char* name : {"MS Sans Serif", "Times New Roman"})
        for (int h = -8; h >= -16 && !found; --h) {
            font.SetName(QString::fromLatin1(name));
            font.SetHeight(h);
            found = FontTextHeight(font) == 13;
        }
    if (!found) {
        // The fonts here measure otherwise: the rule still holds.
        font.SetName(QStringLiteral("MS Sans Serif"));
        font.SetHeight(-11);
    }
    edit->SetFont(font);
    form.AfterConstruction();
    const int text = FontTextHeight(font);
    EXPECT_EQ(edit->Height(), text + 6);
    EXPECT_EQ(edit->ClientHeight(), text);
    if (found) {
        EXPECT_EQ(edit->Height(), 19);
    }
}

}  // namespace
