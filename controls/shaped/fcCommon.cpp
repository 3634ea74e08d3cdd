#include "controls/shaped/fcCommon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <algorithm>

TColor fcShadeColor(TColor color, int amount, TfcShadeDirection direction)
{
    const std::uint32_t rgb = ColorToRGB(color);
    const int delta = direction == TfcShadeDirection::Lighten ? amount : -amount;
    auto shade = [delta](int channel) { return std::clamp(channel + delta, 0, 255); };
    return RGB(shade(GetRValue(rgb)), shade(GetGValue(rgb)), shade(GetBValue(rgb)));
}

namespace {

bool ProbeDisplayKeepsGrey()
{
    // Without a display connection the images are plain 32-bit memory.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true;
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.fill(qRgb(192, 192, 192));
    const QImage back = QPixmap::fromImage(probe).toImage();
    if (back.isNull())
        return true;
    const QRgb px = back.pixel(0, 0);
    return qRed(px) < 200 && qGreen(px) < 200 && qBlue(px) < 200;
}

}  // namespace

bool DisplayKeepsGrey()
{
    static const bool keeps = ProbeDisplayKeepsGrey();
    return keeps;
}

TColor fcFaceColor(TColor color, TfcGreyHandling handling)
{
    const std::uint32_t rgb = ColorToRGB(color);
    if (handling == TfcGreyHandling::DisplayKeepsGrey)
        return MakeColor(rgb);
    auto avoid = [](int channel) { return channel > 0 && channel % 8 == 0 ? channel - 1 : channel; };
    return RGB(avoid(GetRValue(rgb)), avoid(GetGValue(rgb)), avoid(GetBValue(rgb)));
}

TBrush fcDitherBrush(TColor ditherColor, TColor color)
{
    TBrush brush;
    brush.Style = bsPattern;
    for (std::size_t row = 0; row < brush.Pattern.size(); ++row)
        brush.Pattern[row] = row % 2 == 0 ? 0xAA : 0x55;
    brush.PatternSetColor = ditherColor;
    brush.PatternClearColor = color;
    brush.Color = ditherColor;
    return brush;
}
