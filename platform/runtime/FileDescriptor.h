#pragma once

// File descriptors for the few places that talk to the system directly
// (device nodes, logs, WAV output): owned, closed on every path out, and with
// the calls a signal interrupts run again.

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

// Runs a system call again while a signal interrupts it before it did
// anything (-1 with EINTR); answers its last result.
template <class Call>
auto RetryInterrupted(Call call)
{
    for (;;) {
        const auto r = call();
        if (!(r < 0 && errno == EINTR))
            return r;
    }
}

// Writes the whole buffer (at offset, or at the current position when it is
// negative), continuing after short writes; false on the first failure.
bool WriteAll(int fd, const void* data, std::size_t size, off_t offset = -1);

// Reads exactly size bytes at offset, continuing after short reads; false on
// a failure or when the file ends first.
bool ReadAllAt(int fd, void* into, std::size_t size, off_t offset);

// One open descriptor, closed when its owner goes; moves, never copies.
class TFileDescriptor {
public:
    TFileDescriptor() = default;
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(TFileDescriptor&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    TFileDescriptor& operator=(TFileDescriptor&& o) noexcept;
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

private:
    int fd_ = -1;
};
