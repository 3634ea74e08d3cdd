// SoundFont preset data cut down to the presets a fresh synthesizer selects:
// malformed data is refused without a fault, and what comes out is itself
// well-formed preset data that a second cut leaves as it is.

#include "fuzz/FuzzCheck.h"
#include "platform/midi/SoundFontPresets.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<TPresetNumber> keep = StartingPresets();
    if (const std::optional<std::vector<std::uint8_t>> cut = KeepPresets(std::span(data, size), keep)) {
        FUZZ_CHECK(cut->size() <= size + 9 * 8);
        const std::optional<std::vector<std::uint8_t>> again = KeepPresets(*cut, keep);
        FUZZ_CHECK(again && *again == *cut);
    }
    return 0;
}
