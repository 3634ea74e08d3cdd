// The soak driver: random pointer and key events for the running trainer, on
// a private X server, through the XTest extension.
//
//   soak-driver --pid PID --midi LOG --events N [--seed S] [--rss-every K]
//               [--trace FILE]
//
// Every event is aimed at one of the program's windows (mostly the top one,
// which is the one that takes input while a modal window is up) at its
// controls or at a random point; the "X" button is never hit, and neither is
// the settings menu (choosing another MIDI output there would take the notes
// away from the log this test reads): it is only closed with Escape. Each
// window above the main one is answered sooner or later. After every action
// the driver waits until the program has handled all of its input (see
// Sync), so events never pile up unread and every choice is made on the
// windows as they really stand.
//
// At the end it closes every window above the main one, then types "z" and
// "m" into the main window and checks that ДО and СИ of one octave follow
// each other in the MIDI log: the program is not stuck in a modal loop.
//
// Standard output, one fact a line:
//   seed S
//   rss EVENTS KB             resident memory after every K events
//   opened KIND N / closed KIND N   windows above the main one
//   final-notes NOTE NOTE      the notes of the closing check
//   events N
// A failure prints "FAIL: ..." to standard error and exits with 1.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "FAIL: %s\n", why.c_str());
    std::exit(1);
}

// --- Layout of the trainer's windows (client coordinates) --------------------

struct Rect {
    int x, y, w, h;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

constexpr int kMainW = 657, kMainH = 523;
constexpr int kDialogW = 323, kDialogH = 118;
constexpr int kAboutW = 203, kAboutH = 312;
// The settings menu a right click on the main window's surface opens.
constexpr int kSettingsW = 120, kSettingsH = 75;

// "X" with a margin: never pressed.
constexpr Rect kQuit{612, 4, 33, 33};
constexpr Rect kStart{216, 8, 129, 25};
constexpr Rect kHelp{584, 8, 25, 25};
constexpr Rect kCombo{16, 8, 191, 23};
constexpr Rect kMemo{8, 48, 641, 105};
constexpr Rect kOctaveDown{8, 208, 137, 33};
constexpr Rect kOctaveUp{496, 208, 137, 33};
// The spin edits: the note count (arrows only) and the pause (typed too).
constexpr Rect kCount{235, 167, 43, 20};
constexpr Rect kPause{63, 167, 56, 20};
constexpr int kSpinArrowsWidth = 22;
// The blue surface between the settings and the octave arrows: the window
// is dragged by it.
constexpr Rect kSurfaceBand{20, 195, 620, 11};
// Left-top corners of the keys' 75 x 150 diamonds, in semitone order.
constexpr std::array<std::array<int, 2>, 12> kKeys{{{24, 340},
                                                    {67, 240},
                                                    {112, 340},
                                                    {155, 240},
                                                    {200, 340},
                                                    {288, 340},
                                                    {332, 240},
                                                    {376, 340},
                                                    {420, 240},
                                                    {464, 340},
                                                    {506, 240},
                                                    {552, 340}}};

constexpr Rect kReplay{24, 88, 273, 25};
constexpr Rect AnswerButton(int i) { return {24 + 72 * i, 32, 57, 25}; }
constexpr Rect kAboutOk{64, 272, 75, 25};

// --- The program's windows ----------------------------------------------------

// Settings: the settings menu and the lists it opens.
enum class Kind { Main, Dialog, About, Popup, Settings, Box };

const char* KindName(Kind k)
{
    switch (k) {
    case Kind::Main: return "main";
    case Kind::Dialog: return "dialog";
    case Kind::About: return "about";
    case Kind::Popup: return "popup";
    case Kind::Settings: return "settings";
    case Kind::Box: return "box";
    }
    return "?";
}

struct Win {
    Window id = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool popup = false;
    Kind kind = Kind::Box;
};

int IgnoreXErrors(Display*, XErrorEvent*)
{
    // Windows come and go while the driver looks at them.
    return 0;
}

struct Options {
    pid_t pid = 0;
    std::string midi;
    long events = 1000;
    unsigned seed = 0;
    long rssEvery = 1000;
    std::string trace;
};

class Driver {
public:
    explicit Driver(const Options& o) : opt_(o), rng_(o.seed)
    {
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_)
            Fail("cannot open the display");
        XSetErrorHandler(IgnoreXErrors);
        int ev, err, major, minor;
        if (!XTestQueryExtension(dpy_, &ev, &err, &major, &minor))
            Fail("the X server has no XTest extension");
        root_ = DefaultRootWindow(dpy_);
        screenW_ = DisplayWidth(dpy_, DefaultScreen(dpy_));
        screenH_ = DisplayHeight(dpy_, DefaultScreen(dpy_));
        // Ping replies come to the root window.
        XSelectInput(dpy_, root_, SubstructureNotifyMask | StructureNotifyMask);
        wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        wmPing_ = XInternAtom(dpy_, "_NET_WM_PING", False);
        wmPid_ = XInternAtom(dpy_, "_NET_WM_PID", False);
        userTime_ = XInternAtom(dpy_, "_NET_WM_USER_TIME", False);
        stamp_ = XInternAtom(dpy_, "LADOTON_SOAK_STAMP", False);
        // A window of the driver's own, never mapped: a property change on
        // it comes back stamped with the server's time.
        self_ = XCreateSimpleWindow(dpy_, root_, 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(dpy_, self_, PropertyChangeMask);
        if (!opt_.trace.empty())
            trace_ = std::fopen(opt_.trace.c_str(), "w");
        MapCyrillicKeys();
    }

    ~Driver()
    {
        if (trace_)
            std::fclose(trace_);
        XCloseDisplay(dpy_);
    }

    void Run()
    {
        std::printf("seed %u\n", opt_.seed);
        std::fflush(stdout);
        FindMainWindow();
        home_ = {main_.x, main_.y};
        // A short pause first, so the exercises do not keep the program
        // asleep for most of the run.
        ResetPause();
        for (long n = 1; n <= opt_.events; ++n) {
            Step();
            if (n % 250 == 0 && TopOf(Snapshot()).kind == Kind::Main)
                ResetPause();
            if (n % opt_.rssEvery == 0) {
                std::printf("rss %ld %ld\n", n, ResidentKb());
                std::fflush(stdout);
            }
        }
        std::printf("events %ld\n", opt_.events);
        FinalCheck();
        for (const auto& [kind, n] : opened_)
            std::printf("opened %s %d\n", KindName(kind), n);
        for (const auto& [kind, n] : closed_)
            std::printf("closed %s %d\n", KindName(kind), n);
        std::fflush(stdout);
    }

private:
    // --- Random choices ----------------------------------------------------------

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[std::size_t(Uniform(0, int(v.size()) - 1))]; }

    // Picks one of the weighted actions and runs it.
    void Choose(const std::vector<std::pair<double, std::function<void()>>>& actions)
    {
        double total = 0;
        for (const auto& a : actions)
            total += a.first;
        double r = std::uniform_real_distribution<double>(0, total)(rng_);
        for (const auto& a : actions) {
            if (r < a.first) {
                a.second();
                return;
            }
            r -= a.first;
        }
        actions.back().second();
    }

    void Trace(const char* fmt, ...) __attribute__((format(printf, 2, 3)))
    {
        if (!trace_)
            return;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_).count();
        std::fprintf(trace_, "%ld.%03ld ", long(ms / 1000), long(ms % 1000));
        va_list ap;
        va_start(ap, fmt);
        std::vfprintf(trace_, fmt, ap);
        va_end(ap);
        std::fputc('\n', trace_);
        std::fflush(trace_);
    }

    // --- The program ---------------------------------------------------------------

    bool Alive() const
    {
        if (kill(opt_.pid, 0) != 0)
            return false;
        // A crashed child of the calling shell stays a zombie until reaped.
        std::ifstream stat("/proc/" + std::to_string(opt_.pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto paren = line.rfind(')');
        return paren != std::string::npos && paren + 2 < line.size() && line[paren + 2] != 'Z';
    }

    void RequireAlive() const
    {
        if (!Alive())
            Fail("the program has ended");
    }

    long ResidentKb() const
    {
        std::ifstream status("/proc/" + std::to_string(opt_.pid) + "/status");
        std::string key;
        while (status >> key) {
            if (key == "VmRSS:") {
                long kb = 0;
                status >> kb;
                return kb;
            }
            status.ignore(1 << 16, '\n');
        }
        Fail("no VmRSS for the program");
    }

    // Lines in the MIDI log so far (each is 9 bytes: 8 hex digits and a newline).
    long MidiLines() const
    {
        struct stat st {};
        return ::stat(opt_.midi.c_str(), &st) == 0 ? long(st.st_size / 9) : 0;
    }

    // The note of line `index` (0-based) of the MIDI log, or -1.
    int NoteAt(long index) const
    {
        std::ifstream f(opt_.midi, std::ios::binary);
        f.seekg(index * 9);
        char line[9] = {};
        if (!f.read(line, 8))
            return -1;
        return int(std::strtol(std::string(line + 4, 2).c_str(), nullptr, 16));
    }

    // A window's 32-bit CARDINAL property, or 0 when it has none.
    unsigned long Cardinal(Window w, Atom property)
    {
        Atom type;
        int format;
        unsigned long count, after, value = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, w, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
                Success &&
            data && count == 1 && format == 32)
            value = *reinterpret_cast<unsigned long*>(data);
        if (data)
            XFree(data);
        return value;
    }

    pid_t PidOf(Window w) { return pid_t(Cardinal(w, wmPid_)); }

    // The program's mapped windows, bottom to top.
    std::vector<Win> Snapshot()
    {
        std::vector<Win> out;
        for (const Window id : ProgramWindows()) {
            XWindowAttributes a{};
            if (!XGetWindowAttributes(dpy_, id, &a) || a.map_state != IsViewable)
                continue;
            Win w{id, a.x, a.y, a.width, a.height, a.override_redirect != 0};
            w.kind = w.id == main_.id                                 ? Kind::Main
                     : w.popup                                        ? Kind::Popup
                     : (w.w == kDialogW && w.h == kDialogH) ? Kind::Dialog
                     : (w.w == kAboutW && w.h == kAboutH)   ? Kind::About
                                                                      : Kind::Box;
            // The settings menu, and every list above it is one it opened.
            if (w.popup && ((w.w == kSettingsW && w.h == kSettingsH) ||
                            (!out.empty() && out.back().kind == Kind::Settings)))
                w.kind = Kind::Settings;
            if (w.kind == Kind::Main)
                main_ = w;
            out.push_back(w);
        }
        settings_.clear();
        for (const Win& w : out)
            if (w.kind == Kind::Settings)
                settings_.push_back({w.x, w.y, w.w, w.h});
        Count(out);
        TraceStack(out);
        return out;
    }

    // Counts the windows above the main one as they open and close.
    void Count(const std::vector<Win>& now)
    {
        std::map<Window, Kind> shown;
        for (const Win& w : now)
            if (w.kind != Kind::Main)
                shown[w.id] = w.kind;
        for (const auto& [id, kind] : shown)
            if (!shown_.count(id))
                ++opened_[kind];
        for (const auto& [id, kind] : shown_)
            if (!shown.count(id))
                ++closed_[kind];
        shown_ = std::move(shown);
    }

    // Writes the program's windows, bottom to top, to the trace whenever
    // they change: where each one stood when an action went wrong.
    void TraceStack(const std::vector<Win>& wins)
    {
        std::string line;
        for (const Win& w : wins)
            line += std::string(line.empty() ? "" : " ") + KindName(w.kind) + "@" + std::to_string(w.x) + "," +
                    std::to_string(w.y) + "+" + std::to_string(w.w) + "x" + std::to_string(w.h);
        if (line == tracedStack_)
            return;
        tracedStack_ = line;
        Trace("windows %s (midi %ld)", line.c_str(), MidiLines());
    }

    Win TopOf(const std::vector<Win>& wins) const
    {
        if (wins.empty())
            Fail("the program shows no window");
        return wins.back();
    }

    void FindMainWindow()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (Clock::now() < deadline) {
            RequireAlive();
            for (const Win& w : Snapshot())
                if (w.w == kMainW && w.h == kMainH && !w.popup) {
                    main_ = w;
                    main_.kind = Kind::Main;
                    Sync();
                    return;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Fail("the main window did not appear");
    }

    // Waits until the program has handled every event sent before.
    //
    // A ping alone does not tell: while a playback sleeps between its notes
    // the program answers pings but holds the user's input back, to handle
    // it after the sleep. So the driver sends a key press of its own to the
    // main window, stamped with a server time later than every input sent
    // so far, and waits until the program has taken it: the program stamps
    // the window that has its focus with the time of each key press as it
    // handles it (_NET_WM_USER_TIME), and it handles input in the order it
    // came. The key has no symbol, so no control reacts to it. When one of
    // the program's windows goes away meanwhile, the stamp may have gone
    // with it: another key, later still, tells then. Then the pings make
    // sure that what the input started has run.
    void Sync()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        for (;;) {
            const Time probe = SendProbe();
            std::vector<Window> before = ProgramWindows();
            std::sort(before.begin(), before.end());
            for (;;) {
                if (LatestUserTime() >= probe) {
                    Ping();
                    return;
                }
                RequireAlive();
                if (Clock::now() > deadline)
                    Fail("the program has not handled its input for 120 s");
                std::vector<Window> now = ProgramWindows();
                std::sort(now.begin(), now.end());
                if (!std::includes(now.begin(), now.end(), before.begin(), before.end()))
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }

    // Sends Sync's key to the main window; returns its time.
    Time SendProbe()
    {
        const Time sent = ServerTime();
        Time probe = ServerTime();
        // The clock moves on within a millisecond.
        while (probe == sent)
            probe = ServerTime();
        for (const int type : {KeyPress, KeyRelease}) {
            XEvent e{};
            e.xkey.type = type;
            e.xkey.window = main_.id;
            e.xkey.root = root_;
            e.xkey.subwindow = None;
            e.xkey.time = probe;
            e.xkey.x = e.xkey.y = e.xkey.x_root = e.xkey.y_root = 1;
            e.xkey.keycode = probeKey_;
            e.xkey.same_screen = True;
            XSendEvent(dpy_, main_.id, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XFlush(dpy_);
        return probe;
    }

    // The program's top-level windows, shown or not, bottom to top.
    std::vector<Window> ProgramWindows()
    {
        std::vector<Window> out;
        Window r, p, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy_, root_, &r, &p, &children, &n))
            return out;
        for (unsigned i = 0; i < n; ++i) {
            auto known = pids_.find(children[i]);
            const pid_t pid = known != pids_.end() ? known->second : (pids_[children[i]] = PidOf(children[i]));
            if (pid == opt_.pid)
                out.push_back(children[i]);
        }
        if (children)
            XFree(children);
        return out;
    }

    // The latest user time the program has stamped on any of its windows.
    Time LatestUserTime()
    {
        Time latest = 0;
        for (const Window w : ProgramWindows())
            latest = std::max(latest, Time(Cardinal(w, userTime_)));
        return latest;
    }

    // The server's time now.
    Time ServerTime()
    {
        XChangeProperty(dpy_, self_, stamp_, XA_CARDINAL, 32, PropModeReplace, nullptr, 0);
        XFlush(dpy_);
        for (;;) {
            XEvent e;
            XNextEvent(dpy_, &e);
            if (e.type == PropertyNotify && e.xproperty.window == self_ && e.xproperty.atom == stamp_)
                return e.xproperty.time;
        }
    }

    // Two round trips: the program answers a ping as it reads it, and hands
    // the input read in the same pass to its windows right after the pass.
    void Ping()
    {
        PingOnce();
        PingOnce();
    }

    void PingOnce()
    {
        ++pingSerial_;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = main_.id;
        e.xclient.message_type = wmProtocols_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(wmPing_);
        e.xclient.data.l[1] = pingSerial_;
        e.xclient.data.l[2] = long(main_.id);
        XSendEvent(dpy_, main_.id, False, NoEventMask, &e);
        XFlush(dpy_);
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        for (;;) {
            while (XPending(dpy_)) {
                XEvent r;
                XNextEvent(dpy_, &r);
                if (r.type == ClientMessage && r.xclient.message_type == wmProtocols_ &&
                    Atom(r.xclient.data.l[0]) == wmPing_ && r.xclient.data.l[1] == pingSerial_)
                    return;
            }
            RequireAlive();
            if (Clock::now() > deadline)
                Fail("the program has not answered for 120 s");
            pollfd pfd{ConnectionNumber(dpy_), POLLIN, 0};
            poll(&pfd, 1, 50);
        }
    }

    // --- Input -----------------------------------------------------------------------

    bool Forbidden(int x, int y) const
    {
        return kQuit.Contains(x - main_.x, y - main_.y) ||
               std::any_of(settings_.begin(), settings_.end(), [&](const Rect& r) { return r.Contains(x, y); });
    }

    void MoveTo(int x, int y)
    {
        XTestFakeMotionEvent(dpy_, -1, std::clamp(x, 0, screenW_ - 1), std::clamp(y, 0, screenH_ - 1), 0);
    }

    // A click (or a double click) at a screen point; the "X" is never hit.
    void Click(int x, int y, unsigned button = 1, int count = 1)
    {
        if (Forbidden(x, y)) {
            Trace("skip click %d,%d (the X or the settings menu)", x, y);
            return;
        }
        Trace("click %d,%d button %u x%d", x, y, button, count);
        MoveTo(x, y);
        for (int i = 0; i < count; ++i) {
            XTestFakeButtonEvent(dpy_, button, True, 0);
            XTestFakeButtonEvent(dpy_, button, False, 0);
        }
        XFlush(dpy_);
    }

    void ClickIn(const Win& w, const Rect& r, unsigned button = 1, int count = 1)
    {
        Click(w.x + Uniform(r.x + 2, r.x + r.w - 3), w.y + Uniform(r.y + 2, r.y + r.h - 3), button, count);
    }

    // The keys the driver types: each with the keycode it sits on and the
    // modifiers that bring it out.
    struct Stroke {
        KeySym sym;
        unsigned mods = 0;
    };

    // Gives Cyrillic letters keycodes of their own (the server's keyboard is
    // Latin only): lower case on the first level, capitals with Shift.
    void MapCyrillicKeys()
    {
        static const std::array<std::array<KeySym, 2>, 17> letters{{
            {XK_Cyrillic_ya, XK_Cyrillic_YA},       {XK_Cyrillic_yeru, XK_Cyrillic_YERU},
            {XK_Cyrillic_che, XK_Cyrillic_CHE},     {XK_Cyrillic_ve, XK_Cyrillic_VE},
            {XK_Cyrillic_es, XK_Cyrillic_ES},       {XK_Cyrillic_em, XK_Cyrillic_EM},
            {XK_Cyrillic_pe, XK_Cyrillic_PE},       {XK_Cyrillic_i, XK_Cyrillic_I},
            {XK_Cyrillic_er, XK_Cyrillic_ER},       {XK_Cyrillic_te, XK_Cyrillic_TE},
            {XK_Cyrillic_o, XK_Cyrillic_O},         {XK_Cyrillic_softsign, XK_Cyrillic_SOFTSIGN},
            {XK_Cyrillic_a, XK_Cyrillic_A},         {XK_Cyrillic_el, XK_Cyrillic_EL},
            {XK_Cyrillic_de, XK_Cyrillic_DE},       {XK_Cyrillic_ef, XK_Cyrillic_EF},
            {XK_Cyrillic_shorti, XK_Cyrillic_SHORTI},
        }};
        int lo = 0, hi = 0, per = 0;
        XDisplayKeycodes(dpy_, &lo, &hi);
        KeySym* map = XGetKeyboardMapping(dpy_, KeyCode(lo), hi - lo + 1, &per);
        std::size_t next = 0;
        for (int kc = hi; kc >= lo && next < letters.size(); --kc) {
            const KeySym* row = map + (kc - lo) * per;
            if (std::any_of(row, row + per, [](KeySym s) { return s != NoSymbol; }))
                continue;
            // The first free keycode stays free: Sync's key.
            if (!probeKey_) {
                probeKey_ = KeyCode(kc);
                continue;
            }
            std::vector<KeySym> syms(std::size_t(per), NoSymbol);
            syms[0] = letters[next][0];
            if (per > 1)
                syms[1] = letters[next][1];
            XChangeKeyboardMapping(dpy_, kc, per, syms.data(), 1);
            cyrillic_.push_back(letters[next][0]);
            cyrillic_.push_back(letters[next][1]);
            ++next;
        }
        XFree(map);
        XSync(dpy_, False);
        if (!probeKey_)
            Fail("the server's keyboard has no free keycode");
    }

    KeyCode Modifier(KeySym s) { return XKeysymToKeycode(dpy_, s); }

    void Key(const Stroke& s)
    {
        const KeyCode kc = XKeysymToKeycode(dpy_, s.sym);
        if (!kc) {
            Trace("no keycode for %s", XKeysymToString(s.sym));
            return;
        }
        unsigned mods = s.mods;
        if (XkbKeycodeToKeysym(dpy_, kc, 0, 0) != s.sym && XkbKeycodeToKeysym(dpy_, kc, 0, 1) == s.sym)
            mods |= ShiftMask;
        Trace("key %s%s%s%s", (mods & ControlMask) ? "ctrl+" : "", (mods & Mod1Mask) ? "alt+" : "",
              (mods & ShiftMask) ? "shift+" : "", XKeysymToString(s.sym));
        const std::array<std::pair<unsigned, KeySym>, 3> modifiers{
            {{ControlMask, XK_Control_L}, {Mod1Mask, XK_Alt_L}, {ShiftMask, XK_Shift_L}}};
        for (const auto& [mask, sym] : modifiers)
            if (mods & mask)
                XTestFakeKeyEvent(dpy_, Modifier(sym), True, 0);
        XTestFakeKeyEvent(dpy_, kc, True, 0);
        XTestFakeKeyEvent(dpy_, kc, False, 0);
        for (const auto& [mask, sym] : modifiers)
            if (mods & mask)
                XTestFakeKeyEvent(dpy_, Modifier(sym), False, 0);
        XFlush(dpy_);
    }

    // Keys go to the window with the input focus; there is no window manager
    // to give it on a click.
    void Focus(const Win& w)
    {
        XSetInputFocus(dpy_, w.id, RevertToPointerRoot, CurrentTime);
    }

    void Type(const Win& w, const Stroke& s)
    {
        Focus(w);
        Key(s);
    }

    Stroke RandomStroke()
    {
        static const std::vector<KeySym> notes{XK_z, XK_s, XK_x, XK_d, XK_c, XK_v, XK_g, XK_b, XK_h, XK_n, XK_j, XK_m};
        static const std::vector<KeySym> others{XK_a, XK_f, XK_k, XK_l, XK_q, XK_w, XK_e, XK_r, XK_t, XK_y, XK_u,
                                                XK_i, XK_o, XK_p, XK_minus, XK_plus, XK_comma, XK_period};
        static const std::vector<KeySym> special{XK_Return, XK_KP_Enter, XK_space,  XK_Tab,  XK_ISO_Left_Tab,
                                                 XK_Escape, XK_Up,       XK_Down,   XK_Left, XK_Right,
                                                 XK_Prior,  XK_Next,     XK_Home,   XK_End,  XK_BackSpace,
                                                 XK_Delete, XK_F1,       XK_F4,     XK_Menu, XK_Insert};
        static const std::vector<KeySym> shortcuts{XK_a, XK_c, XK_x, XK_z, XK_Down, XK_Up};
        Stroke s;
        Choose({
            {45, [&] { s = {Pick(notes), Chance(0.2) ? unsigned(ShiftMask) : 0u}; }},
            {10, [&] { s = {Pick(others), Chance(0.2) ? unsigned(ShiftMask) : 0u}; }},
            {15, [&] { s = {cyrillic_.empty() ? XK_z : Pick(cyrillic_)}; }},
            {25, [&] { s = {Pick(special)}; }},
            {5, [&] { s = {Pick(shortcuts), Chance(0.5) ? unsigned(ControlMask) : unsigned(Mod1Mask)}; }},
        });
        return s;
    }

    // --- Actions --------------------------------------------------------------------

    // Where the driver aims in the main window.
    void ClickKey(const Win& w, int count = 1)
    {
        const auto& k = kKeys[std::size_t(Uniform(0, 11))];
        // A point inside the diamond: |dx| / 37 + |dy| / 75 <= 1.
        const int dy = Uniform(-60, 60);
        const int half = 37 - std::abs(dy) * 37 / 75 - 3;
        const int dx = Uniform(-std::max(half, 0), std::max(half, 0));
        Click(w.x + k[0] + 37 + dx, w.y + k[1] + 75 + dy, 1, count);
    }

    void ClickSpinArrow(const Win& w, const Rect& spin)
    {
        const int left = spin.x + spin.w - kSpinArrowsWidth - 3;
        const bool up = Chance(0.5);
        Click(w.x + Uniform(left + 2, spin.x + spin.w - 6), w.y + spin.y + (up ? Uniform(2, 6) : Uniform(9, 13)));
    }

    // Types a short pause into its field (10 to 20 hundredths of a second).
    void ResetPause()
    {
        const Win w = main_;
        Trace("reset pause");
        Click(w.x + kPause.x + Uniform(4, 20), w.y + kPause.y + 10);
        Focus(w);
        Key({XK_End});
        for (int i = 0; i < 5; ++i)
            Key({XK_BackSpace});
        const int pause = Uniform(10, 20);
        for (char c : std::to_string(pause))
            Key({KeySym(XK_0 + (c - '0'))});
        Sync();
    }

    // Types odd text into the pause field: nothing, signs, letters (refused),
    // a number beyond 32 bits that leaving the field limits; then a short
    // pause again, so the exercises stay short.
    void TypeIntoPause(const Win& w)
    {
        static const std::vector<std::string> texts{"", "-5", "+12", "0", "7", "abc", "1.5", "99999999999"};
        const std::string& text = Pick(texts);
        Trace("type '%s' into the pause", text.c_str());
        Click(w.x + kPause.x + Uniform(4, 20), w.y + kPause.y + 10);
        Focus(w);
        Key({XK_End});
        for (int i = 0; i < 5; ++i)
            Key({XK_BackSpace});
        for (char c : text)
            Key({CharKeysym(c)});
        Key({XK_Tab});
        Sync();
        ResetPause();
    }

    static KeySym CharKeysym(char c)
    {
        switch (c) {
        case '-': return XK_minus;
        case '+': return XK_plus;
        case '.': return XK_period;
        default: return KeySym(c);  // digits and small letters are their own keysyms
        }
    }

    // w: the main window as it stood before the drag (a copy: the snapshots
    // taken while waiting update the driver's own record of it).
    void Drag(const Win w)
    {
        // A press that closes a drop-down list or meets a blocked window
        // drags nothing: drag only when the main window takes input.
        if (TopOf(Snapshot()).kind != Kind::Main)
            return;
        int dx = Uniform(-30, 30), dy = Uniform(-30, 30);
        // Keep the window near where it started.
        if (std::abs(w.x + dx - home_[0]) > 80)
            dx = home_[0] - w.x;
        if (std::abs(w.y + dy - home_[1]) > 80)
            dy = home_[1] - w.y;
        const int sx = w.x + Uniform(kSurfaceBand.x, kSurfaceBand.x + kSurfaceBand.w - 1);
        const int sy = w.y + Uniform(kSurfaceBand.y, kSurfaceBand.y + kSurfaceBand.h - 1);
        Trace("drag %d,%d by %d,%d", sx, sy, dx, dy);
        MoveTo(sx, sy);
        XTestFakeButtonEvent(dpy_, 1, True, 0);
        for (int step = 1; step <= 4; ++step)
            MoveTo(sx + dx * step / 4, sy + dy * step / 4);
        XTestFakeButtonEvent(dpy_, 1, False, 0);
        XFlush(dpy_);
        // Wait until the window stands where it was dragged, so later clicks
        // know where the "X" is; a window that came up meanwhile blocks it.
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (Clock::now() < deadline) {
            Sync();
            const auto wins = Snapshot();
            if (main_.x == w.x + dx && main_.y == w.y + dy)
                return;
            if (TopOf(wins).kind != Kind::Main)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Fail("the main window did not follow a drag from " + std::to_string(sx) + "," + std::to_string(sy) +
             ": it stands at " + std::to_string(main_.x) + "," + std::to_string(main_.y) + ", not at " +
             std::to_string(w.x + dx) + "," + std::to_string(w.y + dy));
    }

    void ActOnMain(const Win w)
    {
        Choose({
            {20, [&] { ClickKey(w); }},
            {2, [&] { ClickKey(w, 2); }},
            {5, [&] { ClickIn(w, Chance(0.5) ? kOctaveDown : kOctaveUp); }},
            {3, [&] { ClickIn(w, kStart); }},
            {1, [&] { ClickIn(w, kHelp); }},
            {3, [&] { ClickIn(w, kCombo); }},
            {1, [&] { ClickIn(w, kCombo, Chance(0.5) ? 4 : 5); }},
            {4, [&] { ClickSpinArrow(w, kCount); }},
            {3, [&] { ClickSpinArrow(w, kPause); }},
            {1, [&] { ClickIn(w, {kPause.x, kPause.y, kPause.w - kSpinArrowsWidth, kPause.h}); }},
            {3, [&] { ClickIn(w, kMemo, Pick(std::vector<unsigned>{1, 1, 4, 5})); }},
            {5, [&] { ClickAnywhere(w); }},
            {1.5, [&] { ClickIn(w, Pick(std::vector<Rect>{kMemo, kPause, kCount, kCombo}), 3); }},
            {1, [&] { ClickAnywhere(w, 2); }},
            {0.3, [&] { ClickIn(w, kPause, 2); }},
            {3, [&] { MoveAnywhere(w); }},
            {0.5, [&] { Drag(w); }},
            {0.5, [&] { TypeIntoPause(w); }},
            {32, [&] { Type(w, RandomStroke()); }},
            {4, [&] {
                 Focus(w);
                 for (int i = Uniform(2, 6); i > 0; --i)
                     Key(RandomStroke());
             }},
        });
    }

    void ClickAnywhere(const Win& w, int count = 1)
    {
        ClickIn(w, {0, 0, w.w, w.h}, Chance(0.9) ? 1 : 3, count);
    }

    void MoveAnywhere(const Win& w)
    {
        MoveTo(w.x + Uniform(0, w.w - 1), w.y + Uniform(0, w.h - 1));
        XFlush(dpy_);
    }

    void ActOnDialog(const Win& w)
    {
        Choose({
            {6, [&] { ClickIn(w, AnswerButton(Uniform(0, 3))); }},
            {12, [&] { ClickIn(w, kReplay); }},
            {30, [&] { ClickAnywhere(w); }},
            {10, [&] { MoveAnywhere(w); }},
            {30, [&] { Type(w, RandomStroke()); }},
        });
    }

    void ActOnAbout(const Win& w)
    {
        Choose({
            {8, [&] { ClickIn(w, kAboutOk); }},
            {30, [&] { ClickAnywhere(w); }},
            {10, [&] { MoveAnywhere(w); }},
            {30, [&] { Type(w, RandomStroke()); }},
        });
    }

    void ActOnOther(const Win& w)
    {
        Choose({
            {40, [&] { ClickAnywhere(w); }},
            {10, [&] { MoveAnywhere(w); }},
            {35, [&] { Type(w, RandomStroke()); }},
            {5, [&] { Click(Uniform(0, screenW_ - 1), Uniform(0, screenH_ - 1)); }},
        });
    }

    // Closes the window in one of its ordinary ways.
    void Answer(const Win& w)
    {
        Trace("answer %s", KindName(w.kind));
        switch (w.kind) {
        case Kind::Main:
            return;
        case Kind::Dialog:
            ClickIn(w, AnswerButton(Uniform(0, 3)));
            return;
        case Kind::About:
            if (Chance(0.5))
                ClickIn(w, kAboutOk);
            else
                Type(w, {Chance(0.5) ? KeySym(XK_Return) : KeySym(XK_space)});
            return;
        case Kind::Popup:
            if (Chance(0.3))
                ClickAnywhere(w);
            else
                Type(w, {XK_Escape});
            return;
        case Kind::Settings:
            Type(w, {XK_Escape});
            return;
        case Kind::Box:
            Type(w, {Pick(std::vector<KeySym>{XK_Return, XK_Return, XK_KP_Enter, XK_space, XK_Escape})});
            return;
        }
    }

    void Step()
    {
        const auto wins = Snapshot();
        const Win top = TopOf(wins);
        if (top.kind == Kind::Settings) {
            // Neither a click nor a key may choose an item there.
            Answer(top);
            Sync();
            return;
        }
        if (top.kind != Kind::Main) {
            // Every window above the main one is answered sooner or later.
            const int turns = ++turnsOnTop_[top.id];
            if (turns > 40 || Chance(0.12)) {
                turnsOnTop_.erase(top.id);
                Answer(top);
                Sync();
                return;
            }
        }
        const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
        if (r < 0.85) {
            switch (top.kind) {
            case Kind::Main: ActOnMain(top); break;
            case Kind::Dialog: ActOnDialog(top); break;
            case Kind::About: ActOnAbout(top); break;
            case Kind::Popup:
            case Kind::Settings:
            case Kind::Box: ActOnOther(top); break;
            }
        } else if (r < 0.95) {
            // The main window even while something above it blocks it.
            ActOnMain(main_);
        } else {
            Click(Uniform(0, screenW_ - 1), Uniform(0, screenH_ - 1), Chance(0.9) ? 1 : 3);
        }
        Sync();
    }

    // --- The end ---------------------------------------------------------------------

    // Closes whatever is above the main window until the main window stands
    // alone.
    void Settle()
    {
        for (int round = 0; round < 500; ++round) {
            Sync();
            const auto wins = Snapshot();
            const Win top = TopOf(wins);
            if (top.kind == Kind::Main)
                return;
            Answer(top);
        }
        Fail("the windows above the main one do not close");
    }

    void FinalCheck()
    {
        // "z" may answer the last note of a running notes exercise: its
        // result box then takes "m". Close the box and type the pair again;
        // no exercise runs then.
        for (int attempt = 0; attempt < 2; ++attempt) {
            Settle();
            const long before = MidiLines();
            Focus(main_);
            Key({XK_z});
            Key({XK_m});
            Sync();
            const long lines = MidiLines();
            for (long i = before; i + 1 < lines; ++i) {
                const int a = NoteAt(i), b = NoteAt(i + 1);
                if (a >= 0 && a % 12 == 0 && b == a + 11) {
                    std::printf("final-notes %d %d\n", a, b);
                    Settle();
                    return;
                }
            }
            if (Snapshot().size() == 1)
                break;
        }
        Fail("the main window does not play typed notes (a modal loop is stuck?)");
    }

    Options opt_;
    std::mt19937 rng_;
    Display* dpy_ = nullptr;
    Window root_ = 0;
    int screenW_ = 0, screenH_ = 0;
    Atom wmProtocols_ = 0, wmPing_ = 0, wmPid_ = 0, userTime_ = 0, stamp_ = 0;
    Window self_ = 0;
    KeyCode probeKey_ = 0;
    long pingSerial_ = 0;
    Win main_;
    std::array<int, 2> home_{};
    std::map<Window, pid_t> pids_;
    std::map<Window, Kind> shown_;
    std::vector<Rect> settings_;
    std::string tracedStack_;
    std::map<Kind, int> opened_, closed_;
    std::map<Window, int> turnsOnTop_;
    std::vector<KeySym> cyrillic_;
    std::FILE* trace_ = nullptr;
    Clock::time_point started_ = Clock::now();
};

Options Parse(int argc, char** argv)
{
    Options o;
    o.seed = unsigned(std::random_device{}());
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string k = argv[i], v = argv[i + 1];
        if (k == "--pid")
            o.pid = pid_t(std::stol(v));
        else if (k == "--midi")
            o.midi = v;
        else if (k == "--events")
            o.events = std::stol(v);
        else if (k == "--seed")
            o.seed = unsigned(std::stoul(v));
        else if (k == "--rss-every")
            o.rssEvery = std::max(1L, std::stol(v));
        else if (k == "--trace")
            o.trace = v;
        else
            Fail("unknown option " + k);
    }
    if (o.pid <= 0 || o.midi.empty())
        Fail("usage: soak-driver --pid PID --midi LOG --events N [--seed S] [--rss-every K] [--trace FILE]");
    return o;
}

}  // namespace

int main(int argc, char** argv)
{
    Driver driver(Parse(argc, argv));
    driver.Run();
    return 0;
}
