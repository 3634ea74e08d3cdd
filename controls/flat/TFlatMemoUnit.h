#pragma once

#include "controls/flat/TFlatEditUnit.h"

// The flat memo: a memo with the flat skin. Its size does not follow the font.
class TFlatMemo : public TFlatEditSkin<TCustomMemo> {
public:
    explicit TFlatMemo(TComponent* owner);
    QString ClassName() const override { return QStringLiteral("TFlatMemo"); }

protected:
    // A focused memo keeps the other memos idle under the pointer: the
    // pointer counts only while the focus is on something else.
    bool PointerMakesHot() const override;
};
