#pragma once

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// Sets (or, with nullopt, unsets) an environment variable for the life of
// the object, then puts back what was there.
class TScopedEnv {
public:
    TScopedEnv(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        Apply(value);
    }
    ~TScopedEnv() { Apply(old_); }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name_.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// A private directory for a test's files.
class TTestDir {
public:
    std::string Path() const { return dir_.path().toStdString(); }
    std::string File(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }

private:
    QTemporaryDir dir_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// A 16-bit stereo WAV file as read back: the left channel in -1..1, or why
// the file is not a valid WAV.
struct TWavContents {
    std::string error;
    int sampleRate = 0;
    std::vector<float> left;
};
TWavContents ReadWav(const std::string& path);

// The fundamental frequency of a window of samples in Hz (0 when no pitch
// is found): the first clear dip of the normalised difference function.
double Fundamental(const float* samples, int count, int sampleRate);

// The index of the first sample at or above the level (absolute), or -1.
long FirstAtLeast(const std::vector<float>& samples, float level, long from = 0);
