// The framework combo box: which user actions raise OnChange and which do
// not, the dropped list's ways of closing, typing in csDropDown, and the
// classic look the application gives what Qt draws.
#include "platform/ui/ComboBox.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTest>

#include <memory>

namespace {

// Types text as a keyboard would, one key per character (QTest's own typing
// sends Latin-1 only).
void TypeText(QWidget* w, const QString& text)
{
    for (QChar ch : text) {
        const int key = ch.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

const QStringList kItems = {"Альфа", "Бета", "Вега", "Гамма", "Гусь", "Дельта", "Эхо"};

struct Combo {
    std::unique_ptr<TCustomComboBox> box = std::make_unique<TCustomComboBox>(nullptr);
    int changes = 0;

    explicit Combo(TComboBoxStyle style = csDropDownList, const QStringList& items = kItems)
    {
        box->SetStyle(style);
        box->SetItems(items);
        box->SetDropDownCount(3);
        box->OnChange = [this](TComponent*) { ++changes; };
    }
    ~Combo()
    {
        if (box->DroppedDown())
            box->SetDroppedDown(false);
    }
    QAbstractItemView* List() const { return dynamic_cast<QAbstractItemView*>(box->ListWidget()); }
};

}  // namespace

TEST(ClassicLook, TheApplicationUsesTheClassicStyleAndSystemColours)
{
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("windows"));
    const QPalette p = QApplication::palette();
    EXPECT_EQ(p.color(QPalette::Highlight), QColor(10, 36, 106));
    EXPECT_EQ(p.color(QPalette::Window), QColor(212, 208, 200));
    EXPECT_EQ(p.color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(p.color(QPalette::Shadow), QColor(64, 64, 64));
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Text), QColor(128, 128, 128));
}

// Every key that moves the selection of a closed list raises OnChange once;
// a key that leaves it where it is raises nothing.
TEST(ComboKeys, MovingTheSelectionOfAClosedListRaisesOnChange)
{
    const struct {
        int start;
        int key;
        char16_t letter;
        int expected;
    } rows[] = {
        {0, Qt::Key_Down, 0, 1},      {2, Qt::Key_Up, 0, 1},        {0, Qt::Key_Up, 0, 0},
        {6, Qt::Key_Down, 0, 6},      {-1, Qt::Key_Down, 0, 0},     {-1, Qt::Key_Up, 0, 0},
        {4, Qt::Key_Home, 0, 0},      {0, Qt::Key_Home, 0, 0},      {1, Qt::Key_End, 0, 6},
        {6, Qt::Key_End, 0, 6},       {5, Qt::Key_PageUp, 0, 3},    {1, Qt::Key_PageUp, 0, 0},
        {1, Qt::Key_PageDown, 0, 3},  {5, Qt::Key_PageDown, 0, 6},  {3, Qt::Key_Right, 0, 4},
        {3, Qt::Key_Left, 0, 2},      {0, 0, u'г', 3},              {3, 0, u'Г', 4},
        {4, 0, u'г', 3},              {0, 0, u'я', 0},              {6, 0, u'э', 6},
    };
    for (const auto& r : rows) {
        Combo c;
        c.box->SetItemIndex(r.start);
        if (r.letter)
            TypeText(c.box.get(), QString(QChar(r.letter)));
        else
            QTest::keyClick(c.box.get(), Qt::Key(r.key));
        const bool moved = r.expected != r.start;
        EXPECT_EQ(c.box->ItemIndex(), r.expected) << r.start << " key " << r.key << " " << int(r.letter);
        EXPECT_EQ(c.changes, moved ? 1 : 0) << r.start << " key " << r.key << " " << int(r.letter);
        EXPECT_EQ(c.box->Text(), r.expected >= 0 ? kItems[r.expected] : QString());
    }
}

TEST(ComboKeys, AssigningInCodeNeverRaisesOnChange)
{
    Combo c;
    c.box->SetItemIndex(2);
    c.box->SetText(QStringLiteral("гамма"));
    EXPECT_EQ(c.box->ItemIndex(), 3);
    EXPECT_EQ(c.box->Text(), QStringLiteral("Гамма"));
    c.box->SetText(QStringLiteral("нет такого"));  // not an item: nothing changes
    EXPECT_EQ(c.box->ItemIndex(), 3);
    EXPECT_EQ(c.box->Text(), QStringLiteral("Гамма"));
    c.box->SetItemIndex(99);
    EXPECT_EQ(c.box->ItemIndex(), -1);
    EXPECT_EQ(c.box->Text(), QString());
    c.box->SetItems({"x", "y"});
    EXPECT_EQ(c.changes, 0);
}

TEST(ComboKeys, AComboWithoutItemsIgnoresEveryKeyAndDropsAnEmptyList)
{
    Combo c(csDropDownList, {});
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown})
        QTest::keyClick(c.box.get(), Qt::Key(key));
    TypeText(c.box.get(), QStringLiteral("а"));
    EXPECT_EQ(c.box->ItemIndex(), -1);
    QTest::keyClick(c.box.get(), Qt::Key_F4);
    ASSERT_TRUE(c.box->DroppedDown());
    QTest::keyClick(c.List(), Qt::Key_Down);
    QTest::keyClick(c.List(), Qt::Key_Return);
    EXPECT_FALSE(c.box->DroppedDown());
    EXPECT_EQ(c.box->ItemIndex(), -1);
    EXPECT_EQ(c.changes, 0);
}

// The ways a dropped list goes away: chosen ones raise OnChange when the
// choice differs, cancelled ones never.
TEST(ComboList, ChoosingAndCancellingTheDroppedList)
{
    enum class Way { Return, Escape, ClickRow, ClickSameRow, F4, AltUp, Outside };
    const struct {
        Way way;
        int expected;
        int changes;
    } rows[] = {
        {Way::Return, 2, 1}, {Way::Escape, 1, 0},  {Way::ClickRow, 3, 1}, {Way::ClickSameRow, 1, 0},
        {Way::F4, 2, 1},     {Way::AltUp, 2, 1},   {Way::Outside, 1, 0},
    };
    for (const auto& r : rows) {
        Combo c;
        c.box->SetItemIndex(1);
        int dropped = 0, closed = 0;
        c.box->OnDropDown = [&](TComponent*) { ++dropped; };
        c.box->OnCloseUp = [&](TComponent*) { ++closed; };
        QTest::keyClick(c.box.get(), Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(c.box->DroppedDown());
        QAbstractItemView* list = c.List();
        ASSERT_TRUE(list && list->isVisible());
        EXPECT_EQ(list->currentIndex().row(), 1);
        switch (r.way) {
        case Way::Return:
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
            break;
        case Way::Escape:
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Escape);
            break;
        case Way::ClickRow:
        case Way::ClickSameRow: {
            const int row = r.way == Way::ClickRow ? 3 : 1;
            const QRect rect = list->visualRect(list->model()->index(row, 0));
            ASSERT_TRUE(rect.isValid()) << "row " << row << " in view";
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            break;
        }
        case Way::F4:
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_F4);
            break;
        case Way::AltUp:
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
            break;
        case Way::Outside:
            QTest::keyClick(list, Qt::Key_Down);
            list->hide();
            break;
        }
        EXPECT_FALSE(c.box->DroppedDown()) << int(r.way);
        EXPECT_FALSE(list->isVisible()) << int(r.way);
        EXPECT_EQ(c.box->ItemIndex(), r.expected) << int(r.way);
        EXPECT_EQ(c.changes, r.changes) << int(r.way);
        EXPECT_EQ(dropped, 1);
        EXPECT_EQ(closed, 1);
    }
}

TEST(ComboList, ShowsAtMostDropDownCountRowsBelowTheCombo)
{
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many << QStringLiteral("Пункт %1").arg(i, 5, 10, QLatin1Char('0'));
    Combo c(csDropDownList, many);
    c.box->SetBounds(0, 0, 120, 21);
    c.box->SetDropDownCount(8);
    QTest::keyClick(c.box.get(), Qt::Key_End);
    EXPECT_EQ(c.box->ItemIndex(), 9999);
    c.box->SetDroppedDown(true);
    QAbstractItemView* list = c.List();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->height(), 8 * c.box->ListRowHeight() + 2 * list->frameWidth());
    EXPECT_EQ(list->width(), 120);
    EXPECT_EQ(list->currentIndex().row(), 9999);
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_PageDown);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_GT(c.box->ItemIndex(), 0);
    EXPECT_LT(c.box->ItemIndex(), 9999);
    EXPECT_EQ(c.changes, 2);
}

TEST(ComboList, OwnerDrawStylesTakeTheirRowHeightFromItemHeight)
{
    Combo c(csOwnerDrawFixed);
    c.box->SetItemHeight(21);
    EXPECT_EQ(c.box->ListRowHeight(), 21);
    c.box->SetStyle(csDropDownList);
    EXPECT_NE(c.box->ListRowHeight(), 0);
    EXPECT_TRUE(c.box->IsListStyle());
}

TEST(ComboEdit, TypingInTheDropDownStyleChangesTheTextAndRaisesOnChange)
{
    Combo c(csDropDown);
    auto* edit = dynamic_cast<QLineEdit*>(c.box->EditWidget());
    ASSERT_TRUE(edit);
    TypeText(edit, QStringLiteral("Бет"));
    EXPECT_EQ(c.box->Text(), QStringLiteral("Бет"));
    EXPECT_EQ(c.box->ItemIndex(), -1);
    TypeText(edit, QStringLiteral("а"));
    EXPECT_EQ(c.box->ItemIndex(), 1);
    EXPECT_EQ(c.changes, 4);
    // The arrows still move the selection and put its text into the edit.
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(c.box->ItemIndex(), 2);
    EXPECT_EQ(edit->text(), kItems[2]);
    EXPECT_EQ(c.changes, 5);
    // Code changes the edit without an event.
    c.box->SetItemIndex(0);
    EXPECT_EQ(edit->text(), kItems[0]);
    c.box->SetText(QStringLiteral("свободный текст"));
    EXPECT_EQ(edit->text(), QStringLiteral("свободный текст"));
    EXPECT_EQ(c.box->ItemIndex(), -1);
    EXPECT_EQ(c.changes, 5);
    // A choose-only style drops the edit and shows an item again.
    c.box->SetStyle(csDropDownList);
    EXPECT_EQ(c.box->EditWidget(), nullptr);
}

TEST(ComboItems, SortedItemsKeepTheSelectedText)
{
    Combo c(csDropDownList, {"в", "а", "б"});
    c.box->SetItemIndex(0);
    c.box->SetSorted(true);
    EXPECT_EQ(c.box->Items(), (QStringList{"а", "б", "в"}));
    EXPECT_EQ(c.box->ItemIndex(), 2);
    EXPECT_EQ(c.box->AddItem(QStringLiteral("аа")), 1);
    EXPECT_EQ(c.box->ItemIndex(), 3);
    EXPECT_EQ(c.box->Text(), QStringLiteral("в"));
    c.box->ClearItems();
    EXPECT_EQ(c.box->ItemIndex(), -1);
    EXPECT_EQ(c.changes, 0);
}

TEST(ComboItems, DeletedByItsOwnChangeHandlerWhileTheListChooses)
{
    auto* box = new TCustomComboBox(nullptr);  // deleted by its own handler
    box->SetStyle(csDropDownList);
    box->SetItems(kItems);
    box->OnChange = [box](TComponent*) { delete box; };
    box->SetDroppedDown(true);
    QWidget* list = box->ListWidget();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SUCCEED();
}
