// Start-up of the built program: from the moment the process is started to
// the moment its main window is mapped on the X display, and the resident
// memory once it has settled. Runs the program several times and prints the
// medians. Needs an X display (bench/run_startup.sh brings up a private one).
//
//   bench_startup PROGRAM [RUNS]
//
// Device 0 is the built-in synthesizer; where there is no sound card it
// renders into a WAV file (LADOTON_MIDI_OUT=wav:...), so the synthesizer and
// its SoundFont are loaded either way. A LADOTON_MIDI_OUT already set wins.
// If the framework's probe program lies beside PROGRAM, a bare window of the
// framework is measured too, for comparison.
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct TRun {
    double mapMs = 0;
    long rssKb = 0;
};

long ResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Waits for a top-level window of the given size to be mapped. The windows
// are borderless and there is no window manager, so the program's top-level
// windows are children of the root and their mapping is reported there.
bool WaitForMap(xcb_connection_t* c, int width, int height, pid_t pid, Clock::time_point limit)
{
    while (Clock::now() < limit) {
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        bool found = false;
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
            xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, m->window), nullptr);
            found = g && g->width == width && g->height == height;
            std::free(g);
        }
        std::free(e);
        if (found)
            return true;
    }
    return false;
}

std::optional<TRun> RunOnce(xcb_connection_t* c, const std::string& program, const std::vector<std::string>& args,
                            int width, int height)
{
    // Drain events left from the previous run.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c))
        std::free(e);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const auto start = Clock::now();
    const int err = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(err));
        return std::nullopt;
    }
    TRun run;
    const bool mapped = WaitForMap(c, width, height, pid, start + std::chrono::seconds(30));
    run.mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (mapped) {
        // Resident memory once the start-up work is over.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        run.rssKb = ResidentKb(pid);
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!mapped) {
        std::fprintf(stderr, "%s: no %dx%d window was mapped\n", program.c_str(), width, height);
        return std::nullopt;
    }
    return run;
}

template <class T>
T Median(std::vector<T> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// With a table column the figures are also printed as "TABLE metric|column|value" lines.
bool Measure(xcb_connection_t* c, const char* what, const std::string& program, const std::vector<std::string>& args,
             int width, int height, int runs, double limitMs, double limitMb, const char* table = nullptr)
{
    std::vector<double> ms;
    std::vector<long> kb;
    RunOnce(c, program, args, width, height);  // warm the file cache
    for (int i = 0; i < runs; ++i) {
        const std::optional<TRun> r = RunOnce(c, program, args, width, height);
        if (!r)
            return false;
        ms.push_back(r->mapMs);
        kb.push_back(r->rssKb);
    }
    const double mapMs = Median(ms);
    const double rssMb = double(Median(kb)) / 1024.0;
    std::printf("%-44s start to mapped: median %6.1f ms (min %6.1f, max %6.1f, %d runs)", what, mapMs,
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), runs);
    if (limitMs > 0)
        std::printf("  limit %.0f ms %s", limitMs, mapMs <= limitMs ? "ok" : "OVER");
    std::printf("\n%-44s resident after start-up: median %5.1f MB", "", rssMb);
    if (limitMb > 0)
        std::printf("  limit %.0f MB %s", limitMb, rssMb <= limitMb ? "ok" : "OVER");
    std::printf("\n");
    if (table)
        std::printf("TABLE start-up|%s|%.1f ms\nTABLE memory|%s|%.1f MB\n", table, mapMs, table, rssMb);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::string wav;
    if (!std::getenv("LADOTON_MIDI_OUT")) {
        const bool soundCard = access("/dev/snd/controlC0", F_OK) == 0;
        if (!soundCard) {
            wav = "/tmp/bench_startup_" + std::to_string(getpid()) + ".wav";
            setenv("LADOTON_MIDI_OUT", ("wav:" + wav).c_str(), 1);
        }
    }
    std::printf("device 0: %s\n", std::getenv("LADOTON_MIDI_OUT") ? std::getenv("LADOTON_MIDI_OUT") : "synth");

    bool ok = Measure(c, "ladoton (main window 657x523)", program, {}, 657, 523, runs, 100, 45, "ladoton");
    const std::string probe = program.substr(0, program.find_last_of('/') + 1) + "e2e-probe";
    const std::string self = argv[0];
    const std::string bare = self.substr(0, self.find_last_of('/') + 1) + "bench_bare_window";
    struct stat st {};
    if (ok && stat(bare.c_str(), &st) == 0)
        ok = Measure(c, "bare Qt window (657x523)", bare, {}, 657, 523, runs, 0, 0, "bare Qt window");
    if (ok && stat(probe.c_str(), &st) == 0)
        ok = Measure(c, "bare framework window (e2e-probe 300x200)", probe, {"/dev/null"}, 300, 200, runs, 0, 0);
    if (!wav.empty())
        std::remove(wav.c_str());
    xcb_disconnect(c);
    return ok ? 0 : 1;
}
