#include "platform/midi/MidiDevice.h"
#include "platform/runtime/FileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Appends one line per message to a file: the packed value in 8 upper-case
// hexadecimal digits. Each line is one write to an append-mode descriptor, so
// it is in the file at once, whole, even if the process ends the next moment,
// and lines of several writers never interleave.
class TLogDevice : public TMidiDevice {
public:
    explicit TLogDevice(int fd) : fd_(fd) {}

    void Send(std::uint32_t message) override
    {
        char line[10];
        std::snprintf(line, sizeof line, "%08X\n", unsigned(message));
        WriteAll(fd_.Get(), line, 9);
    }

private:
    TFileDescriptor fd_;
};

}  // namespace

TMidiOpening OpenLogDevice(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return TMidiOpening::CannotStart("cannot open MIDI log " + path + ": " + std::strerror(errno));
    return TMidiOpening::Opened(std::make_unique<TLogDevice>(fd));
}
