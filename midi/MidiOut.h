#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The MIDI output calls the trainer makes, with the platform's types and
// result codes. Device 0 is the output LADOTON_MIDI_OUT chooses: by default
// the built-in General MIDI synthesizer.

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using DWORD_PTR = std::uintptr_t;
using MMRESULT = std::uint32_t;

struct HMIDIOUT__;
using HMIDIOUT = HMIDIOUT__*;

enum : MMRESULT {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,  // unspecified error: the device exists but cannot start
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_NOTENABLED = 3,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_NOMEM = 7,
    MMSYSERR_NOTSUPPORTED = 8,
    MMSYSERR_BADERRNUM = 9,
    MMSYSERR_INVALFLAG = 10,
    MMSYSERR_INVALPARAM = 11,
    MMSYSERR_HANDLEBUSY = 12,
    MMSYSERR_INVALIDALIAS = 13,
    MMSYSERR_BADDB = 14,
    MMSYSERR_KEYNOTFOUND = 15,
    MMSYSERR_READERROR = 16,
    MMSYSERR_WRITEERROR = 17,
    MMSYSERR_DELETEERROR = 18,
    MMSYSERR_VALNOTFOUND = 19,
    MMSYSERR_NODRIVERCB = 20,
    MMSYSERR_MOREDATA = 21,
    MMSYSERR_LASTERROR = 21,

    MIDIERR_BASE = 64,
    MIDIERR_UNPREPARED = 64,
    MIDIERR_STILLPLAYING = 65,
    MIDIERR_NOMAP = 66,
    MIDIERR_NOTREADY = 67,
    MIDIERR_NODEVICE = 68,  // no such device or port, or none chosen
    MIDIERR_INVALIDSETUP = 69,
    MIDIERR_BADOPENMODE = 70,
    MIDIERR_DONT_CONTINUE = 71,
    MIDIERR_LASTERROR = 71,
};

enum : DWORD { CALLBACK_NULL = 0 };
inline constexpr UINT MIDI_MAPPER = UINT(-1);

// Opens MIDI output device uDeviceID (0, or the mapper, which is the same
// device) and fills *phmo with its handle; returns MMSYSERR_NOERROR or an
// error code, with *phmo set to null. Only CALLBACK_NULL is supported, so
// dwCallback and dwInstance are not used. When the device cannot open, the
// reason goes to standard error as one line.
MMRESULT midiOutOpen(HMIDIOUT* phmo, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen);

// Sends one short message: status + data1 * 256 + data2 * 65536. An unusable
// handle (null, closed, never opened) makes no sound and does no harm:
// the result is MMSYSERR_INVALHANDLE.
MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg);

// Closes the device; its handle becomes unusable. The trainer never calls it:
// open devices are closed when the process exits.
MMRESULT midiOutClose(HMIDIOUT hmo);

// The short message StatusByte + NoteNumber * 256 + Velocity * 65536.
constexpr DWORD PackShortMessage(std::int32_t status, std::int32_t data1, std::int32_t data2)
{
    return DWORD(status) + DWORD(data1) * 256u + DWORD(data2) * 65536u;
}

// The trainer's text for a result of midiOutOpen: 64 to 71 have their own,
// every other code (0 included) gives " Unknown error".
const char* MidiOpenErrorText(MMRESULT code);

// What the next midiOutOpen of device 0 opens, in the form LADOTON_MIDI_OUT
// takes (synth, port:NAME, log:PATH, ...). The settings menu sets it to
// switch the output while the program runs; nullopt goes back to the
// variable. Nothing is saved.
void SetMidiOutChoice(std::optional<std::string> value);
// The value in force: the one set, else the variable's (nullopt: unset).
std::optional<std::string> MidiOutChoice();
