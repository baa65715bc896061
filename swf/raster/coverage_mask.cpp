#include "swf/raster/coverage_mask.h"

#include <algorithm>

#include "swf/raster/color.h"

namespace swf::raster {

CoverageMask::CoverageMask(int width, int height) : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    values_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
}

void CoverageMask::Clear(std::uint8_t value) { std::fill(values_.begin(), values_.end(), value); }

void CoverageMask::Clear(const PixelRect& area) {
    const int left = std::max(area.left, 0), right = std::min(area.right, width_);
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_) && left < right; ++y) {
        std::fill(row(y) + left, row(y) + right, 0);
    }
}

void CoverageMask::Intersect(const CoverageMask& other) { Intersect(other, PixelRect{0, 0, width_, height_}); }

void CoverageMask::Intersect(const CoverageMask& other, const PixelRect& area) {
    const int left = std::max(area.left, 0), right = std::min(area.right, width_);
    if (left >= right) return;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y) {
        std::uint8_t* out = row(y);
        if (y >= other.height_) {
            std::fill(out + left, out + right, 0);
            continue;
        }
        const std::uint8_t* in = other.row(y);
        const int shared = std::clamp(other.width_, left, right);
        for (int x = left; x < shared; ++x) out[x] = static_cast<std::uint8_t>(Mul255(out[x], in[x]));
        std::fill(out + shared, out + right, 0);
    }
}

}  // namespace swf::raster
