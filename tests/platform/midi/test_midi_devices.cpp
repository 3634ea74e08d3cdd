#include "midi/MidiOut.h"
#include "tests/platform/midi/MidiTestSupport.h"
#include "platform/midi/MidiDevice.h"
#include "platform/midi/SynthEngine.h"
#include "platform/midi/WavDevice.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace {

constexpr std::uint32_t kNoteOn = 0x90;

// The SoundFont the machine's defaults give, or empty (the sound tests then skip).
std::string DefaultSoundFont()
{
    return ChooseSoundFont(std::nullopt, DefaultSoundFonts()).path;
}

// A wav: device that renders only when told, so no test waits on the clock.
std::unique_ptr<TWavDevice> ManualWavDevice(const std::string& path, const std::string& soundFont)
{
    TMidiOpening opening = OpenWavDevice(path, soundFont, wpManual);
    EXPECT_EQ(opening.status, mosOpened) << opening.reason;
    return std::unique_ptr<TWavDevice>(static_cast<TWavDevice*>(opening.device.release()));
}

constexpr int PeriodsFor(double seconds)
{
    return int(seconds * TSynthEngine::kSampleRate / TSynthEngine::kPeriodFrames + 0.5);
}

}  // namespace

TEST(MidiOutChoice, ParsesEveryForm)
{
    struct Case {
        std::optional<std::string_view> value;
        TMidiOutKind kind;
        const char* argument;
    };
    const Case table[] = {
        {std::nullopt, mokSynth, ""},
        {"", mokSynth, ""},
        {"synth", mokSynth, ""},
        {"Synth", mokSynth, ""},
        {"none", mokNone, ""},
        {"wav:/tmp/out.wav", mokWav, "/tmp/out.wav"},
        {"WAV:a:b.wav", mokWav, "a:b.wav"},
        {"log:notes.log", mokLog, "notes.log"},
        {"port:FLUID Synth", mokPort, "FLUID Synth"},
        {"port: ", mokPort, " "},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(c.value.value_or("(unset)")));
        const TMidiOutChoice choice = ParseMidiOutChoice(c.value);
        EXPECT_TRUE(choice.Valid()) << choice.error;
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.argument, c.argument);
    }
}

TEST(MidiOutChoice, MalformedValuesSayWhatIsWrong)
{
    for (std::string_view value : {"bogus", "synthesizer", " synth", "synth:", "synth:x", "none:0", "wav", "wav:",
                                   "log:", "port", "port:", ":", ":synth"}) {
        SCOPED_TRACE(std::string(value));
        const TMidiOutChoice choice = ParseMidiOutChoice(value);
        EXPECT_FALSE(choice.Valid());
        EXPECT_NE(choice.error.find(std::string("\"") + std::string(value) + "\""), std::string::npos)
            << choice.error;
        const TMidiOpening opening = OpenMidiOutput(value);
        EXPECT_EQ(opening.status, mosNoDevice);
        EXPECT_EQ(opening.reason, choice.error);
    }
}

TEST(MidiDevices, ShortMessageLengths)
{
    struct Case {
        std::uint32_t message;
        int length;
    };
    const Case table[] = {
        {0x007F3090, 3}, {0x00003C90, 3}, {0xFF7F3090, 3},  // the top byte is not part of the message
        {0x00003C80, 3}, {0x00407FB0, 3}, {0x00400AE0, 3},  // note-off, controller, pitch bend
        {0x000005C0, 2}, {0x000040D0, 2}, {0x000001F1, 2},  // program, channel pressure, time code
        {0x000000F8, 1}, {0x000000FF, 1}, {0x000000F6, 1},  // clock, reset, tune request
        {0x007F3C10, 0}, {0x00000000, 0},                  // running status
        {0x00803090, 0}, {0x007FB090, 0}, {0x000080C0, 0},  // a data byte with its top bit set
        {0x000000F0, 0}, {0x000000F7, 0},                  // system exclusive
        {0x000000F4, 0}, {0x000000F9, 0}, {0x000000FD, 0},  // undefined
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ShortMessageLength(c.message), c.length);
    }
}

TEST(SoundFonts, VariableFirstThenTheFirstDefaultThatExists)
{
    TTestDir dir;
    const std::string a = dir.File("a.sf2"), b = dir.File("b.sf2"), missing = dir.File("missing.sf2");
    WriteFile(a, "x");
    WriteFile(b, "x");
    EXPECT_EQ(ChooseSoundFont(missing, {a, b}).path, missing);
    EXPECT_EQ(ChooseSoundFont(std::nullopt, {missing, b, a}).path, b);
    const TSoundFontChoice none = ChooseSoundFont(std::nullopt, {missing});
    EXPECT_EQ(none.path, "");
    EXPECT_NE(none.error.find("LADOTON_SOUNDFONT"), std::string::npos) << none.error;
    EXPECT_EQ(DefaultSoundFonts().front(), "/usr/share/sounds/sf2/default-GM.sf2");

    // An empty variable is no choice: the defaults apply.
    TScopedEnv empty("LADOTON_SOUNDFONT", "");
    EXPECT_EQ(ChooseSoundFont().path, ChooseSoundFont(std::nullopt, DefaultSoundFonts()).path);
}

TEST(SoundFonts, BadFilesCannotStartAndSayWhy)
{
    TTestDir dir;
    const std::string text = dir.File("notes.txt"), empty = dir.File("empty.sf2"), riff = dir.File("wave.sf2"),
                      truncated = dir.File("truncated.sf2"), hollow = dir.File("hollow.sf2"),
                      unreadable = dir.File("locked.sf2");
    WriteFile(text, "this is not a SoundFont at all\n");
    WriteFile(empty, "");
    WriteFile(riff, std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
    WriteFile(truncated, std::string("RIFF\xff\xff\0\0sfbkLIST\x10\0\0\0INFOifil", 28));
    // The right layout with nothing in it: only FluidSynth can tell.
    WriteFile(hollow, std::string("RIFF\x28\0\0\0sfbkLIST\4\0\0\0INFOLIST\4\0\0\0sdtaLIST\4\0\0\0pdta", 48));
    WriteFile(unreadable, "RIFF");
    ::chmod(unreadable.c_str(), 0);
    const std::string pipe = dir.File("pipe.sf2");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* says;
    };
    const Case table[] = {
        {dir.File("absent.sf2"), "does not exist"},
        {dir.Path(), "cannot read"},  // a directory
        {pipe, "cannot read"},        // with no writer: refused, not waited on
        {"/dev/zero", "is not a SoundFont"},
        {text, "is not a SoundFont"},
        {empty, "is not a SoundFont"},
        {riff, "is not a SoundFont"},
        {truncated, "is not a SoundFont"},
        {hollow, "could not load"},
        // Only when not root: root reads every file.
        {unreadable, ::geteuid() == 0 ? "is not a SoundFont" : "cannot read"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.path);
        TScopedEnv env("LADOTON_SOUNDFONT", c.path);
        for (const std::string& choice : {"wav:" + dir.File("out.wav"), std::string("synth")}) {
            // Loaded at the opening, and loaded ahead on a thread of its own
            // as the program does: the same outcome either way.
            for (const bool preloaded : {false, true}) {
                const std::unique_ptr<TSynthPreload> preload = preloaded ? PreloadMidiOutput(choice) : nullptr;
                EXPECT_EQ(preload != nullptr, preloaded);
                const TMidiOpening opening = OpenMidiOutput(choice);
                EXPECT_EQ(opening.status, mosCannotStart);
                EXPECT_NE(opening.reason.find(c.says), std::string::npos) << opening.reason;
                EXPECT_EQ(opening.reason.find('\n'), std::string::npos) << opening.reason;
            }
        }
    }
}

TEST(SynthPreload, OnlyTheSynthesizerPreloadsAndItsEngineIsTakenOnce)
{
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TTestDir dir;
    const std::string later = dir.File("later.sf2");
    TScopedEnv env("LADOTON_SOUNDFONT", later);
    const std::pair<std::optional<std::string>, bool> table[] = {
        {std::nullopt, true}, {"synth", true}, {"wav:" + dir.File("out.wav"), true},
        {"log:" + dir.File("log.txt"), false}, {"none", false}, {"port:x", false}, {"bogus:", false},
    };
    for (const auto& [value, preloads] : table) {
        SCOPED_TRACE(value.value_or("(unset)"));
        EXPECT_EQ(PreloadMidiOutput(value) != nullptr, preloads);
    }

    // The first opening takes what the preload found (the file was missing);
    // the next one loads afresh and finds the file that came meanwhile. A
    // preload nobody takes (or that a newer one replaced) goes quietly.
    const std::unique_ptr<TSynthPreload> unused = std::make_unique<TSynthPreload>(soundFont);
    const std::unique_ptr<TSynthPreload> preload = PreloadMidiOutput("synth");
    std::string reason;
    EXPECT_EQ(TSynthEngine::Create(later, reason), nullptr);
    EXPECT_NE(reason.find("does not exist"), std::string::npos) << reason;
    ASSERT_EQ(::symlink(soundFont.c_str(), later.c_str()), 0);
    EXPECT_NE(TSynthEngine::Create(later, reason), nullptr) << reason;
}

TEST(MidiDevices, NoAudioOutputCannotStartAndSaysWhy)
{
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TScopedEnv sf("LADOTON_SOUNDFONT", soundFont);
    TScopedEnv pipewire("PIPEWIRE_REMOTE", "/nonexistent/ladoton-test");
    TScopedEnv pulse("PULSE_SERVER", "unix:/nonexistent/ladoton-test");
    const TMidiOpening opening = OpenSynthDevice([](fluid_settings_t* s) {
        EXPECT_EQ(fluid_settings_setstr(s, "audio.pulseaudio.server", "unix:/nonexistent/ladoton-test"), FLUID_OK);
        EXPECT_EQ(fluid_settings_setstr(s, "audio.alsa.device", "ladoton-no-such-device"), FLUID_OK);
    });
    EXPECT_EQ(opening.status, mosCannotStart);
    EXPECT_EQ(opening.reason.rfind("no audio output", 0), 0u) << opening.reason;
    EXPECT_EQ(opening.reason.find('\n'), std::string::npos) << opening.reason;
}

TEST(MidiDevices, UnknownPortIsNoDeviceAndListsThePorts)
{
    const TMidiOpening opening = OpenPortDevice("ladoton-no-such-port-7e1f");
    EXPECT_EQ(opening.status, mosNoDevice);
    EXPECT_NE(opening.reason.find("\"ladoton-no-such-port-7e1f\""), std::string::npos) << opening.reason;
    EXPECT_EQ(opening.reason.find('\n'), std::string::npos) << opening.reason;
}

TEST(WavDevice, PlaysTheNotesAtTheirPitch)
{
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TTestDir dir;
    const std::string path = dir.File("notes.wav");
    const int second = PeriodsFor(1.0);
    {
        std::unique_ptr<TWavDevice> device = ManualWavDevice(path, soundFont);
        ASSERT_TRUE(device);
        device->Send(PackShortMessage(kNoteOn, 48, 127));
        device->RenderPeriods(second);
        device->Send(PackShortMessage(kNoteOn, 60, 127));
        device->RenderPeriods(second);
    }
    const TWavContents wav = ReadWav(path);
    ASSERT_EQ(wav.error, "");
    ASSERT_EQ(wav.sampleRate, TSynthEngine::kSampleRate);
    const long secondFrames = long(second) * TSynthEngine::kPeriodFrames;
    ASSERT_EQ(long(wav.left.size()), 2 * secondFrames);

    // Each note starts in the period after it was sent, not before.
    EXPECT_LT(FirstAtLeast(wav.left, 1e-3f), TSynthEngine::kPeriodFrames);
    const int window = 4096;
    const int at = wav.sampleRate / 5;  // past the attack
    const double c3 = Fundamental(&wav.left[std::size_t(at)], window, wav.sampleRate);
    const double c4 = Fundamental(&wav.left[std::size_t(secondFrames + at)], window, wav.sampleRate);
    EXPECT_NEAR(c3, 130.81, 130.81 * 0.015);
    EXPECT_NEAR(c4, 261.63, 261.63 * 0.015);
}

TEST(WavDevice, MessagesThatAreNotNotesPlayNothing)
{
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TTestDir dir;
    const std::string path = dir.File("silence.wav");
    {
        std::unique_ptr<TWavDevice> device = ManualWavDevice(path, soundFont);
        ASSERT_TRUE(device);
        // Velocity 0 (a note-off), a velocity with its top bit set, running
        // status, a note-off.
        for (std::uint32_t m : {0x00003090u, 0x00803090u, 0x007F3010u, 0x007F3080u})
            device->Send(m);
        device->RenderPeriods(PeriodsFor(0.2));
    }
    const TWavContents wav = ReadWav(path);
    ASSERT_EQ(wav.error, "");
    EXPECT_EQ(FirstAtLeast(wav.left, 1.0f / 32768), -1);
}

TEST(WavDevice, RealTimeDeviceClosedAtOnceLeavesAValidFile)
{
    const std::string soundFont = DefaultSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    TTestDir dir;
    const std::string path = dir.File("quick.wav");
    {
        TMidiOpening opening = OpenWavDevice(path, soundFont, wpRealTime);
        ASSERT_EQ(opening.status, mosOpened) << opening.reason;
        opening.device->Send(PackShortMessage(kNoteOn, 60, 127));
    }
    const TWavContents wav = ReadWav(path);
    ASSERT_EQ(wav.error, "");
    // The buffers a sound card starts with are always rendered.
    EXPECT_GE(wav.left.size(), std::size_t(TSynthEngine::kPeriods * TSynthEngine::kPeriodFrames));
}

TEST(WavFile, HeaderMatchesTheDataAfterEveryAppend)
{
    TTestDir dir;
    const std::string path = dir.File("raw.wav");
    std::string reason;
    std::unique_ptr<TWavFile> file = TWavFile::Create(path, 22050, reason);
    ASSERT_TRUE(file) << reason;
    EXPECT_EQ(ReadWav(path).error, "");
    EXPECT_TRUE(ReadWav(path).left.empty());
    const std::int16_t frames[] = {0, 0, 32767, -1, -32768, 5};
    file->Append(frames, 3);
    TWavContents wav = ReadWav(path);
    ASSERT_EQ(wav.error, "");
    EXPECT_EQ(wav.sampleRate, 22050);
    EXPECT_EQ(wav.left, (std::vector<float>{0.0f, 32767 / 32768.0f, -1.0f}));
    file->Append(frames, 1);
    EXPECT_EQ(ReadWav(path).left.size(), 4u);
    EXPECT_EQ(file->Frames(), 4u);
    EXPECT_FALSE(TWavFile::Create(dir.File("no/such/dir.wav"), 48000, reason));
    EXPECT_NE(reason.find("no/such/dir.wav"), std::string::npos) << reason;
}
