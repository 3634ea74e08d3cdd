#include "platform/midi/MidiDevice.h"
#include "platform/midi/MidiDiagnostics.h"
#include "platform/midi/SynthEngine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <vector>

namespace {

struct DriverDeleter {
    void operator()(fluid_audio_driver_t* d) const { delete_fluid_audio_driver(d); }
};
using TAudioDriver = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

// The built-in synthesizer playing to the desktop through one of FluidSynth's
// own audio drivers. FluidSynth's note-on is thread-safe and only queues the
// voice for the audio thread, so Send returns at once.
class TSynthDevice : public TMidiDevice {
public:
    TSynthDevice(std::unique_ptr<TSynthEngine> engine, TAudioDriver driver)
        : engine_(std::move(engine)), driver_(std::move(driver))
    {
    }

    void Send(std::uint32_t message) override { engine_->Send(message); }

private:
    // The audio thread stops before the synthesizer it renders goes away.
    std::unique_ptr<TSynthEngine> engine_;
    TAudioDriver driver_;
};

// Audio drivers in the order we try them: PipeWire where FluidSynth has it,
// then PulseAudio (also served by PipeWire desktops), then plain ALSA.
constexpr const char* kAudioDrivers[] = {"pipewire", "pulseaudio", "alsa"};

std::vector<std::string> AvailableAudioDrivers(fluid_settings_t* settings)
{
    std::vector<std::string> names;
    fluid_settings_foreach_option(settings, "audio.driver", &names,
                                  [](void* data, const char*, const char* option) {
                                      static_cast<std::vector<std::string>*>(data)->push_back(option);
                                  });
    std::vector<std::string> wanted;
    for (const char* d : kAudioDrivers)
        if (std::find(names.begin(), names.end(), d) != names.end())
            wanted.emplace_back(d);
    return wanted;
}

// Starts the first driver that opens an output; on failure says why each failed.
TAudioDriver StartAudio(TSynthEngine& engine, std::string& reason)
{
    const std::vector<std::string> drivers = AvailableAudioDrivers(engine.Settings());
    if (drivers.empty()) {
        reason = "no audio output: FluidSynth has no PipeWire, PulseAudio or ALSA driver";
        return nullptr;
    }
    TFluidErrorCapture capture;
    TQuietAlsa quiet;
    reason = "no audio output";
    for (const std::string& name : drivers) {
        capture.Clear();
        fluid_settings_setstr(engine.Settings(), "audio.driver", name.c_str());
        if (TAudioDriver driver{new_fluid_audio_driver(engine.Settings(), engine.Synth())})
            return driver;
        reason += (name == drivers.front() ? ": " : "; ") + name + ": "
                  + (capture.LastError().empty() ? std::string("failed") : OneLine(capture.LastError()));
    }
    return nullptr;
}

}  // namespace

TMidiOpening OpenSynthDevice()
{
    return OpenSynthDevice([](fluid_settings_t*) {});
}

TMidiOpening OpenSynthDevice(const std::function<void(fluid_settings_t*)>& configure)
{
    const TSoundFontChoice soundFont = ChooseSoundFont();
    if (soundFont.path.empty())
        return TMidiOpening::CannotStart(soundFont.error);
    std::string reason;
    std::unique_ptr<TSynthEngine> engine = TSynthEngine::Create(soundFont.path, reason);
    if (!engine)
        return TMidiOpening::CannotStart(reason);
    configure(engine->Settings());
    TAudioDriver driver = StartAudio(*engine, reason);
    if (!driver)
        return TMidiOpening::CannotStart(reason);
    return TMidiOpening::Opened(std::make_unique<TSynthDevice>(std::move(engine), std::move(driver)));
}
