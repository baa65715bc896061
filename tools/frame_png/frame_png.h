#pragma once
// A drawn frame as a PNG file, for the tools that write pictures of movies.

#include <cstdint>
#include <vector>

#include "swf/raster/surface.h"

namespace frame_png {

// Straight RGBA bytes, top row first, from the surface's premultiplied pixels.
std::vector<std::uint8_t> ToRgba(const swf::raster::Surface& surface);

// The surface as PNG file bytes.
std::vector<std::uint8_t> EncodeSurface(const swf::raster::Surface& surface);

}  // namespace frame_png
