#include "Gallery.h"

#include "controls/flat/FlatUtilitys.h"

#include <QPainter>

#include <memory>

namespace {

constexpr int kZoom = 4;

QImage Zoomed(const QImage& img)
{
    return img.scaled(img.width() * kZoom, img.height() * kZoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Frames of one, two and three rings side by side, in the panel's colours
// and in a raised white/grey pair.
QImage FrameRings()
{
    TBitmap bmp(3 * 24 + 4 * 4, 2 * 16 + 3 * 4);
    bmp.Canvas().Brush().Color = clBtnFace;
    bmp.Canvas().FillRect({0, 0, bmp.Width(), bmp.Height()});
    for (int rings = 1; rings <= 3; ++rings) {
        const int left = 4 + (rings - 1) * 28;
        DrawFlatFrame(bmp.Canvas(), Bounds(left, 4, 24, 16), RGB(160, 150, 131), RGB(160, 150, 131), rings);
        DrawFlatFrame(bmp.Canvas(), Bounds(left, 24, 24, 16), clBtnHighlight, clBtnShadow, rings);
    }
    return Zoomed(bmp.Image());
}

// A small glyph: a black arrow and bar on a green background.
std::unique_ptr<TBitmap> SampleGlyph()
{
    static const char* const rows[] = {
        "............",
        "....#.......",
        "....##......",
        "....###.....",
        "....####..##",
        "....###...##",
        "....##....##",
        "....#.....##",
        "............",
    };
    auto bmp = std::make_unique<TBitmap>(12, 9);
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x)
            bmp->ScanLine(y)[x] = ColorToPixel(rows[y][x] == '#' ? clBlack : clGreen);
    return bmp;
}

// The glyph, its embossed look with the highlight and without it, on the
// button face.
QImage Emboss()
{
    const auto glyph = SampleGlyph();
    const auto withHighlight =
        MakeEmbossedGlyph(*glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, TEmbossHighlight::ehDraw);
    const auto shadowOnly =
        MakeEmbossedGlyph(*glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, TEmbossHighlight::ehOmit);
    QImage img(3 * 16 + 4, 13, QImage::Format_RGB32);
    img.fill(ColorToPixel(clBtnFace));
    QPainter p(&img);
    p.drawImage(2, 2, glyph->Image());
    p.drawImage(18, 2, withHighlight->Image());
    p.drawImage(34, 2, shadowOnly->Image());
    p.end();
    return Zoomed(img);
}

const GalleryRegistrar kFrameRings("flat-frame-rings", FrameRings);
const GalleryRegistrar kEmboss("flat-emboss", Emboss);

}  // namespace
