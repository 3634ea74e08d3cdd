#include "platform/midi/MidiDevice.h"

#include <cctype>
#include <cstdlib>

int ShortMessageLength(std::uint32_t message)
{
    const unsigned status = message & 0xFF;
    const unsigned data1 = (message >> 8) & 0xFF;
    const unsigned data2 = (message >> 16) & 0xFF;
    int length = 0;
    if (status < 0x80)
        length = 0;  // running status: we never keep a status between messages
    else if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2)
        length = 3;
    else if (status < 0xE0 || status == 0xF1 || status == 0xF3)
        length = 2;
    else if (status == 0xF6 || status == 0xF8 || status == 0xFA || status == 0xFB || status == 0xFC
             || status == 0xFE || status == 0xFF)
        length = 1;
    if ((length >= 2 && data1 > 0x7F) || (length == 3 && data2 > 0x7F))
        return 0;
    return length;
}

TMidiOpening TMidiOpening::Opened(std::unique_ptr<TMidiDevice> device)
{
    return {std::move(device), mosOpened, {}};
}

TMidiOpening TMidiOpening::NoDevice(std::string reason)
{
    return {nullptr, mosNoDevice, std::move(reason)};
}

TMidiOpening TMidiOpening::CannotStart(std::string reason)
{
    return {nullptr, mosCannotStart, std::move(reason)};
}

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Malformed(std::string_view value, std::string_view why)
{
    return std::string(kMidiOutVariable) + "=\"" + std::string(value) + "\" is not understood: "
           + std::string(why);
}

}  // namespace

TMidiOutChoice ParseMidiOutChoice(std::optional<std::string_view> value)
{
    // An empty variable is how a shell unsets it for one command.
    if (!value || value->empty())
        return {mokSynth, {}, {}};
    const std::string_view v = *value;
    const std::size_t colon = v.find(':');
    const std::string_view keyword = v.substr(0, colon);
    const bool hasArgument = colon != std::string_view::npos;
    const std::string_view argument = hasArgument ? v.substr(colon + 1) : std::string_view{};

    struct Form {
        std::string_view keyword;
        TMidiOutKind kind;
        const char* argumentName;  // nullptr: takes none
    };
    static constexpr Form forms[] = {
        {"synth", mokSynth, nullptr}, {"none", mokNone, nullptr},     {"wav", mokWav, "a file path"},
        {"log", mokLog, "a file path"}, {"port", mokPort, "part of a port name"},
    };
    for (const Form& f : forms) {
        if (!EqualsIgnoringCase(keyword, f.keyword))
            continue;
        if (!f.argumentName && hasArgument)
            return {f.kind, {}, Malformed(v, std::string(f.keyword) + " takes nothing after it")};
        if (f.argumentName && argument.empty())
            return {f.kind, {}, Malformed(v, std::string(f.keyword) + ": needs " + f.argumentName)};
        return {f.kind, std::string(argument), {}};
    }
    return {mokSynth, {}, Malformed(v, "use synth, wav:PATH, port:NAME, log:PATH or none")};
}

TMidiOpening OpenMidiOutput()
{
    const char* value = std::getenv(kMidiOutVariable);
    return OpenMidiOutput(value ? std::optional<std::string_view>(value) : std::nullopt);
}

TMidiOpening OpenMidiOutput(std::optional<std::string_view> value)
{
    const TMidiOutChoice choice = ParseMidiOutChoice(value);
    if (!choice.Valid())
        return TMidiOpening::NoDevice(choice.error);
    switch (choice.kind) {
    case mokSynth:
        return OpenSynthDevice();
    case mokWav:
        return OpenWavDevice(choice.argument);
    case mokPort:
        return OpenPortDevice(choice.argument);
    case mokLog:
        return OpenLogDevice(choice.argument);
    case mokNone:
        break;
    }
    return TMidiOpening::NoDevice(std::string("MIDI output is off (") + kMidiOutVariable + "=none)");
}
