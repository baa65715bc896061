#pragma once
// The eight 16 × 16 window-button pictures, side by side in one strip, and the
// strip's transparency mask.

#include "tools/skingen/image.h"

namespace skin {

inline constexpr int kButtonSide = 16;
inline constexpr int kButtonCount = 8;

inline constexpr Rgb kBrightTone = HexRgb(0x0577D0);  // even pictures: normal look
inline constexpr Rgb kMutedTone = HexRgb(0x4A69AE);   // odd pictures: under the mouse

// 128 × 16: picture i in columns 16i to 16i + 15. Pixels under a transparent
// mask pixel are black.
RgbImage DrawButtonStrip();
// 128 × 16, true = transparent.
BitImage ButtonStripMask();

}  // namespace skin
