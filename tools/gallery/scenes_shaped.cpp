// Shaped buttons on the main window's blue: the two kinds of piano key up and
// pressed, the octave arrows, the whole keyboard as the main window lays it
// out, and every outline in every orientation.

#include "tools/gallery/Gallery.h"

#include "tests/controls/shaped/ShapedFixtures.h"

#include "platform/ui/StdCtrls.h"

using namespace shaped_fixtures;

namespace {

// A blue host panel; the scene is its rendered image, window shapes included.
struct Host {
    TPanel panel{nullptr};
    Host(int w, int h)
    {
        panel.SetBevelOuter(bvNone);
        panel.SetBounds(0, 0, w, h);
        panel.SetColor(kFormBlue);
        panel.SetCaption(QString());
    }
    TfcShapeBtn* Add()
    {
        auto* b = new TfcShapeBtn(&panel);  // owned by the host panel
        b->SetParent(&panel);
        return b;
    }
    QImage Render() { return panel.grab().toImage(); }
};

enum class TLook { Up, Down };

QImage Key(KeyColour colour, const char* caption, TLook look)
{
    Host h(95, 170);
    TfcShapeBtn* key = h.Add();
    ConfigureKey(*key, colour, QString::fromUtf8(caption), 10, 10);
    if (look == TLook::Down)
        key->Press();
    return h.Render();
}

QImage Arrow(TfcShapeOrientation o, const char* caption)
{
    Host h(157, 53);
    ConfigureArrow(*h.Add(), o, QString::fromUtf8(caption), 10, 10);
    return h.Render();
}

QImage KeyboardScene()
{
    Host h(kFormWidth, kFormHeight);
    BuildKeyboard(h.panel);
    return h.Render();
}

QImage AllShapes()
{
    constexpr int kCellW = 90, kCellH = 70, kW = 80, kH = 60;
    const TfcButtonShape shapes[] = {bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond,
                                     bsRect,      bsStar,    bsTrapezoid, bsCustom};
    const TfcShapeOrientation orientations[] = {soUp, soRight, soDown, soLeft};
    Host h(10 + 9 * kCellW, 10 + 4 * kCellH);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 9; ++col) {
            TfcShapeBtn* b = h.Add();
            b->SetBounds(10 + col * kCellW, 10 + row * kCellH, kW, kH);
            b->SetPointList({"0, HEIGHT", "WIDTH/2, 0", "WIDTH, HEIGHT", "WIDTH/2, HEIGHT*2/3"});
            b->SetShape(shapes[col]);
            b->SetOrientation(orientations[row]);
            b->SetColor(col % 2 ? kLightKey : clBtnFace);
            b->SetShadeStyle(fbsNormal);
        }
    return h.Render();
}

const GalleryRegistrar kWhiteUp("shape-key-white-up", [] { return Key(KeyColour::White, "ДО", TLook::Up); });
const GalleryRegistrar kWhiteDown("shape-key-white-down", [] { return Key(KeyColour::White, "ДО", TLook::Down); });
const GalleryRegistrar kBlackUp("shape-key-black-up", [] { return Key(KeyColour::Black, "ДО #", TLook::Up); });
const GalleryRegistrar kBlackDown("shape-key-black-down", [] { return Key(KeyColour::Black, "ДО #", TLook::Down); });
const GalleryRegistrar kArrowLeft("shape-arrow-left", [] { return Arrow(soLeft, "ОКТАВА ВНИЗ"); });
const GalleryRegistrar kArrowRight("shape-arrow-right", [] { return Arrow(soRight, "ОКТАВА ВВЕРХ"); });
const GalleryRegistrar kKeyboard("shape-keyboard", KeyboardScene);
const GalleryRegistrar kAllShapes("shape-all-outlines", AllShapes);

}  // namespace
