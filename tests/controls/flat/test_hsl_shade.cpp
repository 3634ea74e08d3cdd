#include "controls/flat/FlatUtilitys.h"
#include "controls/flat/HSLUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int ChannelDistance(TColor a, TColor b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

TEST(Hsl, RoundsHalvesToEven)
{
    const struct {
        double in;
        double out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {2.4999, 2}, {2.5001, 3}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Hsl, ScaledValuesOfKnownColours)
{
    const struct {
        TColor colour;
        THslScaled hsl;
    } cases[] = {
        {RGB(255, 0, 0), {0, 240, 120}},    {RGB(0, 255, 0), {80, 240, 120}},
        {RGB(0, 0, 255), {159, 240, 120}},  {clWhite, {0, 0, 240}},
        {clBlack, {0, 0, 0}},               {RGB(160, 150, 131), {26, 32, 137}},
        {RGB(212, 208, 200), {27, 29, 194}},
        // Hue 86.5 on the 239 scale: the half goes to the even 86.
        {RGB(1, 240, 42), {86, 238, 113}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorToHslScaled(c.colour), c.hsl) << std::hex << c.colour;
}

TEST(Hsl, GreysRoundHalvesToEven)
{
    // Lightness 8, 24 and 40 of 240 are 8.5, 25.5 and 42.5 of 255.
    EXPECT_EQ(HslScaledToColor(0, 0, 8), RGB(8, 8, 8));
    EXPECT_EQ(HslScaledToColor(0, 0, 24), RGB(26, 26, 26));
    EXPECT_EQ(HslScaledToColor(0, 0, 40), RGB(42, 42, 42));
}

TEST(Hsl, RoundTripsOverAColourGrid)
{
    int worstExact = 0;
    int worstScaled = 0;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const TColor c = RGB(r, g, b);
                worstExact = std::max(worstExact, ChannelDistance(HslToColor(ColorToHsl(c)), c));
                worstScaled = std::max(worstScaled, ChannelDistance(HslScaledToColor(ColorToHslScaled(c)), c));
            }
    EXPECT_LE(worstExact, 1);
    // One hue step of 239 spans 6 * 255 / 239 (about 6.4) channel units, so
    // rounding the hue may move a saturated colour by about half of that.
    EXPECT_LE(worstScaled, 4);
}

TEST(Hsl, OutOfRangeInputGivesLimitedChannels)
{
    EXPECT_EQ(HslToColor(0, 0, 2.0), clWhite);
    EXPECT_EQ(HslToColor(0, 0, -1.0), clBlack);
    EXPECT_EQ(HslScaledToColor(0, 240, 480), clWhite);
    EXPECT_EQ(HslToColor(0, 0, std::nan("")), clBlack);
}

// Shades.
constexpr TColor kBase = RGB(160, 150, 131);  // scaled (26, 32, 137)

int Lightness(TColor c)
{
    return ColorToHslScaled(c).L;
}

TEST(Shade, PercentZeroKeepsTheCurrentColour)
{
    EXPECT_EQ(DeriveShade(kBase, clAqua, 0, TShadeDirection::Lighten), clAqua);
    EXPECT_EQ(DeriveShade(kBase, clAqua, 0, TShadeDirection::Darken), clAqua);
    // Below the range counts as 0.
    EXPECT_EQ(DeriveShade(kBase, clAqua, -20, TShadeDirection::Darken), clAqua);
}

TEST(Shade, MovesLightnessByTenPlusOrMinusPercent)
{
    EXPECT_NEAR(Lightness(DeriveShade(kBase, clAqua, 10, TShadeDirection::Lighten)), 137 + 10 + 10, 1);
    EXPECT_NEAR(Lightness(DeriveShade(kBase, clAqua, 50, TShadeDirection::Darken)), 137 + 10 - 50, 1);
    // Hue and saturation stay.
    const THslScaled darker = ColorToHslScaled(DeriveShade(kBase, clAqua, 50, TShadeDirection::Darken));
    EXPECT_NEAR(darker.H, 26, 1);
    EXPECT_NEAR(darker.S, 32, 2);
}

TEST(Shade, PercentAboveTheRangeCountsAsHundred)
{
    EXPECT_EQ(DeriveShade(kBase, clAqua, 250, TShadeDirection::Darken),
              DeriveShade(kBase, clAqua, 100, TShadeDirection::Darken));
    EXPECT_EQ(DeriveShade(kBase, clAqua, 250, TShadeDirection::Lighten),
              DeriveShade(kBase, clAqua, 100, TShadeDirection::Lighten));
}

TEST(Shade, LightnessStaysOnTheScale)
{
    // Lightening never makes a light colour darker; darkening stops at black.
    EXPECT_EQ(DeriveShade(clWhite, clAqua, 50, TShadeDirection::Lighten), clWhite);
    EXPECT_EQ(DeriveShade(RGB(245, 245, 245), clAqua, 10, TShadeDirection::Lighten), clWhite);
    EXPECT_EQ(DeriveShade(clBlack, clAqua, 50, TShadeDirection::Darken), clBlack);
    // White darkened by less than the added 10 stays white.
    EXPECT_EQ(DeriveShade(clWhite, clAqua, 5, TShadeDirection::Darken), clWhite);
}

TEST(Shade, SystemBaseIsResolvedFirst)
{
    EXPECT_EQ(DeriveShade(clBtnFace, clAqua, 30, TShadeDirection::Darken),
              DeriveShade(RGB(212, 208, 200), clAqua, 30, TShadeDirection::Darken));
}

}  // namespace
