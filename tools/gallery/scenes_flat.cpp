#include "tools/gallery/Gallery.h"

#include "controls/flat/FlatUtilitys.h"
#include "controls/flat/TFlatPanelUnit.h"

#include <QPainter>

#include <memory>
#include <vector>

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
        MakeEmbossedGlyph(*glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, TEmbossHighlight::Draw);
    const auto shadowOnly =
        MakeEmbossedGlyph(*glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, TEmbossHighlight::Omit);
    QImage img(3 * 16 + 4, 13, QImage::Format_RGB32);
    img.fill(ColorToPixel(clBtnFace));
    QPainter p(&img);
    p.drawImage(2, 2, glyph->Image());
    p.drawImage(18, 2, withHighlight->Image());
    p.drawImage(34, 2, shadowOnly->Image());
    p.end();
    return Zoomed(img);
}

// A parent in the button-face colour with diagonal stripes over its right
// part, for the transparent panel to show.
class StripedParent : public TCustomControl {
public:
    StripedParent() : TCustomControl(nullptr) { SetColor(clBtnFace); }
    void Paint() override
    {
        TCanvas& c = Canvas();
        c.Brush().Style = bsSolid;
        c.Brush().Color = Color();
        c.FillRect(ClientRect());
        c.Brush().Style = bsPattern;
        c.Brush().Pattern = {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11};
        c.Brush().PatternSetColor = RGB(40, 90, 160);
        c.Brush().PatternClearColor = RGB(230, 220, 170);
        c.FillRect({Width() * 2 / 3, 0, Width(), Height()});
    }
};

// Enabled and disabled panels with a caption on the button face, and a
// transparent one over the stripes.
QImage Panels()
{
    StripedParent parent;
    parent.SetBounds(0, 0, 3 * 128 + 8, 56);
    const struct {
        const char* caption;
        bool enabled;
        bool transparent;
    } kinds[] = {{"Включена", true, false}, {"Выключена", false, false}, {"Прозрачная", true, true}};
    std::vector<TFlatPanel*> panels;
    for (const auto& k : kinds) {
        auto* panel = new TFlatPanel(&parent);  // owned by the parent
        panel->SetParent(&parent);
        panel->SetBounds(8 + int(panels.size()) * 128, 8, 120, 40);
        panel->SetCaption(QString::fromUtf8(k.caption));
        panel->SetEnabled(k.enabled);
        panel->SetTransparent(k.transparent);
        panels.push_back(panel);
    }
    TBitmap bmp(parent.Width(), parent.Height());
    parent.PaintTo(bmp.Canvas(), {0, 0});
    for (TFlatPanel* panel : panels)
        panel->PaintTo(bmp.Canvas(), {panel->Left(), panel->Top()});
    return bmp.Image().scaled(bmp.Width() * 2, bmp.Height() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

const GalleryRegistrar kFrameRings("flat-frame-rings", FrameRings);
const GalleryRegistrar kEmboss("flat-emboss", Emboss);
const GalleryRegistrar kPanels("flat-panel", Panels);

}  // namespace
