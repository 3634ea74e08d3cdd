// The trainer's main window on its two hot paths: a typed letter until its
// note-on reaches the MIDI device, and a full repaint of the window with all
// its controls.

#include "bench/BenchUtil.h"

#include "app/MainForm.h"
#include "midi/MidiOutTesting.h"
#include "platform/runtime/Clock.h"

#include <QApplication>
#include <QKeyEvent>

#include <chrono>

namespace {

// Notes when the message arrives, so the figure ends where the device
// takes over.
class TimingDevice : public TMidiDevice {
public:
    explicit TimingDevice(std::chrono::steady_clock::time_point* arrived) : arrived_(arrived) {}
    void Send(std::uint32_t) override { *arrived_ = std::chrono::steady_clock::now(); }

private:
    std::chrono::steady_clock::time_point* arrived_;
};

void InvalidateAll(TControl& c)
{
    c.Invalidate();
    for (QObject* o : c.children())
        if (auto* child = dynamic_cast<TControl*>(o))
            InvalidateAll(*child);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    TMessageBoxRecorder boxes;  // a missing note.txt must not stop the run

    std::chrono::steady_clock::time_point arrived;
    SetMidiOutFactory([&arrived] {
        TMidiOutOpening o;
        o.device = std::make_unique<TimingDevice>(&arrived);
        return o;
    });
    TForm1* form = app.CreateForm<TForm1>();
    form->Show();
    app.ProcessMessages();

    const QString letter = QStringLiteral("x");
    std::vector<double> keyTimes;
    keyTimes.reserve(500);
    for (int i = 0; i < 510; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, letter);
        const auto t0 = std::chrono::steady_clock::now();
        QCoreApplication::sendEvent(form, &press);
        if (i >= 10)
            keyTimes.push_back(std::chrono::duration<double, std::micro>(arrived - t0).count());
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, letter);
        QCoreApplication::sendEvent(form, &release);
    }
    std::nth_element(keyTimes.begin(), keyTimes.begin() + long(keyTimes.size() / 2), keyTimes.end());
    Report("typed letter to its note-on at the device", keyTimes[keyTimes.size() / 2], 200);

    Report("full repaint of the main window", MedianMicros([&] {
               InvalidateAll(*form);
               form->repaint();
           }, 100),
           4000);
    return 0;
}
