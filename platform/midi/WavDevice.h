#pragma once

#include "platform/midi/MidiDevice.h"
#include "platform/runtime/FileDescriptor.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TSynthEngine;

// A WAV file of 16-bit stereo PCM that is valid after every append: the
// samples go to the file first and the header's sizes are brought up to date
// after them, so however the process ends the file plays up to its last
// complete append.
class TWavFile {
public:
    // nullptr, with the reason set, when the file cannot be created.
    static std::unique_ptr<TWavFile> Create(const std::string& path, int sampleRate, std::string& reason);
    ~TWavFile();
    TWavFile(const TWavFile&) = delete;
    TWavFile& operator=(const TWavFile&) = delete;

    // Appends interleaved left/right frames. Once the format's 4 GiB limit
    // would be passed the file stays as it is and further appends are dropped.
    void Append(const std::int16_t* frames, int count);
    std::uint32_t Frames() const { return dataBytes_ / 4; }

private:
    explicit TWavFile(int fd) : fd_(fd) {}
    TFileDescriptor fd_;
    std::uint32_t dataBytes_ = 0;
    bool failed_ = false;
};

enum TWavPacing : std::uint8_t {
    wpRealTime,  // a thread renders as an audio device would consume the samples
    wpManual,    // nothing renders until RenderPeriods (tests render offline)
};

// The built-in synthesizer rendering into a WAV file instead of a sound card.
//
// In real time it behaves like an audio output with TSynthEngine::kPeriods
// buffers of kPeriodFrames: sample n of the file is the one a sound card
// would play StartTime() + n / sample rate, and a note sent at some moment
// appears where the card would have played it.
class TWavDevice : public TMidiDevice {
public:
    TWavDevice(std::unique_ptr<TSynthEngine> engine, std::unique_ptr<TWavFile> file, TWavPacing pacing);
    ~TWavDevice() override;

    void Send(std::uint32_t message) override;

    // Renders periods now (manual pacing only: the render thread owns the
    // file otherwise).
    void RenderPeriods(int count);

    std::chrono::steady_clock::time_point StartTime() const { return start_; }

private:
    void RenderOnePeriod();
    void RunRealTime();

    std::unique_ptr<TSynthEngine> engine_;
    std::unique_ptr<TWavFile> file_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above exists
};

// The wav: device on a given SoundFont (tests choose the pacing).
TMidiOpening OpenWavDevice(const std::string& path, const std::string& soundFont, TWavPacing pacing);
