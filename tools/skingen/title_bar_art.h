#pragma once
// The title bar's pictures: the strip stretched across it and its two end caps
// with the rounded top corners cut out in the window's key colour.

#include "tools/skingen/image.h"

namespace skin {

inline constexpr int kTitleBarHeight = 29;
// Pixels of exactly this colour are see-through in the player window.
inline constexpr Rgb kKeyColour = HexRgb(0xFE0001);

// The colour of one row of the title strip, row 0 at the top.
Rgb TitleStripColour(int row);

RgbImage TitleStrip();  // 10 × 29
RgbImage LeftCap();     // 10 × 29
RgbImage RightCap();    // 16 × 29

}  // namespace skin
