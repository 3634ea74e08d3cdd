#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A General MIDI SoundFont holds about 130 presets, and FluidSynth keeps a
// large table for every zone of every instrument it loads: for a small font
// of 6 MB that is 5 MB of memory and a good part of the time to open it. The
// trainer plays one preset. A view of the font shows FluidSynth a file whose
// preset data keeps only the presets asked for, the instruments they use and
// every sample header; the sample data is read from the real file as it is
// (SoundFontView.h).

struct TPresetNumber {
    int bank = 0;
    int program = 0;
};

// What a fresh synthesizer selects: the piano on the melodic channels and
// the standard drum kit on channel 10.
std::vector<TPresetNumber> StartingPresets();

// The body of a "pdta" list (its nine sub-chunks, without the list's own
// header) cut down to the presets given, with the instrument numbers renumbered.
// nullopt when the data is malformed or holds none of those presets: the
// caller then shows the font as it is.
std::optional<std::vector<std::uint8_t>> KeepPresets(std::span<const std::uint8_t> pdta,
                                                     std::span<const TPresetNumber> keep);

