#pragma once

#include "controls/flat/FlatUtilitys.h"

#include "platform/core/Colors.h"
#include "platform/ui/ComboBox.h"

// The combo box with a flat skin: a one-pixel frame and a narrow flat arrow
// button instead of the sunken border and the raised button. Items, the list
// and the keys are the framework combo's; the skin adds no hover look.
class TFlatComboBox : public TCustomComboBox {
public:
    static constexpr TColor DefaultColorArrowBackground = 12965593;  // RGB(217, 214, 197)
    static constexpr TColor DefaultColorBorder = 8623776;            // RGB(160, 150, 131)
    // Width of the flat arrow button before its one-pixel widening.
    static constexpr int ArrowWidth = 11;

    explicit TFlatComboBox(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TFlatComboBox"); }

    TColor ColorArrow() const { return colorArrow_; }
    void SetColorArrow(TColor v);
    TColor ColorArrowBackground() const { return colorArrowBackground_; }
    void SetColorArrowBackground(TColor v);
    TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(TColor v);
    // Percentages for the colours derived from the parent's with UseAdvColors.
    TAdvColors AdvColorBorder() const { return advColorBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    TAdvColors AdvColorArrowBackground() const { return advColorArrowBackground_; }
    void SetAdvColorArrowBackground(TAdvColors v);
    // Derive ColorBorder and ColorArrowBackground from the parent's colour.
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool v);

    // The flat arrow button's rectangle before its widening.
    TRect ArrowRect() const;

    // Composes field, arrow button, selection edge and frame off screen and
    // copies the result once.
    void Paint() override;

protected:
    TRect EditRect() const override;
    void FontChanged() override;
    void ParentColorChanged() override;

private:
    void ApplyAdvancedColors();
    void PaintArrowButton(TCanvas& canvas) const;
    void PaintSelectionEdge(TCanvas& canvas) const;
    void PaintFrame(TCanvas& canvas) const;

    TColor colorArrow_ = clBlack;
    TColor colorArrowBackground_ = DefaultColorArrowBackground;
    TColor colorBorder_ = DefaultColorBorder;
    TAdvColors advColorBorder_ = 50;
    TAdvColors advColorArrowBackground_ = 10;
    bool useAdvColors_ = false;
};
