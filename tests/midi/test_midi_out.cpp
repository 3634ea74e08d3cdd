#include "midi/MidiOut.h"
#include "midi/MidiOutTesting.h"
#include "tests/platform/midi/MidiTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr DWORD kNoteOn = 0x90;

HMIDIOUT OpenDevice0(MMRESULT* result = nullptr)
{
    HMIDIOUT h = reinterpret_cast<HMIDIOUT>(std::uintptr_t(0xDEAD));
    const MMRESULT r = midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL);
    if (result)
        *result = r;
    return h;
}

MMRESULT OpenResultFor(const std::optional<std::string>& choice)
{
    TScopedEnv env("LADOTON_MIDI_OUT", choice);
    MMRESULT result = 0;
    HMIDIOUT h = OpenDevice0(&result);
    midiOutClose(h);
    return result;
}

}  // namespace

TEST(MidiOut, PacksStatusNoteAndVelocityLowByteFirst)
{
    struct Case {
        int note;
        DWORD packed;
    };
    for (const Case c : {Case{48, 0x007F3090}, Case{107, 0x007F6B90}, Case{0, 0x007F0090}, Case{60, 0x007F3C90}}) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(PackShortMessage(kNoteOn, c.note, 127), c.packed);
    }
}

TEST(MidiOut, ErrorTextsByResultCode)
{
    struct Case {
        MMRESULT code;
        const char* text;
    };
    const Case table[] = {
        {64, " header not prepared "},
        {65, "still something playing "},
        {66, "no current map "},
        {67, "hardware is still busy "},
        {68, "\tNo MIDI port was found. "},
        {69, "invalid setup "},
        {70, "operation unsupported w/ open mode "},
        {71, "thru device 'eating' a message "},
        {0, " Unknown error"},
        {1, " Unknown error"},
        {2, " Unknown error"},
        {63, " Unknown error"},
        {72, " Unknown error"},
        {0xFFFFFFFF, " Unknown error"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(MidiOpenErrorText(c.code), c.text);
    }
}

TEST(MidiOut, ResultCodesHaveThePlatformValues)
{
    EXPECT_EQ(MMSYSERR_ERROR, 1u);
    EXPECT_EQ(MMSYSERR_INVALHANDLE, 5u);
    EXPECT_EQ(MIDIERR_UNPREPARED, 64u);
    EXPECT_EQ(MIDIERR_NODEVICE, 68u);
    EXPECT_EQ(MIDIERR_DONT_CONTINUE, 71u);
}

TEST(MidiOut, ChoiceOfDevice0DecidesTheResult)
{
    TTestDir dir;
    struct Case {
        std::optional<std::string> choice;
        MMRESULT result;
    };
    const Case table[] = {
        {"none", MIDIERR_NODEVICE},
        {"NONE", MIDIERR_NODEVICE},
        {"bogus", MIDIERR_NODEVICE},
        {"synth:fast", MIDIERR_NODEVICE},
        {"none:", MIDIERR_NODEVICE},
        {"wav:", MIDIERR_NODEVICE},
        {"log:", MIDIERR_NODEVICE},
        {"port:", MIDIERR_NODEVICE},
        {":x", MIDIERR_NODEVICE},
        {"port:ladoton-no-such-port-7e1f", MIDIERR_NODEVICE},
        {"log:" + dir.File("notes.log"), MMSYSERR_NOERROR},
        {"log:" + dir.File("missing-dir/notes.log"), MMSYSERR_ERROR},
        {"wav:" + dir.File("missing-dir/out.wav"), MMSYSERR_ERROR},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.choice.value_or("(unset)"));
        EXPECT_EQ(OpenResultFor(c.choice), c.result);
    }
}

TEST(MidiOut, MissingSoundFontCannotStart)
{
    TTestDir dir;
    TScopedEnv soundFont("LADOTON_SOUNDFONT", dir.File("absent.sf2"));
    EXPECT_EQ(OpenResultFor(std::nullopt), MMSYSERR_ERROR);
    EXPECT_EQ(OpenResultFor("synth"), MMSYSERR_ERROR);
    EXPECT_EQ(OpenResultFor("wav:" + dir.File("out.wav")), MMSYSERR_ERROR);
}

TEST(MidiOut, FailedOpenSaysWhyOnOneLineOfStandardError)
{
    TScopedEnv env("LADOTON_MIDI_OUT", "bogus");
    testing::internal::CaptureStderr();
    MMRESULT result = 0;
    HMIDIOUT h = OpenDevice0(&result);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, MIDIERR_NODEVICE);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(said.rfind("ladoton: ", 0), 0u) << said;
    EXPECT_NE(said.find("bogus"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

TEST(MidiOut, OpenChecksItsArguments)
{
    TMidiOutRecorder recorder;
    HMIDIOUT h = nullptr;
    EXPECT_EQ(midiOutOpen(nullptr, 0, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutOpen(&h, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(midiOutOpen(&h, 0, 0, 0, 0x30000 /* a callback function */), MMSYSERR_INVALFLAG);
    EXPECT_EQ(recorder.Opens(), 0);
    ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(recorder.Opens(), 1);
    midiOutClose(h);
}

TEST(MidiOut, UnusableHandlesMakeNoSoundAndNoFault)
{
    TMidiOutRecorder recorder;
    HMIDIOUT h = OpenDevice0();
    ASSERT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    const DWORD note = PackShortMessage(kNoteOn, 48, 127);
    for (HMIDIOUT bad : {h, HMIDIOUT(nullptr), reinterpret_cast<HMIDIOUT>(std::uintptr_t(1) << 40),
                         reinterpret_cast<HMIDIOUT>(~std::uintptr_t(0))}) {
        EXPECT_EQ(midiOutShortMsg(bad, note), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(midiOutClose(bad), MMSYSERR_INVALHANDLE);
    }
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(MidiOut, RecorderSeesEveryMessageInOrder)
{
    TMidiOutRecorder recorder;
    HMIDIOUT h = OpenDevice0();
    const DWORD c3 = PackShortMessage(kNoteOn, 48, 127);
    const DWORD b7 = PackShortMessage(kNoteOn, 107, 127);
    for (DWORD m : {c3, c3, b7})
        EXPECT_EQ(midiOutShortMsg(h, m), MMSYSERR_NOERROR);
    EXPECT_EQ(recorder.Messages(), (std::vector<DWORD>{c3, c3, b7}));
    midiOutClose(h);
}

TEST(MidiOut, RecorderCanMakeOpeningFail)
{
    for (MMRESULT code : {MMSYSERR_ERROR, MIDIERR_NODEVICE, MIDIERR_UNPREPARED, MIDIERR_DONT_CONTINUE}) {
        TMidiOutRecorder recorder(code);
        MMRESULT result = 0;
        EXPECT_EQ(OpenDevice0(&result), nullptr);
        EXPECT_EQ(result, code);
    }
}

TEST(MidiOut, FactoryExceptionPassesThroughAndTheFactoryIsRestored)
{
    TMidiOutFactory previous = SetMidiOutFactory([]() -> TMidiOutOpening { throw std::runtime_error("broken"); });
    HMIDIOUT h = nullptr;
    EXPECT_THROW(midiOutOpen(&h, 0, 0, 0, CALLBACK_NULL), std::runtime_error);
    SetMidiOutFactory(std::move(previous));
    EXPECT_EQ(OpenResultFor("none"), MIDIERR_NODEVICE);
}

TEST(MidiOut, LogDeviceWritesOneLinePerMessageAtOnce)
{
    TTestDir dir;
    const std::string log = dir.File("notes.log");
    WriteFile(log, "00000000\n");  // an earlier run's line stays: the log appends
    TScopedEnv env("LADOTON_MIDI_OUT", "log:" + log);
    MMRESULT result = 0;
    HMIDIOUT h = OpenDevice0(&result);
    ASSERT_EQ(result, MMSYSERR_NOERROR);
    for (int note : {48, 48, 107})
        midiOutShortMsg(h, PackShortMessage(kNoteOn, note, 127));
    midiOutShortMsg(h, 0xFFFFFFFF);  // logged as it is, whatever it means
    EXPECT_EQ(ReadFile(log), "00000000\n007F3090\n007F3090\n007F6B90\nFFFFFFFF\n");
    midiOutClose(h);
}

TEST(MidiOut, ProcessEndsCleanlyWithTheDevicesOpen)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child process runs this test again from the top: it finds the
    // parent's directory in the environment.
    TTestDir dir;
    const char* inherited = std::getenv("LADOTON_EXIT_TEST_DIR");
    const std::string base = inherited ? inherited : dir.Path();
    TScopedEnv share("LADOTON_EXIT_TEST_DIR", base);
    const std::string wav = base + "/exit.wav";
    const std::string log = base + "/exit.log";
    // A WAV device runs a render thread; the process must neither hang nor
    // crash however it ends, and the file must stay valid.
    auto playAndEnd = [&](void (*end)(int)) {
        TScopedEnv env("LADOTON_MIDI_OUT", "wav:" + wav);
        HMIDIOUT h = OpenDevice0();
        HMIDIOUT logged = nullptr;
        {
            TScopedEnv logEnv("LADOTON_MIDI_OUT", "log:" + log);
            midiOutOpen(&logged, 0, 0, 0, CALLBACK_NULL);
        }
        midiOutShortMsg(h, PackShortMessage(kNoteOn, 60, 127));
        midiOutShortMsg(logged, PackShortMessage(kNoteOn, 60, 127));
        end(0);
    };
    EXPECT_EXIT(playAndEnd(std::exit), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWav(wav).error, "");
    EXPECT_EXIT(playAndEnd(std::quick_exit), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWav(wav).error, "");
    EXPECT_EXIT(playAndEnd(::_exit), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadWav(wav).error, "");
    EXPECT_EQ(ReadFile(log), "007F3C90\n007F3C90\n007F3C90\n");
}
