#pragma once
// Shows colours as #RRGGBB in test failure messages.

#include <cstdio>
#include <ostream>

#include "tools/skingen/image.h"

namespace skin {

inline void PrintTo(const Rgb& colour, std::ostream* out) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.r, colour.g, colour.b);
    *out << text;
}

}  // namespace skin
