#pragma once

#include "midi/MidiOut.h"
#include "platform/midi/MidiDevice.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Seams for tests of the trainer: what midiOutOpen finds behind device 0.

// What opening device 0 gives: a device, or a result code (then no device).
struct TMidiOutOpening {
    std::unique_ptr<TMidiDevice> device;
    MMRESULT result = MMSYSERR_NOERROR;
};

// Makes every later midiOutOpen of device 0 call the factory instead of
// opening what LADOTON_MIDI_OUT chooses; an exception it throws passes
// through midiOutOpen. An empty factory restores the normal choice. Returns
// the factory it replaces. Devices opened before keep working.
using TMidiOutFactory = std::function<TMidiOutOpening()>;
TMidiOutFactory SetMidiOutFactory(TMidiOutFactory factory);

// While alive, device 0 is a recorder: opening it gives openResult (and a
// device that records every message it is sent, when that is
// MMSYSERR_NOERROR). The previous factory comes back on destruction.
class TMidiOutRecorder {
public:
    explicit TMidiOutRecorder(MMRESULT openResult = MMSYSERR_NOERROR);
    ~TMidiOutRecorder();
    TMidiOutRecorder(const TMidiOutRecorder&) = delete;
    TMidiOutRecorder& operator=(const TMidiOutRecorder&) = delete;

    // The messages sent to every device it opened, in order.
    std::vector<DWORD> Messages() const;
    // How many times device 0 was opened (failed openings count).
    int Opens() const;
    void Clear();

private:
    struct Log {
        mutable std::mutex mutex;
        std::vector<DWORD> messages;
        int opens = 0;
    };
    std::shared_ptr<Log> log_;
    TMidiOutFactory previous_;
};
