#pragma once

#include <cstdint>

// A colour is a 32-bit value: 0x00BBGGRR is a plain colour (red in the low
// byte), 0xFF0000nn the system colour with index nn, resolved when drawn.
using TColor = std::int32_t;

constexpr TColor MakeColor(std::uint32_t v) { return static_cast<TColor>(v); }
constexpr TColor RGB(int r, int g, int b)
{
    return MakeColor(std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) | (std::uint32_t(b & 0xFF) << 16));
}
constexpr int GetRValue(std::uint32_t c) { return int(c & 0xFF); }
constexpr int GetGValue(std::uint32_t c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(std::uint32_t c) { return int((c >> 16) & 0xFF); }

// System colour indices.
enum : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
};

constexpr TColor SystemColor(int index) { return MakeColor(0xFF000000u | std::uint32_t(index)); }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);

constexpr bool IsSystemColor(TColor c) { return (std::uint32_t(c) & 0xFF000000u) == 0xFF000000u; }

// The RGB of a system colour index from the fixed classic table, so the
// designed look does not follow the desktop theme. Unknown indices are black.
std::uint32_t GetSysColor(int index);

// 0x00BBGGRR for any colour: system colours resolved, the top byte dropped
// otherwise (clNone resolves to its low 24 bits, as the platform does).
std::uint32_t ColorToRGB(TColor c);

// Our pixel buffers hold 0xFFRRGGBB (QImage::Format_RGB32).
constexpr std::uint32_t RGBToPixel(std::uint32_t rgb)
{
    return 0xFF000000u | (std::uint32_t(GetRValue(rgb)) << 16) | (std::uint32_t(GetGValue(rgb)) << 8) |
           std::uint32_t(GetBValue(rgb));
}
inline std::uint32_t ColorToPixel(TColor c) { return RGBToPixel(ColorToRGB(c)); }
// Whether a pixel shows a key colour (given as a pixel): only the RGB counts,
// the top byte may be anything in an image read from elsewhere.
constexpr bool IsKeyPixel(std::uint32_t px, std::uint32_t keyPixel)
{
    return ((px ^ keyPixel) & 0x00FFFFFFu) == 0;
}
constexpr TColor PixelToColor(std::uint32_t px)
{
    return RGB(int((px >> 16) & 0xFF), int((px >> 8) & 0xFF), int(px & 0xFF));
}
