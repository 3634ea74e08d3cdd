// The flat speed button on the main window's workload: one paint of the start
// button, and the pointer moving from one flat button straight onto another
// (the first un-hovered, the second hovered, both repainted).

#include "bench/BenchUtil.h"

#include "tests/controls/flat/FlatButtonFixtures.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

using namespace flat_fixtures;

namespace {

// The pointer is over whichever button the benchmark names; timers never
// tick on their own.
class BenchDesktop : public IFlatDesktop {
public:
    TPoint PointerPos() override { return {0, 0}; }
    TControl* ControlAt(TPoint) override { return under; }
    bool ApplicationActive() override { return true; }
    bool LeftButtonHeld() override { return false; }
    std::unique_ptr<TFlatTimer> CreateTimer() override { return std::make_unique<IdleFlatTimer>(); }

    TControl* under = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    BenchDesktop desktop;
    SetFlatDesktop(&desktop);
    {
        TPanel top(nullptr);
        top.SetBounds(0, 0, 657, 41);
        top.SetColor(clBtnFace);
        auto* start = new TFlatSpeedButton(&top);  // owned by the panel
        start->SetParent(&top);
        ConfigureStartButton(*start);
        auto* about = new TFlatSpeedButton(&top);  // owned by the panel
        about->SetParent(&top);
        about->SetBounds(584, 8, 25, 25);
        about->SetCaption(QStringLiteral("?"));

        Report("paint of the start button (129 x 25, caption)", MedianMicros([&] { start->Repaint(); }, 1000), 50);

        TFlatSpeedButton* buttons[2] = {start, about};
        int next = 0;
        Report("hover moves from one button to another, both repainted", MedianMicros([&] {
                   TFlatSpeedButton* from = buttons[1 - next];
                   TFlatSpeedButton* to = buttons[next];
                   desktop.under = to;
                   to->MouseMove(0, 2, 2);
                   from->Repaint();
                   to->Repaint();
                   next = 1 - next;
               }, 1000),
               200);
    }
    SetFlatDesktop(nullptr);
    return 0;
}
