#include "controls/flat/TFlatMemoUnit.h"

#include <QApplication>

TFlatMemo::TFlatMemo(TComponent* owner) : TFlatEditSkin<TCustomMemo>(owner)
{
    SetBounds(Left(), Top(), 185, 89);
}

bool TFlatMemo::PointerMakesHot() const
{
    return dynamic_cast<TFlatMemo*>(ControlOfWidget(QApplication::focusWidget())) == nullptr;
}
