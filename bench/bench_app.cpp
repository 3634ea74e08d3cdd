// The trainer's main window on its two hot paths: a typed letter until its
// note-on reaches the MIDI device, and a full repaint of the window with all
// its controls.

#include "bench/BenchUtil.h"

#include "app/MainForm.h"
#include "midi/MidiOutTesting.h"
#include "platform/runtime/Clock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

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

// The same two paths in a bare Qt window of the main window's size: the
// key reaches its handler, and a repaint fills the window in one colour.
class TBareWindow : public QWidget {
public:
    explicit TBareWindow(std::chrono::steady_clock::time_point* arrived) : arrived_(arrived)
    {
        setFixedSize(657, 523);
    }

protected:
    void keyPressEvent(QKeyEvent*) override { *arrived_ = std::chrono::steady_clock::now(); }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0xD4, 0xD0, 0xC8)); }

private:
    std::chrono::steady_clock::time_point* arrived_;
};

// The median time from sending a typed "x" to the widget until `arrived`.
double KeyToArrival(QWidget& target, const std::chrono::steady_clock::time_point& arrived)
{
    const QString letter = QStringLiteral("x");
    std::vector<double> times;
    times.reserve(500);
    for (int i = 0; i < 510; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, letter);
        const auto t0 = std::chrono::steady_clock::now();
        QCoreApplication::sendEvent(&target, &press);
        if (i >= 10)
            times.push_back(std::chrono::duration<double, std::micro>(arrived - t0).count());
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, letter);
        QCoreApplication::sendEvent(&target, &release);
    }
    std::nth_element(times.begin(), times.begin() + long(times.size() / 2), times.end());
    return times[times.size() / 2];
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

    const double key = KeyToArrival(*form, arrived);
    Report("typed letter to its note-on at the device", key, 200);
    const double repaint = MedianMicros([&] {
        InvalidateAll(*form);
        form->repaint();
    }, 100);
    Report("full repaint of the main window", repaint, 4000);

    TBareWindow bare(&arrived);
    bare.show();
    app.ProcessMessages();
    const double bareKey = KeyToArrival(bare, arrived);
    const double bareRepaint = MedianMicros([&] { bare.repaint(); }, 100);
    std::printf("TABLE key event to note-on|ladoton|%.1f us\nTABLE key event to note-on|bare Qt window|%.1f us (to its handler)\n",
                key, bareKey);
    std::printf("TABLE full repaint|ladoton|%.2f ms\nTABLE full repaint|bare Qt window|%.2f ms\n", repaint / 1000,
                bareRepaint / 1000);
    return 0;
}
