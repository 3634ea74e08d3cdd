#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Runs f `runs` times (after a few warm-up calls) and returns the median
// duration of one call in microseconds.
template <class F>
double MedianMicros(F&& f, int runs = 200)
{
    for (int i = 0; i < std::min(runs, 10); ++i)
        f();
    std::vector<double> times;
    times.reserve(std::size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[std::size_t(runs / 2)];
}

inline void Report(const char* what, double micros, double limitMicros)
{
    std::printf("%-60s median %10.1f us  (limit %.0f us) %s\n", what, micros, limitMicros,
                micros <= limitMicros ? "ok" : "OVER");
}
