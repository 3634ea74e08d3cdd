#include "controls/shaped/fcShapeBtn.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Property.h"

TfcCustomShapeBtn::TfcCustomShapeBtn(TComponent* owner) : TfcCustomImageBtn(owner) {}

template <class F>
auto TfcCustomShapeBtn::FallBackToRectOnError(F&& f) -> decltype(f())
{
    try {
        return f();
    } catch (const EInvalidOperation&) {
        shape_ = bsRect;  // stored directly: the window is not re-shaped here
        throw;
    } catch (const EConvertError&) {
        shape_ = bsRect;
        throw;
    }
}

void TfcCustomShapeBtn::SetShape(TfcButtonShape v)
{
    if (shape_ == v || v > bsCustom)
        return;
    shape_ = v;
    RecreateShape();
}

void TfcCustomShapeBtn::SetOrientation(TfcShapeOrientation v)
{
    if (orientation_ == v || v > soDown)
        return;
    orientation_ = v;
    RecreateShape();
}

void TfcCustomShapeBtn::SetRoundRectBias(int v)
{
    if (Store(roundRectBias_, v))
        RecreateShape();
}

void TfcCustomShapeBtn::SetPointList(const QStringList& v)
{
    pointList_ = v;
    RecreateShape();
}

std::vector<TPoint> TfcCustomShapeBtn::ShapePoints()
{
    return FallBackToRectOnError(
        [this] { return fcShapePoints({shape_, orientation_, Width(), Height(), pointList_}); });
}

void TfcCustomShapeBtn::SizeToDefault()
{
    const int side = std::max(Width(), Height());
    SetBounds(Left(), Top(), side, side);
}

void TfcCustomShapeBtn::ComputeCanvasAttributes(TCanvas& canvas)
{
    Fire(OnComputeCanvasAttributes, this, canvas);
}

TfcFaceParams TfcCustomShapeBtn::FaceParams(TfcShadeStyle style, TfcFaceLook look)
{
    TfcFaceParams p;
    p.Geometry = {shape_, orientation_, Width(), Height(), pointList_};
    p.RoundRectBias = roundRectBias_;
    p.Color = Color();
    p.DitherColor = DitherColor();
    p.GroupIndex = GroupIndex();
    const TfcShadeColors& sc = ShadeColors();
    p.Colors = {sc.BtnHighlight(), sc.Btn3DLight(), sc.BtnShadow(), sc.BtnBlack(), sc.BtnFocus()};
    p.Focused = Focused();
    p.Default = Default();
    p.Focusable = Options().Contains(boFocusable);
    p.Designing = (ComponentState() & csDesigning) != 0;
    p.Enabled = Enabled();
    // Only a flat button that is up looks different when hot.
    p.Hot = style == fbsFlat && look == fcflUp && !p.Designing && Enabled() && IsHot();
    // Always the virtual: a subclass overriding it is called whether or not
    // the event is assigned (the default fires the event).
    p.ComputeCanvasAttributes = [this](TCanvas& c) { ComputeCanvasAttributes(c); };
    return p;
}

void TfcCustomShapeBtn::PaintFace(TBitmap& image, TfcFacePurpose purpose, TfcShadeStyle style, TfcFaceLook look)
{
    const TfcFaceParams p = FaceParams(style, look);
    FallBackToRectOnError([&] { fcPaintShapeFace(image, p, purpose, style, look); });
}

std::optional<TRegion> TfcCustomShapeBtn::CreateRegion(TfcRegionCompute compute, TfcFaceLook look)
{
    if (std::optional<TRegion> cached = TfcCustomImageBtn::CreateRegion(compute, look))
        return cached;
    if (compute == TfcRegionCompute::CachedOnly)
        return std::nullopt;
    TBitmap image;
    PaintFace(image, fcfpRegion, ShadeStyle(), look);
    std::optional<TRegion> region = fcRegionFromBitmap(image, KeyColour());
    if (region)
        StoreRegionData(*region, look);
    return region;
}

void TfcCustomShapeBtn::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TfcCustomShapeBtn*>(source);
    if (!s) {
        TfcCustomImageBtn::Assign(source);
        return;
    }
    SetShape(s->Shape());
    SetOrientation(s->Orientation());
    SetPointList(s->PointList());
    SetRoundRectBias(s->RoundRectBias());
    SetDitherColor(s->DitherColor());
    SetOffsets(s->Offsets());
    SetColor(s->Color());
    SetLayout(s->Layout());
    SetMargin(s->Margin());
    SetNumGlyphs(s->NumGlyphs());
    SetOptions(s->Options());
    SetShadeColors(s->ShadeColors());
    SetSpacing(s->Spacing());
    SetTabStop(s->TabStop());
    SetTextOptions(s->TextOptions());
}
