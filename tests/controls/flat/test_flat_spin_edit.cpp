// The flat spin edit: geometry, reading and limiting the value, keys,
// refused input and its beep.
#include "controls/flat/TFlatSpinEditUnit.h"

#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <climits>

namespace {

struct BeepCounter {
    int count = 0;
    TBeepFunction previous = SetBeepFunction([this] { ++count; });
    ~BeepCounter() { SetBeepFunction(previous); }
};

TFont WindowFont()
{
    TFont f;
    f.SetName(QStringLiteral("MS Sans Serif"));
    f.SetHeight(-11);
    return f;
}

// A window as its layout builds it, with the pause field and a companion to
// take the focus.
struct PauseForm {
    TForm form{nullptr};
    TFlatSpinEditInteger* spin;
    TFlatSpinEditInteger* other;
    explicit PauseForm(int width = 56, int minValue = 10, int maxValue = 500, int value = 100)
    {
        form.SetClientSize(300, 100);
        form.SetFont(WindowFont());
        spin = Make(55, 7, width, minValue, maxValue, value);
        other = Make(150, 7, 43, 1, 10, 1);
        form.AfterConstruction();
    }
    TFlatSpinEditInteger* Make(int l, int t, int w, int minValue, int maxValue, int value)
    {
        auto* s = new TFlatSpinEditInteger(&form);  // owned by the form
        s->SetParent(&form);
        s->SetBounds(l, t, w, 20);
        s->SetMinValue(minValue);
        s->SetMaxValue(maxValue);
        s->SetValue(value);
        s->SetColorFlat(clBtnFace);
        s->SetAutoSize(false);
        return s;
    }
    void Show()
    {
        form.Show();
        QApplication::setActiveWindow(&form);
        QCoreApplication::processEvents();
    }
    ~PauseForm() { form.Hide(); }
};

QWidget* EditorOf(TFlatSpinEditInteger* s)
{
    return s->Editor();
}

TEST(FlatSpinGeometry, TheMainWindowsFieldsWithTheWindowFont)
{
    const struct {
        int width;
        int textWidth;
    } rows[] = {{43, 12}, {56, 25}};
    for (const auto& r : rows) {
        PauseForm f(r.width);
        TFlatSpinEditInteger* s = f.spin;
        const int minimum = FontTextHeight(WindowFont()) + 7;
        // 20 with the fonts of the original desktop (text height 13).
        EXPECT_EQ(s->Height(), minimum) << r.width;
        EXPECT_EQ(s->ClientHeight(), s->Height() - 6);
        EXPECT_EQ(s->SpinButton()->BoundsRect(), Bounds(r.width - 27, 0, 22, s->Height() - 6));
        EXPECT_EQ(s->TextRect(), (TRect{0, 0, r.textWidth, s->Height() - 6}));
        EXPECT_EQ(s->Text(), QStringLiteral("100"));
    }
}

TEST(FlatSpinValue, ReadingWritingAndLimiting)
{
    TFlatSpinEditInteger s(nullptr);
    // Written before OnChange is assigned: nothing to raise.
    s.SetValue(5);
    EXPECT_EQ(s.Value(), 5);
    // No limits: counts freely, and saturates at the ends of the range.
    s.SetValue(INT_MAX);
    s.StepUp();
    EXPECT_EQ(s.Value(), INT_MAX);
    s.SetValue(INT_MIN);
    s.StepDown();
    EXPECT_EQ(s.Value(), INT_MIN);

    // Swapped limits: everything below the minimum becomes it, above the
    // maximum too.
    s.SetMinValue(10);
    s.SetMaxValue(5);
    const struct {
        int in, shown;
    } swapped[] = {{7, 10}, {3, 10}, {12, 5}};
    for (const auto& r : swapped) {
        s.SetValue(r.in);
        EXPECT_EQ(s.Value(), r.shown) << r.in;
    }

    s.SetMinValue(10);
    s.SetMaxValue(500);
    int changes = 0;
    s.OnChange = [&](TComponent*) { ++changes; };
    s.SetValue(500);
    changes = 0;
    s.StepUp();
    EXPECT_EQ(s.Text(), QStringLiteral("500"));
    EXPECT_EQ(changes, 0);
    s.StepDown();
    EXPECT_EQ(s.Value(), 499);
    EXPECT_EQ(changes, 1);
}

TEST(FlatSpinValue, TextThatIsNoNumberReadsAsTheMinimumAndStaysOnLeaving)
{
    const QString sep = QString(QLocale().decimalPoint());
    const struct {
        QString text;
        int value;
        QString afterLeaving;
    } rows[] = {
        {QStringLiteral("5"), 5, QStringLiteral("10")},
        {QStringLiteral("900"), 900, QStringLiteral("500")},
        {QStringLiteral("-"), 10, QStringLiteral("-")},
        {QStringLiteral("+"), 10, QStringLiteral("+")},
        {QString(), 10, QString()},
        {QStringLiteral("1") + sep + QStringLiteral("5"), 10, QStringLiteral("1") + sep + QStringLiteral("5")},
        {QStringLiteral("12\x01"), 10, QStringLiteral("12\x01")},
        {QStringLiteral("99999999999"), 500, QStringLiteral("500")},
        {QStringLiteral("-99999999999"), 10, QStringLiteral("10")},
    };
    PauseForm f;
    f.Show();
    for (const auto& r : rows) {
        f.spin->SetFocus();
        f.spin->SetText(r.text);
        EXPECT_EQ(f.spin->Value(), r.value) << r.text.toStdString();
        f.other->SetFocus();
        EXPECT_EQ(f.spin->Text(), r.afterLeaving) << r.text.toStdString();
    }
}

TEST(FlatSpinKeys, ReturnIsRefusedWithABeep)
{
    PauseForm f;
    BeepCounter beeps;
    QTest::keyClick(EditorOf(f.spin), Qt::Key_Return);
    QTest::keyClick(EditorOf(f.spin), Qt::Key_Enter);
    EXPECT_EQ(beeps.count, 2);
    EXPECT_EQ(f.spin->Text(), QStringLiteral("100"));
}

TEST(FlatSpinKeys, WithoutTypingTheArrowsAndKeysStillStep)
{
    PauseForm f;
    TFlatSpinEditInteger* s = f.other;  // the note count: 1..10, typing off
    s->SetEditorEnabled(false);
    s->SetValue(3);
    BeepCounter beeps;
    QApplication::clipboard()->setText(QStringLiteral("7"));
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int beeps;
    } refused[] = {{Qt::Key_5, {}, 1}, {Qt::Key_Backspace, {}, 1}, {Qt::Key_Delete, {}, 1},
                   {Qt::Key_Minus, {}, 1}, {Qt::Key_V, Qt::ControlModifier, 0}, {Qt::Key_X, Qt::ControlModifier, 0}};
    for (const auto& r : refused) {
        const int before = beeps.count;
        s->SelectAll();
        QTest::keyClick(EditorOf(s), Qt::Key(r.key), r.mods);
        EXPECT_EQ(s->Text(), QStringLiteral("3")) << r.key;
        EXPECT_EQ(beeps.count - before, r.beeps) << r.key;
    }
    QTest::keyClick(EditorOf(s), Qt::Key_Up);
    QTest::keyClick(EditorOf(s), Qt::Key_Up);
    EXPECT_EQ(s->Value(), 5);
    QTest::keyClick(EditorOf(s), Qt::Key_Down);
    EXPECT_EQ(s->Value(), 4);
    s->SpinButton()->UpButton()->Click();
    EXPECT_EQ(s->Value(), 5);
    s->SpinButton()->DownButton()->Click();
    EXPECT_EQ(s->Value(), 4);

    // A read-only field only beeps.
    s->SetReadOnly(true);
    const int before = beeps.count;
    QTest::keyClick(EditorOf(s), Qt::Key_Up);
    EXPECT_EQ(s->Value(), 4);
    EXPECT_EQ(beeps.count - before, 1);
}

TEST(FlatSpinBadInput, PastedMegabytesAndControlCharactersDoNoHarm)
{
    PauseForm f;
    TFlatSpinEditInteger* s = f.spin;
    BeepCounter beeps;
    const struct {
        QString clip;
    } rows[] = {{QString(4 * 1024 * 1024, QLatin1Char('7'))},
                {QStringLiteral("1\r\n2\t3\x01\x1b")},
                {QString(QChar(0)) + QStringLiteral("42")}};
    for (const auto& r : rows) {
        QApplication::clipboard()->setText(r.clip);
        s->SelectAll();
        QTest::keyClick(EditorOf(s), Qt::Key_V, Qt::ControlModifier);
        EXPECT_LE(s->Text().size(), 32767);
        EXPECT_TRUE(r.clip.startsWith(s->Text().left(16)));
        const int v = s->Value();
        EXPECT_TRUE(v == 10 || v == 500) << v;
    }
    // Typed characters pass the filter: digits, signs and the separator only.
    s->SelectAll();
    QTest::keyClicks(EditorOf(s), QStringLiteral("1a-b"));
    EXPECT_EQ(s->Text(), QStringLiteral("1-"));
    EXPECT_EQ(beeps.count, 2);
    EXPECT_TRUE(s->AcceptsKey(QLocale().decimalPoint().at(0)));
}

TEST(FlatSpinFocus, AnArrowPressMovesTheFocusInAndSelectsTheText)
{
    PauseForm f;
    f.Show();
    f.other->SetFocus();
    ASSERT_TRUE(f.other->Focused());
    QTest::mousePress(f.spin->SpinButton()->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(f.spin->Focused());
    EXPECT_EQ(f.spin->SelLength(), 3);
    QTest::mouseRelease(f.spin->SpinButton()->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.spin->Value(), 101);
}

// The arrows must not pull the focus in on their own press, but a click in
// the text must: the pause is typed after clicking into it.
TEST(FlatSpinFocus, AClickInTheTextFocusesIt)
{
    for (const bool typing : {true, false}) {
        SCOPED_TRACE(typing ? "editor enabled" : "editor disabled");
        PauseForm f;
        f.spin->SetEditorEnabled(typing);
        f.Show();
        f.other->SetFocus();
        ASSERT_TRUE(f.other->Focused());
        QTest::mouseClick(f.form.windowHandle(), Qt::LeftButton, {}, QPoint(55 + 10, 7 + 10));
        EXPECT_TRUE(f.spin->Focused());
    }
}

TEST(FlatSpinFrame, TheArrowsLastColumnHidesUnderTheFrame)
{
    PauseForm f;
    f.Show();
    f.other->SetFocus();
    const QImage img = f.spin->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = f.spin->Width();
    const int h = f.spin->Height();
    for (int y = 1; y < h - 1; ++y) {
        EXPECT_EQ(PixelToColor(img.pixel(w - 3, y)), PixelToColor(ColorToPixel(clBtnFace))) << y;
        EXPECT_EQ(PixelToColor(img.pixel(w - 1, y)), TFlatSpinEditInteger::DefaultColorBorder) << y;
    }
    EXPECT_EQ(PixelToColor(img.pixel(0, 0)), TFlatSpinEditInteger::DefaultColorBorder);
}

}  // namespace
