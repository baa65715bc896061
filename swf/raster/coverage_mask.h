#pragma once

#include <cstdint>
#include <vector>

#include "swf/raster/geometry.h"

namespace swf::raster {

// An 8-bit coverage buffer (0 = outside, 255 = fully inside), the size of the
// surface it clips. Shapes are rendered into it as a union; fills that take it
// as their clip are multiplied by it.
class CoverageMask {
public:
    CoverageMask() = default;
    // Starts empty (all 0). Negative sizes count as 0.
    CoverageMask(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    std::uint8_t* row(int y) { return values_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint8_t* row(int y) const { return values_.data() + static_cast<std::size_t>(y) * width_; }
    // The caller keeps x and y inside the mask.
    std::uint8_t at(int x, int y) const { return row(y)[x]; }

    void Clear(std::uint8_t value = 0);
    // Sets the pixels of `area` (clipped to the mask) to 0.
    void Clear(const PixelRect& area);
    // Keeps only what both masks cover (for nested clips); the areas outside the
    // other mask count as uncovered.
    void Intersect(const CoverageMask& other);
    // The same, for the pixels of `area` only: enough when everything outside it
    // is 0 already.
    void Intersect(const CoverageMask& other, const PixelRect& area);

private:
    std::vector<std::uint8_t> values_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace swf::raster
