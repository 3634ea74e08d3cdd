// The icon drawing at the sizes the icon theme gets: the whole clef, scaled
// with the picture, on the dark ground; at the window's own 32 pixels it
// keeps to two of the classic colours.

#include "app/AppIcon.h"

#include <QRect>

#include <gtest/gtest.h>

namespace {

struct ClefExtent {
    int pixels = 0;
    QRect box;
};

// The light pixels (the clef) and the box round them.
ClefExtent LightPixels(const QImage& img)
{
    ClefExtent e;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) > 96) {
                ++e.pixels;
                e.box |= QRect(x, y, 1, 1);
            }
    return e;
}

} // namespace

TEST(AppIcon, EveryThemeSizeHoldsTheSameClefScaled)
{
    const QRect box32 = LightPixels(AppIconImage(32)).box;
    ASSERT_GE(box32.height(), 26) << "the clef fills the height at 32 pixels";
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage img = AppIconImage(size);
        ASSERT_EQ(img.size(), QSize(size, size));
        const int last = size - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(img.pixel(corner), qRgb(0, 0, 0)) << "ground at " << corner.x() << "," << corner.y();

        // Where the 32-pixel clef lies, scaled, within a pixel of the grid.
        const ClefExtent clef = LightPixels(img);
        const double scale = size / 32.0;
        const double slack = scale + 1;
        EXPECT_NEAR(clef.box.left(), box32.left() * scale, slack);
        EXPECT_NEAR(clef.box.top(), box32.top() * scale, slack);
        EXPECT_NEAR(clef.box.right() + 1, (box32.right() + 1) * scale, slack);
        EXPECT_NEAR(clef.box.bottom() + 1, (box32.bottom() + 1) * scale, slack);
        // A stroke, not a filled shape nor a speck.
        EXPECT_GT(clef.pixels, size * size / 20);
        EXPECT_LT(clef.pixels, size * size / 3);
    }
}

TEST(AppIcon, TheWindowIconKeepsHardEdges)
{
    const QImage img = AppIconImage();
    ASSERT_EQ(img.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = img.pixel(x, y);
            ASSERT_TRUE(c == qRgb(0, 0, 0) || c == qRgb(192, 192, 192))
                << "pixel " << x << "," << y << " is " << std::hex << c;
        }
    EXPECT_TRUE(AppIconImage(0).isNull());
}
