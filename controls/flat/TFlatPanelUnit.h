#pragma once

#include "platform/core/Colors.h"
#include "platform/ui/StdCtrls.h"

// A container with a one-pixel two-colour frame and an optional one-line
// caption; it paints instead of the standard panel's bevels.
class TFlatPanel : public TCustomPanel {
public:
    // The frame colour of both edges, RGB(160, 150, 131).
    static constexpr TColor DefaultFrameColor = 8623776;

    explicit TFlatPanel(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TFlatPanel"); }

    // Show the parent's image behind the frame instead of filling with Color.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Top and left edges of the frame.
    TColor ColorHighLight() const { return colorHighLight_; }
    void SetColorHighLight(TColor v);
    // Bottom and right edges of the frame.
    TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(TColor v);

    // Composes background, frame and caption off screen and copies the
    // result once, so nothing flickers; children paint over it afterwards.
    void Paint() override;

private:
    void PaintCaption(TCanvas& canvas) const;

    bool transparent_ = false;
    TColor colorHighLight_ = DefaultFrameColor;
    TColor colorShadow_ = DefaultFrameColor;
};
