#include "app/MainForm.h"

#include "app/Accessibility.h"
#include "app/MidiKeys.h"
#include "app/Trainer.h"
#include "app/Unit2.h"
#include "midi/MidiIn.h"
#include "platform/midi/MidiDevice.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/TextFile.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QWidgetAction>

TForm1* Form1 = nullptr;

namespace {

constexpr TColor kLightKey = RGB(240, 202, 166);
constexpr TColor kSeparatorColor = RGB(160, 150, 131);

const QString kMidiOpening = QStringLiteral("Открывается устройство MIDI");
const QString kMidiOpened = QStringLiteral("Устройство MIDI успешно открыто.");
const QString kMidiNotOpened =
    QStringLiteral("Устройство MIDI не открыто. Попробуйте выбрать другое в меню 'Настройки'");
const QString kMidiErrorCaption = QStringLiteral("Ошибка!");

void UseFont(TControl& c, const QString& name, int pixels, TFontStyles style, TColor colour,
             std::uint8_t charset = RUSSIAN_CHARSET)
{
    TFont& f = c.Font();
    f.SetName(name);
    f.SetHeight(-pixels);
    f.SetStyle(style);
    f.SetCharset(charset);
    f.SetColor(colour);
}

const QString kTimes = QStringLiteral("Times New Roman");
const QString kSans = QStringLiteral("MS Sans Serif");

enum class KeyRole { White, Black };

void ConfigureKey(TfcShapeBtn& b, KeyRole role, const QString& caption, int left, int top, int semitone)
{
    b.SetBounds(left, top, 75, 150);
    b.SetCaption(caption);
    b.SetTag(semitone);
    b.SetAllowAllUp(true);
    b.SetColor(role == KeyRole::White ? kLightKey : cl3DDkShadow);
    b.SetDitherColor(clWhite);
    b.SetNumGlyphs(0);
    b.SetParentClipping(true);
    b.SetRoundRectBias(25);
    b.SetShadeStyle(fbsNormal);
    b.SetShape(bsDiamond);
    b.SetSmoothFont(true);
    TfcCaptionText& t = b.TextOptions();
    t.SetAlignment(taCenter);
    t.SetVAlignment(vaVCenter);
    t.Shadow().SetEnabled(true);
    t.Shadow().SetXOffset(1);
    t.Shadow().SetYOffset(1);
    t.SetStyle(role == KeyRole::White ? fclsRaised : fclsOutline);
    UseFont(b, kTimes, 11, fsBold, role == KeyRole::White ? cl3DDkShadow : kLightKey);
}

void ConfigureArrow(TfcShapeBtn& b, TfcShapeOrientation o, const QString& caption, int left)
{
    b.SetBounds(left, 208, 137, 33);
    b.SetCaption(caption);
    b.SetColor(clBtnFace);
    b.SetDitherColor(clWhite);
    b.SetOrientation(o);
    b.SetParentClipping(true);
    b.SetRoundRectBias(25);
    b.SetShadeStyle(fbsHighlight);
    b.SetShape(bsArrow);
    b.TextOptions().SetAlignment(taCenter);
    b.TextOptions().SetVAlignment(vaVCenter);
    UseFont(b, kTimes, 11, fsBold, clWindowText);
}

template <class T>
T* Make(TForm1* form, TWinControl* parent, const char* name)
{
    auto* c = new T(form);  // owned by the form
    c->SetName(QString::fromLatin1(name));
    c->SetParent(parent);
    return c;
}

void SetSettingsLabel(TLabel& l, const QString& caption, int left, int width)
{
    l.SetBounds(left, 10, width, 15);
    l.SetCaption(caption);
    l.SetColor(clBtnFace);
    UseFont(l, kTimes, 12, 0, clWindowText);
}

}  // namespace

TForm1::TForm1(TComponent* owner, const QString& programDir) : TForm(owner), programDirOverride_(programDir)
{
    Form1 = this;
    SetName(QStringLiteral("Form1"));
    SetCaption(QStringLiteral("Form1"));
    SetClientSize(657, 523);
    SetColor(clBlue);
    SetPosition(poDesktopCenter);
    SetKeyPreview(true);
    // No caption bar: the window is moved by its own surface.
    SetDragBySurface(true);
    UseFont(*this, kSans, 11, 0, clWindowText, DEFAULT_CHARSET);
    CreateLayout();
    OnCreate = [this](TComponent* s) { FormCreate(s); };
    OnKeyPress = [this](TComponent* s, QChar& k) { FormKeyPress(s, k); };
}

TForm1::~TForm1()
{
    // No note may reach the keys once they start going.
    midiIn_.reset();
    midiKeys_.reset();
    if (Form1 == this)
        Form1 = nullptr;
}

// --- Layout -----------------------------------------------------------------

void TForm1::CreateLayout()
{
    Label1 = Make<TLabel>(this, this, "Label1");
    Label1->SetAutoSize(false);
    Label1->SetBounds(160, 216, 321, 15);
    Label1->SetAlignment(taCenter);
    Label1->SetColor(clBtnFace);
    UseFont(*Label1, kTimes, 13, fsBold, clWindowText);

    Label2 = Make<TLabel>(this, this, "Label2");
    Label2->SetAutoSize(false);
    Label2->SetBounds(0, 508, 657, 15);
    Label2->SetAlign(alBottom);
    Label2->SetColor(clBtnFace);
    UseFont(*Label2, kTimes, 13, fsBold, clWindowText);

    CreateKeys();
    CreateTopPanel();

    fcShapeBtn13 = Make<TfcShapeBtn>(this, this, "fcShapeBtn13");
    ConfigureArrow(*fcShapeBtn13, soLeft, QStringLiteral("ОКТАВА ВНИЗ"), 8);
    fcShapeBtn13->SetTabOrder(13);
    fcShapeBtn13->OnClick = [this](TComponent* s) { fcShapeBtn13Click(s); };
    fcShapeBtn14 = Make<TfcShapeBtn>(this, this, "fcShapeBtn14");
    ConfigureArrow(*fcShapeBtn14, soRight, QStringLiteral("ОКТАВА ВВЕРХ"), 496);
    fcShapeBtn14->SetTabOrder(14);
    fcShapeBtn14->OnClick = [this](TComponent* s) { fcShapeBtn14Click(s); };

    // The octave names live in a list that is never shown.
    ListBox1 = Make<TListBox>(this, this, "ListBox1");
    ListBox1->SetVisible(false);
    ListBox1->SetBounds(632, 168, 121, 97);
    UseFont(*ListBox1, kTimes, 11, 0, clWindowText);
    ListBox1->SetItemHeight(14);
    ListBox1->SetItems(OctaveNames());
    ListBox1->SetTabOrder(15);

    FlatMemo1 = Make<TFlatMemo>(this, this, "FlatMemo1");
    FlatMemo1->SetBounds(8, 48, 641, 105);
    FlatMemo1->SetColorFlat(clBtnFace);
    UseFont(*FlatMemo1, kTimes, 12, 0, clWindowText);
    FlatMemo1->Lines().SetText(QStringLiteral("FlatMemo1"));
    FlatMemo1->SetReadOnly(true);
    FlatMemo1->SetScrollBars(ssVertical);
    FlatMemo1->SetTabOrder(16);

    CreateSettings();
}

void TForm1::CreateKeys()
{
    struct KeySpec {
        TfcShapeBtn* TForm1::*field;
        const char* name;
        const char* caption;
        KeyRole role;
        int left, top, semitone;
        void (TForm1::*handler)(TComponent*);
    };
    // In layout order: the black keys lie above the white ones.
    static const KeySpec keys[] = {
        {&TForm1::fcShapeBtn1, "fcShapeBtn1", "ДО", KeyRole::White, 24, 340, 0, &TForm1::fcShapeBtn1Click},
        {&TForm1::fcShapeBtn2, "fcShapeBtn2", "РЕ", KeyRole::White, 112, 340, 2, &TForm1::fcShapeBtn2Click},
        {&TForm1::fcShapeBtn3, "fcShapeBtn3", "МИ", KeyRole::White, 200, 340, 4, &TForm1::fcShapeBtn3Click},
        {&TForm1::fcShapeBtn4, "fcShapeBtn4", "ФА", KeyRole::White, 288, 340, 5, &TForm1::fcShapeBtn4Click},
        {&TForm1::fcShapeBtn5, "fcShapeBtn5", "СОЛЬ", KeyRole::White, 376, 340, 7, &TForm1::fcShapeBtn5Click},
        {&TForm1::fcShapeBtn6, "fcShapeBtn6", "ЛЯ", KeyRole::White, 464, 340, 9, &TForm1::fcShapeBtn6Click},
        {&TForm1::fcShapeBtn7, "fcShapeBtn7", "СИ", KeyRole::White, 552, 340, 11, &TForm1::fcShapeBtn7Click},
        {&TForm1::fcShapeBtn8, "fcShapeBtn8", "ДО #", KeyRole::Black, 67, 240, 1, &TForm1::fcShapeBtn8Click},
        {&TForm1::fcShapeBtn9, "fcShapeBtn9", "РЕ #", KeyRole::Black, 155, 240, 3, &TForm1::fcShapeBtn9Click},
        {&TForm1::fcShapeBtn10, "fcShapeBtn10", "ЛЯ #", KeyRole::Black, 506, 240, 10, &TForm1::fcShapeBtn10Click},
        {&TForm1::fcShapeBtn11, "fcShapeBtn11", "ФА #", KeyRole::Black, 332, 240, 6, &TForm1::fcShapeBtn11Click},
        {&TForm1::fcShapeBtn12, "fcShapeBtn12", "СОЛЬ #", KeyRole::Black, 420, 240, 8, &TForm1::fcShapeBtn12Click},
    };
    int tabOrder = 0;
    for (const KeySpec& k : keys) {
        TfcShapeBtn* b = Make<TfcShapeBtn>(this, this, k.name);
        ConfigureKey(*b, k.role, QString::fromUtf8(k.caption), k.left, k.top, k.semitone);
        b->SetTabOrder(tabOrder++);
        b->OnClick = [this, h = k.handler](TComponent* s) { (this->*h)(s); };
        this->*k.field = b;
    }
}

void TForm1::CreateTopPanel()
{
    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetBounds(0, 0, 657, 41);
    Panel1->SetAlign(alTop);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetCaption(QString());
    Panel1->SetColor(clBtnFace);
    Panel1->SetTabOrder(12);

    struct ButtonSpec {
        TFlatSpeedButton* TForm1::*field;
        const char* name;
        const char* caption;
        int left, width;
        void (TForm1::*handler)(TComponent*);
    };
    static const ButtonSpec buttons[] = {
        {&TForm1::FlatSpeedButton1, "FlatSpeedButton1", "X", 616, 25, &TForm1::FlatSpeedButton1Click},
        {&TForm1::FlatSpeedButton2, "FlatSpeedButton2", "?", 584, 25, &TForm1::FlatSpeedButton2Click},
        {&TForm1::FlatSpeedButton3, "FlatSpeedButton3", "ЗАПУСТИТЬ", 216, 129, &TForm1::FlatSpeedButton3Click},
    };
    for (const ButtonSpec& s : buttons) {
        TFlatSpeedButton* b = Make<TFlatSpeedButton>(this, Panel1, s.name);
        b->SetBounds(s.left, 8, s.width, 25);
        b->SetCaption(QString::fromUtf8(s.caption));
        b->OnClick = [this, h = s.handler](TComponent* sender) { (this->*h)(sender); };
        this->*s.field = b;
    }
    FlatSpeedButton1->SetColor(clBtnFace);
    UseFont(*FlatSpeedButton1, kSans, 11, fsBold, clWindowText, DEFAULT_CHARSET);
    FlatSpeedButton2->SetColor(clBtnFace);
    UseFont(*FlatSpeedButton2, kSans, 11, fsBold, clWindowText, DEFAULT_CHARSET);
    UseFont(*FlatSpeedButton3, kTimes, 11, fsBold, clWindowText);

    FlatComboBox1 = Make<TFlatComboBox>(this, Panel1, "FlatComboBox1");
    FlatComboBox1->SetBounds(16, 8, 191, 23);
    FlatComboBox1->SetStyle(csDropDownList);
    FlatComboBox1->SetColor(clWindow);
    UseFont(*FlatComboBox1, kTimes, 12, 0, clWindowText);
    FlatComboBox1->SetItemHeight(15);
    FlatComboBox1->SetItems(
        {QStringLiteral("Упражнение \"ноты\""), QStringLiteral("Упражнение \"интервалы\"")});
    FlatComboBox1->SetTabOrder(0);
    FlatComboBox1->OnChange = [this](TComponent* s) { FlatComboBox1Change(s); };
}

void TForm1::CreateSettings()
{
    FlatPanel1 = Make<TFlatPanel>(this, this, "FlatPanel1");
    FlatPanel1->SetBounds(128, 160, 522, 33);
    FlatPanel1->SetCaption(QString());
    FlatPanel1->SetParentColor(true);
    FlatPanel1->SetTabOrder(17);

    Label3 = Make<TLabel>(this, FlatPanel1, "Label3");
    SetSettingsLabel(*Label3, QStringLiteral(" Количество нот:  "), 5, 91);

    // A one-pixel rectangle: the line between the count and the indicators.
    Shape2 = Make<TShape>(this, FlatPanel1, "Shape2");
    Shape2->SetBounds(154, 0, 1, 33);
    Shape2->Pen().SetColor(kSeparatorColor);

    FlatSpinEditInteger1 = Make<TFlatSpinEditInteger>(this, FlatPanel1, "FlatSpinEditInteger1");
    FlatSpinEditInteger1->SetBounds(107, 7, 43, 20);
    FlatSpinEditInteger1->SetColorFlat(clBtnFace);
    FlatSpinEditInteger1->SetAutoSize(false);
    FlatSpinEditInteger1->SetEditorEnabled(false);
    FlatSpinEditInteger1->SetMaxValue(10);
    FlatSpinEditInteger1->SetMinValue(1);
    FlatSpinEditInteger1->SetValue(1);
    FlatSpinEditInteger1->SetTabOrder(0);
    FlatSpinEditInteger1->OnChange = [this](TComponent* s) { FlatSpinEditInteger1Change(s); };

    FlatPanel2 = Make<TFlatPanel>(this, this, "FlatPanel2");
    FlatPanel2->SetBounds(8, 160, 121, 33);
    FlatPanel2->SetCaption(QString());
    FlatPanel2->SetParentColor(true);
    FlatPanel2->SetTabOrder(18);

    Label4 = Make<TLabel>(this, FlatPanel2, "Label4");
    SetSettingsLabel(*Label4, QStringLiteral("Пауза: "), 8, 37);

    FlatSpinEditInteger2 = Make<TFlatSpinEditInteger>(this, FlatPanel2, "FlatSpinEditInteger2");
    FlatSpinEditInteger2->SetBounds(55, 7, 56, 20);
    FlatSpinEditInteger2->SetColorFlat(clBtnFace);
    FlatSpinEditInteger2->SetAutoSize(false);
    FlatSpinEditInteger2->SetMaxValue(500);
    FlatSpinEditInteger2->SetMinValue(10);
    FlatSpinEditInteger2->SetValue(100);
    FlatSpinEditInteger2->SetTabOrder(0);
}

// --- Start-up -----------------------------------------------------------------

void TForm1::FormCreate(TComponent*)
{
    ProgramDir = programDirOverride_.isEmpty() ? TApplication::ExeDir() : programDirOverride_;
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    // Without its instructions the trainer still works: report the file and
    // go on, so the keys sound and both exercises can be started.
    try {
        LoadInstructions(QStringLiteral("note.txt"));
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    midiOutput_ = MidiOutChoice().value_or(std::string());
    OpenMidi();
    Octave = kStartOctave;
    Label1->SetCaption(ListBox1->Items().at(Octave));
    Velocity = kFullVelocity;
    FlatComboBox1->SetItemIndex(0);
    CreateIndicators();
    Indicators[0]->SetVisible(true);
    DescribeMainWindow(*this);
    // A MIDI keyboard plays the keys once the window is ready for them.
    midiKeys_ = std::make_unique<TMidiKeys>(this, [this](int semitone) { ClickNoteKey(semitone); });
    midiIn_ = std::make_unique<TMidiNoteInbox>(MidiPorts(), [this](int semitone) { midiKeys_->Note(semitone); });
    midiIn_->OpenFromEnvironment();
}

void TForm1::LoadInstructions(const QString& fileName)
{
    FlatMemo1->Lines().SetText(ReadTextFile(ProgramDir + fileName));
}

void TForm1::OpenMidi()
{
    Label2->SetCaption(kMidiOpening);
    try {
        MidiOpenResult = midiOutOpen(&MidiOut, 0, 0, 0, CALLBACK_NULL);
        if (MidiOpenResult != MMSYSERR_NOERROR) {
            Application->MessageBox(QString::fromLatin1(MidiOpenErrorText(MidiOpenResult)), kMidiErrorCaption);
            Label2->SetCaption(kMidiNotOpened);
        }
    } catch (...) {
        // Nothing was opened: say so instead of leaving the result at
        // "success".
        if (MidiOpenResult == MMSYSERR_NOERROR)
            MidiOpenResult = MMSYSERR_ERROR;
        Application->MessageBox(QStringLiteral("неизвестная ошибка MIDI"), kMidiErrorCaption);
        Label2->SetCaption(kMidiNotOpened);
    }
    if (MidiOpenResult == MMSYSERR_NOERROR)
        Label2->SetCaption(kMidiOpened);
}

void TForm1::CreateIndicators()
{
    for (int i = 0; i < int(Indicators.size()); ++i) {
        auto* s = new TShape(FlatPanel1);  // owned by the panel that shows it
        s->SetParent(FlatPanel1);
        s->SetShape(stCircle);
        s->Brush().SetColor(clBtnFace);
        s->SetBounds(Shape2->Left() + 15 + 30 * i, 7, 20, 20);
        s->SetVisible(false);
        Indicators[std::size_t(i)] = s;
    }
}

// --- Notes and octaves ----------------------------------------------------------

void TForm1::PlayNote()
{
    StatusByte = kNoteOnStatus;
    LastMessage = std::int32_t(PackShortMessage(StatusByte, NoteNumber, Velocity));
    midiOutShortMsg(MidiOut, DWORD(LastMessage));
}

void TForm1::NoteKeyClicked(int semitone)
{
    // The note sounds first; the answer is judged after.
    NoteNumber = NoteNumberOf(Octave, semitone);
    PlayNote();
    CheckAnswer(semitone);
}

void TForm1::fcShapeBtn1Click(TComponent*) { NoteKeyClicked(0); }
void TForm1::fcShapeBtn8Click(TComponent*) { NoteKeyClicked(1); }
void TForm1::fcShapeBtn2Click(TComponent*) { NoteKeyClicked(2); }
void TForm1::fcShapeBtn9Click(TComponent*) { NoteKeyClicked(3); }
void TForm1::fcShapeBtn3Click(TComponent*) { NoteKeyClicked(4); }
void TForm1::fcShapeBtn4Click(TComponent*) { NoteKeyClicked(5); }
void TForm1::fcShapeBtn11Click(TComponent*) { NoteKeyClicked(6); }
void TForm1::fcShapeBtn5Click(TComponent*) { NoteKeyClicked(7); }
void TForm1::fcShapeBtn12Click(TComponent*) { NoteKeyClicked(8); }
void TForm1::fcShapeBtn6Click(TComponent*) { NoteKeyClicked(9); }
void TForm1::fcShapeBtn10Click(TComponent*) { NoteKeyClicked(10); }
void TForm1::fcShapeBtn7Click(TComponent*) { NoteKeyClicked(11); }

void TForm1::fcShapeBtn13Click(TComponent*)
{
    const int next = OctaveBelow(Octave);
    if (next == Octave)
        return;
    Octave = std::uint8_t(next);
    Label1->SetCaption(ListBox1->Items().at(Octave));
}

void TForm1::fcShapeBtn14Click(TComponent*)
{
    const int next = OctaveAbove(Octave, ListBox1->Count());
    if (next == Octave)
        return;
    Octave = std::uint8_t(next);
    Label1->SetCaption(ListBox1->Items().at(Octave));
}

void TForm1::KeyDown(TKeyCode& key, TShiftState shift)
{
    typingShift_ = shift;
    TForm::KeyDown(key, shift);
}

void TForm1::FormKeyPress(TComponent*, QChar& key)
{
    const int semitone = SemitoneForTypedChar(key, (typingShift_ & (ssCtrl | ssAlt)) != 0);
    if (semitone < 0)
        return;
    // The character is not used up: it still reaches the focused control.
    ClickNoteKey(semitone);
}

void TForm1::ClickNoteKey(int semitone)
{
    // The key's own click handler, as a click on it would run it.
    switch (semitone) {
    case 0: fcShapeBtn1Click(fcShapeBtn1); break;
    case 1: fcShapeBtn8Click(fcShapeBtn8); break;
    case 2: fcShapeBtn2Click(fcShapeBtn2); break;
    case 3: fcShapeBtn9Click(fcShapeBtn9); break;
    case 4: fcShapeBtn3Click(fcShapeBtn3); break;
    case 5: fcShapeBtn4Click(fcShapeBtn4); break;
    case 6: fcShapeBtn11Click(fcShapeBtn11); break;
    case 7: fcShapeBtn5Click(fcShapeBtn5); break;
    case 8: fcShapeBtn12Click(fcShapeBtn12); break;
    case 9: fcShapeBtn6Click(fcShapeBtn6); break;
    case 10: fcShapeBtn10Click(fcShapeBtn10); break;
    case 11: fcShapeBtn7Click(fcShapeBtn7); break;
    default: break;
    }
}

// --- Selector and settings ----------------------------------------------------

void TForm1::FlatComboBox1Change(TComponent*)
{
    if (FlatComboBox1->ItemIndex() == 0) {
        FlatPanel1->Show();
        LoadInstructions(QStringLiteral("note.txt"));
    }
    if (FlatComboBox1->ItemIndex() == 1) {
        FlatPanel1->Hide();
        LoadInstructions(QStringLiteral("interv.txt"));
    }
}

void TForm1::FlatSpinEditInteger1Change(TComponent*)
{
    const int n = NoteCountSetting();
    for (int i = 0; i < n; ++i)
        Indicators[std::size_t(i)]->SetVisible(true);
    for (int i = n; i < int(Indicators.size()); ++i)
        Indicators[std::size_t(i)]->SetVisible(false);
}

int TForm1::NoteCountSetting() const
{
    return SettingFromText(FlatSpinEditInteger1->Text(), 1, 10);
}

int TForm1::PauseSetting() const
{
    return SettingFromText(FlatSpinEditInteger2->Text(), 10, 500);
}

// --- Window buttons -------------------------------------------------------------

void TForm1::FlatSpeedButton1Click(TComponent*)
{
    Application->Terminate();
}

void TForm1::FlatSpeedButton2Click(TComponent*)
{
    if (aboutWindow_)
        aboutWindow_->ShowModal();
}

// --- Exercises ------------------------------------------------------------------

void TForm1::FlatSpeedButton3Click(TComponent*)
{
    if (FlatComboBox1->ItemIndex() == 0)
        StartNotesExercise();
    else
        StartIntervalsExercise();
}

void TForm1::StartNotesExercise()
{
    FlatSpeedButton3->SetEnabled(false);
    Randomize();
    Label2->SetCaption(QStringLiteral("Запущено упражнение \"ноты\""));
    SequenceLength = NoteCountSetting();
    PauseMs = PauseSetting() * 10;
    NotesActive = true;
    Targets.assign(std::size_t(SequenceLength), 0);
    RightCount = 0;
    WrongCount = 0;
    AnswerIndex = 0;
    for (int i = 0; i < SequenceLength; ++i) {
        const int t = Random(kSemitonesPerOctave);
        Targets[std::size_t(i)] = t;
        NoteNumber = NoteNumberOf(Octave, t);
        PlayNote();
        Sleep(unsigned(PauseMs));
    }
    // The start button stays disabled: the exercise now waits for answers.
}

void TForm1::StartIntervalsExercise()
{
    FlatSpeedButton3->SetEnabled(false);
    Randomize();
    Label2->SetCaption(QStringLiteral("Запущено упражнение \"интервалы\""));
    PauseMs = PauseSetting() * 10;
    const TIntervalQuestion q = DrawIntervalQuestion();
    FirstNote = q.firstNote;
    SecondNote = q.secondNote;
    if (Form2) {
        try {
            Form2->PlaceAtTop(Top() + FlatMemo1->Top() - 4);
            Form2->ShowModal();
        } catch (...) {
            // The question is over either way; the start button must not
            // stay disabled for the rest of the run.
            FlatSpeedButton3->SetEnabled(true);
            throw;
        }
    }
    Label2->SetCaption(QStringLiteral("Упражнение \"интервалы\" Закончено"));
    FlatSpeedButton3->SetEnabled(true);
}

void TForm1::CheckAnswer(int semitone)
{
    // Answers that come while the result box is up belong to no question.
    if (!NotesActive || AnswerIndex >= SequenceLength)
        return;
    TShape* indicator = Indicators[std::size_t(AnswerIndex)];
    if (semitone == Targets[std::size_t(AnswerIndex)]) {
        indicator->Brush().SetColor(clGreen);
        ++RightCount;
    } else {
        indicator->Brush().SetColor(clRed);
        ++WrongCount;
    }
    ++AnswerIndex;
    if (AnswerIndex < SequenceLength)
        return;
    // The coloured row stays visible while the result box is up.
    const TResultBox box = NotesResultBox(RightCount, SequenceLength);
    Application->MessageBox(box.text, box.caption);
    ResetIndicators();
    NotesActive = false;
    Label2->SetCaption(QStringLiteral("Упражнение \"ноты\" закончено"));
    FlatSpeedButton3->SetEnabled(true);
}

void TForm1::ResetIndicators()
{
    for (TShape* s : Indicators)
        if (s)
            s->Brush().SetColor(clBtnFace);
}

// --- The settings menu ------------------------------------------------------------

void TForm1::contextMenuEvent(QContextMenuEvent* e)
{
    // The window's own surface and the status line offer the settings; the
    // controls keep their own menus (or none).
    QWidget* under = childAt(e->pos());
    if (under && under != Label2) {
        TForm::contextMenuEvent(e);
        return;
    }
    std::unique_ptr<QMenu> menu = CreateSettingsMenu();
    menu->exec(e->globalPos());
}

std::unique_ptr<QMenu> TForm1::CreateSettingsMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setTitle(QStringLiteral("Настройки"));
    // The title is a plain label, not an item one could choose.
    auto* title = new QWidgetAction(menu.get());  // owned by the menu
    auto* label = new QLabel(QStringLiteral("Настройки"));  // owned by the action
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setContentsMargins(8, 3, 8, 3);
    title->setDefaultWidget(label);
    menu->addAction(title);
    menu->addSeparator();
    IMidiPorts& ports = midiIn_ ? midiIn_->Ports() : MidiPorts();
    FillMidiOutputMenu(*menu->addMenu(QStringLiteral("Выход MIDI")), ports);
    FillMidiInputMenu(*menu->addMenu(QStringLiteral("Вход MIDI")), ports);
    return menu;
}

// Outputs: one of them is device 0.
void TForm1::FillMidiOutputMenu(QMenu& outputs, IMidiPorts& ports)
{
    auto* group = new QActionGroup(&outputs);  // owned by the menu
    const TMidiOutChoice current = ParseMidiOutChoice(midiOutput_);
    const std::vector<std::string> names = ports.OutputPorts();
    const std::optional<std::size_t> currentPort =
        current.Valid() && current.kind == mokPort ? FindPortName(names, current.argument) : std::nullopt;
    auto add = [&](const QString& text, const std::string& value, bool checked) {
        QAction* a = outputs.addAction(text);
        a->setCheckable(true);
        a->setChecked(checked);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, value] { ChooseMidiOutput(value); });
    };
    add(QStringLiteral("Встроенный синтезатор"), "synth", current.Valid() && current.kind == mokSynth);
    for (std::size_t i = 0; i < names.size(); ++i)
        add(QString::fromStdString(names[i]), "port:" + names[i], currentPort == i);
}

// Inputs: any number of them play the keys.
void TForm1::FillMidiInputMenu(QMenu& inputs, IMidiPorts& ports)
{
    QAction* none = inputs.addAction(QStringLiteral("Нет"));
    none->setCheckable(true);
    none->setChecked(!midiIn_ || midiIn_->ConnectedPorts().empty());
    connect(none, &QAction::triggered, this, [this] { DisconnectMidiInputs(); });
    for (const std::string& name : ports.InputPorts()) {
        QAction* a = inputs.addAction(QString::fromStdString(name));
        a->setCheckable(true);
        a->setChecked(midiIn_ && midiIn_->Connected(name));
        connect(a, &QAction::triggered, this, [this, name] { ToggleMidiInput(name); });
    }
}

void TForm1::ChooseMidiOutput(const std::string& value)
{
    if (value == midiOutput_ && MidiOpenResult == MMSYSERR_NOERROR)
        return;
    if (MidiOut)
        midiOutClose(MidiOut);
    MidiOut = nullptr;
    midiOutput_ = value;
    SetMidiOutChoice(value);
    OpenMidi();
}

void TForm1::ToggleMidiInput(const std::string& port)
{
    if (!midiIn_)
        return;
    if (midiIn_->Connected(port))
        midiIn_->Disconnect(port);
    else
        midiIn_->Connect(port);
}

void TForm1::DisconnectMidiInputs()
{
    if (midiIn_)
        midiIn_->DisconnectAll();
}
