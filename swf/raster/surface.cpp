#include "swf/raster/surface.h"

#include <algorithm>
#include <utility>

namespace swf::raster {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), stridePixels_(width_) {
    owned_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u);
    pixels_ = owned_.data();
}

Surface::Surface(std::uint32_t* pixels, int width, int height, std::ptrdiff_t strideBytes)
    : pixels_(pixels), width_(std::max(width, 0)), height_(std::max(height, 0)), stridePixels_(strideBytes / 4) {
    // A view that cannot hold its rows is treated as empty rather than overrun.
    if (pixels_ == nullptr || stridePixels_ < width_) {
        pixels_ = nullptr;
        width_ = height_ = 0;
        stridePixels_ = 0;
    }
}

Surface::Surface(Surface&& other) noexcept { *this = std::move(other); }

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        bool ownsPixels = other.pixels_ == other.owned_.data() && !other.owned_.empty();
        owned_ = std::move(other.owned_);
        pixels_ = ownsPixels ? owned_.data() : other.pixels_;
        width_ = other.width_;
        height_ = other.height_;
        stridePixels_ = other.stridePixels_;
        other.owned_.clear();
        other.pixels_ = nullptr;
        other.width_ = other.height_ = 0;
        other.stridePixels_ = 0;
    }
    return *this;
}

void Surface::Clear(Color color) { ClearPremultiplied(Premultiply(color)); }

void Surface::ClearPremultiplied(std::uint32_t pixel) {
    for (int y = 0; y < height_; ++y) std::fill(row(y), row(y) + width_, pixel);
}

}  // namespace swf::raster
