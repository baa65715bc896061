#pragma once
// The 8 x 8 inverse DCT in integers, accurate to within what H.263 asks of
// a decoder's transform (IEEE 1180: peak error 1, small mean square error).

#include <cstdint>

namespace swf::video {

// `block` holds 64 dequantised coefficients, row-major, and is zero again
// afterwards. Put writes the clamped result; Add adds it to the pixels there.
void IdctPut(std::int16_t* block, std::uint8_t* pixels, int stride);
void IdctAdd(std::int16_t* block, std::uint8_t* pixels, int stride);

}  // namespace swf::video
