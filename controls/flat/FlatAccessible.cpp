#include "controls/flat/FlatAccessible.h"

#include "controls/flat/TFlatSpeedButtonUnit.h"
#include "controls/flat/TFlatSpinButtonUnit.h"
#include "controls/flat/TFlatSpinEditUnit.h"
#include "platform/ui/Accessible.h"

#include <QPointer>

namespace {

class TFlatButtonAccessible : public TButtonAccessible {
public:
    explicit TFlatButtonAccessible(TFlatSpeedButton* b) : TButtonAccessible(b, &ClickLikePointer) {}

    // The arrows of a spin button show only a glyph: they are read by what
    // they do.
    QString text(QAccessible::Text t) const override
    {
        const TFlatSpeedButton* b = Button();
        if (t == QAccessible::Name && b && b->Caption().isEmpty() && b->accessibleName().isEmpty())
            if (const auto* spin = dynamic_cast<const TSpinButton*>(b->Parent())) {
                if (b == spin->UpButton())
                    return QStringLiteral("Больше");
                if (b == spin->DownButton())
                    return QStringLiteral("Меньше");
            }
        return TButtonAccessible::text(t);
    }

protected:
    bool Latches() const override { return Button() && Button()->GroupIndex() != 0; }
    bool IsDown() const override { return Button() && Button()->Down(); }

private:
    TFlatSpeedButton* Button() const { return dynamic_cast<TFlatSpeedButton*>(widget()); }

    // What a release inside the button does: a group button toggles, then
    // the click gives the form the modal result and runs OnClick.
    static void ClickLikePointer(TControl& c)
    {
        auto* b = dynamic_cast<TFlatSpeedButton*>(&c);
        if (!b)
            return;
        QPointer<QWidget> guard(b);
        if (b->GroupIndex() != 0)
            b->SetDown(!b->Down());
        if (guard)
            b->Click();
    }
};

class TFlatSpinEditAccessible : public TEditAccessible, public QAccessibleValueInterface {
public:
    explicit TFlatSpinEditAccessible(TFlatSpinEditInteger* e) : TEditAccessible(e, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return TEditAccessible::interface_cast(t);
    }

    QVariant currentValue() const override { return Spin() ? QVariant(Spin()->Value()) : QVariant(); }
    QVariant minimumValue() const override { return Spin() ? QVariant(Spin()->MinValue()) : QVariant(); }
    QVariant maximumValue() const override { return Spin() ? QVariant(Spin()->MaxValue()) : QVariant(); }
    QVariant minimumStepSize() const override { return Spin() ? QVariant(Spin()->Increment()) : QVariant(); }

    // A value set by assistive technology is input like the arrows: held
    // while a sleep runs, limited to the range, OnChange when it changed.
    void setCurrentValue(const QVariant& value) override
    {
        TFlatSpinEditInteger* e = Spin();
        bool ok = false;
        const int v = value.toInt(&ok);
        if (!e || !ok || !AcceptsAccessibleAction(*e))
            return;
        PostAccessibleAction(e, [e, v] { e->SetValue(v); });
    }

private:
    TFlatSpinEditInteger* Spin() const { return dynamic_cast<TFlatSpinEditInteger*>(widget()); }
};

}  // namespace

QAccessibleInterface* FlatAccessibleInterface(QObject* object)
{
    if (auto* b = dynamic_cast<TFlatSpeedButton*>(object))
        return new TFlatButtonAccessible(b);
    if (auto* e = dynamic_cast<TFlatSpinEditInteger*>(object))
        return new TFlatSpinEditAccessible(e);
    return nullptr;
}
