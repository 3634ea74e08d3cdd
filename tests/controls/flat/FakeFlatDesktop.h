#pragma once

// A desktop for the flat buttons' tests: the pointer is wherever the test
// says, the application is active unless told otherwise, and timers tick
// only when the test advances the fake time.

#include "controls/flat/TFlatSpeedButtonUnit.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

class TFakeFlatDesktop : public IFlatDesktop {
public:
    class Timer : public TFlatTimer {
    public:
        explicit Timer(TFakeFlatDesktop& desktop) : desktop_(&desktop) { desktop.timers_.push_back(this); }
        ~Timer() override
        {
            if (desktop_)
                std::erase(desktop_->timers_, this);
        }
        unsigned Interval() const override { return interval_; }
        void SetInterval(unsigned ms) override
        {
            if (ms == interval_)
                return;
            interval_ = ms;
            Restart();
        }
        bool Enabled() const override { return enabled_; }
        void SetEnabled(bool v) override
        {
            if (v == enabled_)
                return;
            enabled_ = v;
            Restart();
        }
        bool Running() const { return enabled_ && interval_ > 0; }
        std::uint64_t due = 0;

    private:
        friend class TFakeFlatDesktop;
        void Restart()
        {
            if (desktop_)
                due = desktop_->now_ + interval_;
        }
        TFakeFlatDesktop* desktop_;
        unsigned interval_ = 1000;
        bool enabled_ = false;
    };

    TFakeFlatDesktop() : previous_(SetFlatDesktop(this)) {}
    ~TFakeFlatDesktop() override
    {
        SetFlatDesktop(previous_);
        for (Timer* t : timers_)
            t->desktop_ = nullptr;
    }
    TFakeFlatDesktop(const TFakeFlatDesktop&) = delete;
    TFakeFlatDesktop& operator=(const TFakeFlatDesktop&) = delete;

    TPoint PointerPos() override { return pointer; }
    TControl* ControlAt(TPoint screenPoint) override { return FindControlAtScreen(screenPoint); }
    bool ApplicationActive() override { return active; }
    // What the test's pointer events left behind.
    bool LeftButtonHeld() override { return QGuiApplication::mouseButtons() & Qt::LeftButton; }
    std::unique_ptr<TFlatTimer> CreateTimer() override { return std::make_unique<Timer>(*this); }

    // Moves the fake time on, firing every due tick in time order (a tick may
    // start, stop or re-time any timer, or destroy it).
    void Advance(unsigned ms)
    {
        const std::uint64_t end = now_ + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : timers_)
                if (t->Running() && t->due <= end && (!next || t->due < next->due))
                    next = t;
            if (!next)
                break;
            now_ = next->due;
            next->due = now_ + next->interval_;
            if (next->OnTimer)
                next->OnTimer();
        }
        now_ = end;
    }

    int RunningTimers() const
    {
        return int(std::count_if(timers_.begin(), timers_.end(), [](const Timer* t) { return t->Running(); }));
    }
    int TimerCount() const { return int(timers_.size()); }

    TPoint pointer{-10000, -10000};
    bool active = true;

private:
    std::vector<Timer*> timers_;
    std::uint64_t now_ = 0;
    IFlatDesktop* previous_;
};
