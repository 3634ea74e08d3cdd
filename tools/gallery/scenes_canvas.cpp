// Canvas scenes: the pixel rules made visible. Each picture shows the shapes
// at their true size with a magnified copy beside them where single pixels
// matter.

#include "tools/gallery/Gallery.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Region.h"

#include <cmath>
#include <vector>

namespace {

QImage Snapshot(const TBitmap& bmp)
{
    return bmp.Image().copy();
}

// A white picture with a magnified copy of its left part on the right.
QImage WithZoom(TBitmap& bmp, int w, int h, int zoom)
{
    TBitmap out(w + w * zoom + 8, std::max(h, h * zoom));
    out.Canvas().Brush().Color = clBtnFace;
    out.Canvas().FillRect({0, 0, out.Width(), out.Height()});
    out.Canvas().Draw(0, 0, bmp);
    out.Canvas().CopyRect({w + 8, 0, w + 8 + w * zoom, h * zoom}, bmp, {0, 0, w, h});
    return Snapshot(out);
}

QImage LinesFan()
{
    TBitmap bmp(41, 41);
    TCanvas& c = bmp.Canvas();
    const TColor colours[] = {clBlack, clRed, clBlue, clGreen};
    int i = 0;
    for (int k = 0; k < 32; ++k) {
        const double a = k * 2 * M_PI / 32;
        c.Pen().Color = colours[i++ % 4];
        c.MoveTo(20, 20);
        c.LineTo(20 + int(std::lround(19 * std::cos(a))), 20 + int(std::lround(19 * std::sin(a))));
    }
    return WithZoom(bmp, 41, 41, 6);
}

QImage PolygonsFillModes()
{
    TBitmap bmp(90, 44);
    TCanvas& c = bmp.Canvas();
    const std::vector<TPoint> star{{20, 1}, {32, 40}, {1, 15}, {40, 15}, {8, 40}};
    c.Brush().Color = RGB(240, 202, 166);
    c.Pen().Color = cl3DDkShadow;
    c.Polygon(star);
    c.SetPolyFillMode(fmWinding);
    c.SetViewportOrg({46, 0});
    c.Polygon(star);
    return WithZoom(bmp, 90, 44, 4);
}

QImage RectsEllipsesRoundRects()
{
    TBitmap bmp(120, 40);
    TCanvas& c = bmp.Canvas();
    c.Brush().Color = clBtnFace;
    c.Rectangle(2, 2, 22, 18);
    c.Pen().Style = psClear;
    c.Rectangle(2, 22, 22, 38);
    c.Pen().Style = psSolid;
    c.Brush().Color = clRed;
    c.FrameRect({26, 2, 46, 18});
    c.FillRect({26, 22, 46, 38});
    c.Brush().Color = clAqua;
    c.Ellipse(50, 2, 80, 38);
    c.Ellipse(82, 2, 91, 11);
    c.RoundRect(82, 14, 118, 38, 12, 12);
    c.Brush().Color = clWhite;
    c.DrawFocusRect({93, 2, 118, 11});
    return WithZoom(bmp, 120, 40, 3);
}

QImage PatternBrush()
{
    TBitmap bmp(64, 40);
    TCanvas& c = bmp.Canvas();
    c.Brush().Style = bsPattern;
    c.Brush().Pattern = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    c.Brush().PatternSetColor = clWhite;
    c.Brush().PatternClearColor = clBtnFace;
    c.FillRect({0, 0, 30, 40});
    c.Brush().Pattern = {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08};
    c.Brush().PatternSetColor = clNavy;
    c.Brush().PatternClearColor = clYellow;
    c.Pen().Color = clNavy;
    c.Ellipse(33, 3, 63, 37);
    return WithZoom(bmp, 64, 40, 4);
}

QImage Regions()
{
    TBitmap bmp(120, 60);
    TCanvas& c = bmp.Canvas();
    const TRegion diamond = TRegion::FromPolygon({{20, 0}, {40, 30}, {20, 60}, {0, 30}}, fmAlternate);
    const TRegion box({10, 20, 60, 40});
    c.Brush().Color = clSilver;
    c.FillRegion(diamond.Union(box));
    c.SetViewportOrg({60, 0});
    c.Brush().Color = clRed;
    c.FillRegion(box.Subtract(diamond));
    c.Brush().Color = clBlue;
    c.FillRegion(box.Intersect(diamond));
    return WithZoom(bmp, 120, 60, 2);
}

const GalleryRegistrar lines("canvas-lines", LinesFan);
const GalleryRegistrar polygons("canvas-polygons", PolygonsFillModes);
const GalleryRegistrar shapes("canvas-shapes", RectsEllipsesRoundRects);
const GalleryRegistrar pattern("canvas-pattern", PatternBrush);
const GalleryRegistrar regions("canvas-regions", Regions);

}  // namespace
