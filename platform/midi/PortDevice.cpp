#include "platform/midi/MidiDevice.h"
#include "platform/midi/JackServer.h"
#include "platform/midi/MidiDiagnostics.h"

#include <RtMidi.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// A system MIDI output port (a hardware synthesizer, another program) through
// the ALSA sequencer or JACK. Sending queues the event with the sequencer and does
// not wait for it to be delivered.
class TPortDevice : public TMidiDevice {
public:
    explicit TPortDevice(std::unique_ptr<RtMidiOut> out) : out_(std::move(out))
    {
        if (out_->getCurrentApi() == RtMidi::UNIX_JACK)
            jackServerGone_ = WatchJackServer();
    }

    ~TPortDevice() override { CloseJackObject(out_, jackServerGone_); }

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
    TJackServerGone jackServerGone_;
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
    // RtMidi writes its errors to std::cerr before it throws, and ALSA and
    // JACK add their own.
    TQuietAlsa quiet;
    TCerrCapture cerrCapture;
    QuietJackLibrary();
    // The ALSA sequencer's ports first, then those of a running JACK server.
    std::vector<std::unique_ptr<RtMidiOut>> apis;
    std::vector<std::string> names;
    std::vector<std::pair<std::size_t, unsigned>> where;  // api, port index
    std::string alsaError;
    for (const RtMidi::Api api : {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK}) {
        try {
            auto out = std::make_unique<RtMidiOut>(api, api == RtMidi::UNIX_JACK ? "ladoton" : "Ладотон");
            out->setErrorCallback(IgnoreRtMidiError, nullptr);
            const unsigned count = out->getPortCount();
            for (unsigned i = 0; i < count; ++i) {
                names.push_back(out->getPortName(i));
                where.emplace_back(apis.size(), i);
            }
            apis.push_back(std::move(out));
        } catch (const RtMidiError& e) {
            if (api == RtMidi::LINUX_ALSA)
                alsaError = OneLine(e.getMessage());
        }
    }
    const std::optional<unsigned> port = FindPort(names, namePart);
    if (!port) {
        if (names.empty() && !alsaError.empty())
            return TMidiOpening::NoDevice(wanted + ": the ALSA sequencer is not available (" + alsaError + ")");
        return TMidiOpening::NoDevice(wanted + "; " + PortList(names));
    }
    std::unique_ptr<RtMidiOut>& out = apis[where[*port].first];
    out->openPort(where[*port].second, "out");
    if (!out->isPortOpen())
        return TMidiOpening::CannotStart("cannot connect to MIDI port " + names[*port]);
    return TMidiOpening::Opened(std::make_unique<TPortDevice>(std::move(out)));
}
