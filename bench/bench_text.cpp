// What one shaped-button caption costs: the caption code creates a font per
// measure and per style pass, measures with DT_CALCRECT and draws the text
// several times (relief copies, outline copies).
#include "bench/BenchUtil.h"

#include "platform/graphics/Bitmap.h"

#include <QApplication>
#include <QFontInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The metrics the caption layout works with, for the record.
    for (const char* face : {"Times New Roman", "MS Sans Serif"})
        for (int height : {-11, -12, -13})
            for (int weight : {FW_NORMAL, FW_BOLD}) {
                TCanvas probe;
                probe.Font().SetName(face);
                probe.Font().SetHeight(height);
                probe.Font().SetStyle(weight == FW_BOLD ? fsBold : 0);
                const TTextMetric tm = probe.GetTextMetrics();
                std::printf("%-16s %3d %-6s -> %-17s height %2d ascent %2d descent %d internal leading %d "
                            "avg width %d, width of \"СОЛЬ\" %d\n",
                            face, height, weight == FW_BOLD ? "bold" : "normal",
                            qPrintable(QFontInfo(probe.CurrentQtFont()).family()), tm.tmHeight, tm.tmAscent,
                            tm.tmDescent, tm.tmInternalLeading, tm.tmAveCharWidth, probe.TextWidth("СОЛЬ"));
            }

    TBitmap bmp(75, 150);
    TCanvas& c = bmp.Canvas();
    c.SetBkMode(bkTransparent);
    TLogFont lf;
    lf.lfFaceName = "Times New Roman";
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;

    Report("CreateFontIndirect + delete (Times New Roman -11 bold)",
           MedianMicros([&] { auto f = CreateFontIndirect(lf); }), 100);

    auto font = CreateFontIndirect(lf);
    c.SelectFont(font.get());
    Report("DrawText DT_CALCRECT of a key caption", MedianMicros([&] {
               TRect r{0, 0, 71, 0};
               c.DrawText("СОЛЬ", r, DT_CALCRECT | DT_NOCLIP | DT_CENTER);
           }),
           100);
    Report("DrawText of a key caption", MedianMicros([&] {
               TRect r{2, 60, 73, 75};
               c.DrawText("СОЛЬ", r, DT_NOCLIP | DT_CENTER);
           }),
           100);
    Report("One outlined caption: 8 copies and the face", MedianMicros([&] {
               for (int i = 0; i < 9; ++i) {
                   TRect r{2 + i % 3, 60 + i / 3, 73, 75};
                   c.DrawText("СОЛЬ", r, DT_NOCLIP | DT_CENTER);
               }
           }),
           1000);
    const QString para = QString("Повторите на клавишах мелодию, которую сыграла программа. ").repeated(20);
    Report("DrawText DT_WORDBREAK of a 1200-character paragraph, 300 px", MedianMicros([&] {
               TRect r{0, 0, 300, 0};
               c.DrawText(para, r, DT_CALCRECT | DT_WORDBREAK);
           }),
           5000);
    c.SelectFont(nullptr);
    return 0;
}
