#pragma once

// MIDI input ports: a keyboard (hardware, or another program) that plays the
// trainer's keys. Ports come through the ALSA sequencer and, while a JACK
// server runs, through JACK as well.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One message as it came in. Called on the port's own thread, never on the
// user-interface thread: it must be quick and must not touch windows.
using TMidiInputHandler = std::function<void(const unsigned char* bytes, std::size_t size)>;

// An input port open for reading; closing it (destroying) stops the calls.
class TMidiInputPort {
public:
    virtual ~TMidiInputPort() = default;
};

// What the machine offers: the ports by name, for the menu and for opening.
class IMidiPorts {
public:
    virtual ~IMidiPorts() = default;
    // Every input port but the program's own, ALSA first, then JACK.
    virtual std::vector<std::string> InputPorts() = 0;
    // The input ports of hardware (not programs, not the ALSA loop-back):
    // the sound cards' ALSA ports, or else the physical ones of a JACK
    // server, when one may be running.
    virtual std::vector<std::string> HardwareInputPorts() = 0;
    // Every output port but the program's own, ALSA first, then JACK.
    virtual std::vector<std::string> OutputPorts() = 0;
    // Opens the input port of exactly that name. Null with a one-line reason
    // when it cannot.
    virtual std::unique_ptr<TMidiInputPort> OpenInput(const std::string& name, TMidiInputHandler handler,
                                                      std::string& reason) = 0;
};

// The system's ports through RtMidi.
IMidiPorts& SystemMidiPorts();

// The semitone (0..11) of a note-on with a non-zero velocity on any channel,
// or -1 for every other message (note-off, velocity 0, controllers, system
// exclusive, running status, anything malformed or cut short).
int NoteOnSemitone(const unsigned char* bytes, std::size_t size);

// Which inputs LADOTON_MIDI_IN asks for.
enum TMidiInKind : std::uint8_t { mikAuto, mikPort, mikNone };

struct TMidiInChoice {
    TMidiInKind kind = mikAuto;
    std::string argument;  // the name part of port:
    std::string error;     // set when the value is malformed

    bool Valid() const { return error.empty(); }
};

inline constexpr const char* kMidiInVariable = "LADOTON_MIDI_IN";

// Parses a value of LADOTON_MIDI_IN; nullopt stands for an unset variable.
// Forms: auto, port:TEXT, none (the keyword in any case); empty is auto.
TMidiInChoice ParseMidiInChoice(std::optional<std::string_view> value);

// The ports a valid choice names among the machine's: auto gives every
// hardware input port, port:TEXT the first whose name contains TEXT (exact
// case first, then any case), none nothing.
std::vector<std::string> PortsForChoice(const TMidiInChoice& choice, IMidiPorts& ports);

// The first name that contains part (exact case first, then any case).
std::optional<std::size_t> FindPortName(const std::vector<std::string>& names, std::string_view part);
