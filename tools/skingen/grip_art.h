#pragma once
// The resize grip's picture: three diagonal stripes on white.

#include "tools/skingen/image.h"

namespace skin {

RgbImage Grip();  // 12 × 12

}  // namespace skin
