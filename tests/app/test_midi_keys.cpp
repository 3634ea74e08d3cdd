// A MIDI keyboard plays the trainer's keys, and the settings menu switches
// the MIDI output and inputs while the program runs.

#include "app/MidiKeys.h"
#include "midi/MidiIn.h"
#include "tests/app/AppFixture.h"
#include "tests/midi/FakeMidiPorts.h"

#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>

namespace {

using namespace app_fixture;

// A clock whose sleep runs what happens meanwhile, then returns at once.
class SleepingClock : public TFakeClock {
public:
    std::function<void(int sleepIndex)> meanwhile;
    void Sleep(unsigned ms) override
    {
        if (meanwhile)
            meanwhile(int(sleeps.size()));
        TFakeClock::Sleep(ms);
    }
};

class MidiKeysTest : public AppTest {
protected:
    SleepingClock sleeping;
    FakeMidiPorts ports;
    IMidiPorts* previousPorts = nullptr;
    QByteArray previousChoice;

    void SetUp() override
    {
        // Unset: every hardware input (here the fake "Keys A").
        previousChoice = qgetenv(kMidiInVariable);
        qunsetenv(kMidiInVariable);
        previousPorts = SetMidiPorts(&ports);
    }
    void TearDown() override
    {
        form.reset();
        SetMidiPorts(previousPorts);
        if (!previousChoice.isNull())
            qputenv(kMidiInVariable, previousChoice);
    }

    static void Pump()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::sendPostedEvents();
    }

    // Handles what the inputs sent, as if the program were idle.
    static void PumpHolding()
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QCoreApplication::sendPostedEvents();
    }

    void SendNote(int note, const char* port = "Keys A")
    {
        ASSERT_TRUE(ports.Send(port, {0x90, (unsigned char)note, 100})) << port << " is not open";
    }

    // Input made at input-clock time `made`.
    void TypeAt(QChar ch, quint64 made)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        press.setTimestamp(made);
        QCoreApplication::sendEvent(form.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        release.setTimestamp(made);
        QCoreApplication::sendEvent(form.get(), &release);
    }

    void ClickAt(QWidget* w, quint64 made)
    {
        const QPointF p(w->width() / 2.0, w->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        press.setTimestamp(made);
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        release.setTimestamp(made);
        QCoreApplication::sendEvent(w, &release);
    }

    std::vector<QColor> IndicatorColours() const
    {
        std::vector<QColor> c;
        for (TShape* s : form->Indicators)
            c.push_back(QColor(QRgb(s->Brush().Color())));
        return c;
    }
};

TEST_F(MidiKeysTest, NotesPlayTheKeysInTheCurrentOctaveInOrder)
{
    Create();
    EXPECT_TRUE(ports.IsOpen("Keys A")) << "every hardware input opens by default";
    EXPECT_FALSE(ports.IsOpen("Keys B"));
    midi->Clear();
    SendNote(60);                           // ДО
    SendNote(35);                           // СИ of another octave
    ASSERT_TRUE(ports.Send("Keys A", {0x9F, 63, 1}));  // РЕ #, channel 16
    Pump();
    EXPECT_EQ(NotesPlayed(), (std::vector<int>{48, 59, 51}));
    form->fcShapeBtn14Click(nullptr);
    SendNote(60);
    Pump();
    EXPECT_EQ(NotesPlayed().back(), 60);
}

TEST_F(MidiKeysTest, OtherMessagesChangeNothing)
{
    Create();
    form->FlatSpeedButton3Click(nullptr);
    midi->Clear();
    for (const std::vector<unsigned char>& m :
         std::vector<std::vector<unsigned char>>{{0x90, 60, 0}, {0x80, 60, 64}, {0xB0, 1, 64}, {0xF0, 0x43, 0x10, 0xF7},
                                                 {62, 100}, {0x90, 60}, {0xFF}})
        ports.Send("Keys A", m);
    Pump();
    EXPECT_TRUE(midi->Messages().empty());
    EXPECT_EQ(form->AnswerIndex, 0);
}

TEST_F(MidiKeysTest, ANoteDuringPlaybackIsJudgedAfterItInOrderWithTypedKeys)
{
    Create();
    form->FlatSpinEditInteger1->SetValue(3);
    // The input clock runs 1000 ms behind the tick count.
    sleeping.Advance(5000);
    bool judgedDuringSleep = false;
    sleeping.meanwhile = [&](int sleepIndex) {
        if (sleepIndex != 0)
            return;
        sleeping.Advance(10);
        // A wrong answer to the first question... played as the second answer.
        SendNote(48 + (form->Targets[0] + 1) % 12);
        PumpHolding();
        judgedDuringSleep = form->AnswerIndex != 0 || midi->Messages().size() != 1;
    };
    ClickAt(form->FlatSpeedButton3, 4000);
    ASSERT_EQ(sleeping.sleeps.size(), 3u);
    EXPECT_FALSE(judgedDuringSleep);
    EXPECT_EQ(form->AnswerIndex, 0) << "held until playback ended";
    const std::vector<int> targets(form->Targets.begin(), form->Targets.end());
    // A key typed before the note, then one typed after it.
    TypeAt(LetterFor(targets[0]), 4005);
    EXPECT_EQ(form->AnswerIndex, 1);
    TypeAt(LetterFor(targets[2]), 4020);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Угадано 2 из 3"));
    const std::vector<int> played = NotesPlayed();
    ASSERT_EQ(played.size(), 6u);
    EXPECT_EQ(played[3], 48 + targets[0]);
    EXPECT_EQ(played[4], 48 + (targets[0] + 1) % 12);
    EXPECT_EQ(played[5], 48 + targets[2]);
}

TEST_F(MidiKeysTest, NotesLeftWaitingGoOnceTheHeldInputIsThrough)
{
    Create();
    sleeping.meanwhile = [&](int) {
        SendNote(48 + form->Targets[0]);
        PumpHolding();
    };
    ClickAt(form->FlatSpeedButton3, 0);
    EXPECT_EQ(form->MidiKeys()->Waiting(), 1u);
    form->MidiKeys()->DeliverHeld();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Угадано 1 из 1"));
}

TEST_F(MidiKeysTest, NotesWhileAnotherWindowIsModalPlayNothing)
{
    Create();
    form->FlatComboBox1->SetItemIndex(1);
    form->FlatComboBox1Change(form->FlatComboBox1);
    std::size_t playedInDialog = 99;
    WhenModal([&] {
        midi->Clear();
        SendNote(60);
        Pump();
        playedInDialog = midi->Messages().size();
        ClickCentre(dialog->FlatSpeedButton3);
    });
    ClickCentre(form->FlatSpeedButton3);
    EXPECT_EQ(playedInDialog, 0u);
    const std::size_t after = midi->Messages().size();
    form->MidiKeys()->DeliverHeld();
    Pump();
    EXPECT_EQ(midi->Messages().size(), after) << "nothing was kept for later";
}

class SettingsMenuTest : public MidiKeysTest {
protected:
    QTemporaryDir logs;
    TMidiOutFactory previousFactory;

    QString LogPath(const char* name) const { return logs.filePath(QString::fromLatin1(name)); }

    // Device 0 starts on a.log, chosen by no menu item.
    void CreateWithLogs()
    {
        SetMidiOutChoice(std::string("none"));
        midi.emplace();
        previousFactory = SetMidiOutFactory([this]() -> TMidiOutOpening {
            const std::string value = MidiOutChoice().value_or("");
            if (value == "port:Broken out")
                return {nullptr, MIDIERR_NODEVICE};
            const char* file = value == "port:Out B" ? "b.log" : "a.log";
            TMidiOpening o = OpenLogDevice(LogPath(file).toStdString());
            return {std::move(o.device), MMSYSERR_NOERROR};
        });
        Create();
    }

    void TearDown() override
    {
        MidiKeysTest::TearDown();
        SetMidiOutFactory(std::move(previousFactory));
        SetMidiOutChoice(std::nullopt);
    }

    QStringList Logged(const char* name) const
    {
        QFile f(LogPath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    static QMenu* SubMenu(QMenu& menu, const QString& title)
    {
        for (QAction* a : menu.actions())
            if (a->menu() && a->text() == title)
                return a->menu();
        return nullptr;
    }

    static QAction* Item(QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    void Choose(const QString& sub, const QString& text)
    {
        std::unique_ptr<QMenu> menu = form->CreateSettingsMenu();
        QMenu* m = SubMenu(*menu, sub);
        ASSERT_NE(m, nullptr) << sub.toStdString();
        QAction* a = Item(m, text);
        ASSERT_NE(a, nullptr) << text.toStdString();
        a->trigger();
    }

    std::vector<std::pair<QString, bool>> Items(const QString& sub)
    {
        std::unique_ptr<QMenu> menu = form->CreateSettingsMenu();
        std::vector<std::pair<QString, bool>> items;
        for (QAction* a : SubMenu(*menu, sub)->actions())
            items.emplace_back(a->text(), a->isChecked());
        return items;
    }
};

TEST_F(SettingsMenuTest, ListsOutputsAndInputsWithTheCurrentOnesChecked)
{
    CreateWithLogs();
    std::unique_ptr<QMenu> menu = form->CreateSettingsMenu();
    EXPECT_EQ(menu->title(), QStringLiteral("Настройки"));
    using Items = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(this->Items(QStringLiteral("Выход MIDI")),
              (Items{{QStringLiteral("Встроенный синтезатор"), false}, {"Out A", false}, {"Out B", false},
                     {"Broken out", false}}));
    EXPECT_EQ(this->Items(QStringLiteral("Вход MIDI")),
              (Items{{QStringLiteral("Нет"), false}, {"Keys A", true}, {"Keys B", false}, {"Broken keys", false}}));
}

TEST_F(SettingsMenuTest, SwitchingTheOutputReopensDeviceZeroWithTheStartUpMessages)
{
    CreateWithLogs();
    ASSERT_EQ(form->Label2->Caption(), kStatusOpened);
    form->fcShapeBtn1Click(nullptr);
    ASSERT_EQ(Logged("a.log"), QStringList{"007F3090"});

    Choose(QStringLiteral("Выход MIDI"), "Out B");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(form->Label2->Caption(), kStatusOpened);
    EXPECT_TRUE(Items(QStringLiteral("Выход MIDI"))[2].second) << "Out B is checked";
    SendNote(50);
    Pump();
    EXPECT_EQ(Logged("a.log"), QStringList{"007F3090"}) << "the old device gets nothing more";
    EXPECT_EQ(Logged("b.log"), QStringList{"007F3290"});

    // The same output again changes nothing.
    Choose(QStringLiteral("Выход MIDI"), "Out B");
    EXPECT_TRUE(boxes.boxes.empty());

    Choose(QStringLiteral("Выход MIDI"), "Broken out");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("\tNo MIDI port was found. "));
    EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("Ошибка!"));
    EXPECT_EQ(form->Label2->Caption(), kStatusNotOpened);
    form->fcShapeBtn2Click(nullptr);
    EXPECT_EQ(Logged("b.log"), QStringList{"007F3290"});

    Choose(QStringLiteral("Выход MIDI"), "Out A");
    EXPECT_EQ(form->Label2->Caption(), kStatusOpened);
    form->fcShapeBtn3Click(nullptr);
    EXPECT_EQ(Logged("a.log"), (QStringList{"007F3090", "007F3490"}));
}

TEST_F(SettingsMenuTest, InputsConnectAndDisconnect)
{
    CreateWithLogs();
    Choose(QStringLiteral("Вход MIDI"), "Keys B");
    EXPECT_TRUE(ports.IsOpen("Keys B"));
    testing::internal::CaptureStderr();
    Choose(QStringLiteral("Вход MIDI"), "Broken keys");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ladoton: cannot connect to MIDI input port Broken keys\n");
    midi->Clear();
    SendNote(49, "Keys B");
    Pump();
    EXPECT_EQ(Logged("a.log"), QStringList{"007F3190"});
    Choose(QStringLiteral("Вход MIDI"), "Keys A");
    EXPECT_FALSE(ports.IsOpen("Keys A"));
    Choose(QStringLiteral("Вход MIDI"), QStringLiteral("Нет"));
    EXPECT_FALSE(ports.IsOpen("Keys B"));
    EXPECT_TRUE(Items(QStringLiteral("Вход MIDI"))[0].second);
}

}  // namespace
