#pragma once

#include "controls/shaped/fcButton.h"

// The image-button base: the dither colour, parent clipping and image
// offsets. Its own image drawing is not used by the shape buttons, which
// paint their faces themselves.
class TfcCustomImageBtn : public TfcCustomBitBtn {
public:
    explicit TfcCustomImageBtn(TComponent* owner);

    QString ClassName() const override { return QStringLiteral("TfcCustomImageBtn"); }

    // The outline pen while edges are drawn, and the second colour of a
    // pressed group button's checkerboard; clNone switches the dither off.
    TColor DitherColor() const { return ditherColor_; }
    void SetDitherColor(TColor v);

    // Reading: does the parent leave its children out of its own painting?
    // Assigning any value switches that off for the parent (the parent then
    // paints its background under the children first).
    bool ParentClipping() const;
    void SetParentClipping(bool v);

    TfcImgDownOffsets& ImgOffsets() { return static_cast<TfcImgDownOffsets&>(Offsets()); }

protected:
    std::unique_ptr<TfcOffsets> CreateOffsets() override;

private:
    TColor ditherColor_ = clWhite;
};
