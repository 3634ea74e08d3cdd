#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/core/Colors.h"

#include <cstdint>

// Drawing helpers shared by the shaped buttons.

// How a button draws its 3-D edges. Shape buttons draw the bevel in the first
// three styles alike; fbsFlat only when hot, down or being designed.
enum TfcShadeStyle : std::uint8_t { fbsNormal, fbsRaised, fbsHighlight, fbsFlat };

// A face is painted for the screen, or only to find the window shape.
enum TfcFacePurpose : std::uint8_t { fcfpDisplay, fcfpRegion };
// Whether a face is drawn up or pressed.
enum TfcFaceLook : std::uint8_t { fcflUp, fcflDown };

enum class TfcShadeDirection : std::uint8_t { Lighten, Darken };

// Colour shading: every channel of the resolved colour moved by amount toward
// white (lighten) or black (darken), limited to 0..255. Answers a plain colour.
TColor fcShadeColor(TColor color, int amount, TfcShadeDirection direction);

// Whether the display keeps a mid grey (192, 192, 192) as it is. Computed on
// the first call and then kept for the run. Displays with fewer colour bits
// snap channel values that are multiples of 8; faces then avoid them.
bool DisplayKeepsGrey();

// The face colour of a button: color resolved to RGB; when the display does
// not keep greys, every channel above 0 that is a multiple of 8 is lowered by 1.
enum class TfcGreyHandling : std::uint8_t { DisplayKeepsGrey, AvoidSnappedGrey };
TColor fcFaceColor(TColor color, TfcGreyHandling handling);
inline TColor fcFaceColor(TColor color)
{
    return fcFaceColor(color,
                       DisplayKeepsGrey() ? TfcGreyHandling::DisplayKeepsGrey : TfcGreyHandling::AvoidSnappedGrey);
}

// The checkerboard of a pressed group button: pixel (x, y) is ditherColor when
// x + y is even and color when it is odd (anchored at the image origin).
TBrush fcDitherBrush(TColor ditherColor, TColor color);
