#include "tools/frame_png/frame_png.h"

#include <algorithm>

#include "swf/image/png_encoder.h"

namespace frame_png {

std::vector<std::uint8_t> ToRgba(const swf::raster::Surface& surface) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(surface.width()) * surface.height() * 4);
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            const std::uint32_t a = p >> 24;
            auto channel = [a](std::uint32_t c) {
                return static_cast<std::uint8_t>(a == 0 ? 0 : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
            };
            rgba.push_back(channel((p >> 16) & 0xff));
            rgba.push_back(channel((p >> 8) & 0xff));
            rgba.push_back(channel(p & 0xff));
            rgba.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return rgba;
}

std::vector<std::uint8_t> EncodeSurface(const swf::raster::Surface& surface) {
    return swf::EncodePng(surface.width(), surface.height(), ToRgba(surface));
}

}  // namespace frame_png
