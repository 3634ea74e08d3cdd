// What the flat drawing helpers cost per paint: the main window repaints two
// flat panels, and every flat button lays out and frames itself on each paint.
#include "bench/BenchUtil.h"

#include "controls/flat/FlatUtilitys.h"
#include "controls/flat/TFlatPanelUnit.h"

#include "platform/ui/Forms.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);

    TBitmap bmp(185, 41);
    Report("DrawFlatFrame, one ring on 185 x 41",
           MedianMicros([&] { DrawFlatFrame(bmp.Canvas(), {0, 0, 185, 41}, clBtnHighlight, clBtnShadow, 1); }), 20);

    TBitmap glyph(32, 16);
    Report("MakeEmbossedGlyph 32 x 16", MedianMicros([&] {
               auto g = MakeEmbossedGlyph(glyph, clBlack, clBtnFace, clBtnHighlight, clBtnShadow,
                                          TEmbossHighlight::Draw);
           }),
           50);

    Report("LayoutGlyphAndCaption with glyph and caption", MedianMicros([&] {
               LayoutGlyphAndCaption(bmp.Canvas(), {0, 0, 89, 25}, {0, 0}, blGlyphLeft, 4, -1, &glyph, 2,
                                     QStringLiteral("ЗАПУСТИТЬ"));
           }),
           100);

    Report("DeriveShade", MedianMicros([&] { DeriveShade(clBtnFace, clWhite, 50, TShadeDirection::Darken); }), 5);

    TPanel parent(nullptr);
    parent.SetBounds(0, 0, 400, 300);
    auto* panel = new TFlatPanel(&parent);  // owned by the parent
    panel->SetParent(&parent);
    panel->SetCaption(QStringLiteral("Количество нот"));
    Report("TFlatPanel paint 185 x 41 with caption",
           MedianMicros([&] { panel->PaintTo(bmp.Canvas(), {0, 0}); }), 500);
    panel->SetTransparent(true);
    Report("Transparent TFlatPanel paint over a 400 x 300 parent",
           MedianMicros([&] { panel->PaintTo(bmp.Canvas(), {0, 0}); }), 1000);
    return 0;
}
