#pragma once

// Little-endian integers in byte buffers: the layout of the binary formats
// the program reads and writes (region data, SoundFonts).

#include <cstdint>
#include <vector>

inline std::uint16_t GetLE16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

inline std::uint32_t GetLE32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void SetLE16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

inline void PutLE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}
