#include "swf/raster/coverage_mask.h"

#include <algorithm>

#include "swf/raster/color.h"

namespace swf::raster {

CoverageMask::CoverageMask(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  values_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
}

void CoverageMask::clear(std::uint8_t value) { std::fill(values_.begin(), values_.end(), value); }

void CoverageMask::intersect(const CoverageMask& other) {
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* out = row(y);
    if (y >= other.height_) {
      std::fill(out, out + width_, 0);
      continue;
    }
    const std::uint8_t* in = other.row(y);
    int shared = std::min(width_, other.width_);
    for (int x = 0; x < shared; ++x) out[x] = static_cast<std::uint8_t>(mul255(out[x], in[x]));
    std::fill(out + shared, out + width_, 0);
  }
}

}  // namespace swf::raster
