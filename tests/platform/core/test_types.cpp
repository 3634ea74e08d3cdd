#include "platform/core/Colors.h"
#include "platform/core/Types.h"

#include <gtest/gtest.h>

TEST(Geometry, RectsAreHalfOpenAndNormalise)
{
    const TRect r{10, 20, 5, 15};
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(r.Normalized(), (TRect{5, 15, 10, 20}));
    EXPECT_TRUE(r.Normalized().Contains({5, 15}));
    EXPECT_FALSE(r.Normalized().Contains({10, 19}));
    EXPECT_EQ((TRect{0, 0, 4, 4}.Intersect(TRect{4, 0, 8, 4})), TRect{});
}

TEST(Colors, PlainColoursKeepRedInTheLowByte)
{
    EXPECT_EQ(RGB(240, 202, 166), 10930928);
    EXPECT_EQ(RGBToPixel(0x0000FF), 0xFFFF0000u);
    EXPECT_EQ(PixelToColor(0xFF0000FFu), clBlue);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_FALSE(IsSystemColor(clNone));
}
