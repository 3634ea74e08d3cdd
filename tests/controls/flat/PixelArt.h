#pragma once

#include "platform/graphics/Bitmap.h"

#include <map>
#include <string>
#include <vector>

// Rows of a bitmap as characters, one per pixel, for compact pixel
// expectations. Colours not in the legend show as '?'.
inline std::vector<std::string> PixelArt(const TBitmap& bmp, const std::map<TColor, char>& legend)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bmp.Height(); ++y) {
        std::string row;
        const std::uint32_t* line = bmp.ScanLine(y);
        for (int x = 0; x < bmp.Width(); ++x) {
            const auto it = legend.find(PixelToColor(line[x]));
            row += it == legend.end() ? '?' : it->second;
        }
        rows.push_back(row);
    }
    return rows;
}

inline void FillBitmap(TBitmap& bmp, TColor c)
{
    bmp.Image().fill(ColorToPixel(c));
}
