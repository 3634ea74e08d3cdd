#include "controls/shaped/fcImgBtn.h"

#include "platform/core/Property.h"

#include <QVariant>

namespace {

// Kept on the parent widget: no parent clips until a button says otherwise.
constexpr const char* kClipChildrenProperty = "fcClipChildren";

}  // namespace

TfcCustomImageBtn::TfcCustomImageBtn(TComponent* owner) : TfcCustomBitBtn(owner)
{
    ResetOffsets(TfcCustomImageBtn::CreateOffsets());
}

std::unique_ptr<TfcOffsets> TfcCustomImageBtn::CreateOffsets()
{
    return std::make_unique<TfcImgDownOffsets>([this] { RequestRepaint(); });
}

void TfcCustomImageBtn::SetDitherColor(TColor v)
{
    if (Store(ditherColor_, v))
        RequestRepaint();
}

bool TfcCustomImageBtn::ParentClipping() const
{
    const TWinControl* parent = Parent();
    if (!parent)
        return false;
    const QVariant clips = parent->property(kClipChildrenProperty);
    return !clips.isValid() || clips.toBool();
}

void TfcCustomImageBtn::SetParentClipping(bool)
{
    TWinControl* parent = Parent();
    if (!parent || (ComponentState() & csDesigning))
        return;
    parent->setProperty(kClipChildrenProperty, false);
}
