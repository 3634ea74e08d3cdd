// What one paint of the exercise selector costs: it repaints on every focus
// change, arrow key and drop of its list.
#include "bench/BenchUtil.h"

#include "controls/flat/TFlatComboBoxUnit.h"

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
    combo->SetBounds(16, 8, 191, 23);
    combo->SetStyle(csDropDownList);
    combo->SetColor(clWindow);
    combo->Font().SetName(QStringLiteral("Times New Roman"));
    combo->Font().SetHeight(-12);
    combo->SetItemHeight(15);
    combo->SetItems({QStringLiteral("Упражнение \"ноты\""), QStringLiteral("Упражнение \"интервалы\"")});
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
