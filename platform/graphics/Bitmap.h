#pragma once

#include "platform/graphics/Canvas.h"

#include <QImage>

#include <cstdint>

// A width x height image with 24-bit colour (stored as 32-bit 0xFFRRGGBB) and
// its own canvas.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull(); }
    // Zero or negative sizes give an empty bitmap. New pixels are white.
    void SetSize(int width, int height);

    TCanvas& Canvas() { return canvas_; }
    const TCanvas& Canvas() const { return canvas_; }

    // Row access; y must be inside the image.
    std::uint32_t* ScanLine(int y);
    const std::uint32_t* ScanLine(int y) const;
    // Outside the image: clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    void Assign(const TBitmap& other);
    void LoadFromImage(const QImage& img);

private:
    QImage image_;
    TCanvas canvas_;
};
