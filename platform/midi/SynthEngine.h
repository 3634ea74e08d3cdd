#pragma once

#include <fluidsynth/types.h>

#include "platform/midi/MidiDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The variable that names the SoundFont of the built-in synthesizer.
inline constexpr const char* kSoundFontVariable = "LADOTON_SOUNDFONT";

// General MIDI SoundFonts that Debian packages install, in the order we prefer them.
std::vector<std::string> DefaultSoundFonts();

// The SoundFont to load: the variable's value when it is set (and not empty),
// else the first candidate that exists. Empty path and a reason when none does.
struct TSoundFontChoice {
    std::string path;
    std::string error;
};
TSoundFontChoice ChooseSoundFont();
TSoundFontChoice ChooseSoundFont(const std::optional<std::string>& setting,
                                 const std::vector<std::string>& candidates);

// Why path cannot be loaded as a SoundFont (missing, unreadable, not a
// SoundFont), or an empty string when it looks like one.
std::string CheckSoundFont(const std::string& path);

// FluidSynth with one SoundFont loaded: the sound source of the synthesizer
// devices. Only the presets a fresh synthesizer selects are loaded, and their
// samples only while a channel uses them, so opening stays quick and the
// process small; the first program change loads the rest of the font.
class TSynthEngine {
public:
    static constexpr int kSampleRate = 48000;
    // The audio buffer the devices ask for: 2 x 256 frames, about 10.7 ms.
    static constexpr int kPeriodFrames = 256;
    static constexpr int kPeriods = 2;

    // nullptr, with the reason set, when the SoundFont cannot be loaded. The
    // first engine asked for a SoundFont that a preload holds comes from there.
    static std::unique_ptr<TSynthEngine> Create(const std::string& soundFont, std::string& reason);
    // The same, always loading afresh.
    static std::unique_ptr<TSynthEngine> Load(const std::string& soundFont, std::string& reason);
    ~TSynthEngine();
    TSynthEngine(const TSynthEngine&) = delete;
    TSynthEngine& operator=(const TSynthEngine&) = delete;

    // Plays one short message. Safe to call while another thread renders.
    void Send(std::uint32_t message);
    // Renders the next frames of stereo audio.
    void Render(float* left, float* right, int frames);

    fluid_settings_t* Settings() const { return settings_.get(); }
    fluid_synth_t* Synth() const { return synth_.get(); }

private:
    struct SettingsDeleter {
        void operator()(fluid_settings_t* s) const;
    };
    struct SynthDeleter {
        void operator()(fluid_synth_t* s) const;
    };

    TSynthEngine() = default;
    // Replaces the view of the starting presets by the whole SoundFont.
    void LoadWholeSoundFont();

    // Declared in this order so the synthesizer goes before its settings.
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    std::string soundFont_;
    // The font loaded as a view of its starting presets, or -1.
    int viewId_ = -1;
};

// Loading a SoundFont takes most of the time the program needs to start, so
// the program begins it on a thread of its own before it builds its windows.
// The first device that opens the same SoundFont takes the engine from the
// preload, waiting for it if it is not ready yet: opening still succeeds or
// fails at the same point, with the same reason, as without a preload.
class TSynthPreload {
public:
    explicit TSynthPreload(std::string soundFont);
    // Waits for the loading thread; an engine nobody took goes with it.
    ~TSynthPreload();
    TSynthPreload(const TSynthPreload&) = delete;
    TSynthPreload& operator=(const TSynthPreload&) = delete;

    struct TState;

private:
    std::shared_ptr<TState> state_;
};

// A preload of the SoundFont that the output LADOTON_MIDI_OUT chooses will
// need (the synthesizer and wav: devices), or nullptr for the other devices.
std::unique_ptr<TSynthPreload> PreloadMidiOutput();
std::unique_ptr<TSynthPreload> PreloadMidiOutput(std::optional<std::string_view> value);

// The synthesizer device with the audio settings adjusted after the defaults
// (tests point the drivers at outputs that do not exist).
TMidiOpening OpenSynthDevice(const std::function<void(fluid_settings_t*)>& configure);
