#include "controls/shaped/fcAccessible.h"

#include "controls/shaped/fcButton.h"
#include "platform/ui/Accessible.h"

#include <QPointer>

namespace {

class TfcButtonAccessible : public TButtonAccessible {
public:
    explicit TfcButtonAccessible(TfcCustomBitBtn* b) : TButtonAccessible(b, &ClickLikePointer) {}

protected:
    bool Latches() const override { return Button() && Button()->GroupIndex() > 0; }
    bool IsDown() const override { return Button() && Button()->Down(); }

private:
    TfcCustomBitBtn* Button() const { return dynamic_cast<TfcCustomBitBtn*>(widget()); }

    // A press and a release on the shape, then the click: the path the
    // pointer and the space key take, so groups latch and modal results are
    // given before OnClick runs.
    static void ClickLikePointer(TControl& c)
    {
        auto* b = dynamic_cast<TfcCustomBitBtn*>(&c);
        if (!b)
            return;
        QPointer<QWidget> guard(b);
        b->Press();
        if (guard)
            b->Release(TfcReleasePlace::Inside);
        if (guard)
            b->Click();
    }
};

}  // namespace

QAccessibleInterface* ShapedAccessibleInterface(QObject* object)
{
    if (auto* b = dynamic_cast<TfcCustomBitBtn*>(object))
        return new TfcButtonAccessible(b);
    return nullptr;
}
