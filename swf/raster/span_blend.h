#pragma once

#include <cstdint>

namespace swf::raster {

// Source-over of premultiplied spans onto premultiplied pixels. Each function
// gives exactly what BlendOver and ScalePixel (color.h) give pixel by pixel; on
// x86-64 they work on four pixels at a time with SSE2, elsewhere in plain C++.

// pixels[i] = BlendOver(source, pixels[i])
void BlendSolidSpan(std::uint32_t* pixels, int length, std::uint32_t source);
// pixels[i] = BlendOver(ScalePixel(color, covers[i]), pixels[i])
void BlendSolidCovers(std::uint32_t* pixels, int length, std::uint32_t color, const std::uint8_t* covers);
// pixels[i] = BlendOver(ScalePixel(colors[i], cover), pixels[i])
void BlendColorSpan(std::uint32_t* pixels, const std::uint32_t* colors, int length, std::uint8_t cover);
// pixels[i] = BlendOver(ScalePixel(colors[i], covers[i]), pixels[i])
void BlendColorCovers(std::uint32_t* pixels, const std::uint32_t* colors, int length, const std::uint8_t* covers);

}  // namespace swf::raster
