#include "platform/runtime/Clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

int g_sleepsRunning = 0;
void (*g_sleepsEnded)() = nullptr;

class TSystemClock : public IClock {
public:
    void Sleep(unsigned ms) override
    {
        if (!QCoreApplication::instance()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            return;
        }
        // Keep painting and answering the desktop, but hold the user's input:
        // it is handled after the sleep, in the order it was made.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(std::min<unsigned>(ms, 0x7FFFFFFF)));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The X11 back end leaves held input queued until some other event
        // wakes the dispatcher; wake it so the input is handled right away.
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
            d->wakeUp();
    }

    bool QueryPerformanceCounter(std::int64_t& count) override
    {
        count = std::chrono::duration_cast<std::chrono::nanoseconds>(
                    std::chrono::steady_clock::now().time_since_epoch())
                    .count();
        return true;
    }

    std::uint32_t GetTickCount() override
    {
        return std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
    }
};

TSystemClock g_systemClock;
IClock* g_clock = nullptr;

}  // namespace

IClock& Clock()
{
    return g_clock ? *g_clock : g_systemClock;
}

IClock* SetClock(IClock* clock)
{
    IClock* previous = g_clock;
    g_clock = clock;
    return previous;
}

bool SleepRunning()
{
    return g_sleepsRunning > 0;
}

void SetSleepsEndedHandler(void (*handler)())
{
    g_sleepsEnded = handler;
}

void Sleep(unsigned ms)
{
    ++g_sleepsRunning;
    struct TEnd {
        ~TEnd()
        {
            if (--g_sleepsRunning == 0 && g_sleepsEnded)
                g_sleepsEnded();
        }
    } end;
    Clock().Sleep(ms);
}

bool QueryPerformanceCounter(std::int64_t& count)
{
    return Clock().QueryPerformanceCounter(count);
}

std::uint32_t GetTickCount()
{
    return Clock().GetTickCount();
}

TFakeClock::TFakeClock() : previous_(SetClock(this)) {}

TFakeClock::~TFakeClock()
{
    SetClock(previous_);
}

void TFakeClock::Sleep(unsigned ms)
{
    sleeps.push_back(ms);
    nowMs_ += ms;
}

bool TFakeClock::QueryPerformanceCounter(std::int64_t& count)
{
    if (!hasPerformanceCounter)
        return false;
    count = performanceCount;
    return true;
}

std::uint32_t TFakeClock::GetTickCount()
{
    return std::uint32_t(nowMs_);
}

std::uint32_t RandSeed = 0;

void Randomize()
{
    std::int64_t count = 0;
    if (QueryPerformanceCounter(count))
        RandSeed = std::uint32_t(std::uint64_t(count));
    else
        RandSeed = GetTickCount();
}

int Random(int n)
{
    RandSeed = RandSeed * 134775813u + 1u;
    if (n < 1)
        return 0;
    return int((std::uint64_t(RandSeed) * std::uint64_t(n)) >> 32);
}
