#pragma once

#include "platform/core/Types.h"

#include <ostream>

// Readable failure messages for geometry values.
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
inline void PrintTo(const TRect& r, std::ostream* os)
{
    *os << "[" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
