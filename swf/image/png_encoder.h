#pragma once
// Encodes 8-bit RGBA pixels as a PNG file (IHDR, one IDAT, IEND).

#include <cstdint>
#include <span>
#include <vector>

namespace swf {

// `rgba` holds width * height * 4 bytes, top row first, straight alpha.
// Throws std::invalid_argument when the sizes do not match.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba);

}  // namespace swf
