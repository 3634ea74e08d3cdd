#pragma once

#include <fluidsynth/types.h>

#include <string>

// The name under which fluid_synth_sfload() loads a view of the font at path
// that keeps the starting presets, through a loader made by
// NewSoundFontViewLoader(). The same loader loads any other name as the plain
// file it is.
std::string StartingPresetsView(const std::string& path);
fluid_sfloader_t* NewSoundFontViewLoader(fluid_settings_t* settings);
