// The shaped buttons on the main window's workload: one paint of a key
// (face, bevel, caption, one copy), a key's window shape from its pixels, and
// a repaint of the twelve keys and two arrows.

#include "bench/BenchUtil.h"

#include "tests/controls/shaped/ShapedFixtures.h"

#include "platform/ui/StdCtrls.h"

#include <QApplication>

using namespace shaped_fixtures;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TPanel host(nullptr);
    host.SetBevelOuter(bvNone);
    host.SetBounds(0, 0, kFormWidth, kFormHeight);
    host.SetColor(kFormBlue);
    const Keyboard kb = BuildKeyboard(host);
    TfcShapeBtn* white = kb.keys[0];
    TfcShapeBtn* black = kb.keys[7];

    Report("paint of a white key (face, bevel, caption twice, copy)", MedianMicros([&] { white->Repaint(); }),
           200);
    Report("paint of a black key (face, bevel, outlined caption twice, copy)",
           MedianMicros([&] { black->Repaint(); }), 200);

    TBitmap face;
    TfcFaceParams params;
    params.Geometry = {bsDiamond, soUp, 75, 150, {}};
    params.Color = kLightKey;
    fcPaintShapeFace(face, params, fcfpRegion, fbsNormal, fcflUp);
    Report("key window shape from its 75 x 150 pixels", MedianMicros([&] { (void)fcRegionFromBitmap(face, clRed); }),
           100);
    Report("key window shape from scratch (face for the shape, then pixels)", MedianMicros([&] {
               TBitmap image;
               fcPaintShapeFace(image, params, fcfpRegion, fbsNormal, fcflUp);
               (void)fcRegionFromBitmap(image, clRed);
           }),
           200);

    Report("repaint of the twelve keys and two arrows", MedianMicros([&] {
               for (TfcShapeBtn* k : kb.keys)
                   k->Repaint();
               kb.octaveDown->Repaint();
               kb.octaveUp->Repaint();
           }, 50),
           4000);
    return 0;
}
