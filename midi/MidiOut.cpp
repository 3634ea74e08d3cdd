#include "midi/MidiOut.h"

#include "midi/MidiOutTesting.h"
#include "platform/midi/MidiDevice.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// The open devices, by handle. A handle is the slot number plus one, never a
// pointer, so any value a caller passes can be checked.
//
// The table is never destroyed: the devices run threads (audio, rendering)
// that must stop before the libraries they use are torn down at exit, so an
// exit handler closes them while everything else still exists.
class TOpenDevices {
public:
    HMIDIOUT Add(std::unique_ptr<TMidiDevice> device)
    {
        std::call_once(exitHandler_, [] { std::atexit([] { Instance().CloseAll(); }); });
        std::lock_guard lock(mutex_);
        devices_.push_back(std::move(device));
        return reinterpret_cast<HMIDIOUT>(std::uintptr_t(devices_.size()));
    }

    MMRESULT Send(HMIDIOUT handle, DWORD message)
    {
        std::lock_guard lock(mutex_);
        TMidiDevice* device = Find(handle);
        if (!device)
            return MMSYSERR_INVALHANDLE;
        device->Send(message);
        return MMSYSERR_NOERROR;
    }

    MMRESULT Close(HMIDIOUT handle)
    {
        std::unique_ptr<TMidiDevice> closing;
        {
            std::lock_guard lock(mutex_);
            if (!Find(handle))
                return MMSYSERR_INVALHANDLE;
            closing = std::move(devices_[Slot(handle)]);
        }
        return MMSYSERR_NOERROR;  // the device stops outside the lock
    }

    void CloseAll()
    {
        std::vector<std::unique_ptr<TMidiDevice>> closing;
        {
            std::lock_guard lock(mutex_);
            for (auto& d : devices_)
                closing.push_back(std::move(d));
        }
        // Newest first, the reverse of opening.
        while (!closing.empty())
            closing.pop_back();
    }

    static TOpenDevices& Instance()
    {
        alignas(TOpenDevices) static unsigned char storage[sizeof(TOpenDevices)];
        static TOpenDevices* const instance = ::new (storage) TOpenDevices;
        return *instance;
    }

private:
    static std::size_t Slot(HMIDIOUT handle) { return reinterpret_cast<std::uintptr_t>(handle) - 1; }

    TMidiDevice* Find(HMIDIOUT handle) const
    {
        const std::uintptr_t n = reinterpret_cast<std::uintptr_t>(handle);
        return n >= 1 && n <= devices_.size() ? devices_[n - 1].get() : nullptr;
    }

    std::once_flag exitHandler_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<TMidiDevice>> devices_;
};

// What tests put behind device 0 instead of the environment's choice.
struct TFactorySlot {
    std::mutex mutex;
    TMidiOutFactory factory;
};

TFactorySlot& FactorySlot()
{
    static TFactorySlot slot;
    return slot;
}

struct TChoiceSlot {
    std::mutex mutex;
    std::optional<std::string> value;
};

TChoiceSlot& ChoiceSlot()
{
    static TChoiceSlot slot;
    return slot;
}

// Device 0 as chosen (the menu, else LADOTON_MIDI_OUT); a failure is
// explained on standard error.
TMidiOutOpening OpenFromEnvironment()
{
    const std::optional<std::string> value = MidiOutChoice();
    TMidiOpening opening =
        OpenMidiOutput(value ? std::optional<std::string_view>(*value) : std::optional<std::string_view>());
    switch (opening.status) {
    case mosOpened:
        return {std::move(opening.device), MMSYSERR_NOERROR};
    case mosNoDevice:
        std::fprintf(stderr, "ladoton: %s\n", opening.reason.c_str());
        return {nullptr, MIDIERR_NODEVICE};
    case mosCannotStart:
        break;
    }
    std::fprintf(stderr, "ladoton: %s\n", opening.reason.c_str());
    return {nullptr, MMSYSERR_ERROR};
}

}  // namespace

MMRESULT midiOutOpen(HMIDIOUT* phmo, UINT uDeviceID, DWORD_PTR, DWORD_PTR, DWORD fdwOpen)
{
    if (!phmo)
        return MMSYSERR_INVALPARAM;
    *phmo = nullptr;
    if (uDeviceID != 0 && uDeviceID != MIDI_MAPPER)
        return MMSYSERR_BADDEVICEID;
    if (fdwOpen != CALLBACK_NULL)
        return MMSYSERR_INVALFLAG;
    TMidiOutFactory factory;
    {
        std::lock_guard lock(FactorySlot().mutex);
        factory = FactorySlot().factory;
    }
    TMidiOutOpening opening = factory ? factory() : OpenFromEnvironment();
    if (opening.result != MMSYSERR_NOERROR)
        return opening.result;
    if (!opening.device)
        return MMSYSERR_ERROR;
    *phmo = TOpenDevices::Instance().Add(std::move(opening.device));
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg)
{
    return TOpenDevices::Instance().Send(hmo, dwMsg);
}

MMRESULT midiOutClose(HMIDIOUT hmo)
{
    return TOpenDevices::Instance().Close(hmo);
}

const char* MidiOpenErrorText(MMRESULT code)
{
    switch (code) {
    case MIDIERR_UNPREPARED:
        return " header not prepared ";
    case MIDIERR_STILLPLAYING:
        return "still something playing ";
    case MIDIERR_NOMAP:
        return "no current map ";
    case MIDIERR_NOTREADY:
        return "hardware is still busy ";
    case MIDIERR_NODEVICE:
        return "\tNo MIDI port was found. ";
    case MIDIERR_INVALIDSETUP:
        return "invalid setup ";
    case MIDIERR_BADOPENMODE:
        return "operation unsupported w/ open mode ";
    case MIDIERR_DONT_CONTINUE:
        return "thru device 'eating' a message ";
    default:
        return " Unknown error";
    }
}

TMidiOutFactory SetMidiOutFactory(TMidiOutFactory factory)
{
    std::lock_guard lock(FactorySlot().mutex);
    std::swap(FactorySlot().factory, factory);
    return factory;
}

void SetMidiOutChoice(std::optional<std::string> value)
{
    std::lock_guard lock(ChoiceSlot().mutex);
    ChoiceSlot().value = std::move(value);
}

std::optional<std::string> MidiOutChoice()
{
    {
        std::lock_guard lock(ChoiceSlot().mutex);
        if (ChoiceSlot().value)
            return ChoiceSlot().value;
    }
    const char* value = std::getenv(kMidiOutVariable);
    return value ? std::optional<std::string>(value) : std::nullopt;
}
