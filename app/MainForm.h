#pragma once

// The trainer's main window: the piano octave, the octave arrows, the
// exercise selector with its start button, the instructions, the settings,
// the answer indicators and the status line; the notes exercise lives here
// and the intervals exercise starts here.

#include "controls/flat/TFlatComboBoxUnit.h"
#include "controls/flat/TFlatMemoUnit.h"
#include "controls/flat/TFlatSpinEditUnit.h"
#include "controls/flat/TFlatPanelUnit.h"
#include "controls/flat/TFlatSpeedButtonUnit.h"
#include "controls/shaped/fcShapeBtn.h"
#include "midi/MidiOut.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IMidiPorts;
class QMenu;
class TMidiKeys;
class TMidiNoteInbox;

class TForm1 : public TForm {
public:
    // programDir: where the instruction files lie, ending with "/"; empty
    // means beside the program file.
    explicit TForm1(TComponent* owner, const QString& programDir = QString());
    ~TForm1() override;

    QString ClassName() const override { return QStringLiteral("TForm1"); }

    // --- Controls, in the order the class declares them (they are created in
    // layout order, which differs).
    TfcShapeBtn* fcShapeBtn1;
    TfcShapeBtn* fcShapeBtn2;
    TfcShapeBtn* fcShapeBtn3;
    TfcShapeBtn* fcShapeBtn4;
    TfcShapeBtn* fcShapeBtn5;
    TfcShapeBtn* fcShapeBtn6;
    TfcShapeBtn* fcShapeBtn7;
    TfcShapeBtn* fcShapeBtn8;
    TfcShapeBtn* fcShapeBtn9;
    TfcShapeBtn* fcShapeBtn10;
    TfcShapeBtn* fcShapeBtn11;
    TfcShapeBtn* fcShapeBtn12;
    TPanel* Panel1;
    TFlatSpeedButton* FlatSpeedButton1;
    TFlatSpeedButton* FlatSpeedButton2;
    TFlatSpeedButton* FlatSpeedButton3;
    TFlatComboBox* FlatComboBox1;
    TfcShapeBtn* fcShapeBtn13;
    TfcShapeBtn* fcShapeBtn14;
    TLabel* Label1;
    TListBox* ListBox1;
    TLabel* Label2;
    TFlatMemo* FlatMemo1;
    TFlatPanel* FlatPanel1;
    TFlatSpinEditInteger* FlatSpinEditInteger1;
    TLabel* Label3;
    TShape* Shape2;
    TFlatPanel* FlatPanel2;
    TLabel* Label4;
    TFlatSpinEditInteger* FlatSpinEditInteger2;

    // --- Handlers
    void FormCreate(TComponent* sender);
    // The twelve note keys, by semitone: 1 ДО, 8 ДО #, 2 РЕ, 9 РЕ #, 3 МИ,
    // 4 ФА, 11 ФА #, 5 СОЛЬ, 12 СОЛЬ #, 6 ЛЯ, 10 ЛЯ #, 7 СИ.
    void fcShapeBtn1Click(TComponent* sender);
    void fcShapeBtn2Click(TComponent* sender);
    void fcShapeBtn3Click(TComponent* sender);
    void fcShapeBtn4Click(TComponent* sender);
    void fcShapeBtn5Click(TComponent* sender);
    void fcShapeBtn6Click(TComponent* sender);
    void fcShapeBtn7Click(TComponent* sender);
    void fcShapeBtn8Click(TComponent* sender);
    void fcShapeBtn9Click(TComponent* sender);
    void fcShapeBtn10Click(TComponent* sender);
    void fcShapeBtn11Click(TComponent* sender);
    void fcShapeBtn12Click(TComponent* sender);
    // Octave down and up.
    void fcShapeBtn13Click(TComponent* sender);
    void fcShapeBtn14Click(TComponent* sender);
    void FormKeyPress(TComponent* sender, QChar& key);
    void FlatComboBox1Change(TComponent* sender);
    void FlatSpinEditInteger1Change(TComponent* sender);
    // "X": ends the program at once.
    void FlatSpeedButton1Click(TComponent* sender);
    // "?": the About window.
    void FlatSpeedButton2Click(TComponent* sender);
    // "ЗАПУСТИТЬ": the exercise the selector names.
    void FlatSpeedButton3Click(TComponent* sender);

    // Judges one answer of a running notes exercise (nothing otherwise).
    void CheckAnswer(int semitone);
    // Every indicator back to the idle colour.
    void ResetIndicators();
    // Sends NoteNumber as a note-on to the MIDI device.
    void PlayNote();

    // --- The MIDI keyboard and the settings menu.
    // Runs the key of a semitone as its click would (note, then answer).
    void ClickNoteKey(int semitone);
    // The "Настройки" menu a right click on the surface or the status line
    // opens: the MIDI output and the MIDI inputs.
    std::unique_ptr<QMenu> CreateSettingsMenu();
    // Closes device 0 and opens the output a value of LADOTON_MIDI_OUT names
    // (synth, port:NAME, ...), with the status lines and boxes of start-up.
    void ChooseMidiOutput(const std::string& value);
    // Connects or disconnects one MIDI input port.
    void ToggleMidiInput(const std::string& port);
    void DisconnectMidiInputs();
    TMidiNoteInbox* MidiInput() const { return midiIn_.get(); }
    TMidiKeys* MidiKeys() const { return midiKeys_.get(); }

    // The About window "?" shows; set by the program entry once it exists.
    TForm* AboutWindow() const { return aboutWindow_; }
    void SetAboutWindow(TForm* v) { aboutWindow_ = v; }

    // --- State, in its declared order. The interval dialog reads the octave,
    // the notes and the pause, and sets NoteNumber before each PlayNote.
    std::uint8_t Octave = 0;
    std::int32_t Velocity = 0;
    std::int32_t NoteNumber = 0;
    std::int32_t StatusByte = 0;
    HMIDIOUT MidiOut = nullptr;
    std::uint32_t MidiOpenResult = 0;
    std::int32_t LastMessage = 0;
    std::int32_t SequenceLength = 0;
    std::int32_t PauseMs = 0;
    QString ProgramDir;
    bool NotesActive = false;
    std::int32_t FirstNote = 0;
    std::int32_t SecondNote = 0;
    std::vector<std::int32_t> Targets;
    std::int32_t RightCount = 0;
    std::int32_t WrongCount = 0;
    std::int32_t AnswerIndex = 0;
    std::array<TShape*, 10> Indicators{};

protected:
    void KeyDown(TKeyCode& key, TShiftState shift) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void CreateLayout();
    void CreateKeys();
    void CreateTopPanel();
    void CreateSettings();
    void LoadInstructions(const QString& fileName);
    void OpenMidi();
    void FillMidiOutputMenu(QMenu& outputs, IMidiPorts& ports);
    void FillMidiInputMenu(QMenu& inputs, IMidiPorts& ports);
    void CreateIndicators();
    void NoteKeyClicked(int semitone);
    void StartNotesExercise();
    void StartIntervalsExercise();
    int NoteCountSetting() const;
    int PauseSetting() const;

    QString programDirOverride_;
    TForm* aboutWindow_ = nullptr;
    // Modifiers of the key being typed: a letter typed with Ctrl or Alt is a
    // shortcut, not a note.
    TShiftState typingShift_ = 0;
    // The output device 0 was last opened with (a LADOTON_MIDI_OUT value).
    std::string midiOutput_;
    std::unique_ptr<TMidiKeys> midiKeys_;
    std::unique_ptr<TMidiNoteInbox> midiIn_;
};

// The main window, once created.
extern TForm1* Form1;
