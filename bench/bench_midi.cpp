// MIDI output figures: the cost of one midiOutShortMsg on the synthesizer,
// the time from a note-on call to its first sample in the wav: rendering,
// how long opening the synthesizer takes and how much memory it needs.
#include "bench/BenchUtil.h"

#include "midi/MidiOut.h"
#include "platform/midi/SynthEngine.h"
#include "platform/midi/WavDevice.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

double CpuMillis()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

long VoluntarySwitches()
{
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return u.ru_nvcsw;
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// The left channel of a WAV file the wav: device wrote (16-bit stereo).
std::vector<int> LeftChannel(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int> left;
    for (std::size_t at = 44; at + 4 <= b.size(); at += 4)
        left.push_back(std::int16_t(std::uint16_t(std::uint8_t(b[at])) | std::uint16_t(std::uint8_t(b[at + 1])) << 8));
    return left;
}

struct Latency {
    double firstSample;  // ms from the call to the first non-zero sample
    double minus60dB;    // ... to the first sample at -60 dBFS or louder
};

// One note-on sent to a fresh real-time wav: device at a random moment of
// its period; where the note begins in the file, against when it was sent.
Latency MeasureLatency(const std::string& soundFont, const std::string& path, std::mt19937& random)
{
    TMidiOpening opening = OpenWavDevice(path, soundFont, wpRealTime);
    if (opening.status != mosOpened) {
        std::fprintf(stderr, "wav: device: %s\n", opening.reason.c_str());
        std::exit(1);
    }
    auto* device = static_cast<TWavDevice*>(opening.device.get());
    const Clock::time_point start = device->StartTime();
    std::this_thread::sleep_for(std::chrono::microseconds(30000 + random() % 20000));
    const Clock::time_point sent = Clock::now();
    device->Send(PackShortMessage(0x90, 60, 127));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    opening.device.reset();

    const std::vector<int> left = LeftChannel(path);
    const double sentMs = Millis(sent - start);
    auto firstAt = [&](int level) {
        for (std::size_t i = 0; i < left.size(); ++i)
            if (std::abs(left[i]) >= level)
                return 1000.0 * double(i) / TSynthEngine::kSampleRate - sentMs;
        return std::nan("");
    };
    return {firstAt(1), firstAt(33)};
}

}  // namespace

int main()
{
    const TSoundFontChoice soundFont = ChooseSoundFont();
    if (soundFont.path.empty()) {
        std::fprintf(stderr, "%s\n", soundFont.error.c_str());
        return 1;
    }
    std::printf("SoundFont %s; %d Hz, audio period %d frames x %d periods (%.1f ms)\n", soundFont.path.c_str(),
                TSynthEngine::kSampleRate, TSynthEngine::kPeriodFrames, TSynthEngine::kPeriods,
                1000.0 * TSynthEngine::kPeriodFrames * TSynthEngine::kPeriods / TSynthEngine::kSampleRate);
    char dirTemplate[] = "/tmp/bench_midi-XXXXXX";
    const std::string dir = ::mkdtemp(dirTemplate);
    const std::string wavPath = dir + "/bench.wav";

    // Device 0 as the program opens it: the synthesizer on the audio output,
    // or, on a machine without one, the same synthesizer rendering to a file.
    const long rssBefore = StatusKiB("VmRSS:");
    ::unsetenv("LADOTON_MIDI_OUT");
    std::string device = "synthesizer on the audio output";
    HMIDIOUT out = nullptr;
    Clock::time_point t0 = Clock::now();
    double cpu0 = CpuMillis();
    MMRESULT result = midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL);
    Clock::time_point t1 = Clock::now();
    std::printf("%-60s %10.1f ms  (limit 100 ms) %s; processor time %.1f ms\n",
                result == MMSYSERR_NOERROR ? "first open of device 0 (cold), synthesizer on the audio output"
                                           : "first open of device 0 (cold), failing for want of audio output",
                Millis(t1 - t0), Millis(t1 - t0) <= 100 ? "ok" : "OVER", CpuMillis() - cpu0);
    if (result != MMSYSERR_NOERROR) {
        std::printf("(no audio output on this machine: device 0 is the wav: device from here on)\n");
        device = "synthesizer on the wav: device";
        ::setenv("LADOTON_MIDI_OUT", ("wav:" + wavPath).c_str(), 1);
        t0 = Clock::now();
        cpu0 = CpuMillis();
        result = midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL);
        t1 = Clock::now();
        if (result != MMSYSERR_NOERROR)
            return 1;
        std::printf("%-60s %10.1f ms  (limit 100 ms) %s; processor time %.1f ms\n",
                    "open of device 0, synthesizer on the wav: device", Millis(t1 - t0),
                    Millis(t1 - t0) <= 100 ? "ok" : "OVER", CpuMillis() - cpu0);
    }
    midiOutShortMsg(out, PackShortMessage(0x90, 60, 127));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rssAfter = StatusKiB("VmRSS:");
    std::printf("%-60s %10ld KiB (before opening %ld KiB, +%ld KiB)\n", "resident memory after one note", rssAfter,
                rssBefore, rssAfter - rssBefore);

    // Each call sends the next note of a rising scale, as a player would.
    // A call that waited on a lock shows as a voluntary context switch; one
    // that was merely preempted by another process does not.
    int note = 36;
    std::vector<double> sends;
    int waited = 0;
    auto send = [&] {
        const long switches = VoluntarySwitches();
        const Clock::time_point a = Clock::now();
        midiOutShortMsg(out, PackShortMessage(0x90, note, 127));
        sends.push_back(std::chrono::duration<double, std::micro>(Clock::now() - a).count());
        waited += VoluntarySwitches() != switches;
        note = note == 107 ? 36 : note + 1;
    };
    Report(("midiOutShortMsg, " + device).c_str(), MedianMicros(send, 2000), 20);
    std::printf("%-60s 99th percentile %.1f us, slowest %.1f us, %d of %zu calls waited\n", "",
                Percentile(sends, 0.99), *std::max_element(sends.begin(), sends.end()), waited, sends.size());
    midiOutClose(out);

    std::string reason;
    std::unique_ptr<TSynthEngine> quiet = TSynthEngine::Create(soundFont.path, reason);
    note = 36;
    sends.clear();
    Report("midiOutShortMsg path without audio (engine Send only)", MedianMicros([&] {
               quiet->Send(PackShortMessage(0x90, note, 127));
               note = note == 107 ? 36 : note + 1;
           }, 2000),
           20);
    quiet.reset();

    // Wall time suffers when other processes share the processor; the
    // process's processor time does not.
    std::vector<double> opens, cpu;
    for (int i = 0; i < 15; ++i) {
        const Clock::time_point a = Clock::now();
        const double c = CpuMillis();
        std::unique_ptr<TSynthEngine> engine = TSynthEngine::Create(soundFont.path, reason);
        cpu.push_back(CpuMillis() - c);
        opens.push_back(Millis(Clock::now() - a));
    }
    std::printf("%-60s median %7.1f ms  (limit 100 ms) %s; processor time %.1f ms\n",
                "opening the synthesizer again (library started)", Percentile(opens, 0.5),
                Percentile(opens, 0.5) <= 100 ? "ok" : "OVER", Percentile(cpu, 0.5));

    std::mt19937 random(12345);
    std::vector<double> first, audible;
    for (int i = 0; i < 25; ++i) {
        const Latency l = MeasureLatency(soundFont.path, wavPath, random);
        first.push_back(l.firstSample);
        audible.push_back(l.minus60dB);
    }
    std::printf("%-60s median %7.2f ms, min %.2f, max %.2f  (limit 12 ms) %s\n",
                "note-on call to first sample in the wav: rendering", Percentile(first, 0.5),
                Percentile(first, 0.0), Percentile(first, 1.0), Percentile(first, 0.5) <= 12 ? "ok" : "OVER");
    std::printf("%-60s median %7.2f ms, min %.2f, max %.2f\n", "note-on call to first sample at -60 dBFS",
                Percentile(audible, 0.5), Percentile(audible, 0.0), Percentile(audible, 1.0));
    std::printf("TABLE note-on to first sample (wav:)|ladoton|%.2f ms\n", Percentile(first, 0.5));
    std::remove(wavPath.c_str());
    ::rmdir(dir.c_str());
    return 0;
}
