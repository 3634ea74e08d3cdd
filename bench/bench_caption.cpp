// Measuring and drawing one white-key caption (raised, (1, 1) shadow) on the
// key's 75 x 150 canvas, as a key paint does.
#include "bench/BenchUtil.h"

#include "controls/shaped/fctext.h"
#include "platform/graphics/Bitmap.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TBitmap bmp(75, 150);
    TFont font;
    font.SetName(QStringLiteral("Times New Roman"));
    font.SetHeight(-11);
    font.SetStyle(fsBold);
    font.SetCharset(RUSSIAN_CHARSET);
    font.SetColor(cl3DDkShadow);
    TfcCaptionText caption(&font, &bmp.Canvas());
    caption.SetAlignment(taCenter);
    caption.SetVAlignment(vaVCenter);
    caption.SetStyle(fclsRaised);
    caption.Shadow().SetEnabled(true);
    caption.Shadow().SetXOffset(1);
    caption.Shadow().SetYOffset(1);

    const double us = MedianMicros([&] {
        caption.SetText(QStringLiteral("ДО"));
        caption.SetBoundsRect({2, 2, 73, 148});
        const TRect r = caption.CalcRectWithFont(TfcMeasure::MeasureOnly);
        bmp.Canvas().Brush().Style = bsClear;
        caption.SetBoundsRect(r);
        caption.Draw();
    }, 2000);
    Report("caption: measure + draw raised key caption with shadow, 75x150", us, 150);
    return 0;
}
