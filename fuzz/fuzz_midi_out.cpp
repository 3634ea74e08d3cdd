// LADOTON_MIDI_OUT values: every value is either understood as exactly one
// form or refused with a message naming the variable; nothing else happens.
// The first four bytes also go through ShortMessageLength.

#include "fuzz/FuzzCheck.h"
#include "platform/midi/MidiDevice.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void CheckChoice(std::string_view value)
{
    const TMidiOutChoice choice = ParseMidiOutChoice(value);
    if (value.empty()) {
        FUZZ_CHECK(choice.Valid() && choice.kind == mokSynth && choice.argument.empty());
        return;
    }
    const std::size_t colon = value.find(':');
    const std::string keyword = Lower(value.substr(0, colon));
    const std::string_view argument = colon == std::string_view::npos ? std::string_view{} : value.substr(colon + 1);
    const bool known = keyword == "synth" || keyword == "none" || keyword == "wav" || keyword == "log" || keyword == "port";
    const bool takesArgument = keyword == "wav" || keyword == "log" || keyword == "port";
    const bool valid = known && (takesArgument ? !argument.empty() : colon == std::string_view::npos);

    FUZZ_CHECK(choice.Valid() == valid);
    if (!valid) {
        const std::string prefix = std::string(kMidiOutVariable) + "=\"" + std::string(value) + "\"";
        FUZZ_CHECK(choice.error.compare(0, prefix.size(), prefix) == 0);
        FUZZ_CHECK(choice.argument.empty());
        return;
    }
    const TMidiOutKind kind = keyword == "synth" ? mokSynth
                              : keyword == "none" ? mokNone
                              : keyword == "wav"  ? mokWav
                              : keyword == "log"  ? mokLog
                                                  : mokPort;
    FUZZ_CHECK(choice.kind == kind);
    FUZZ_CHECK(choice.argument == argument);
}

void CheckShortMessage(std::uint32_t message)
{
    const int n = ShortMessageLength(message);
    FUZZ_CHECK(n >= 0 && n <= 3);
    if (n == 0)
        return;
    FUZZ_CHECK((message & 0x80) != 0);
    if (n >= 2)
        FUZZ_CHECK((message & 0x8000) == 0);
    if (n == 3)
        FUZZ_CHECK((message & 0x800000) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckChoice(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size >= 4)
        CheckShortMessage(std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
                          std::uint32_t(data[3]) << 24);
    return 0;
}
