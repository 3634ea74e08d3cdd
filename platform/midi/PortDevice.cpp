#include "platform/midi/MidiDevice.h"
#include "platform/midi/MidiDiagnostics.h"

#include <RtMidi.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// A system MIDI output port (a hardware synthesizer, another program) through
// the ALSA sequencer. Sending queues the event with the sequencer and does
// not wait for it to be delivered.
class TPortDevice : public TMidiDevice {
public:
    explicit TPortDevice(std::unique_ptr<RtMidiOut> out) : out_(std::move(out)) {}

    void Send(std::uint32_t message) override
    {
        const int length = ShortMessageLength(message);
        if (length == 0)
            return;
        const unsigned char bytes[3] = {static_cast<unsigned char>(message), static_cast<unsigned char>(message >> 8),
                                        static_cast<unsigned char>(message >> 16)};
        out_->sendMessage(bytes, std::size_t(length));
    }

private:
    std::unique_ptr<RtMidiOut> out_;
};

// RtMidi reports later failures (a port that went away) through this
// callback instead of throwing; a send failure is never reported.
void IgnoreRtMidiError(RtMidiError::Type, const std::string&, void*) {}

std::string Lower(std::string_view s)
{
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return r;
}

// The first port whose name contains namePart; failing that, the first that
// contains it in another letter case.
std::optional<unsigned> FindPort(const std::vector<std::string>& names, std::string_view namePart)
{
    for (unsigned i = 0; i < names.size(); ++i)
        if (names[i].find(namePart) != std::string::npos)
            return i;
    const std::string lowerPart = Lower(namePart);
    for (unsigned i = 0; i < names.size(); ++i)
        if (Lower(names[i]).find(lowerPart) != std::string::npos)
            return i;
    return std::nullopt;
}

std::string PortList(const std::vector<std::string>& names)
{
    if (names.empty())
        return "there are no MIDI output ports";
    std::string list = "the ports are: ";
    for (std::size_t i = 0; i < names.size(); ++i)
        list += (i ? "; " : "") + names[i];
    return list;
}

}  // namespace

TMidiOpening OpenPortDevice(std::string_view namePart)
{
    const std::string wanted = "no MIDI output port name contains \"" + std::string(namePart) + "\"";
    // RtMidi writes its errors to std::cerr before it throws, and ALSA adds its own.
    TQuietAlsa quiet;
    TCerrCapture cerrCapture;
    std::unique_ptr<RtMidiOut> out;
    try {
        out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Ладотон");
    } catch (const RtMidiError& e) {
        return TMidiOpening::NoDevice(wanted + ": the ALSA sequencer is not available (" + OneLine(e.getMessage())
                                      + ")");
    }
    out->setErrorCallback(IgnoreRtMidiError, nullptr);
    std::vector<std::string> names;
    const unsigned count = out->getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(out->getPortName(i));
    const std::optional<unsigned> port = FindPort(names, namePart);
    if (!port)
        return TMidiOpening::NoDevice(wanted + "; " + PortList(names));
    out->openPort(*port, "out");
    if (!out->isPortOpen())
        return TMidiOpening::CannotStart("cannot connect to MIDI port " + names[*port]);
    return TMidiOpening::Opened(std::make_unique<TPortDevice>(std::move(out)));
}
