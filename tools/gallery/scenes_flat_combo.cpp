#include "tools/gallery/Gallery.h"

#include "controls/flat/TFlatComboBoxUnit.h"
#include "tests/controls/flat/FlatComboFixtures.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"

#include <QCoreApplication>

namespace {

enum class ComboState { Closed, Focused, Dropped, Disabled };

// The main window's exercise selector in one state, drawn at (10, 10) on the
// button face with a 10-pixel margin all round.
QImage Selector(ComboState state)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 240, 50);
    auto* combo = new TFlatComboBox(&form);  // owned by the form
    combo->SetParent(&form);
    flat_fixtures::ConfigureSelector(*combo);
    combo->SetItemIndex(0);
    switch (state) {
    case ComboState::Closed:
        break;
    case ComboState::Focused:
        form.Show();
        QCoreApplication::processEvents();
        combo->SetFocus();
        QCoreApplication::processEvents();
        break;
    case ComboState::Dropped:
        combo->SetDroppedDown(true);
        break;
    case ComboState::Disabled:
        combo->SetEnabled(false);
        break;
    }
    TBitmap bmp(combo->Width() + 20, combo->Height() + 20);
    bmp.Canvas().Brush().Color = clBtnFace;
    bmp.Canvas().FillRect({0, 0, bmp.Width(), bmp.Height()});
    combo->PaintTo(bmp.Canvas(), {10, 10});
    combo->SetDroppedDown(false);
    form.Hide();
    return bmp.Image().copy();
}

const GalleryRegistrar kClosed("flat-combo-closed", [] { return Selector(ComboState::Closed); });
const GalleryRegistrar kFocused("flat-combo-focused", [] { return Selector(ComboState::Focused); });
const GalleryRegistrar kDropped("flat-combo-dropped", [] { return Selector(ComboState::Dropped); });
const GalleryRegistrar kDisabled("flat-combo-disabled", [] { return Selector(ComboState::Disabled); });

}  // namespace
