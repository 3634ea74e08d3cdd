#pragma once

#include "controls/shaped/fcCommon.h"
#include "controls/shaped/fcShapeGeometry.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <cstdint>
#include <functional>
#include <vector>

// The face of a shape button drawn into an off-screen image: key-colour
// background, filled outline and the 3-D bevel. Kept apart from the control
// so that the window shape and the paint use the very same drawing, and so
// that it can be checked pixel by pixel without a window.

// The colours of the bevel (the button's ShadeColors).
struct TfcBevelColors {
    TColor Highlight = clBtnHighlight;
    TColor Light = cl3DLight;
    TColor Shadow = clBtnShadow;
    TColor Black = clBlack;
    TColor Focus = clBlack;
};

struct TfcBevelParams {
    TfcBevelColors Colors;
    TfcFaceLook Look = fcflUp;
    bool Focused = false;
    bool Default = false;
    bool Focusable = false;  // boFocusable in the button's Options

    // Focused or default buttons draw their bevel one pixel further in.
    bool Inset() const { return Focused || Default; }
};

struct TfcFaceParams {
    TfcShapeGeometry Geometry;
    int RoundRectBias = 25;
    TColor Color = clBtnFace;
    TColor DitherColor = clWhite;
    int GroupIndex = 0;
    TfcBevelColors Colors;
    bool Focused = false;
    bool Default = false;
    bool Focusable = false;
    bool Designing = false;
    bool Hot = false;  // the pointer is over the button
    bool Enabled = true;
    // Called after the face brush is set and before the pen is chosen; may
    // change the canvas's brush and pen.
    std::function<void(TCanvas&)> ComputeCanvasAttributes;
};

// Sizes the image to the button and draws the face into it (and, for
// fcfpDisplay, the bevel). Nothing is drawn for a size of 0 or less. A
// malformed custom outline throws before the outline is drawn.
void fcPaintShapeFace(TBitmap& image, const TfcFaceParams& p, TfcFacePurpose purpose, TfcShadeStyle style,
                      TfcFaceLook look);

// The bevel of a polygon outline (points closed by a copy of the first).
void fcDrawPolygonBevel(TCanvas& canvas, const std::vector<TPoint>& points, const TfcBevelParams& bevel);

// The bevel of a curved outline, found from the image itself: every diagonal
// run of non-key pixels gets light ends up-left and dark ends down-right.
void fcDrawPixelBevel(TBitmap& image, TColor key, const TfcBevelParams& bevel);
