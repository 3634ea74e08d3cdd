#include "tests/app/AppFixture.h"

#include "app/Trainer.h"

using namespace app_fixture;

namespace {

// --- Start-up

struct StartUpRow {
    const char* name;
    MMRESULT openResult;
    bool throws;
    QString boxText;  // empty: no box
    QString status;
};

TEST_F(AppTest, StartUpWithEveryOutcomeOfTheDeviceOpening)
{
    const StartUpRow rows[] = {
        {"opens", MMSYSERR_NOERROR, false, QString(), kStatusOpened},
        {"no device", MIDIERR_NODEVICE, false, QStringLiteral("\tNo MIDI port was found. "), kStatusNotOpened},
        {"general error", MMSYSERR_BADDEVICEID, false, QStringLiteral(" Unknown error"), kStatusNotOpened},
        {"throws", MMSYSERR_NOERROR, true, QStringLiteral("неизвестная ошибка MIDI"), kStatusNotOpened},
    };
    for (const StartUpRow& r : rows) {
        SCOPED_TRACE(r.name);
        boxes.boxes.clear();
        dialog.reset();
        form.reset();
        midi.reset();
        midi.emplace(r.openResult);
        TMidiOutFactory previous;
        if (r.throws)
            previous = SetMidiOutFactory([]() -> TMidiOutOpening { throw std::runtime_error("driver fault"); });
        Create();
        if (r.throws)
            SetMidiOutFactory(previous);

        if (r.boxText.isEmpty()) {
            EXPECT_TRUE(boxes.boxes.empty());
        } else {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].kind, TMessageBoxKind::Plain);
            EXPECT_EQ(boxes.boxes[0].text, r.boxText);
            EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("Ошибка!"));
        }
        EXPECT_EQ(form->Label2->Caption(), r.status);
        EXPECT_EQ(form->MidiOpenResult == MMSYSERR_NOERROR, r.status == kStatusOpened);
        EXPECT_EQ(form->Octave, 4);
        EXPECT_EQ(form->Velocity, 127);
        EXPECT_EQ(form->Label1->Caption(), QStringLiteral("первая октава"));
        EXPECT_EQ(form->FlatComboBox1->ItemIndex(), 0);
        EXPECT_TRUE(form->FlatPanel1->Visible());
        for (int i = 0; i < 10; ++i) {
            ASSERT_NE(form->Indicators[i], nullptr);
            EXPECT_EQ(form->Indicators[i]->Visible(), i == 0) << i;
            EXPECT_EQ(form->Indicators[i]->Left(), 169 + 30 * i);
            EXPECT_EQ(form->Indicators[i]->Brush().Color(), clBtnFace);
        }
        // The keys work either way; without a device they are silent.
        Type(QStringLiteral("z"));
        EXPECT_EQ(form->LastMessage, 0x007F3090);
    }
}

TEST_F(AppTest, MissingInstructionsAreReportedAndTheRestStartsAnyway)
{
    Create(NoteFile::Missing);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, TMessageBoxKind::Error);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("Cannot open file \"%1\"").arg(dir.filePath("note.txt"))))
        << boxes.boxes[0].text.toStdString();
    EXPECT_EQ(MemoText(), QStringLiteral("FlatMemo1"));
    EXPECT_EQ(form->Label2->Caption(), kStatusOpened);
    EXPECT_EQ(form->Label1->Caption(), QStringLiteral("первая октава"));
    EXPECT_EQ(form->FlatComboBox1->ItemIndex(), 0);
    EXPECT_TRUE(form->Indicators[0]->Visible());

    // The notes exercise still runs.
    ClickCentre(form->FlatSpeedButton3);
    EXPECT_TRUE(form->NotesActive);
    Type(QString(LetterFor(form->Targets[0])));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("Угадано 1 из 1"));
}

// --- Keys

TEST_F(AppTest, TypedLettersAndClickedKeysPlayTheirNotes)
{
    Create();
    ShowActive();
    struct Row {
        const char* typed;
        Qt::KeyboardModifiers mods;
        std::vector<int> notes;
    } rows[] = {
        {"z", Qt::NoModifier, {48}}, {"я", Qt::NoModifier, {48}}, {"Я", Qt::NoModifier, {48}},
        {"J", Qt::NoModifier, {58}}, {"о", Qt::NoModifier, {58}}, {"m", Qt::NoModifier, {59}},
        {"f", Qt::NoModifier, {}},   {"A", Qt::NoModifier, {}},   {"7", Qt::NoModifier, {}},
        {"€", Qt::NoModifier, {}},   {"z", Qt::ControlModifier, {}}, {"x", Qt::AltModifier, {}},
        // Auto-repeat: each character plays once.
        {"xxx", Qt::NoModifier, {50, 50, 50}},
    };
    for (const Row& r : rows) {
        midi->Clear();
        Type(QString::fromUtf8(r.typed), r.mods);
        EXPECT_EQ(NotesPlayed(), r.notes) << r.typed;
    }
    // With the mouse: the key under the pointer, shapes deciding where the
    // rectangles of a light and a dark key overlap.
    midi->Clear();
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(552 + 37, 340 + 75));
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(67 + 37, 240 + 75));
    EXPECT_EQ(NotesPlayed(), (std::vector<int>{59, 49}));
    EXPECT_EQ(midi->Messages().front(), 0x007F3B90u);
}

TEST_F(AppTest, OctaveArrowsStopSilentlyAtBothEnds)
{
    Create();
    ShowActive();
    const QPoint down(8 + 40, 208 + 16), up(496 + 96, 208 + 16);
    midi->Clear();
    for (int i = 0; i < 6; ++i)
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_EQ(form->Octave, 0);
    EXPECT_EQ(form->Label1->Caption(), QStringLiteral("субконтроктава"));
    Type(QStringLiteral("z"));
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, up);
    EXPECT_EQ(form->Octave, 8);
    EXPECT_EQ(form->Label1->Caption(), QStringLiteral("пятая октава"));
    Type(QStringLiteral("m"));
    // The arrows themselves play nothing.
    EXPECT_EQ(NotesPlayed(), (std::vector<int>{0, 107}));
    EXPECT_EQ(midi->Messages().back(), 0x007F6B90u);
}

// --- Notes exercise

struct NotesRow {
    int count;
    int wrongAt;  // -1: every answer right
    const char* text;
    const char* caption;
};

TEST_F(AppTest, NotesExerciseEndsWithItsBoxThenResets)
{
    Create();
    const NotesRow rows[] = {
        {1, -1, "Угадано 1 из 1", "Результат"},
        {2, -1, "Угадано 2 из 2", "Результат"},
        {3, -1, "Вы угадали всю последовательность", "Поздравляем!"},
        {10, 4, "Угадано 9 из 10", "Результат"},
    };
    for (const NotesRow& r : rows) {
        SCOPED_TRACE(r.count);
        boxes.boxes.clear();
        clock.sleeps.clear();
        midi->Clear();
        clock.performanceCount += 7;
        form->FlatSpinEditInteger1->SetValue(r.count);
        ClickCentre(form->FlatSpeedButton3);

        ASSERT_TRUE(form->NotesActive);
        EXPECT_FALSE(form->FlatSpeedButton3->Enabled());
        EXPECT_EQ(form->Label2->Caption(), QStringLiteral("Запущено упражнение \"ноты\""));
        EXPECT_EQ(clock.sleeps, std::vector<unsigned>(std::size_t(r.count), 1000u));
        ASSERT_EQ(int(form->Targets.size()), r.count);
        std::vector<int> expectedNotes;
        for (int t : form->Targets)
            expectedNotes.push_back(48 + t);
        EXPECT_EQ(NotesPlayed(), expectedNotes);

        std::vector<TColor> colours;
        boxes.onShow = [&](const TMessageBoxRequest&) {
            for (TShape* s : form->Indicators)
                colours.push_back(s->Brush().Color());
            EXPECT_TRUE(form->NotesActive);
        };
        for (int i = 0; i < r.count; ++i)
            Type(QString(LetterFor(i == r.wrongAt ? (form->Targets[i] + 1) % 12 : form->Targets[i])));
        boxes.onShow = nullptr;

        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(r.text));
        EXPECT_EQ(boxes.boxes[0].caption, QString::fromUtf8(r.caption));
        ASSERT_EQ(colours.size(), 10u);
        for (int i = 0; i < 10; ++i) {
            const TColor expected = i >= r.count ? clBtnFace : i == r.wrongAt ? clRed : clGreen;
            EXPECT_EQ(colours[i], expected) << i;
            EXPECT_EQ(form->Indicators[i]->Brush().Color(), clBtnFace) << i;
        }
        EXPECT_FALSE(form->NotesActive);
        EXPECT_TRUE(form->FlatSpeedButton3->Enabled());
        EXPECT_EQ(form->Label2->Caption(), QStringLiteral("Упражнение \"ноты\" закончено"));
        // Outside an exercise a key only sounds.
        Type(QStringLiteral("z"));
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(form->Indicators[0]->Brush().Color(), clBtnFace);
    }
}

TEST_F(AppTest, NoteCountShowsThatManyIndicators)
{
    Create();
    for (int n : {10, 3, 1, 7}) {
        form->FlatSpinEditInteger1->SetValue(n);
        form->FlatSpinEditInteger1Change(form->FlatSpinEditInteger1);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(form->Indicators[i]->Visible(), i < n) << n << " " << i;
    }
}

TEST_F(AppTest, SelectorSwitchesInstructionsAndTheNoteCountGroup)
{
    Create();
    EXPECT_EQ(MemoText(), kNoteText);
    form->FlatComboBox1->SetItemIndex(1);
    form->FlatComboBox1Change(form->FlatComboBox1);
    EXPECT_FALSE(form->FlatPanel1->Visible());
    EXPECT_EQ(MemoText(), kIntervText);
    form->FlatComboBox1->SetItemIndex(0);
    form->FlatComboBox1Change(form->FlatComboBox1);
    EXPECT_TRUE(form->FlatPanel1->Visible());
    EXPECT_TRUE(form->Indicators[0]->Visible());
    EXPECT_EQ(MemoText(), kNoteText);
}

TEST_F(AppTest, QuitDuringAnExerciseEndsAtOnceWithoutABox)
{
    Create();
    std::vector<int> exits;
    auto previous = Application->SetExitHandler([&](int code) { exits.push_back(code); });
    form->FlatSpinEditInteger1->SetValue(5);
    ClickCentre(form->FlatSpeedButton3);
    Type(QStringLiteral("z"));
    ClickCentre(form->FlatSpeedButton1);
    Application->SetExitHandler(previous);
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace

namespace {

TEST_F(AppTest, DraggingTheStatusLineMovesTheWindowButTheMemoDoesNot)
{
    Create();
    ShowActive();
    struct Row {
        const char* where;
        QPoint from;
        bool moves;
    } rows[] = {{"status line", {300, 515}, true}, {"blue surface", {5, 300}, true}, {"memo", {300, 100}, false}};
    for (const Row& r : rows) {
        const int left = form->Left(), top = form->Top();
        QWindow* w = form->windowHandle();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, r.from);
        QTest::mouseMove(w, r.from + QPoint(30, -6));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, r.from + QPoint(30, -6));
        EXPECT_EQ(form->Left() != left || form->Top() != top, r.moves) << r.where;
    }
}

}  // namespace

namespace {

TEST_F(AppTest, SettingsAreReadFromTheFieldsTextWithinTheirBounds)
{
    Create();
    struct Row {
        const char* count;
        const char* pause;
        int notes;
        unsigned sleepMs;
    } rows[] = {
        {"2", "900", 2, 5000},  // typed but not yet confirmed: the bound
        {"3", "abc", 3, 100},   // no number: the minimum
        {"15", "5", 10, 100},
        {"", "250", 1, 2500},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pause);
        clock.sleeps.clear();
        form->FlatSpinEditInteger1->SetText(QString::fromUtf8(r.count));
        form->FlatSpinEditInteger2->SetText(QString::fromUtf8(r.pause));
        ClickCentre(form->FlatSpeedButton3);
        EXPECT_EQ(clock.sleeps, std::vector<unsigned>(std::size_t(r.notes), r.sleepMs));
        // Finish the run so the next row can start.
        boxes.boxes.clear();
        for (int t : std::vector<int>(form->Targets))
            Type(QString(LetterFor(t)));
        EXPECT_EQ(boxes.boxes.size(), 1u);
    }
}

}  // namespace

namespace {

TEST_F(AppTest, QuestionMarkShowsTheAboutWindowModallyEveryTime)
{
    Create();
    TForm about(nullptr);
    about.SetClientSize(203, 312);
    about.AfterConstruction();
    form->SetAboutWindow(&about);
    int shown = 0;
    for (int i = 0; i < 2; ++i) {
        WhenModal([&] {
            shown += about.isVisible() && about.Modal();
            about.SetModalResult(mrOk);
        });
        ClickCentre(form->FlatSpeedButton2);
        EXPECT_FALSE(about.isVisible());
    }
    EXPECT_EQ(shown, 2);
    form->SetAboutWindow(nullptr);
}

}  // namespace

namespace {

TEST_F(AppTest, SelectorHasTheFocusAndTheDownKeyPicksTheIntervals)
{
    Create();
    ShowActive();
    EXPECT_EQ(form->ActiveControl(), form->FlatComboBox1);
    QTest::keyClick(form->FlatComboBox1, Qt::Key_Down);
    EXPECT_EQ(form->FlatComboBox1->ItemIndex(), 1);
    EXPECT_FALSE(form->FlatPanel1->Visible());
    EXPECT_EQ(MemoText(), kIntervText);
}

}  // namespace
