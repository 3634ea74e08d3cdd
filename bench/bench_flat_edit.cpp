// What the flat editors cost: loading an instruction file into the memo, the
// frame painted on every focus and pointer change, and one step of the spin
// edit's arrows.
#include "bench/BenchUtil.h"

#include "controls/flat/TFlatMemoUnit.h"
#include "controls/flat/TFlatSpinEditUnit.h"

#include "platform/ui/Forms.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);

    TForm form(nullptr);
    form.SetClientSize(657, 523);
    form.AfterConstruction();
    auto* memo = new TFlatMemo(&form);  // owned by the form
    memo->SetParent(&form);
    memo->SetBounds(8, 48, 641, 105);
    memo->SetColorFlat(clBtnFace);
    memo->SetReadOnly(true);
    memo->SetScrollBars(ssVertical);
    form.Show();
    QCoreApplication::processEvents();

    // A megabyte of instruction-like Russian lines.
    const QString line = QStringLiteral("Повторите услышанные ноты на клавишах в том же порядке, мышью или с клавиатуры.\r\n");
    QString text;
    while (text.size() + line.size() <= MemoCapacity)
        text += line;
    int round = 0;
    Report("TFlatMemo: load a 1 MiB text (and show it)", MedianMicros([&] {
               // Alternate two texts so every load is a real change.
               memo->Lines().SetText(++round % 2 ? text : text.left(text.size() - 1));
               QCoreApplication::processEvents();
           }, 20),
           50000);

    Report("TFlatMemo: repaint the frame 641 x 105", MedianMicros([&] { memo->PaintFrame(); }, 2000), 50);

    auto* spin = new TFlatSpinEditInteger(&form);  // owned by the form
    spin->SetParent(&form);
    spin->SetBounds(55, 167, 56, 20);
    spin->SetMinValue(10);
    spin->SetMaxValue(500);
    spin->SetValue(100);
    int direction = 1;
    Report("TFlatSpinEditInteger: one step (parse, limit, format, repaint)", MedianMicros([&] {
               if (spin->Value() >= 500 || spin->Value() <= 10)
                   direction = -direction;
               direction > 0 ? spin->StepUp() : spin->StepDown();
               spin->Editor()->repaint();
           }, 2000),
           100);
    return 0;
}
