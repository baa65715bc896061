#pragma once
// Our logo, an open book with a play sign beside the letters "UG", in the three
// places the program shows it: on the title bar, in the content panel and as
// the application icon.

#include "tools/skingen/image.h"

namespace skin {

// A picture for an icon: its colours and its transparency mask (true = transparent).
// Transparent pixels are black, as masked icons conventionally carry them.
struct IconArt {
    RgbImage image;
    BitImage mask;
};

// 61 × 27, on a background that continues the title strip from its row 1 down.
RgbImage LogoPicture();
// 32 × 32: the logo on a white square with a dark frame, rounded corners transparent.
IconArt LogoIcon();
// 64 × 64: the same tile at the application icon's size.
IconArt MainIcon();

}  // namespace skin
