#pragma once

#include <cstdint>
#include <vector>

namespace swf::raster {

// A decoded picture: premultiplied 0xAARRGGBB pixels (as Surface keeps them),
// row-major, top row first, width * height entries.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace swf::raster
