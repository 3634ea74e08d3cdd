#pragma once

// Notes from MIDI input ports (a keyboard), carried from the ports' own
// threads to the thread that owns the inbox (the user-interface thread)
// through its event queue. Only note-ons with a velocity count; the rest of
// what a keyboard sends is dropped at the port.

#include "platform/midi/MidiInput.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TMidiNoteInbox : public QObject {
public:
    // Called on the owning thread, once per note, in the order they came.
    using TNoteHandler = std::function<void(int semitone)>;

    // How many notes may wait for the owning thread; more are dropped (and
    // counted) so a flood from a port cannot grow memory without bound.
    static constexpr std::size_t kDefaultCapacity = 512;

    TMidiNoteInbox(IMidiPorts& ports, TNoteHandler onNote, std::size_t capacity = kDefaultCapacity);
    ~TMidiNoteInbox() override;
    TMidiNoteInbox(const TMidiNoteInbox&) = delete;
    TMidiNoteInbox& operator=(const TMidiNoteInbox&) = delete;

    // Connects what LADOTON_MIDI_IN chooses (unset: every hardware input).
    void OpenFromEnvironment();
    void Open(const TMidiInChoice& choice);
    // Connects one input port; a port that cannot open is reported as one
    // line on standard error. Returns whether it is connected.
    bool Connect(const std::string& name);
    void Disconnect(const std::string& name);
    void DisconnectAll();
    bool Connected(const std::string& name) const;
    std::vector<std::string> ConnectedPorts() const;

    IMidiPorts& Ports() const { return ports_; }

    // One message as a port received it; any thread.
    void Receive(const unsigned char* bytes, std::size_t size);
    // Notes dropped because too many were waiting.
    std::uint64_t Dropped() const;
    // Hands the waiting notes to the handler (the posted event does this).
    void DeliverWaiting();

protected:
    bool event(QEvent* e) override;

private:
    struct Shared;
    IMidiPorts& ports_;
    TNoteHandler onNote_;
    std::shared_ptr<Shared> shared_;
    std::map<std::string, std::unique_ptr<TMidiInputPort>> open_;
};

// The ports the trainer lists and opens: the system's unless replaced.
IMidiPorts& MidiPorts();
// Replaces them (nullptr: the system's again); returns the previous.
IMidiPorts* SetMidiPorts(IMidiPorts* ports);
