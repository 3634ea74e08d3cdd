#include "platform/midi/MidiInput.h"

#include "platform/midi/JackServer.h"
#include "platform/midi/MidiDiagnostics.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace {

// The client name the ports carry in the ALSA sequencer and in JACK (JACK
// names are kept to plain letters so every tool can type them).
constexpr const char* kAlsaClient = "Ладотон";
constexpr const char* kJackClient = "ladoton";

void IgnoreRtMidiError(RtMidiError::Type, const std::string&, void*) {}

template <class T>
std::unique_ptr<T> MakeRtMidi(RtMidi::Api api)
{
    QuietJackLibrary();
    TQuietAlsa quiet;
    TCerrCapture cerrCapture;
    try {
        auto port = std::make_unique<T>(api, api == RtMidi::UNIX_JACK ? kJackClient : kAlsaClient);
        port->setErrorCallback(IgnoreRtMidiError, nullptr);
        return port;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

template <class T>
std::vector<std::string> PortNames(RtMidi::Api api)
{
    std::vector<std::string> names;
    std::unique_ptr<T> port = MakeRtMidi<T>(api);
    if (!port)
        return names;
    TCerrCapture cerrCapture;
    const unsigned count = port->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        std::string name = port->getPortName(i);
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

// "client:port" numbers of the readable ports of kernel clients (sound
// cards), leaving out the system client and the loop-back "Midi Through".
std::vector<std::string> AlsaHardwareAddresses()
{
    std::vector<std::string> addresses;
    TQuietAlsa quiet;
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0)
        return addresses;
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int c = snd_seq_client_info_get_client(client);
        const std::string name = snd_seq_client_info_get_name(client);
        if (snd_seq_client_info_get_type(client) != SND_SEQ_KERNEL_CLIENT || c == SND_SEQ_CLIENT_SYSTEM
            || name == "Midi Through")
            continue;
        snd_seq_port_info_set_client(port, c);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            if ((caps & (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ))
                == (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ))
                addresses.push_back(std::to_string(c) + ":" + std::to_string(snd_seq_port_info_get_port(port)));
        }
    }
    snd_seq_close(seq);
    return addresses;
}

std::vector<std::string> JackPhysicalCaptures()
{
    std::vector<std::string> names;
    QuietJackLibrary();
    jack_client_t* client = jack_client_open("ladoton-list", JackNoStartServer, nullptr);
    if (!client)
        return names;
    if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                            JackPortIsPhysical | JackPortIsOutput)) {
        for (const char** p = ports; *p; ++p)
            names.emplace_back(*p);
        jack_free(ports);
    }
    jack_client_close(client);
    return names;
}

// A JACK port of this program (JACK numbers further clients of one name
// "ladoton-01", ...). Offering them would let a note loop back into the
// program that played it, for ever.
bool OwnJackPort(const std::string& name)
{
    const std::string client = kJackClient;
    if (name.compare(0, client.size(), client) != 0)
        return false;
    std::size_t i = client.size();
    if (i < name.size() && name[i] == '-')
        for (++i; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i) {
        }
    return i < name.size() && name[i] == ':';
}

bool OwnAlsaPort(const std::string& name)
{
    return name.rfind(std::string(kAlsaClient) + ":", 0) == 0;
}

// The ports of both systems that are not this program's own.
template <class T>
std::vector<std::string> OtherPorts()
{
    std::vector<std::string> names = PortNames<T>(RtMidi::LINUX_ALSA);
    names.erase(std::remove_if(names.begin(), names.end(), OwnAlsaPort), names.end());
    for (std::string& n : PortNames<T>(RtMidi::UNIX_JACK))
        if (!OwnJackPort(n))
            names.push_back(std::move(n));
    return names;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// An input port read through RtMidi; the library calls back on its own thread.
class TRtInputPort : public TMidiInputPort {
public:
    TRtInputPort(std::unique_ptr<RtMidiIn> in, TMidiInputHandler handler)
        : in_(std::move(in)), handler_(std::move(handler))
    {
        if (in_->getCurrentApi() == RtMidi::UNIX_JACK)
            jackServerGone_ = WatchJackServer();
        in_->setCallback(&TRtInputPort::Received, this);
    }

    bool Open(unsigned index)
    {
        in_->openPort(index, "in");
        return in_->isPortOpen();
    }

    ~TRtInputPort() override
    {
        // Closing stops the library's thread, so no call comes once the
        // handler is gone.
        TQuietAlsa quiet;
        TCerrCapture cerrCapture;
        CloseJackObject(in_, jackServerGone_);
    }

private:
    static void Received(double, std::vector<unsigned char>* message, void* self)
    {
        if (message && !message->empty())
            static_cast<TRtInputPort*>(self)->handler_(message->data(), message->size());
    }

    std::unique_ptr<RtMidiIn> in_;
    TMidiInputHandler handler_;
    TJackServerGone jackServerGone_;
};

class TSystemMidiPorts : public IMidiPorts {
public:
    std::vector<std::string> InputPorts() override
    {
        return OtherPorts<RtMidiIn>();
    }

    std::vector<std::string> HardwareInputPorts() override
    {
        std::vector<std::string> hardware;
        const std::vector<std::string> addresses = AlsaHardwareAddresses();
        for (const std::string& name : PortNames<RtMidiIn>(RtMidi::LINUX_ALSA))
            if (std::any_of(addresses.begin(), addresses.end(),
                            [&](const std::string& a) { return EndsWith(name, " " + a); }))
                hardware.push_back(name);
        // A JACK server's physical MIDI ports bridge the same sound cards
        // (a2jmidid, PipeWire): taking both would play every note twice.
        if (!hardware.empty() || !JackServerMayRun(JackPlacesFromEnvironment()))
            return hardware;
        const std::vector<std::string> jackNames = PortNames<RtMidiIn>(RtMidi::UNIX_JACK);
        if (!jackNames.empty())
            for (const std::string& name : JackPhysicalCaptures())
                if (std::find(jackNames.begin(), jackNames.end(), name) != jackNames.end())
                    hardware.push_back(name);
        return hardware;
    }

    std::vector<std::string> OutputPorts() override
    {
        return OtherPorts<RtMidiOut>();
    }

    std::unique_ptr<TMidiInputPort> OpenInput(const std::string& name, TMidiInputHandler handler,
                                              std::string& reason) override
    {
        for (const RtMidi::Api api : {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK}) {
            std::unique_ptr<RtMidiIn> in = MakeRtMidi<RtMidiIn>(api);
            if (!in)
                continue;
            TQuietAlsa quiet;
            TCerrCapture cerrCapture;
            const unsigned count = in->getPortCount();
            for (unsigned i = 0; i < count; ++i) {
                if (in->getPortName(i) != name)
                    continue;
                // System exclusive, clock and active sensing never reach us.
                in->ignoreTypes(true, true, true);
                auto port = std::make_unique<TRtInputPort>(std::move(in), std::move(handler));
                return OpenedPort(std::move(port), i, name, reason);
            }
        }
        reason = "no MIDI input port is named \"" + name + "\"";
        return nullptr;
    }

private:
    // RtMidi reports a port it cannot connect to through the error callback
    // and leaves it closed.
    static std::unique_ptr<TMidiInputPort> OpenedPort(std::unique_ptr<TRtInputPort> port, unsigned index,
                                                      const std::string& name, std::string& reason)
    {
        if (!port->Open(index)) {
            reason = "cannot connect to MIDI input port " + name;
            return nullptr;
        }
        return port;
    }
};

std::string Lower(std::string_view s)
{
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return r;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return Lower(a) == Lower(b);
}

}  // namespace

IMidiPorts& SystemMidiPorts()
{
    static TSystemMidiPorts ports;
    return ports;
}

int NoteOnSemitone(const unsigned char* bytes, std::size_t size)
{
    if (!bytes || size != 3)
        return -1;
    if ((bytes[0] & 0xF0) != 0x90 || bytes[1] > 0x7F || bytes[2] > 0x7F || bytes[2] == 0)
        return -1;
    return bytes[1] % 12;
}

TMidiInChoice ParseMidiInChoice(std::optional<std::string_view> value)
{
    if (!value || value->empty())
        return {mikAuto, {}, {}};
    const std::string_view v = *value;
    const std::size_t colon = v.find(':');
    const std::string_view keyword = v.substr(0, colon);
    const bool hasArgument = colon != std::string_view::npos;
    const std::string_view argument = hasArgument ? v.substr(colon + 1) : std::string_view{};
    const std::string prefix = std::string(kMidiInVariable) + "=\"" + std::string(v) + "\" is not understood: ";
    if (EqualsIgnoringCase(keyword, "auto") || EqualsIgnoringCase(keyword, "none")) {
        const TMidiInKind kind = EqualsIgnoringCase(keyword, "auto") ? mikAuto : mikNone;
        if (hasArgument)
            return {kind, {}, prefix + Lower(keyword) + " takes nothing after it"};
        return {kind, {}, {}};
    }
    if (EqualsIgnoringCase(keyword, "port")) {
        if (argument.empty())
            return {mikPort, {}, prefix + "port: needs part of a port name"};
        return {mikPort, std::string(argument), {}};
    }
    return {mikNone, {}, prefix + "use auto, port:NAME or none"};
}

std::optional<std::size_t> FindPortName(const std::vector<std::string>& names, std::string_view part)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].find(part) != std::string::npos)
            return i;
    const std::string lowerPart = Lower(part);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (Lower(names[i]).find(lowerPart) != std::string::npos)
            return i;
    return std::nullopt;
}

std::vector<std::string> PortsForChoice(const TMidiInChoice& choice, IMidiPorts& ports)
{
    if (!choice.Valid())
        return {};
    switch (choice.kind) {
    case mikAuto:
        return ports.HardwareInputPorts();
    case mikPort: {
        const std::vector<std::string> names = ports.InputPorts();
        if (const std::optional<std::size_t> i = FindPortName(names, choice.argument))
            return {names[*i]};
        return {};
    }
    case mikNone:
        break;
    }
    return {};
}
