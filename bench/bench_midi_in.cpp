// MIDI input latency: a note-on received on the trainer's JACK input port →
// the note-on handed to device 0, through the whole path (the port's thread,
// the event queue, the main window's key handler). Needs a JACK server:
//   bench/run_midi_in.sh build/release
// starts a private one with the dummy driver and runs this.

#include "app/MainForm.h"
#include "midi/MidiIn.h"
#include "midi/MidiOutTesting.h"

#include <RtMidi.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kNotes = 300;

struct Times {
    std::mutex mutex;
    std::vector<Clock::time_point> received, sent;
};
Times times;

// The system's ports, noting when each message arrives.
class TimedPorts : public IMidiPorts {
public:
    std::vector<std::string> InputPorts() override { return SystemMidiPorts().InputPorts(); }
    std::vector<std::string> HardwareInputPorts() override { return {}; }
    std::vector<std::string> OutputPorts() override { return {}; }
    std::unique_ptr<TMidiInputPort> OpenInput(const std::string& name, TMidiInputHandler handler,
                                              std::string& reason) override
    {
        return SystemMidiPorts().OpenInput(
            name,
            [handler](const unsigned char* b, std::size_t n) {
                {
                    std::lock_guard lock(times.mutex);
                    times.received.push_back(Clock::now());
                }
                handler(b, n);
            },
            reason);
    }
};

class TimedDevice : public TMidiDevice {
public:
    void Send(std::uint32_t) override
    {
        std::lock_guard lock(times.mutex);
        times.sent.push_back(Clock::now());
    }
};

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    TMessageBoxRecorder boxes;
    TimedPorts ports;
    SetMidiPorts(&ports);
    SetMidiOutFactory([] { return TMidiOutOpening{std::make_unique<TimedDevice>(), MMSYSERR_NOERROR}; });
    RtMidiOut keys(RtMidi::UNIX_JACK, "bench-keys");
    keys.openVirtualPort("out");
    qputenv("LADOTON_MIDI_IN", "port:bench-keys:out");
    QTemporaryDir dir;
    auto* form = app.CreateForm<TForm1>(dir.path() + QLatin1Char('/'));
    if (form->MidiInput()->ConnectedPorts().empty()) {
        std::fprintf(stderr, "bench_midi_in: no JACK server (start one, see bench/run_midi_in.sh)\n");
        return 1;
    }
    std::thread player([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (int i = 0; i < kNotes; ++i) {
            const unsigned char m[3] = {0x90, static_cast<unsigned char>(48 + i % 12), 0x7F};
            keys.sendMessage(m, 3);
            std::this_thread::sleep_for(std::chrono::milliseconds(7));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        QTimer::singleShot(0, qApp, [] { qApp->quit(); });
    });
    form->Show();
    qApp->exec();
    player.join();
    std::vector<double> us;
    {
        std::lock_guard lock(times.mutex);
        const std::size_t n = std::min(times.received.size(), times.sent.size());
        for (std::size_t i = 0; i < n; ++i)
            us.push_back(std::chrono::duration<double, std::micro>(times.sent[i] - times.received[i]).count());
        std::printf("notes sent %d, received %zu, handed to device 0 %zu\n", kNotes, times.received.size(),
                    times.sent.size());
    }
    if (us.empty())
        return 1;
    std::sort(us.begin(), us.end());
    std::printf("MIDI input note-on received -> device 0: median %.1f us, 90%% %.1f us, max %.1f us (limit 1000 us) %s\n",
                us[us.size() / 2], us[us.size() * 9 / 10], us.back(), us[us.size() / 2] <= 1000 ? "ok" : "OVER");
    return 0;
}
