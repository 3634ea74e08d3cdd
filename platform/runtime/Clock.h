#pragma once

// The clock: sleeping, the performance counter and the tick count, behind
// one interface that tests replace; and the process-wide random generator
// seeded from it.

#include <cstdint>
#include <vector>

class IClock {
public:
    virtual ~IClock() = default;
    // Blocks the calling handler for ms milliseconds. Windows keep painting;
    // input made meanwhile is held and handled afterwards, in order.
    virtual void Sleep(unsigned ms) = 0;
    // The high-resolution counter; false when there is none.
    virtual bool QueryPerformanceCounter(std::int64_t& count) = 0;
    // Milliseconds since some fixed point, wrapping at 2^32.
    virtual std::uint32_t GetTickCount() = 0;
};

// The clock in use (the system clock unless replaced).
IClock& Clock();
// Replaces the clock (nullptr: the system clock again); returns the previous.
IClock* SetClock(IClock* clock);

// Whether a Sleep is running now (somewhere down the stack): work that must
// count as user input waits until it has ended.
bool SleepRunning();
// Called each time the last running Sleep has returned (nullptr: nothing).
void SetSleepsEndedHandler(void (*handler)());

// Shorthands for the clock in use.
void Sleep(unsigned ms);
bool QueryPerformanceCounter(std::int64_t& count);
std::uint32_t GetTickCount();

// A clock for tests: records every sleep and returns at once; its time moves
// only by the sleeps and by Advance. Installs itself for its lifetime.
class TFakeClock : public IClock {
public:
    TFakeClock();
    ~TFakeClock() override;
    TFakeClock(const TFakeClock&) = delete;
    TFakeClock& operator=(const TFakeClock&) = delete;

    void Sleep(unsigned ms) override;
    bool QueryPerformanceCounter(std::int64_t& count) override;
    std::uint32_t GetTickCount() override;

    void Advance(unsigned ms) { nowMs_ += ms; }

    std::vector<unsigned> sleeps;
    // What the performance counter answers; without it there is none.
    bool hasPerformanceCounter = true;
    std::int64_t performanceCount = 0;

private:
    std::uint64_t nowMs_ = 0;
    IClock* previous_;
};

// The process-wide random seed.
extern std::uint32_t RandSeed;
// Seeds from the performance counter's low 32 bits, or from the tick count
// when there is no performance counter.
void Randomize();
// A number in 0..n-1 (0 when n < 1): the seed steps to
// seed * 134775813 + 1 (mod 2^32), and the result is the upper half of the
// 64-bit product seed * n.
int Random(int n);
