#pragma once
// 4:2:0 pictures to opaque RGB with ITU-R BT.601's limited-range
// coefficients (luma 16 to 235, chroma 16 to 240 around 128); each chroma
// sample serves the 2 x 2 luma samples it covers.

#include <cstdint>

#include "swf/raster/image.h"

namespace swf::video {

struct YuvPlanes {
    const std::uint8_t* y = nullptr;
    const std::uint8_t* u = nullptr;
    const std::uint8_t* v = nullptr;
    int lumaStride = 0;
    int chromaStride = 0;
};

// Fills `image` with the top-left width x height pixels as 0xFFRRGGBB, and
// gives it a new serial.
void YuvToRgb(const YuvPlanes& planes, int width, int height, raster::Image& image);

// Converts only the pixels of `image` (already of its size) in the
// rectangle at x, y (even numbers) of width x height; the serial stays.
void YuvToRgbArea(const YuvPlanes& planes, int x, int y, int width, int height, raster::Image& image);

}  // namespace swf::video
