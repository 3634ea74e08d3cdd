#pragma once

// The two lines every property setter and every event call share.

#include <utility>

// Stores v in field and answers whether that changed it, so that a setter
// that changes nothing does nothing:
//     if (Store(name_, v))
//         Changed();
template <class T, class U>
bool Store(T& field, U&& v)
{
    if (field == v)
        return false;
    field = std::forward<U>(v);
    return true;
}

// Calls an event handler when one is assigned: Fire(OnClick, this).
template <class Event, class... Args>
void Fire(const Event& handler, Args&&... args)
{
    if (handler)
        handler(std::forward<Args>(args)...);
}
