#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace swf::raster {

// A decoded picture: premultiplied 0xAARRGGBB pixels (as Surface keeps them),
// row-major, top row first, width * height entries.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Different for every image made in this process, so a drawing that names
    // an image can tell it from a later one that happens to reuse its memory.
    // Whoever changes the pixels in place assigns a NewSerial() afterwards.
    std::uint64_t serial = NewSerial();

    std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    static std::uint64_t NewSerial() {
        static std::atomic<std::uint64_t> counter{0};
        return ++counter;
    }
};

}  // namespace swf::raster
