#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/core/Colors.h"
#include "platform/graphics/Region.h"
#include "platform/core/Types.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// The outline of a shape button, computed from its size alone so that the
// same points serve the window shape, the face fill and the bevel.

enum TfcButtonShape : std::uint8_t {
    bsRoundRect,
    bsEllipse,
    bsTriangle,
    bsArrow,
    bsDiamond,
    bsRect,
    bsStar,
    bsTrapezoid,
    bsCustom,
};

enum TfcShapeOrientation : std::uint8_t { soLeft, soRight, soUp, soDown };

inline bool IsCurvedShape(TfcButtonShape s) { return s == bsRoundRect || s == bsEllipse; }

struct TfcShapeGeometry {
    TfcButtonShape Shape = bsRect;
    TfcShapeOrientation Orientation = soUp;
    int Width = 0;   // the control's size; the shape box is Width - 1 x Height - 1
    int Height = 0;
    QStringList PointList;  // bsCustom only
};

// The corner points followed by a copy of the first one, already turned to
// the orientation; empty for curved shapes, for bsCustom with fewer than three
// lines and for a size of 0 or less. A malformed custom line throws
// (EInvalidOperation or EConvertError).
std::vector<TPoint> fcShapePoints(const TfcShapeGeometry& geometry);

// Quarter turns clockwise of every point in the w x h shape box (0 for soUp,
// 1 soRight, 2 soDown, 3 soLeft), stretched back to the full box. A box of
// width or height 0 cannot be turned and is left as it is.
void fcRotatePoints(std::vector<TPoint>& points, int w, int h, TfcShapeOrientation orientation);

// The ten corners of the five-pointed star in the w x h box.
std::vector<TPoint> fcStarPoints(int w, int h);

// One point per line of "x, y" expressions in which WIDTH and HEIGHT stand for
// w and h. Coordinates are limited to the 16-bit range so that later sums and
// products stay exact.
std::vector<TPoint> fcCustomPoints(const QStringList& lines, int w, int h);

// The colour that marks "not part of the shape" in a face image: pure red, or
// pure blue when the face itself is pure red.
TColor fcKeyColour(TColor faceColor);

// Every pixel of the image whose colour differs from key; none for an empty
// image or one that holds only key pixels.
std::optional<TRegion> fcRegionFromBitmap(const TBitmap& bitmap, TColor key);
