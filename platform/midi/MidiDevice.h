#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A MIDI output: the thing behind the trainer's "MIDI output device 0".
//
// A short message is one 32-bit value: status + data1 * 256 + data2 * 65536.
class TMidiDevice {
public:
    virtual ~TMidiDevice() = default;

    // Hands one short message to the device. Called on the user-interface
    // thread, so it returns within a fraction of a millisecond; a message the
    // device cannot use is dropped.
    virtual void Send(std::uint32_t message) = 0;
};

// How many bytes the short message carries on the wire (1 to 3), or 0 when it
// is not a complete channel or system message that fits one short message:
// running status, system exclusive, undefined status bytes, or a data byte
// with its top bit set (which a receiver would take for a status byte).
int ShortMessageLength(std::uint32_t message);

enum TMidiOpenStatus : std::uint8_t {
    mosOpened,
    mosNoDevice,     // no such device or port, or none chosen
    mosCannotStart,  // the device exists but cannot start (no SoundFont, no audio output, ...)
};

// The outcome of opening a device: the device, or why there is none.
struct TMidiOpening {
    std::unique_ptr<TMidiDevice> device;
    TMidiOpenStatus status = mosNoDevice;
    std::string reason;  // one line for standard error when not opened

    static TMidiOpening Opened(std::unique_ptr<TMidiDevice> device);
    static TMidiOpening NoDevice(std::string reason);
    static TMidiOpening CannotStart(std::string reason);
};

// Which output LADOTON_MIDI_OUT asks for.
enum TMidiOutKind : std::uint8_t { mokSynth, mokWav, mokPort, mokLog, mokNone };

struct TMidiOutChoice {
    TMidiOutKind kind = mokSynth;
    std::string argument;  // the path of wav: and log:, the name part of port:
    std::string error;     // set when the value is malformed

    bool Valid() const { return error.empty(); }
};

// The name of the variable that chooses device 0.
inline constexpr const char* kMidiOutVariable = "LADOTON_MIDI_OUT";

// Parses a value of LADOTON_MIDI_OUT; nullopt stands for an unset variable.
// Forms: synth, wav:PATH, port:TEXT, log:PATH, none (the keyword in any case).
TMidiOutChoice ParseMidiOutChoice(std::optional<std::string_view> value);

// Opens the output that LADOTON_MIDI_OUT chooses (unset or empty: the built-in
// synthesizer). A malformed value opens nothing: mosNoDevice with the reason.
TMidiOpening OpenMidiOutput();
TMidiOpening OpenMidiOutput(std::optional<std::string_view> value);

// The devices one by one.
// The built-in General MIDI synthesizer, playing to the desktop's audio output.
TMidiOpening OpenSynthDevice();
// The same synthesizer rendering in real time into a WAV file.
TMidiOpening OpenWavDevice(const std::string& path);
// The first system MIDI output port whose name contains namePart.
TMidiOpening OpenPortDevice(std::string_view namePart);
// A text file that gets one line per message: the value in 8 hex digits.
TMidiOpening OpenLogDevice(const std::string& path);
