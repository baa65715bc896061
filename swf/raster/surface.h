#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/raster/color.h"

namespace swf::raster {

// A rectangle of premultiplied pixels, each a uint32 0xAARRGGBB (bytes B, G, R, A
// in memory on little-endian machines, which a 32-bit top-down DIB shows as is),
// row-major with the top row first.
class Surface {
public:
    // An empty 0 x 0 surface.
    Surface() = default;
    // Owns its pixels, all transparent black. Negative sizes count as 0.
    Surface(int width, int height);
    // Draws into memory owned by the caller; strideBytes is the distance between
    // rows (at least width * 4, a multiple of 4). The memory must outlive the surface.
    Surface(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes);

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&&) noexcept;
    Surface& operator=(Surface&&) noexcept;

    int width() const { return width_; }
    int height() const { return height_; }
    std::ptrdiff_t strideBytes() const { return stridePixels_ * 4; }

    std::uint32_t* row(int y) { return pixels_ + y * stridePixels_; }
    const std::uint32_t* row(int y) const { return pixels_ + y * stridePixels_; }
    // Pixel at (x, y); the caller keeps x and y inside the surface.
    std::uint32_t pixel(int x, int y) const { return row(y)[x]; }

    // Sets every pixel to the colour (premultiplied on the way).
    void Clear(Color color);
    void ClearPremultiplied(std::uint32_t pixel);

private:
    std::vector<std::uint32_t> owned_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stridePixels_ = 0;
};

}  // namespace swf::raster
