// The edit and memo bases: lines, read-only, capacity, input routing, the
// non-client border and the beep.
#include "platform/core/Exceptions.h"
#include "platform/ui/Editors.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include "tests/support/ShownForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Records beeps for its lifetime.
struct BeepCounter {
    int count = 0;
    TBeepFunction previous = SetBeepFunction([this] { ++count; });
    ~BeepCounter() { SetBeepFunction(previous); }
};

// A memo with a border, as the flat controls make it.
class BorderedMemo : public TCustomMemo {
public:
    explicit BorderedMemo(TComponent* owner, int border = 3) : TCustomMemo(owner) { SetBorder(border); }
};

TEST(EditLines, SplitOnCrLfLoneCrAndLoneLf)
{
    const struct {
        const char* text;
        QStringList lines;
    } rows[] = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\rb\n", {"a", "", "b"}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
    };
    TCustomMemo memo(nullptr);
    for (const auto& r : rows) {
        memo.Lines().SetText(QString::fromUtf8(r.text));
        EXPECT_EQ(memo.Lines().List(), r.lines) << r.text;
        EXPECT_EQ(memo.Lines().Count(), int(r.lines.size())) << r.text;
        EXPECT_FALSE(memo.Text().contains(QLatin1Char('\r'))) << r.text;
    }
    memo.Lines().SetText(QStringLiteral("x\ry"));
    EXPECT_EQ(memo.Lines().Text(), QStringLiteral("x\r\ny\r\n"));
    memo.Lines().Add(QStringLiteral("z"));
    EXPECT_EQ(memo.Lines().Strings(2), QStringLiteral("z"));
}

TEST(EditText, ChangeIsRaisedByRealChangesOnly)
{
    TCustomEdit edit(nullptr);
    int changes = 0;
    edit.OnChange = [&](TComponent*) { ++changes; };
    edit.SetText(QStringLiteral("100"));
    edit.SetText(QStringLiteral("100"));
    EXPECT_EQ(changes, 1);
    QTest::keyClicks(edit.Editor(), QStringLiteral("5"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit.Text(), static_cast<QLineEdit*>(edit.Editor())->text());
}

TEST(MemoCapacity, ALongerTextIsRefusedAndTheOldTextStays)
{
    TCustomMemo memo(nullptr);
    memo.SetText(QStringLiteral("old"));
    const QString full(MemoCapacity, QLatin1Char('x'));
    memo.SetText(full);
    EXPECT_EQ(memo.Text().size(), MemoCapacity);
    memo.SetText(QStringLiteral("old"));
    try {
        memo.SetText(full + QLatin1Char('x'));
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Text exceeds memo capacity"));
    }
    EXPECT_EQ(memo.Text(), QStringLiteral("old"));
    EXPECT_EQ(static_cast<QPlainTextEdit*>(memo.Editor())->toPlainText(), QStringLiteral("old"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(MemoCapacity + 1, 'y'));
    f.close();
    EXPECT_THROW(memo.Lines().LoadFromFile(path), EOutOfResources);
    EXPECT_EQ(memo.Text(), QStringLiteral("old"));
    EXPECT_THROW(memo.Lines().LoadFromFile(dir.filePath(QStringLiteral("missing.txt"))), EFOpenError);
    EXPECT_EQ(memo.Text(), QStringLiteral("old"));
}

TEST(MemoBadInput, NulBytesAndInvalidUtf8ArriveWhole)
{
    TCustomMemo memo(nullptr);
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b\nc") + QChar(0);
    memo.SetText(withNul);
    EXPECT_EQ(memo.Text(), withNul);
    EXPECT_EQ(memo.Lines().Count(), 2);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Not UTF-8: read as Windows-1251, one character per byte.
    f.write(QByteArray("\xCF\xF0\xE8\r\n\xC0\xFF\x80\xC3\x28", 10));
    f.close();
    memo.Lines().LoadFromFile(path);
    EXPECT_EQ(memo.Lines().List(), (QStringList{QStringLiteral("При"), QStringLiteral("Ая\u0402Г(")}));
}

TEST(ReadOnlyMemo, TakesTheFocusIgnoresTypingAndPasteAndCopies)
{
    ShownForm f{300, 200};
    auto* other = f.Add<TCustomEdit>(10, 100, 50, 20);
    auto* memo = f.Add<TCustomMemo>(10, 10, 200, 80);
    memo->SetReadOnly(true);
    memo->SetText(QStringLiteral("line one\nline two"));
    f.Show();
    other->SetFocus();
    auto* editor = static_cast<QPlainTextEdit*>(memo->Editor());
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_TRUE(memo->Focused());
    EXPECT_TRUE(memo->FocusedByMouse());

    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(editor, QStringLiteral("xyz"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    memo->PasteFromClipboard();
    memo->CutToClipboard();
    EXPECT_EQ(memo->Text(), QStringLiteral("line one\nline two"));

    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("line one\nline two"));
}

// The style caches a scroll bar's pixmaps per palette: a memo whose colour
// changes at every focus change (the flat memo) must not hand its scroll
// bars a new palette each time, or that cache grows with every change.
TEST(MemoColours, TheScrollBarsKeepTheirPaletteWhileTheTextColoursChange)
{
    ShownForm f{300, 200};
    auto* memo = f.Add<TCustomMemo>(10, 10, 200, 80);
    memo->SetScrollBars(ssBoth);
    f.Show();
    auto* editor = static_cast<QPlainTextEdit*>(memo->Editor());
    memo->SetColor(clBtnFace);
    QCoreApplication::processEvents();
    const QColor face = editor->palette().color(QPalette::Base);
    for (QScrollBar* bar : {editor->verticalScrollBar(), editor->horizontalScrollBar()}) {
        const qint64 before = bar->palette().cacheKey();
        const QColor button = bar->palette().color(QPalette::Button);
        for (TColor c : {clWhite, clBtnFace, clWhite, clBtnFace}) {
            memo->SetColor(c);
            memo->Font().SetColor(c == clWhite ? clBlack : clWindowText);
            QCoreApplication::processEvents();
            // The text area itself does take the colour.
            EXPECT_EQ(editor->palette().color(QPalette::Base) == face, c == clBtnFace);
        }
        EXPECT_EQ(bar->palette().cacheKey(), before);
        EXPECT_EQ(bar->palette().color(QPalette::Button), button);
    }
}

TEST(EditFocus, ArrivalByKeyboardSelectsTheTextAndByMouseDoesNot)
{
    ShownForm f{300, 200};
    auto* first = f.Add<TCustomEdit>(10, 10, 100, 20);
    auto* edit = f.Add<TCustomEdit>(10, 40, 100, 20);
    edit->SetText(QStringLiteral("12345"));
    f.Show();
    first->SetFocus();
    QTest::keyClick(first->Editor(), Qt::Key_Tab);
    ASSERT_TRUE(edit->Focused());
    EXPECT_FALSE(edit->FocusedByMouse());
    EXPECT_EQ(edit->SelLength(), 5);

    first->SetFocus();
    QTest::mouseClick(edit->Editor(), Qt::LeftButton, {}, QPoint(2, 5));
    ASSERT_TRUE(edit->Focused());
    EXPECT_TRUE(edit->FocusedByMouse());
    EXPECT_EQ(edit->SelLength(), 0);
}

TEST(EditKeys, TheControlSeesKeysFirstAndMayUseThemUp)
{
    TCustomEdit edit(nullptr);
    edit.OnKeyPress = [](TComponent*, QChar& c) {
        if (c == QLatin1Char('x'))
            c = QChar();
        else if (c == QLatin1Char('a'))
            c = QLatin1Char('b');
    };
    int downs = 0;
    edit.OnKeyDown = [&](TComponent*, TKeyCode& key, TShiftState) {
        ++downs;
        if (key == Qt::Key_Home)
            key = 0;
    };
    QTest::keyClicks(edit.Editor(), QStringLiteral("1x2a"));
    EXPECT_EQ(edit.Text(), QStringLiteral("12b"));
    QTest::keyClick(edit.Editor(), Qt::Key_Home);
    EXPECT_EQ(edit.SelStart(), 3);
    EXPECT_EQ(downs, 5);

    edit.SetMaxLength(4);
    QTest::keyClicks(edit.Editor(), QStringLiteral("789"));
    EXPECT_EQ(edit.Text(), QStringLiteral("12b7"));
}

TEST(NonClientBorder, InsetsTheClientAreaChildrenAndScrollBars)
{
    ShownForm f{300, 200};
    f.form.SetClientSize(700, 200);
    auto* memo = f.Add<BorderedMemo>(10, 10, 641, 105);
    memo->SetScrollBars(ssVertical);
    f.Show();
    EXPECT_EQ(memo->ClientRect(), (TRect{0, 0, 635, 99}));
    EXPECT_EQ(memo->Editor()->geometry(), QRect(3, 3, 635, 99));

    auto* bar = static_cast<QPlainTextEdit*>(memo->Editor())->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QRect barRect(bar->mapTo(memo, QPoint(0, 0)), bar->size());
    EXPECT_EQ(barRect.left(), 641 - 19);
    EXPECT_EQ(barRect.right() + 1, 641 - 3);
    EXPECT_EQ(barRect.top(), 3);
    EXPECT_EQ(barRect.bottom() + 1, 105 - 3);

    auto* child = new TWinControl(memo);  // owned by the memo
    child->SetParent(memo);
    child->SetBounds(5, 0, 20, 10);
    EXPECT_EQ(child->geometry(), QRect(8, 3, 20, 10));
    EXPECT_EQ(memo->ControlAtPos({6, 1}), child);
    EXPECT_EQ(memo->ClientToScreen({0, 0}), TPoint(memo->mapToGlobal(QPoint(3, 3)).x(), memo->mapToGlobal(QPoint(3, 3)).y()));
}

TEST(Beep, TheInjectedFunctionSoundsAndCanBePutBack)
{
    int outer = 0;
    const TBeepFunction original = SetBeepFunction([&] { ++outer; });
    {
        BeepCounter beeps;
        MessageBeep();
        MessageBeep();
        EXPECT_EQ(beeps.count, 2);
    }
    MessageBeep();
    EXPECT_EQ(outer, 1);
    SetBeepFunction(original);
}

}  // namespace
