#include "tests/platform/midi/MidiTestSupport.h"
#include "platform/midi/MidiDevice.h"
#include "platform/midi/WavDevice.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

TEST(WavOutput, PlacesThatCannotTakeTheFileSayWhy)
{
    TTestDir dir;
    const std::string pipe = dir.File("pipe.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* says;
    };
    const Case table[] = {
        {"/dev/full", "No space left on device"},
        // Nothing reads the pipe: refused at once instead of waiting for a reader.
        {pipe, "nothing reads"},
        {dir.File("no/such/dir.wav"), "No such file or directory"},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.path);
        std::string reason;
        EXPECT_FALSE(TWavFile::Create(c.path, 48000, reason));
        EXPECT_NE(reason.find(c.path), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
    }
}

// The disk filling up while the file grows: the file keeps what was written
// in whole appends and stays a valid WAV file; later appends are dropped.
// The file size limit stands in for a full disk (writes past it fail with
// EFBIG, as they would with ENOSPC, once its signal is ignored).
TEST(WavOutput, DiskFillingUpKeepsAValidFile)
{
    TTestDir dir;
    const std::string path = dir.File("full.wav");
    std::string reason;
    std::unique_ptr<TWavFile> file = TWavFile::Create(path, 48000, reason);
    ASSERT_TRUE(file) << reason;
    const std::vector<std::int16_t> frames(2 * 100, 1000);

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = 44 + 3 * 400 + 150;  // room for three appends and part of a fourth
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    for (int i = 0; i < 6; ++i)
        file->Append(frames.data(), 100);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(file->Frames(), 300u);
    const TWavContents wav = ReadWav(path);
    ASSERT_EQ(wav.error, "");
    EXPECT_EQ(wav.left.size(), 300u);
    // Room again: still nothing, a file with a gap would be worse than a short one.
    file->Append(frames.data(), 100);
    EXPECT_EQ(ReadWav(path).left.size(), 300u);
}
