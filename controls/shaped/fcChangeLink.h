#pragma once

#include <functional>

class TfcCustomBitBtn;

// An observer of a button: other components register one with the button and
// are told, with the button as sender, when its group selection changed, when
// it went down and when it finished loading. Unassigned hooks are not called.
class TfcChangeLink {
public:
    using THook = std::function<void(TfcCustomBitBtn* sender)>;

    THook OnSelChange;
    THook OnDown;
    THook OnLoaded;

    void SelChange(TfcCustomBitBtn* sender) const { Call(OnSelChange, sender); }
    void WentDown(TfcCustomBitBtn* sender) const { Call(OnDown, sender); }
    void Loaded(TfcCustomBitBtn* sender) const { Call(OnLoaded, sender); }

private:
    static void Call(const THook& hook, TfcCustomBitBtn* sender)
    {
        if (hook)
            hook(sender);
    }
};
