#include "tests/platform/midi/MidiTestSupport.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

namespace {

std::uint32_t LE(const std::string& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return v;
}

}  // namespace

TWavContents ReadWav(const std::string& path)
{
    const std::string b = ReadFile(path);
    TWavContents wav;
    if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 8, "WAVEfmt ") != 0
        || b.compare(36, 4, "data") != 0) {
        wav.error = "no RIFF/WAVE header";
        return wav;
    }
    const std::uint32_t data = LE(b, 40, 4);
    if (LE(b, 4, 4) != 36 + data)
        wav.error = "RIFF size does not match the data size";
    else if (LE(b, 16, 4) != 16 || LE(b, 20, 2) != 1 || LE(b, 22, 2) != 2 || LE(b, 34, 2) != 16)
        wav.error = "not 16-bit stereo PCM";
    else if (LE(b, 32, 2) != 4 || LE(b, 28, 4) != 4 * LE(b, 24, 4))
        wav.error = "inconsistent block align or byte rate";
    else if (data % 4 != 0 || 44 + std::size_t(data) > b.size())
        wav.error = "data size does not fit the file";
    if (!wav.error.empty())
        return wav;
    wav.sampleRate = int(LE(b, 24, 4));
    for (std::size_t at = 44; at < 44 + std::size_t(data); at += 4)
        wav.left.push_back(float(std::int16_t(LE(b, at, 2))) / 32768.0f);
    return wav;
}

double Fundamental(const float* x, int count, int sampleRate)
{
    const int maxLag = sampleRate / 50, minLag = sampleRate / 2000;
    const int window = count - maxLag;
    if (window <= 0)
        return 0;
    std::vector<double> norm(std::size_t(maxLag) + 1, 1.0);
    double running = 0;
    for (int lag = 1; lag <= maxLag; ++lag) {
        double d = 0;
        for (int i = 0; i < window; ++i) {
            const double e = double(x[i]) - double(x[i + lag]);
            d += e * e;
        }
        running += d;
        norm[std::size_t(lag)] = running > 0 ? d * lag / running : 1.0;
    }
    for (int lag = minLag; lag < maxLag; ++lag) {
        if (norm[std::size_t(lag)] >= 0.15)
            continue;
        while (lag + 1 < maxLag && norm[std::size_t(lag) + 1] < norm[std::size_t(lag)])
            ++lag;
        // A parabola through the dip and its neighbours places it between samples.
        const double a = norm[std::size_t(lag) - 1], b = norm[std::size_t(lag)], c = norm[std::size_t(lag) + 1];
        const double denom = a - 2 * b + c;
        const double offset = denom != 0 ? (a - c) / (2 * denom) : 0;
        return sampleRate / (lag + offset);
    }
    return 0;
}

long FirstAtLeast(const std::vector<float>& samples, float level, long from)
{
    for (std::size_t i = std::size_t(std::max(from, 0L)); i < samples.size(); ++i)
        if (std::fabs(samples[i]) >= level)
            return long(i);
    return -1;
}
