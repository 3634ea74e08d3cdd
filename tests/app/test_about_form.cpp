#include "app/Unit3.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// The About window as the program has it: owned by the application.
std::unique_ptr<TForm3> MakeAbout()
{
    return std::make_unique<TForm3>(nullptr);
}

TPoint DesktopCentreFor(const TForm& form)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return {area.x() + (area.width() - form.Width()) / 2, area.y() + (area.height() - form.Height()) / 2};
}

// Runs f inside the modal loop once form is the active window. The offscreen
// platform activates a window only the first time it is shown (it keeps a
// hidden window as its focus window), so from then on the test activates it
// as a desktop would.
void WhenActive(TForm& form, std::function<void()> f, int turnsLeft = 100)
{
    QTimer::singleShot(0, [&form, f = std::move(f), turnsLeft]() mutable {
        if (form.Active())
            f();
        else if (turnsLeft > 0) {
            if (turnsLeft == 90)
                QApplication::setActiveWindow(&form);
            WhenActive(form, std::move(f), turnsLeft - 1);
        } else {
            ADD_FAILURE() << "the window never became active";
            form.Close();
        }
    });
}

}  // namespace

// Every way of closing it ends the modal loop and hides the window; each
// showing puts the window back in the middle of the desktop (even after it
// was moved) with "OK" focused, so Return works without a click first.
TEST(AboutWindow, EveryShowingIsCentredWithOkFocusedAndEveryWayOutCloses)
{
    auto form = MakeAbout();
    form->AfterConstruction();
    const struct {
        const char* way;
        std::function<void(TForm3&)> close;
        TModalResult expected;
    } cases[] = {
        {"OK clicked", [](TForm3& f) { QTest::mouseClick(f.Button1, Qt::LeftButton); }, mrOk},
        {"Return typed", [](TForm3&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, mrOk},
        {"Space typed", [](TForm3&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }, mrOk},
        {"desktop close request",
         [](TForm3& f) {
             QCloseEvent close;
             QApplication::sendEvent(&f, &close);
         },
         mrCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        TPoint shownAt{-1, -1};
        bool okFocused = false;
        WhenActive(*form, [&] {
            shownAt = {form->Left(), form->Top()};
            okFocused = QApplication::focusWidget() == form->Button1;
            // Moved while up: the next showing must not start from here.
            form->SetBounds(3, 4, form->Width(), form->Height());
            c.close(*form);
        });
        EXPECT_EQ(form->ShowModal(), c.expected);
        EXPECT_FALSE(form->Visible());
        EXPECT_EQ(shownAt, DesktopCentreFor(*form));
        EXPECT_TRUE(okFocused);
        EXPECT_EQ(form->Width(), 203);
        EXPECT_EQ(form->Height(), 312);
    }
}

// The key picture: white caps Z..M in the lower row, grey caps S D G H J half
// a cap to the right in the row above, none over the gap between C and V.
// Each cap: black outline, light top-left edge, grey bottom-right edge, face,
// and a letter (some black pixel) on the face.
TEST(AboutWindow, KeyPictureShowsEachCapWhereItsKeyLies)
{
    auto form = MakeAbout();
    const TBitmap& pic = form->Image1->Picture();
    ASSERT_EQ(pic.Width(), 203);
    ASSERT_EQ(pic.Height(), 70);
    const TColor white = clWhite, grey = RGB(192, 192, 192), shadow = RGB(128, 128, 128);
    const struct {
        char letter;
        int left, top;
        TColor face;
    } caps[] = {
        {'Z', 8, 38, white},  {'X', 35, 38, white}, {'C', 62, 38, white},  {'V', 89, 38, white},
        {'B', 116, 38, white}, {'N', 143, 38, white}, {'M', 170, 38, white}, {'S', 22, 8, grey},
        {'D', 49, 8, grey},    {'G', 103, 8, grey},   {'H', 130, 8, grey},   {'J', 157, 8, grey},
    };
    for (const auto& c : caps) {
        SCOPED_TRACE(std::string(1, c.letter));
        EXPECT_EQ(pic.Pixel(c.left, c.top), clBlack);
        EXPECT_EQ(pic.Pixel(c.left + 23, c.top + 23), clBlack);
        EXPECT_EQ(pic.Pixel(c.left + 23, c.top + 12), clBlack);
        EXPECT_EQ(pic.Pixel(c.left + 1, c.top + 12), white);
        EXPECT_EQ(pic.Pixel(c.left + 22, c.top + 12), shadow);
        EXPECT_EQ(pic.Pixel(c.left + 12, c.top + 21), shadow);
        EXPECT_EQ(pic.Pixel(c.left + 3, c.top + 3), c.face);
        EXPECT_EQ(pic.Pixel(c.left - 1, c.top + 12), white) << "ground left of the cap";
        int ink = 0;
        for (int y = c.top + 4; y < c.top + 20; ++y)
            for (int x = c.left + 4; x < c.left + 20; ++x)
                ink += pic.Pixel(x, y) == clBlack;
        EXPECT_GT(ink, 4) << "no letter on the cap";
    }
    // The upper caps stand over the gaps: S over Z|X, ..., J over N|M.
    for (int gapCentre : {33, 60, 114, 141, 168})
        EXPECT_EQ(pic.Pixel(gapCentre, 11), grey) << gapCentre;
    // Nothing over the gap between C and V (no black key between МИ and ФА),
    // and white ground around and between the rows.
    for (int x = 73; x < 103; ++x)
        EXPECT_EQ(pic.Pixel(x, 11), white) << x;
    for (int x = 0; x < 203; ++x) {
        EXPECT_EQ(pic.Pixel(x, 34), white) << x;
        EXPECT_EQ(pic.Pixel(x, 66), white) << x;
    }
}

// The About text: name and version on their own lines, every line centred,
// read-only, no scroll bars, on the window's colour.
TEST(AboutWindow, TextShowsNameAndVersionCentredReadOnly)
{
    auto form = MakeAbout();
    const TFlatMemo& memo = *form->FlatMemo1;
    const QStringList expectedStart{QString(), QStringLiteral("Ладотон"), QString(), QStringLiteral("версия 1.0"),
                                    QString()};
    ASSERT_GE(form->FlatMemo1->Lines().Count(), 6);
    for (int i = 0; i < expectedStart.size(); ++i)
        EXPECT_EQ(form->FlatMemo1->Lines().Strings(i), expectedStart[i]) << i;
    EXPECT_EQ(memo.Alignment(), taCenter);
    EXPECT_TRUE(memo.ReadOnly());
    EXPECT_EQ(memo.ScrollBars(), ssNone);
    EXPECT_TRUE(form->FlatMemo1->ParentColor());
    EXPECT_EQ(form->FlatMemo1->ColorFlat(), clBtnFace);
}
