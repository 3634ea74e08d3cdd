// Canvas throughput on the main window's workload: a 657 x 523 picture with
// fourteen bevelled diamond keys, copied to the screen image in one go; and
// a key's window shape taken from its pixels.

#include "bench/BenchUtil.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Region.h"

#include <array>

namespace {

constexpr int kWidth = 657;
constexpr int kHeight = 523;
constexpr int kKeyW = 75;
constexpr int kKeyH = 150;

std::array<TPoint, 5> Diamond(int x, int y)
{
    const int w = kKeyW - 1;
    const int h = kKeyH - 1;
    return {TPoint{x + w / 2, y}, {x + w, y + h / 2}, {x + w / 2, y + h}, {x, y + h / 2}, {x + w / 2, y}};
}

void DrawKey(TCanvas& c, int x, int y, TColor face)
{
    const auto pts = Diamond(x, y);
    c.Brush().Style = bsSolid;
    c.Brush().Color = face;
    c.Pen().Color = clBlack;
    c.Polygon(pts.data(), int(pts.size()));
    // Two one-pixel bevel lines per edge: outer on the outline, inner one
    // pixel towards the inside.
    for (int i = 0; i < 4; ++i) {
        const TPoint a = pts[std::size_t(i)];
        const TPoint b = pts[std::size_t(i + 1)];
        const bool upLeft = i >= 2;
        const int nx = b.y > a.y ? -1 : 1;
        c.Pen().Color = upLeft ? cl3DLight : clBtnShadow;
        c.MoveTo(a.x + nx, a.y);
        c.LineTo(b.x + nx, b.y);
        c.Pen().Color = upLeft ? clBtnHighlight : clBlack;
        c.MoveTo(a.x, a.y);
        c.LineTo(b.x, b.y);
    }
}

void Compose(TBitmap& picture, TBitmap& screen)
{
    TCanvas& c = picture.Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clBtnFace;
    c.FillRect({0, 0, kWidth, kHeight});
    for (int i = 0; i < 7; ++i)
        DrawKey(c, 20 + i * 88, 300, RGB(240, 202, 166));
    for (int i = 0; i < 7; ++i)
        DrawKey(c, 64 + i * 80, 150, cl3DDkShadow);
    screen.Canvas().Draw(0, 0, picture);
}

}  // namespace

int main()
{
    TBitmap picture(kWidth, kHeight);
    TBitmap screen(kWidth, kHeight);
    Report("compose 657x523: fill, 14 bevelled diamonds, copy", MedianMicros([&] { Compose(picture, screen); }),
           2000);

    TBitmap key(kKeyW, kKeyH);
    key.Canvas().Brush().Color = clFuchsia;
    key.Canvas().FillRect({0, 0, kKeyW, kKeyH});
    DrawKey(key.Canvas(), 0, 0, clBtnFace);
    std::size_t rects = 0;
    Report("region of a 75x150 diamond from its pixels", MedianMicros([&] {
               rects = TRegion::FromImageExcept(key.Image(), clFuchsia).Rects().size();
           }, 1000),
           100);
    std::printf("(the diamond region has %zu rectangles)\n", rects);
    return 0;
}
