#pragma once

// Runs a piece of code when the scope it was made in is left, by any path:
// a return, an exception or the end of the block. For undoing a temporary
// change (a flag, a counter, a list entry) that must not outlive the call.

#include <utility>

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F f) : f_(std::move(f)) {}
    ~TScopeExit() { f_(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    F f_;
};
