#include "platform/midi/SynthEngine.h"

#include "platform/core/LittleEndian.h"
#include "platform/midi/MidiDevice.h"
#include "platform/midi/MidiDiagnostics.h"
#include "platform/midi/SoundFontView.h"
#include "platform/runtime/FileDescriptor.h"

#include <fluidsynth.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <mutex>
#include <utility>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> DefaultSoundFonts()
{
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
}

TSoundFontChoice ChooseSoundFont()
{
    const char* value = std::getenv(kSoundFontVariable);
    return ChooseSoundFont(value && *value ? std::optional<std::string>(value) : std::nullopt,
                           DefaultSoundFonts());
}

TSoundFontChoice ChooseSoundFont(const std::optional<std::string>& setting,
                                 const std::vector<std::string>& candidates)
{
    if (setting)
        return {*setting, {}};
    for (const std::string& path : candidates) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            return {path, {}};
    }
    return {{},
            std::string("no SoundFont found: install the package timgm6mb-soundfont or "
                        "fluid-soundfont-gm, or set ")
                + kSoundFontVariable + " to a .sf2 file"};
}

namespace {

// A SoundFont is a RIFF file of form "sfbk" (SF3 too) made of the lists
// INFO, sdta and pdta, all inside the file. Checking that much keeps a
// damaged or truncated file away from FluidSynth's other loaders, which
// complain about it on standard error.
bool HasSoundFontLayout(int fd, off_t fileSize)
{
    std::uint8_t head[12];
    if (!ReadAllAt(fd, head, sizeof head, 0) || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0)
        return false;
    const off_t end = 8 + off_t(GetLE32(head + 4));
    if (end > fileSize)
        return false;
    bool info = false, sampleData = false, presets = false;
    for (off_t at = 12; at + 12 <= end;) {
        std::uint8_t chunk[12];
        if (!ReadAllAt(fd, chunk, sizeof chunk, at))
            return false;
        const off_t next = at + 8 + off_t(GetLE32(chunk + 4)) + (GetLE32(chunk + 4) & 1);
        if (next > end + 1)
            return false;
        if (std::memcmp(chunk, "LIST", 4) == 0) {
            info = info || std::memcmp(chunk + 8, "INFO", 4) == 0;
            sampleData = sampleData || std::memcmp(chunk + 8, "sdta", 4) == 0;
            presets = presets || std::memcmp(chunk + 8, "pdta", 4) == 0;
        }
        at = next;
    }
    return info && sampleData && presets;
}

}  // namespace

std::string CheckSoundFont(const std::string& path)
{
    // Not waiting: a named pipe would hold the start-up until something
    // wrote to it. It is then refused like any file that cannot be read at
    // an offset.
    const TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int fd = file.Get();
    if (fd < 0) {
        if (errno == ENOENT)
            return "SoundFont " + path + " does not exist";
        return "cannot read SoundFont " + path + ": " + std::strerror(errno);
    }
    struct stat st = {};
    unsigned char probe;
    std::string problem;
    if (::fstat(fd, &st) != 0 || ::pread(fd, &probe, 1, 0) < 0)
        problem = "cannot read SoundFont " + path + ": " + std::strerror(errno);
    else if (!HasSoundFontLayout(fd, st.st_size))
        problem = path + " is not a SoundFont";
    return problem;
}

void TSynthEngine::SettingsDeleter::operator()(fluid_settings_t* s) const
{
    delete_fluid_settings(s);
}

void TSynthEngine::SynthDeleter::operator()(fluid_synth_t* s) const
{
    delete_fluid_synth(s);
}

struct TSynthPreload::TState {
    struct TLoaded {
        std::unique_ptr<TSynthEngine> engine;
        std::string reason;
    };
    std::string soundFont;
    std::future<TLoaded> loaded;
};

namespace {

// The one preload a device may take from; it is handed out once.
std::mutex preloadMutex;
std::shared_ptr<TSynthPreload::TState> pendingPreload;

std::shared_ptr<TSynthPreload::TState> TakePreload(const std::string& soundFont)
{
    const std::lock_guard lock(preloadMutex);
    if (!pendingPreload || pendingPreload->soundFont != soundFont)
        return nullptr;
    return std::exchange(pendingPreload, nullptr);
}

}  // namespace

TSynthPreload::TSynthPreload(std::string soundFont) : state_(std::make_shared<TState>())
{
    state_->soundFont = std::move(soundFont);
    state_->loaded = std::async(std::launch::async, [path = state_->soundFont] {
        TState::TLoaded result;
        result.engine = TSynthEngine::Load(path, result.reason);
        return result;
    });
    const std::lock_guard lock(preloadMutex);
    pendingPreload = state_;
}

TSynthPreload::~TSynthPreload()
{
    {
        const std::lock_guard lock(preloadMutex);
        if (pendingPreload == state_)
            pendingPreload.reset();
    }
    // A device may still be waiting on the same load through its own share of
    // the state; otherwise this waits for the thread and drops its engine.
    state_.reset();
}

std::unique_ptr<TSynthPreload> PreloadMidiOutput()
{
    const char* value = std::getenv(kMidiOutVariable);
    return PreloadMidiOutput(value ? std::optional<std::string_view>(value) : std::nullopt);
}

std::unique_ptr<TSynthPreload> PreloadMidiOutput(std::optional<std::string_view> value)
{
    const TMidiOutChoice choice = ParseMidiOutChoice(value);
    if (!choice.Valid() || (choice.kind != mokSynth && choice.kind != mokWav))
        return nullptr;
    TSoundFontChoice soundFont = ChooseSoundFont();
    if (soundFont.path.empty())
        return nullptr;
    return std::make_unique<TSynthPreload>(std::move(soundFont.path));
}

std::unique_ptr<TSynthEngine> TSynthEngine::Create(const std::string& soundFont, std::string& reason)
{
    if (const std::shared_ptr<TSynthPreload::TState> preload = TakePreload(soundFont)) {
        TSynthPreload::TState::TLoaded loaded = preload->loaded.get();
        reason = std::move(loaded.reason);
        return std::move(loaded.engine);
    }
    return Load(soundFont, reason);
}

std::unique_ptr<TSynthEngine> TSynthEngine::Load(const std::string& soundFont, std::string& reason)
{
    // The check comes first: FluidSynth hands a file that is not a SoundFont
    // to its other loaders, which complain on standard error.
    reason = CheckSoundFont(soundFont);
    if (!reason.empty())
        return nullptr;

    TFluidErrorCapture capture;
    std::unique_ptr<TSynthEngine> engine(new TSynthEngine);
    engine->settings_.reset(new_fluid_settings());
    fluid_settings_t* s = engine->settings_.get();
    if (!s) {
        reason = "FluidSynth could not start: " + capture.LastError();
        return nullptr;
    }
    fluid_settings_setnum(s, "synth.sample-rate", kSampleRate);
    fluid_settings_setint(s, "synth.dynamic-sample-loading", 1);
    // The trainer plays one note at a time; even twenty quick notes all still
    // ringing use under fifty voices. FluidSynth's 256 would cost 2 MB more.
    fluid_settings_setint(s, "synth.polyphony", 64);
    // FluidSynth's own default (0.2) leaves a single piano note near -27 dBFS,
    // too quiet beside the desktop's other sounds. At 0.8 a note peaks near
    // -15 dBFS and twenty quick notes of one octave, all still ringing, near
    // -6 dBFS: loud enough, with room before clipping.
    fluid_settings_setnum(s, "synth.gain", 0.8);
    fluid_settings_setint(s, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(s, "audio.periods", kPeriods);
    engine->synth_.reset(new_fluid_synth(s));
    if (!engine->synth_) {
        reason = "FluidSynth could not start: " + capture.LastError();
        return nullptr;
    }
    // Only the presets a fresh synthesizer selects are loaded; the rest of
    // the font follows at the first program change.
    fluid_sfloader_t* loader = NewSoundFontViewLoader(s);
    if (loader)
        fluid_synth_add_sfloader(engine->synth_.get(), loader);
    int loaded;
    {
        TQuietGlib quiet;
        loaded = fluid_synth_sfload(engine->synth_.get(),
                                    (loader ? StartingPresetsView(soundFont) : soundFont).c_str(), 1);
    }
    if (loaded == FLUID_FAILED) {
        reason = "FluidSynth could not load SoundFont " + soundFont + ": " + OneLine(capture.LastError());
        return nullptr;
    }
    engine->soundFont_ = soundFont;
    engine->viewId_ = loader ? loaded : -1;
    return engine;
}

TSynthEngine::~TSynthEngine() = default;

void TSynthEngine::Send(std::uint32_t message)
{
    if (ShortMessageLength(message) == 0)
        return;
    fluid_synth_t* s = synth_.get();
    const int status = int(message & 0xFF);
    const int channel = status & 0x0F;
    const int data1 = int((message >> 8) & 0x7F);
    const int data2 = int((message >> 16) & 0x7F);
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(s, channel, data1);
        break;
    case 0x90:
        if (data2 == 0)
            fluid_synth_noteoff(s, channel, data1);
        else
            fluid_synth_noteon(s, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(s, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(s, channel, data1, data2);
        break;
    case 0xC0:
        // With dynamic sample loading this reads the new preset's samples
        // from disk at once; the trainer never changes the program.
        LoadWholeSoundFont();
        fluid_synth_program_change(s, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(s, channel, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(s, channel, data1 | (data2 << 7));
        break;
    default:
        break;  // system messages mean nothing to a synthesizer of our own
    }
}

void TSynthEngine::LoadWholeSoundFont()
{
    if (viewId_ < 0)
        return;
    const int view = std::exchange(viewId_, -1);
    TFluidErrorCapture capture;
    TQuietGlib quiet;
    // The whole font goes above the view; dropping the view then selects
    // every channel's preset again, from the whole font. Should the file be
    // gone by now, the view stays and a program it lacks is not found.
    if (fluid_synth_sfload(synth_.get(), soundFont_.c_str(), 0) != FLUID_FAILED)
        fluid_synth_sfunload(synth_.get(), view, 1);
}

void TSynthEngine::Render(float* left, float* right, int frames)
{
    fluid_synth_write_float(synth_.get(), frames, left, 0, 1, right, 0, 1);
}
