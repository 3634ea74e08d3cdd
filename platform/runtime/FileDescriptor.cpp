#include "platform/runtime/FileDescriptor.h"

#include <unistd.h>

bool WriteAll(int fd, const void* data, std::size_t size, off_t offset)
{
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n =
            RetryInterrupted([&] { return offset < 0 ? ::write(fd, p, size) : ::pwrite(fd, p, size, offset); });
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
        if (offset >= 0)
            offset += n;
    }
    return true;
}

bool ReadAllAt(int fd, void* into, std::size_t size, off_t offset)
{
    auto* p = static_cast<unsigned char*>(into);
    while (size > 0) {
        const ssize_t n = RetryInterrupted([&] { return ::pread(fd, p, size, offset); });
        if (n <= 0)
            return false;
        p += n;
        size -= std::size_t(n);
        offset += n;
    }
    return true;
}

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& o) noexcept
{
    if (this != &o) {
        Close();
        fd_ = o.fd_;
        o.fd_ = -1;
    }
    return *this;
}

void TFileDescriptor::Close()
{
    // Not retried: after EINTR the descriptor is already released on Linux.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
