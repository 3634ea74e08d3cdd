#include "tools/gallery/Gallery.h"

#include "tests/controls/flat/FlatButtonFixtures.h"

#include "controls/flat/TFlatSpeedButtonUnit.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>

using namespace flat_fixtures;

namespace {

// A still desktop: the pointer rests where the scene puts it, our window is
// active, and the hover timer never ticks.
class StillDesktop : public IFlatDesktop {
public:
    StillDesktop() : previous_(SetFlatDesktop(this)) {}
    ~StillDesktop() override { SetFlatDesktop(previous_); }
    StillDesktop(const StillDesktop&) = delete;
    StillDesktop& operator=(const StillDesktop&) = delete;

    TPoint PointerPos() override { return pointer; }
    TControl* ControlAt(TPoint screenPoint) override { return screenPoint == pointer ? under : nullptr; }
    bool ApplicationActive() override { return true; }
    bool LeftButtonHeld() override { return false; }
    std::unique_ptr<TFlatTimer> CreateTimer() override { return std::make_unique<IdleFlatTimer>(); }

    TPoint pointer{-1, -1};
    TControl* under = nullptr;

private:
    IFlatDesktop* previous_;
};

enum class Pointer { Elsewhere, Over, Pressed };

// The button at (10, 10) on a button-face panel 20 pixels larger each way.
QImage Scene(const std::function<void(TFlatSpeedButton&)>& configure, Pointer pointer)
{
    StillDesktop desktop;  // outlives the panel and its button
    TPanel parent(nullptr);
    parent.SetColor(clBtnFace);
    auto* button = new TFlatSpeedButton(&parent);  // owned by the panel
    button->SetParent(&parent);
    configure(*button);
    button->SetLeft(10);
    button->SetTop(10);
    parent.SetBounds(0, 0, button->Width() + 20, button->Height() + 20);
    if (pointer != Pointer::Elsewhere) {
        const TPoint inside{button->Width() / 2, button->Height() / 2};
        desktop.pointer = button->ClientToScreen(inside);
        desktop.under = button;
        button->MouseMove(0, inside.x, inside.y);
        if (pointer == Pointer::Pressed)
            button->MouseDown(mbLeft, ssLeft, inside.x, inside.y);
    }
    TBitmap bmp(parent.Width(), parent.Height());
    parent.PaintTo(bmp.Canvas(), {0, 0});
    return bmp.Image().copy();
}

void StartButton(TFlatSpeedButton& b) { ConfigureStartButton(b); }

const GalleryRegistrar kUp("flat-button-up", [] { return Scene(StartButton, Pointer::Elsewhere); });
const GalleryRegistrar kHover("flat-button-hover", [] { return Scene(StartButton, Pointer::Over); });
const GalleryRegistrar kDown("flat-button-down", [] { return Scene(StartButton, Pointer::Pressed); });
const GalleryRegistrar kExclusive("flat-button-exclusive", [] {
    return Scene(
        [](TFlatSpeedButton& b) {
            ConfigureStartButton(b);
            b.SetGroupIndex(1);
            b.SetDown(true);
        },
        Pointer::Elsewhere);
});
const GalleryRegistrar kDisabled("flat-button-disabled", [] {
    return Scene(
        [](TFlatSpeedButton& b) {
            ConfigureStartButton(b);
            b.SetEnabled(false);
        },
        Pointer::Elsewhere);
});
const GalleryRegistrar kDisabledGlyph("flat-button-disabled-glyph", [] {
    return Scene(
        [](TFlatSpeedButton& b) {
            b.SetBounds(0, 0, 25, 25);
            TBitmap glyph;
            PaintNoteGlyph(glyph);
            b.SetGlyph(glyph);
            b.SetEnabled(false);
        },
        Pointer::Elsewhere);
});

}  // namespace
