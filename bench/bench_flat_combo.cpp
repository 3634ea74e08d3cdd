// What one paint of the exercise selector costs: it repaints on every focus
// change, arrow key and drop of its list.
#include "bench/BenchUtil.h"

#include "controls/flat/TFlatComboBoxUnit.h"
#include "tests/controls/flat/FlatComboFixtures.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);

    TForm form(nullptr);
    auto* combo = new TFlatComboBox(&form);  // owned by the form
    combo->SetParent(&form);
    flat_fixtures::ConfigureSelector(*combo);
    combo->SetItemIndex(0);

    TBitmap bmp(191, 23);
    Report("TFlatComboBox paint, selector 191 x 23", MedianMicros([&] { combo->PaintTo(bmp.Canvas(), {0, 0}); }),
           200);
    combo->SetDroppedDown(true);
    Report("TFlatComboBox paint, selector dropped", MedianMicros([&] { combo->PaintTo(bmp.Canvas(), {0, 0}); }),
           200);
    combo->SetDroppedDown(false);
    combo->SetEnabled(false);
    Report("TFlatComboBox paint, selector disabled", MedianMicros([&] { combo->PaintTo(bmp.Canvas(), {0, 0}); }),
           200);
    return 0;
}
