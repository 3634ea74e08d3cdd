#pragma once

#include "controls/shaped/fcImgBtn.h"
#include "controls/shaped/fcShapeGeometry.h"
#include "controls/shaped/fcShapePaint.h"

#include <QStringList>

#include <functional>
#include <vector>

using TfcCanvasAttributesEvent = std::function<void(TComponent* sender, TCanvas& canvas)>;

// A push button whose window is cut to a figure: a diamond, an arrow, a star,
// a custom polygon and so on, with bevelled edges that follow the outline.
class TfcCustomShapeBtn : public TfcCustomImageBtn {
public:
    explicit TfcCustomShapeBtn(TComponent* owner);

    QString ClassName() const override { return QStringLiteral("TfcCustomShapeBtn"); }
    // Copies the look (outline, colours, offsets, options, caption options)
    // of another shape button through the setters.
    void Assign(const TPersistent* source) override;

    TfcButtonShape Shape() const { return shape_; }
    void SetShape(TfcButtonShape v);
    TfcShapeOrientation Orientation() const { return orientation_; }
    void SetOrientation(TfcShapeOrientation v);
    int RoundRectBias() const { return roundRectBias_; }
    void SetRoundRectBias(int v);
    // One "x, y" point per line for bsCustom; WIDTH and HEIGHT may be used.
    const QStringList& PointList() const { return pointList_; }
    void SetPointList(const QStringList& v);

    // Called once per face painting after the face brush is set (through
    // ComputeCanvasAttributes, which a subclass may override).
    TfcCanvasAttributesEvent OnComputeCanvasAttributes;

    // The outline for the current size, closed by a copy of the first point.
    // A malformed custom outline falls back to bsRect and the error goes on.
    std::vector<TPoint> ShapePoints();
    // Pure red, or pure blue for a pure red button.
    TColor KeyColour() const { return fcKeyColour(Color()); }
    virtual bool IsCurvedShape() const { return ::IsCurvedShape(shape_); }

    void SizeToDefault() override;

protected:
    std::optional<TRegion> CreateRegion(TfcRegionCompute compute, TfcFaceLook look) override;
    void PaintFace(TBitmap& image, TfcFacePurpose purpose, TfcShadeStyle style, TfcFaceLook look) override;
    bool UsesWindowShape() const override { return true; }
    bool HitsByOwnRegion() const override { return false; }
    virtual void ComputeCanvasAttributes(TCanvas& canvas);

private:
    TfcFaceParams FaceParams(TfcShadeStyle style, TfcFaceLook look);
    template <class F>
    auto FallBackToRectOnError(F&& f) -> decltype(f());

    TfcButtonShape shape_ = bsRect;
    TfcShapeOrientation orientation_ = soUp;
    int roundRectBias_ = 25;
    QStringList pointList_;
};

// The shape button as forms use it.
class TfcShapeBtn : public TfcCustomShapeBtn {
public:
    using TfcCustomShapeBtn::TfcCustomShapeBtn;
    QString ClassName() const override { return QStringLiteral("TfcShapeBtn"); }
};
