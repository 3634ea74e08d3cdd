#include "platform/midi/WavDevice.h"

#include "platform/midi/SynthEngine.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kMaxDataBytes = 0xFFFFFFFFu - kHeaderBytes;

void PutLE(unsigned char* at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::array<unsigned char, kHeaderBytes> WavHeader(int sampleRate, std::uint32_t dataBytes)
{
    constexpr int channels = 2, bytesPerSample = 2;
    std::array<unsigned char, kHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    PutLE(&h[4], 36 + dataBytes, 4);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    PutLE(&h[16], 16, 4);  // size of the format chunk
    PutLE(&h[20], 1, 2);   // integer PCM
    PutLE(&h[22], channels, 2);
    PutLE(&h[24], std::uint32_t(sampleRate), 4);
    PutLE(&h[28], std::uint32_t(sampleRate * channels * bytesPerSample), 4);
    PutLE(&h[32], channels * bytesPerSample, 2);
    PutLE(&h[34], 8 * bytesPerSample, 2);
    std::memcpy(&h[36], "data", 4);
    PutLE(&h[40], dataBytes, 4);
    return h;
}

std::int16_t ToPcm16(float v)
{
    return static_cast<std::int16_t>(std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

std::unique_ptr<TWavFile> TWavFile::Create(const std::string& path, int sampleRate, std::string& reason)
{
    // Not waiting for a reader when the path is a named pipe: without one
    // the start-up would hang with nothing said.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        reason = "cannot create WAV file " + path + ": "
                 + (errno == ENXIO ? std::string("it is a pipe that nothing reads") : std::strerror(errno));
        return nullptr;
    }
    std::unique_ptr<TWavFile> file(new TWavFile(fd));
    // Writes wait as they would have (a pipe's reader sets the pace).
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const auto header = WavHeader(sampleRate, 0);
    if (!WriteAll(fd, header.data(), header.size())) {
        reason = "cannot write WAV file " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    return file;
}

TWavFile::~TWavFile() = default;

void TWavFile::Append(const std::int16_t* frames, int count)
{
    const std::uint32_t bytes = std::uint32_t(count) * 4;
    if (failed_ || count <= 0 || bytes > kMaxDataBytes - dataBytes_)
        return;
    // Little-endian samples, whatever the machine.
    std::vector<unsigned char> out(bytes);
    for (std::size_t i = 0; i < std::size_t(count) * 2; ++i)
        PutLE(&out[2 * i], std::uint16_t(frames[i]), 2);
    if (!WriteAll(fd_.Get(), out.data(), out.size())) {
        // A part may have been written (a full disk): the header would no
        // longer match what follows, so the file stays as it was.
        failed_ = true;
        return;
    }
    dataBytes_ += bytes;
    unsigned char size[4];
    PutLE(size, 36 + dataBytes_, 4);
    WriteAll(fd_.Get(), size, 4, 4);
    PutLE(size, dataBytes_, 4);
    WriteAll(fd_.Get(), size, 4, 40);
}

TWavDevice::TWavDevice(std::unique_ptr<TSynthEngine> engine, std::unique_ptr<TWavFile> file, TWavPacing pacing)
    : engine_(std::move(engine)), file_(std::move(file)), start_(std::chrono::steady_clock::now())
{
    if (pacing == wpRealTime)
        thread_ = std::thread([this] { RunRealTime(); });
}

TWavDevice::~TWavDevice()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
}

void TWavDevice::Send(std::uint32_t message)
{
    engine_->Send(message);
}

void TWavDevice::RenderPeriods(int count)
{
    if (thread_.joinable())
        return;
    for (int i = 0; i < count; ++i)
        RenderOnePeriod();
}

void TWavDevice::RenderOnePeriod()
{
    constexpr int n = TSynthEngine::kPeriodFrames;
    std::array<float, n> left{}, right{};
    engine_->Render(left.data(), right.data(), n);
    std::array<std::int16_t, 2 * n> frames{};
    for (int i = 0; i < n; ++i) {
        frames[std::size_t(2 * i)] = ToPcm16(left[std::size_t(i)]);
        frames[std::size_t(2 * i + 1)] = ToPcm16(right[std::size_t(i)]);
    }
    file_->Append(frames.data(), n);
}

void TWavDevice::RunRealTime()
{
    // A sound card starts with its buffers full; each time it has played one
    // period, the next one past the buffered ones is rendered. Periods the
    // thread missed (a busy machine) are rendered at once, so the file's
    // position keeps matching the clock.
    for (int k = 0; k < TSynthEngine::kPeriods; ++k)
        RenderOnePeriod();
    std::unique_lock lock(mutex_);
    for (long long played = 1;; ++played) {
        const long long frames = played * TSynthEngine::kPeriodFrames;
        const auto due = start_ + std::chrono::seconds(frames / TSynthEngine::kSampleRate)
                         + std::chrono::nanoseconds(frames % TSynthEngine::kSampleRate * 1'000'000'000LL
                                                    / TSynthEngine::kSampleRate);
        if (wake_.wait_until(lock, due, [this] { return stopping_; }))
            return;
        lock.unlock();
        RenderOnePeriod();
        lock.lock();
    }
}

TMidiOpening OpenWavDevice(const std::string& path, const std::string& soundFont, TWavPacing pacing)
{
    std::string reason;
    std::unique_ptr<TSynthEngine> engine = TSynthEngine::Create(soundFont, reason);
    if (!engine)
        return TMidiOpening::CannotStart(reason);
    std::unique_ptr<TWavFile> file = TWavFile::Create(path, TSynthEngine::kSampleRate, reason);
    if (!file)
        return TMidiOpening::CannotStart(reason);
    return TMidiOpening::Opened(std::make_unique<TWavDevice>(std::move(engine), std::move(file), pacing));
}

TMidiOpening OpenWavDevice(const std::string& path)
{
    const TSoundFontChoice soundFont = ChooseSoundFont();
    if (soundFont.path.empty())
        return TMidiOpening::CannotStart(soundFont.error);
    return OpenWavDevice(path, soundFont.path, wpRealTime);
}
