#pragma once
// The eight 16 × 16 window-button pictures, side by side in one strip, and the
// strip's transparency mask.

#include "tools/skingen/image.h"

namespace skin {

inline constexpr int kButtonSide = 16;
inline constexpr int kButtonCount = 8;

inline constexpr Rgb kBrightTone = rgb(0x0577D0);  // even pictures: normal look
inline constexpr Rgb kMutedTone = rgb(0x4A69AE);   // odd pictures: under the mouse

// 128 × 16: picture i in columns 16i to 16i + 15. Pixels under a transparent
// mask pixel are black.
RgbImage button_strip();
// 128 × 16, true = transparent.
BitImage button_strip_mask();

}  // namespace skin
