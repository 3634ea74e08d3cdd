#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstring>

TBitmap::TBitmap() : canvas_(&image_) {}

TBitmap::TBitmap(int width, int height) : canvas_(&image_)
{
    SetSize(width, height);
}

void TBitmap::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0) {
        if (!image_.isNull())
            image_ = QImage();
        return;
    }
    if (width == image_.width() && height == image_.height())
        return;
    // Keep what fits of the old picture; the rest starts white.
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(0xFFFFFFFFu);
    const int rows = std::min(height, image_.height());
    const int cols = std::min(width, image_.width());
    for (int y = 0; y < rows; ++y)
        std::memcpy(next.scanLine(y), image_.constScanLine(y), std::size_t(cols) * sizeof(std::uint32_t));
    image_ = std::move(next);
}

std::uint32_t* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= image_.height())
        return nullptr;
    return reinterpret_cast<std::uint32_t*>(image_.scanLine(y));
}

const std::uint32_t* TBitmap::ScanLine(int y) const
{
    if (y < 0 || y >= image_.height())
        return nullptr;
    return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y));
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return clNone;
    return PixelToColor(ScanLine(y)[x]);
}

void TBitmap::SetPixel(int x, int y, TColor c)
{
    if (c == clNone || x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    ScanLine(y)[x] = ColorToPixel(c);
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this)
        return;
    image_ = other.image_.copy();
}

void TBitmap::LoadFromImage(const QImage& img)
{
    image_ = img.isNull() ? QImage() : img.convertToFormat(QImage::Format_RGB32);
}
