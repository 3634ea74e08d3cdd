#include "platform/core/Colors.h"

#include <array>

namespace {

// The classic grey desktop scheme, fixed so the designed look stays the same
// whatever theme the desktop uses.
constexpr std::array<std::uint32_t, 31> kClassicScheme = {
    RGB(212, 208, 200),  //  0 scroll bar
    RGB(58, 110, 165),   //  1 desktop
    RGB(10, 36, 106),    //  2 active caption
    RGB(128, 128, 128),  //  3 inactive caption
    RGB(212, 208, 200),  //  4 menu
    RGB(255, 255, 255),  //  5 window
    RGB(0, 0, 0),        //  6 window frame
    RGB(0, 0, 0),        //  7 menu text
    RGB(0, 0, 0),        //  8 window text
    RGB(255, 255, 255),  //  9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3-D dark shadow
    RGB(212, 208, 200),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(181, 181, 181),  // 25 alternate button face
    RGB(0, 0, 200),      // 26 hot tracking
    RGB(166, 202, 240),  // 27 gradient active caption
    RGB(192, 192, 192),  // 28 gradient inactive caption
    RGB(10, 36, 106),    // 29 menu highlight
    RGB(212, 208, 200),  // 30 menu bar
};

}  // namespace

std::uint32_t GetSysColor(int index)
{
    if (index < 0 || index >= int(kClassicScheme.size()))
        return 0;
    return kClassicScheme[std::size_t(index)];
}

std::uint32_t ColorToRGB(TColor c)
{
    if (IsSystemColor(c))
        return GetSysColor(int(std::uint32_t(c) & 0x00FFFFFFu));
    return std::uint32_t(c) & 0x00FFFFFFu;
}
