// The flat combo box's skin: frame, arrow button (down, up while dropped,
// etched when disabled), the focused highlight running into the selection
// edge, the font reset and the derived colours.
#include "controls/flat/TFlatComboBoxUnit.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"

#include "tests/controls/flat/PixelArt.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr TColor kBorder = RGB(160, 150, 131);
constexpr TColor kArrowBack = RGB(217, 214, 197);
constexpr TColor kOutside = RGB(255, 0, 255);
constexpr int kW = 191;
constexpr int kH = 23;

// The main window's exercise selector.
void MakeSelector(TFlatComboBox& c)
{
    c.SetBounds(16, 8, kW, kH);
    c.SetStyle(csDropDownList);
    c.SetColor(clWindow);
    c.Font().SetName(QStringLiteral("Times New Roman"));
    c.Font().SetHeight(-12);
    c.SetItemHeight(15);
    c.SetItems({QStringLiteral("Упражнение \"ноты\""), QStringLiteral("Упражнение \"интервалы\"")});
    c.SetItemIndex(0);
}

// The control drawn at (10, 10) on a bitmap 20 pixels larger each way, which
// starts in a colour the control never uses.
std::unique_ptr<TBitmap> Render(TFlatComboBox& c)
{
    auto bmp = std::make_unique<TBitmap>(c.Width() + 20, c.Height() + 20);
    FillBitmap(*bmp, kOutside);
    c.PaintTo(bmp->Canvas(), {10, 10});
    return bmp;
}

// Rows of a part of the bitmap (control coordinates) as characters.
std::vector<std::string> Art(const TBitmap& bmp, const TRect& r, const std::map<TColor, char>& legend)
{
    std::vector<std::string> rows;
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::string row;
        for (int x = r.Left; x < r.Right; ++x) {
            const auto it = legend.find(bmp.Pixel(x + 10, y + 10));
            row += it == legend.end() ? '?' : it->second;
        }
        rows.push_back(row);
    }
    return rows;
}

TColor At(const TBitmap& bmp, int x, int y)
{
    return bmp.Pixel(x + 10, y + 10);
}

bool OutsideUntouched(const TBitmap& bmp)
{
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const bool inside = x >= 10 && y >= 10 && x < bmp.Width() - 10 && y < bmp.Height() - 10;
            if (!inside && bmp.Pixel(x, y) != kOutside)
                return false;
        }
    return true;
}

}  // namespace

TEST(FlatCombo, ConstructionDefaults)
{
    TFlatComboBox c(nullptr);
    EXPECT_EQ(c.ColorArrow(), clBlack);
    EXPECT_EQ(c.ColorArrowBackground(), kArrowBack);
    EXPECT_EQ(c.ColorBorder(), kBorder);
    EXPECT_EQ(c.AdvColorBorder(), 50);
    EXPECT_EQ(c.AdvColorArrowBackground(), 10);
    EXPECT_FALSE(c.UseAdvColors());
    EXPECT_EQ(c.ItemHeight(), 13);
    EXPECT_EQ(c.DropDownCount(), 8);
    EXPECT_EQ(c.Style(), csDropDown);
    EXPECT_FALSE(c.Sorted());
    EXPECT_EQ(c.MaxLength(), 0);
    EXPECT_EQ(c.Color(), clWindow);
    EXPECT_TRUE(c.Enabled());
    EXPECT_TRUE(c.TabStop());
    EXPECT_TRUE(c.ParentFont());
    EXPECT_TRUE(c.ControlStyle() & csOpaque);
}

TEST(FlatCombo, FrameRingsAndArrowButton)
{
    TFlatComboBox c(nullptr);
    MakeSelector(c);
    const auto bmp = Render(c);
    const struct {
        int x, y;
        TColor c;
    } probes[] = {
        {0, 0, kBorder},          {0, 22, kBorder},         {177, 0, kBorder},        {178, 11, kBorder},
        {1, 1, clWhite},          {2, 2, clWhite},          {177, 11, clWhite},       {176, 20, clWhite},
        {175, 11, clWhite},       {190, 0, kBorder},        {190, 22, kBorder},       {179, 1, kArrowBack},
        {189, 21, kArrowBack},    {184, 12, clBlack},       {182, 10, clBlack},       {186, 10, clBlack},
    };
    for (const auto& p : probes)
        EXPECT_EQ(At(*bmp, p.x, p.y), p.c) << p.x << "," << p.y;
    EXPECT_TRUE(OutsideUntouched(*bmp));
}

// The triangle points down while closed, up while dropped and down again
// however the list went away.
TEST(FlatCombo, DroppingFlipsTheArrowAndClosingFlipsItBack)
{
    const std::map<TColor, char> legend{{kArrowBack, '.'}, {clBlack, '#'}};
    const std::vector<std::string> down = {"..#####...", "...###....", "....#.....", ".........."};
    const std::vector<std::string> up = {"....#.....", "...###....", "..#####...", ".........."};
    const TRect cell{180, 10, 190, 14};
    enum class Way { Return, Escape, Click, Outside, Code };
    for (Way way : {Way::Return, Way::Escape, Way::Click, Way::Outside, Way::Code}) {
        TFlatComboBox c(nullptr);
        MakeSelector(c);
        EXPECT_EQ(Art(*Render(c), cell, legend), down);
        QTest::keyClick(&c, Qt::Key_F4);
        ASSERT_TRUE(c.DroppedDown());
        EXPECT_EQ(Art(*Render(c), cell, legend), up) << int(way);
        auto* list = dynamic_cast<QAbstractItemView*>(c.ListWidget());
        ASSERT_TRUE(list);
        switch (way) {
        case Way::Return: QTest::keyClick(list, Qt::Key_Return); break;
        case Way::Escape: QTest::keyClick(list, Qt::Key_Escape); break;
        case Way::Click:
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(1, 0)).center());
            break;
        case Way::Outside: list->hide(); break;
        case Way::Code: c.SetDroppedDown(false); break;
        }
        EXPECT_FALSE(c.DroppedDown());
        EXPECT_EQ(Art(*Render(c), cell, legend), down) << int(way);
    }
}

TEST(FlatCombo, DisabledArrowIsGreyWithAWhiteCopyBelowRight)
{
    TFlatComboBox c(nullptr);
    MakeSelector(c);
    c.SetEnabled(false);
    const std::map<TColor, char> legend{{kArrowBack, '.'}, {RGB(128, 128, 128), 'g'}, {clWhite, 'w'}};
    const std::vector<std::string> expected = {
        "..........", "..ggggg...", "...gggww..", "....gww...", ".....w....", "..........",
    };
    EXPECT_EQ(Art(*Render(c), {180, 9, 190, 15}, legend), expected);
}

// Focused and closed, the current item stands in highlight colours from the
// text's left edge without a gap up to the end of the selection edge.
TEST(FlatCombo, FocusedClosedDropDownListShowsAContinuousHighlight)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 240, 60);
    auto* c = new TFlatComboBox(&form);  // owned by the form
    c->SetParent(&form);
    MakeSelector(*c);
    auto* other = new TFlatComboBox(&form);  // owned by the form
    other->SetParent(&form);
    other->SetTop(35);
    form.Show();
    QCoreApplication::processEvents();
    c->SetFocus();
    QCoreApplication::processEvents();
    if (!c->Focused())
        GTEST_SKIP() << "this platform does not give the focus";

    const TColor hl = PixelToColor(ColorToPixel(clHighlight));
    auto focused = Render(*c);
    for (int y = 3; y < 20; ++y) {
        EXPECT_EQ(At(*focused, 3, y), hl) << y;
        EXPECT_EQ(At(*focused, 174, y), hl) << y;   // end of the selection edge
        EXPECT_EQ(At(*focused, 160, y), hl) << y;   // the field under the text
        EXPECT_EQ(At(*focused, 175, y), clWhite) << y;
    }
    for (int x = 3; x < 175; ++x) {
        EXPECT_EQ(At(*focused, x, 3), hl) << x;    // the focus frame's top and bottom
        EXPECT_EQ(At(*focused, x, 19), hl) << x;
        EXPECT_EQ(At(*focused, x, 2), clWhite) << x;
    }
    // The text is drawn in the highlight-text colour, and nothing in the
    // window-text colour.
    int light = 0, dark = 0;
    for (int y = 4; y < 19; ++y)
        for (int x = 4; x < 170; ++x) {
            const TColor px = At(*focused, x, y);
            light += px == clWhite;
            dark += px == clBlack;
        }
    EXPECT_GT(light, 20);
    EXPECT_EQ(dark, 0);

    // Dropped, or without the focus, the field takes Color again.
    c->SetDroppedDown(true);
    EXPECT_EQ(At(*Render(*c), 174, 10), clWhite);
    c->SetDroppedDown(false);
    other->SetFocus();
    QCoreApplication::processEvents();
    ASSERT_FALSE(c->Focused());
    const auto unfocused = Render(*c);
    EXPECT_EQ(At(*unfocused, 3, 3), clWhite);
    EXPECT_EQ(At(*unfocused, 174, 10), clWhite);
    form.Hide();
}

TEST(FlatCombo, FontChangeResetsItemHeightAndKeepsItemsAndSelection)
{
    TFlatComboBox c(nullptr);
    MakeSelector(c);
    c.SetItemIndex(1);
    c.SetDroppedDown(true);
    EXPECT_EQ(c.ItemHeight(), 15);
    c.Font().SetHeight(-16);
    EXPECT_EQ(c.ItemHeight(), 13);
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.ItemIndex(), 1);
    EXPECT_EQ(c.Text(), QStringLiteral("Упражнение \"интервалы\""));
}

TEST(FlatCombo, AdvancedColoursComeFromTheParentOnly)
{
    TFlatComboBox lone(nullptr);
    lone.SetUseAdvColors(true);
    EXPECT_EQ(lone.ColorBorder(), kBorder);
    EXPECT_EQ(lone.ColorArrowBackground(), kArrowBack);

    TForm parent(nullptr);
    parent.SetColor(RGB(200, 180, 150));
    auto* c = new TFlatComboBox(&parent);  // owned by the parent
    c->SetParent(&parent);
    c->SetUseAdvColors(true);
    EXPECT_EQ(c->ColorBorder(), DeriveShade(RGB(200, 180, 150), kBorder, 50, TShadeDirection::Darken));
    EXPECT_EQ(c->ColorArrowBackground(), DeriveShade(RGB(200, 180, 150), kArrowBack, 10, TShadeDirection::Darken));
    parent.SetColor(RGB(40, 90, 160));
    EXPECT_EQ(c->ColorBorder(), DeriveShade(RGB(40, 90, 160), kBorder, 50, TShadeDirection::Darken));
    c->SetAdvColorBorder(0);  // percent 0 keeps the colour
    EXPECT_EQ(c->ColorBorder(), DeriveShade(RGB(40, 90, 160), kBorder, 50, TShadeDirection::Darken));
}

// Awkward contents never draw outside the control nor fault.
TEST(FlatCombo, AwkwardContentsStayInsideTheControl)
{
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many << QString::number(i);
    const struct {
        const char* what;
        QStringList items;
        int index;
        TComboBoxStyle style;
    } rows[] = {
        {"no items", {}, -1, csDropDownList},
        {"10000 items", many, 9999, csDropDownList},
        {"a long item", {QString(5000, QChar(u'Ш'))}, 0, csDropDownList},
        {"a long item, editable", {QString(5000, QChar(u'Ш'))}, 0, csDropDown},
    };
    for (const auto& r : rows) {
        TFlatComboBox c(nullptr);
        MakeSelector(c);
        c.SetStyle(r.style);
        c.SetItems(r.items);
        c.SetItemIndex(r.index);
        for (int key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Up})
            QTest::keyClick(&c, Qt::Key(key));
        const auto closed = Render(c);
        EXPECT_TRUE(OutsideUntouched(*closed)) << r.what;
        EXPECT_EQ(At(*closed, 184, 12), clBlack) << r.what;  // the arrow is still there
        c.SetDroppedDown(true);
        EXPECT_TRUE(OutsideUntouched(*Render(c))) << r.what;
        c.SetDroppedDown(false);
    }
}
