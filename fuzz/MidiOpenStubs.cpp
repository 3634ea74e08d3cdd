// The devices MidiDevice.cpp can open, left out of the fuzz build so that it
// needs neither FluidSynth nor RtMidi. Parsing never opens one: reaching
// these is a fault.

#include "platform/midi/MidiDevice.h"

#include <cstdlib>

TMidiOpening OpenSynthDevice()
{
    std::abort();
}

TMidiOpening OpenWavDevice(const std::string&)
{
    std::abort();
}

TMidiOpening OpenPortDevice(std::string_view)
{
    std::abort();
}

TMidiOpening OpenLogDevice(const std::string&)
{
    std::abort();
}
