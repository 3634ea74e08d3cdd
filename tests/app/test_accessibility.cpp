// The trainer as a screen reader sees it, through Qt's accessibility
// interfaces: every control's role, name, value and states; actions that
// click as the pointer does; the events a change raises.

#include "tests/app/AppFixture.h"

#include "app/Accessibility.h"
#include "app/Unit3.h"
#include "platform/ui/Accessible.h"
#include "tests/support/ShownForm.h"

#include <QAccessible>

using namespace app_fixture;

namespace {

// The trainer as a screen reader finds it: the program's title and
// factory, every event it raises recorded.
class AccessibilityTest : public AppTest {
protected:
    std::optional<TAccessibleEventRecorder> recorder{std::in_place};
    QString previousTitle;

    void SetUp() override
    {
        InstallAccessibility();
        previousTitle = Application->Title();
        Application->SetTitle(QStringLiteral("Ладотон"));
    }

    void TearDown() override { Application->SetTitle(previousTitle); }

    static QAccessibleInterface* Of(QObject* o)
    {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
        EXPECT_NE(i, nullptr);
        return i;
    }

    // Presses through the action interface, then lets the posted click run.
    static void Press(QObject* o)
    {
        QAccessibleInterface* i = Of(o);
        ASSERT_NE(i->actionInterface(), nullptr);
        ASSERT_TRUE(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        RunPosted();
    }

    static void RunPosted()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    int EventsOf(QObject* o, QAccessible::Event type) const { return recorder->Count(o, type); }

    static QString Describe(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Description); }
};

struct ControlRow {
    const char* what;
    std::function<QObject*(TForm1&)> control;
    QAccessible::Role role;
    QString name;
    QString value;  // null: not checked
    QString description;
    bool readOnly;
};

TEST_F(AccessibilityTest, EveryControlOfTheMainWindowHasItsRoleNameValueAndDescription)
{
    Create();
    ShowActive();
    const QString none = QStringLiteral("нет ответа");
    const ControlRow rows[] = {
        {"main window", [](TForm1& f) { return &f; }, QAccessible::Window, QStringLiteral("Ладотон"), QString(),
         QStringLiteral("Тренажёр слуха: клавиши одной октавы, выбор упражнения, настройки и ответы"), false},
        {"white key", [](TForm1& f) { return f.fcShapeBtn1; }, QAccessible::Button, QStringLiteral("ДО"), QString(), "",
         false},
        {"black key", [](TForm1& f) { return f.fcShapeBtn8; }, QAccessible::Button, QStringLiteral("ДО #"), QString(),
         "", false},
        {"octave up", [](TForm1& f) { return f.fcShapeBtn14; }, QAccessible::Button, QStringLiteral("ОКТАВА ВВЕРХ"),
         QString(), "", false},
        {"octave down", [](TForm1& f) { return f.fcShapeBtn13; }, QAccessible::Button, QStringLiteral("ОКТАВА ВНИЗ"),
         QString(), "", false},
        {"exit", [](TForm1& f) { return f.FlatSpeedButton1; }, QAccessible::Button, QStringLiteral("X"), QString(),
         QStringLiteral("Выход"), false},
        {"about", [](TForm1& f) { return f.FlatSpeedButton2; }, QAccessible::Button, QStringLiteral("?"), QString(),
         QStringLiteral("О программе"), false},
        {"start", [](TForm1& f) { return f.FlatSpeedButton3; }, QAccessible::Button, QStringLiteral("ЗАПУСТИТЬ"),
         QString(), "", false},
        {"selector", [](TForm1& f) { return f.FlatComboBox1; }, QAccessible::ComboBox,
         QStringLiteral("Упражнение \"ноты\""), QStringLiteral("Упражнение \"ноты\""), "", false},
        {"note count", [](TForm1& f) { return f.FlatSpinEditInteger1; }, QAccessible::SpinBox,
         QStringLiteral("Количество нот"), QStringLiteral("1"), "", false},
        {"pause", [](TForm1& f) { return f.FlatSpinEditInteger2; }, QAccessible::SpinBox, QStringLiteral("Пауза"),
         QStringLiteral("100"), "", false},
        {"instructions", [](TForm1& f) { return f.FlatMemo1; }, QAccessible::EditableText,
         QStringLiteral("Инструкция"), QString(), "", true},
        {"octave", [](TForm1& f) { return f.Label1; }, QAccessible::StaticText, QStringLiteral("первая октава"),
         QString(), "", false},
        {"status", [](TForm1& f) { return f.Label2; }, QAccessible::StaticText, kStatusOpened, QString(), "", false},
        {"first lamp", [](TForm1& f) { return f.Indicators[0]; }, QAccessible::StaticText, QStringLiteral("Ответ 1"),
         none, none, false},
        {"last lamp", [](TForm1& f) { return f.Indicators[9]; }, QAccessible::StaticText, QStringLiteral("Ответ 10"),
         none, none, false},
    };
    for (const ControlRow& r : rows) {
        SCOPED_TRACE(r.what);
        QAccessibleInterface* i = Of(r.control(*form));
        ASSERT_NE(i, nullptr);
        EXPECT_EQ(i->role(), r.role);
        if (!r.name.isNull()) {
            EXPECT_EQ(i->text(QAccessible::Name), r.name);
        }
        if (!r.value.isNull()) {
            EXPECT_EQ(i->text(QAccessible::Value), r.value);
        }
        EXPECT_EQ(i->text(QAccessible::Description), r.description);
        EXPECT_EQ(i->state().readOnly, r.readOnly);
        EXPECT_FALSE(i->state().checkable);
    }
    EXPECT_EQ(Of(form->FlatMemo1)->text(QAccessible::Value).trimmed(), kNoteText);
}

TEST_F(AccessibilityTest, SpinBoxesAndTheSelectorOfferTheirRangeAndItems)
{
    Create();
    ShowActive();
    struct SpinRow {
        TFlatSpinEditInteger* spin;
        int value, min, max;
    } spins[] = {{form->FlatSpinEditInteger1, 1, 1, 10}, {form->FlatSpinEditInteger2, 100, 10, 500}};
    for (const SpinRow& r : spins) {
        QAccessibleValueInterface* v = Of(r.spin)->valueInterface();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->currentValue().toInt(), r.value);
        EXPECT_EQ(v->minimumValue().toInt(), r.min);
        EXPECT_EQ(v->maximumValue().toInt(), r.max);
    }

    // The arrows step the value as a click on them does.
    QAccessibleInterface* up = Of(form->FlatSpinEditInteger2->SpinButton()->UpButton());
    QAccessibleInterface* down = Of(form->FlatSpinEditInteger2->SpinButton()->DownButton());
    EXPECT_EQ(up->text(QAccessible::Name), QStringLiteral("Больше"));
    EXPECT_EQ(down->text(QAccessible::Name), QStringLiteral("Меньше"));
    Press(form->FlatSpinEditInteger2->SpinButton()->UpButton());
    EXPECT_EQ(form->FlatSpinEditInteger2->Value(), 101);
    Press(form->FlatSpinEditInteger2->SpinButton()->DownButton());
    Press(form->FlatSpinEditInteger2->SpinButton()->DownButton());
    EXPECT_EQ(form->FlatSpinEditInteger2->Value(), 99);

    // A value set by a screen reader is limited like any other and raises
    // the count's handler.
    Of(form->FlatSpinEditInteger1)->valueInterface()->setCurrentValue(50);
    RunPosted();
    EXPECT_EQ(form->FlatSpinEditInteger1->Value(), 10);
    EXPECT_TRUE(form->Indicators[9]->Visible());

    QAccessibleInterface* combo = Of(form->FlatComboBox1);
    ASSERT_EQ(combo->childCount(), 2);
    EXPECT_EQ(combo->child(0)->text(QAccessible::Name), QStringLiteral("Упражнение \"ноты\""));
    EXPECT_EQ(combo->child(1)->text(QAccessible::Name), QStringLiteral("Упражнение \"интервалы\""));
    EXPECT_TRUE(combo->child(0)->state().selected);
    EXPECT_FALSE(combo->child(1)->state().selected);
    EXPECT_EQ(combo->indexOfChild(combo->child(1)), 1);
    EXPECT_EQ(combo->child(1)->parent(), combo);

    // Choosing an item is the user's choice: the selector's handler runs.
    combo->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    RunPosted();
    EXPECT_EQ(form->FlatComboBox1->ItemIndex(), 1);
    EXPECT_EQ(MemoText(), kIntervText);
    EXPECT_FALSE(form->FlatPanel1->Visible());
    EXPECT_EQ(combo->text(QAccessible::Value), QStringLiteral("Упражнение \"интервалы\""));
    // The count's panel is hidden now: its spin box takes no value.
    Of(form->FlatSpinEditInteger1)->valueInterface()->setCurrentValue(3);
    RunPosted();
    EXPECT_EQ(form->FlatSpinEditInteger1->Value(), 10);
}

TEST_F(AccessibilityTest, TheDialogAndTheAboutWindowAreNamedAndDescribed)
{
    Create();
    TForm3 about(nullptr);
    struct Row {
        QObject* control;
        QString name, description;
    } rows[] = {
        {dialog.get(), QStringLiteral("Ладотон"), QStringLiteral("Сколько полутонов между двумя нотами?")},
        {&about, QStringLiteral("Ладотон"), QStringLiteral("О программе")},
        {dialog->FlatSpeedButton1, QStringLiteral("ПРОСЛУШАТЬ ЕЩЕ РАЗ"), QString()},
        {dialog->FlatSpeedButton3, QStringLiteral("1"), QStringLiteral("1 полутон")},
        {dialog->FlatSpeedButton4, QStringLiteral("2"), QStringLiteral("2 полутона")},
        {dialog->FlatSpeedButton5, QStringLiteral("3"), QStringLiteral("3 полутона")},
        {dialog->FlatSpeedButton6, QStringLiteral("4"), QStringLiteral("4 полутона")},
        {about.Button1, QStringLiteral("OK"), QString()},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name.toStdString());
        QAccessibleInterface* i = Of(r.control);
        EXPECT_EQ(i->text(QAccessible::Name), r.name);
        EXPECT_EQ(i->text(QAccessible::Description), r.description);
    }
    QAccessibleInterface* memo = Of(about.FlatMemo1);
    EXPECT_TRUE(memo->state().readOnly);
    ASSERT_NE(memo->textInterface(), nullptr);
    EXPECT_EQ(memo->textInterface()->text(0, memo->textInterface()->characterCount()),
              TForm3::AboutLines().join(QLatin1Char('\n')));
}

TEST_F(AccessibilityTest, PressingAKeyPlaysItsNoteAndAnswersTheExercise)
{
    Create();
    ShowActive();
    form->FlatSpinEditInteger1->SetValue(2);
    Press(form->FlatSpeedButton3);
    ASSERT_TRUE(form->NotesActive);
    ASSERT_EQ(form->Targets.size(), 2u);
    TfcShapeBtn* const bySemitone[] = {form->fcShapeBtn1, form->fcShapeBtn8,  form->fcShapeBtn2, form->fcShapeBtn9,
                                       form->fcShapeBtn3, form->fcShapeBtn4,  form->fcShapeBtn11, form->fcShapeBtn5,
                                       form->fcShapeBtn12, form->fcShapeBtn6, form->fcShapeBtn10, form->fcShapeBtn7};
    const int right = form->Targets[0];
    const int wrong = (form->Targets[1] + 1) % 12;
    const std::size_t played = NotesPlayed().size();
    TShape* lamp1 = form->Indicators[0];

    Press(bySemitone[right]);
    ASSERT_EQ(NotesPlayed().size(), played + 1);
    EXPECT_EQ(NotesPlayed().back(), 48 + right);
    EXPECT_EQ(Describe(lamp1), QStringLiteral("верно"));
    EXPECT_EQ(EventsOf(lamp1, QAccessible::DescriptionChanged), 1);

    Press(bySemitone[wrong]);
    EXPECT_EQ(NotesPlayed().back(), 48 + wrong);
    // The last answer ends the exercise: its box, then every lamp back to none.
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(form->NotesActive);
    EXPECT_EQ(Describe(lamp1), QStringLiteral("нет ответа"));
    EXPECT_EQ(Describe(form->Indicators[1]), QStringLiteral("нет ответа"));
    EXPECT_EQ(EventsOf(form->Indicators[1], QAccessible::DescriptionChanged), 2);  // red, then reset
}

// A clock whose sleeps keep the event loop turning, as the real one does
// while the notes play.
class TTurningClock : public IClock {
public:
    TTurningClock() : previous_(SetClock(this)) {}
    ~TTurningClock() override { SetClock(previous_); }
    TTurningClock(const TTurningClock&) = delete;
    TTurningClock& operator=(const TTurningClock&) = delete;

    std::function<void()> duringSleep;
    void Sleep(unsigned) override
    {
        if (duringSleep)
            duringSleep();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    bool QueryPerformanceCounter(std::int64_t& count) override
    {
        count = 12345;
        return true;
    }
    std::uint32_t GetTickCount() override { return 0; }

private:
    IClock* previous_;
};

TEST_F(AccessibilityTest, AKeyPressedWhileTheNotesPlayWaitsUntilTheyHaveEnded)
{
    Create();
    ShowActive();
    form->FlatSpinEditInteger1->SetValue(2);
    TTurningClock turning;
    std::vector<std::size_t> notesAtEachSleep;
    turning.duringSleep = [&] {
        notesAtEachSleep.push_back(NotesPlayed().size());
        if (notesAtEachSleep.size() == 1)
            Of(form->fcShapeBtn1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    ClickCentre(form->FlatSpeedButton3);
    // Nothing was answered while the second note was still to come.
    EXPECT_EQ(notesAtEachSleep, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(form->AnswerIndex, 0);

    RunPosted();
    EXPECT_EQ(NotesPlayed(), (std::vector<int>{48 + form->Targets[0], 48 + form->Targets[1], 48}));
    EXPECT_EQ(form->AnswerIndex, 1);
    EXPECT_EQ(Describe(form->Indicators[0]), QString::fromUtf8(form->Targets[0] == 0 ? "верно" : "неверно"));
}

TEST_F(AccessibilityTest, AnswerLampsFollowEveryJudgement)
{
    Create();
    ShowActive();
    form->FlatSpinEditInteger1->SetValue(3);
    ClickCentre(form->FlatSpeedButton3);
    ASSERT_EQ(form->Targets.size(), 3u);
    form->CheckAnswer(form->Targets[0]);
    form->CheckAnswer((form->Targets[1] + 1) % 12);
    const char* expected[] = {"верно", "неверно", "нет ответа"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Describe(form->Indicators[i]), QString::fromUtf8(expected[i])) << i;
    EXPECT_EQ(AnswerStateOf(*form->Indicators[0]), TAnswerState::Right);
}

int g_queries = 0;
QObject* g_watched = nullptr;
QAccessibleInterface* CountQueries(const QString&, QObject* o)
{
    g_queries += o == g_watched;
    return nullptr;
}

TEST_F(AccessibilityTest, LabelsAnnounceEveryNewTextAndOnlyNewText)
{
    Create();
    struct Row {
        const char* what;
        QString text;
        int expectedEvents;
    } rows[] = {
        {"new text", QStringLiteral("Запущено упражнение \"ноты\""), 1},
        {"same text", QStringLiteral("Запущено упражнение \"ноты\""), 0},
        {"another text", QStringLiteral("Упражнение \"ноты\" закончено"), 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        recorder->events.clear();
        form->Label2->SetCaption(r.text);
        EXPECT_EQ(EventsOf(form->Label2, QAccessible::NameChanged), r.expectedEvents);
        EXPECT_EQ(int(recorder->events.size()), r.expectedEvents);
        EXPECT_EQ(Of(form->Label2)->text(QAccessible::Name), r.text);
    }

    // With nobody listening a new text makes no interface and sends nothing.
    recorder.reset();
    ASSERT_FALSE(QAccessible::isActive());
    TLabel quiet(nullptr);
    g_watched = &quiet;
    QAccessible::installFactory(&CountQueries);
    quiet.SetCaption(QStringLiteral("Открывается устройство MIDI"));
    QAccessible::removeFactory(&CountQueries);
    g_watched = nullptr;
    EXPECT_EQ(g_queries, 0);
    recorder.emplace();

    // The octave arrows rename the octave label.
    ShowActive();
    recorder->events.clear();
    Press(form->fcShapeBtn14);
    EXPECT_EQ(form->Label1->Caption(), QStringLiteral("вторая октава"));
    EXPECT_EQ(EventsOf(form->Label1, QAccessible::NameChanged), 1);
}

TEST_F(AccessibilityTest, DisabledOrHiddenControlsRefuseActions)
{
    Create();
    ShowActive();
    int clicks = 0;
    form->FlatSpeedButton3->OnClick = [&](TComponent*) { ++clicks; };
    form->fcShapeBtn1->OnClick = [&](TComponent*) { ++clicks; };
    form->FlatSpeedButton3->SetEnabled(false);
    form->fcShapeBtn1->SetVisible(false);
    Press(form->FlatSpeedButton3);
    Press(form->fcShapeBtn1);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(NotesPlayed().empty());

    // Refused as well when it goes away between the request and its turn.
    form->FlatSpeedButton3->SetEnabled(true);
    Of(form->FlatSpeedButton3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    form->FlatSpeedButton3->SetEnabled(false);
    RunPosted();
    EXPECT_EQ(clicks, 0);
}

TEST_F(AccessibilityTest, AModalWindowHoldsActionsAwayFromTheOthers)
{
    Create();
    ShowActive();
    TForm3 about(nullptr);
    form->SetAboutWindow(&about);
    bool ranModal = false;
    std::size_t notesWhileModal = 99;
    // "?" opens the About window modally; its OK closes it, and meanwhile
    // the keys of the main window take no action.
    Of(form->FlatSpeedButton2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    WhenModal([&] {
        ranModal = true;
        EXPECT_TRUE(about.Modal());
        Press(form->fcShapeBtn1);
        notesWhileModal = NotesPlayed().size();
        Press(about.Button1);
    });
    RunPosted();
    EXPECT_TRUE(ranModal);
    EXPECT_EQ(notesWhileModal, 0u);
    EXPECT_FALSE(about.Modal());
    EXPECT_FALSE(about.Visible());
    EXPECT_EQ(Of(about.Button1)->role(), QAccessible::Button);
}

// A press through the action is a mouse click: the same latching, the same
// modal result, OnClick the same number of times.
struct ClickRow {
    const char* what;
    int groupIndex;
    bool allowAllUp;
    bool downBefore;
};

template <class TBtn>
void ExpectPressEqualsClick(const ClickRow& r, const std::function<void(ShownForm&, TBtn*)>& mouseClick,
                            const std::function<void(TBtn*)>& press)
{
    struct Outcome {
        bool down;
        int modalResult;
        int clicks;
        bool checked;
    };
    auto run = [&](bool byAction) {
        ShownForm f(200, 100);
        TBtn* b = f.Add<TBtn>(10, 10, 80, 40);
        TBtn* sibling = f.Add<TBtn>(100, 10, 80, 40);
        for (TBtn* x : {b, sibling}) {
            x->SetGroupIndex(r.groupIndex);
            x->SetAllowAllUp(r.allowAllUp);
        }
        b->SetCaption(QStringLiteral("Кнопка"));
        b->SetModalResult(mrOk);
        if (r.downBefore)
            b->SetDown(true);
        f.Show();
        int clicks = 0;
        b->OnClick = [&](TComponent*) {
            // The modal result is given before OnClick runs.
            EXPECT_EQ(f.form.ModalResult(), mrOk);
            ++clicks;
        };
        if (byAction)
            press(b);
        else
            mouseClick(f, b);
        const bool checked = QAccessible::queryAccessibleInterface(b)->state().checked;
        return Outcome{b->Down(), f.form.ModalResult(), clicks, checked};
    };
    const Outcome mouse = run(false);
    const Outcome action = run(true);
    EXPECT_EQ(action.down, mouse.down);
    EXPECT_EQ(action.modalResult, mouse.modalResult);
    EXPECT_EQ(action.clicks, 1);
    EXPECT_EQ(mouse.clicks, 1);
    EXPECT_EQ(action.checked, action.down);
}

TEST_F(AccessibilityTest, PressClicksLikeTheMouseForEveryButtonFamily)
{
    const ClickRow rows[] = {
        {"plain", 0, false, false},
        {"group, up", 1, false, false},
        {"group, down, all-up allowed", 1, true, true},
        {"group, down, stays down", 1, false, true},
    };
    auto press = [](auto* b) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(b);
        EXPECT_EQ(i->role(), QAccessible::Button);
        EXPECT_EQ(i->text(QAccessible::Name), QStringLiteral("Кнопка"));
        i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        RunPosted();
    };
    for (const ClickRow& r : rows) {
        SCOPED_TRACE(r.what);
        {
            SCOPED_TRACE("shaped");
            ExpectPressEqualsClick<TfcShapeBtn>(
                r, [](ShownForm& f, TfcShapeBtn* b) {
                    const QPoint c = b->mapTo(&f.form, QPoint(b->width() / 2, b->height() / 2));
                    QTest::mouseClick(f.form.windowHandle(), Qt::LeftButton, Qt::NoModifier, c);
                },
                press);
        }
        {
            SCOPED_TRACE("flat");
            ExpectPressEqualsClick<TFlatSpeedButton>(
                r,
                [](ShownForm&, TFlatSpeedButton* b) {
                    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(b->width() / 2, b->height() / 2));
                },
                press);
        }
    }
    QAccessibleInterface* latched = nullptr;
    ShownForm f(100, 100);
    auto* b = f.Add<TFlatSpeedButton>(0, 0, 50, 20);
    b->SetGroupIndex(2);
    b->SetDown(true);
    latched = QAccessible::queryAccessibleInterface(b);
    EXPECT_TRUE(latched->state().checkable);
    EXPECT_TRUE(latched->state().checked);
}

}  // namespace
