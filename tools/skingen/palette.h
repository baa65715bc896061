#pragma once
// Turns a colour picture into palette indices without changing any colour.

#include "tools/skingen/image.h"

namespace skin {

// The palette holds each colour of the picture once, black first and the rest
// in ascending #RRGGBB order, so equal pictures always give equal palettes.
// Throws FormatError when the picture has more than 256 colours.
IndexedImage IndexColours(const RgbImage& image);

}  // namespace skin
