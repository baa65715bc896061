#pragma once
// BMP files: a BITMAPFILEHEADER followed by a device-independent bitmap.

#include <cstdint>
#include <span>
#include <vector>

#include "tools/skingen/image.h"

namespace skin {

// What a BMP file holds, top row first.
struct DecodedBitmap {
    int bitsPerPixel = 0;
    bool bottomUp = false;
    std::uint32_t infoHeaderSize = 0;
    std::vector<Rgb> palette;           // empty for 24 bits per pixel
    std::vector<std::uint8_t> indices;  // palette index of each pixel; empty for 24 bits per pixel
    RgbImage image;                     // the colour of each pixel
};

// 24 bits per pixel, no palette, bottom-up.
std::vector<std::uint8_t> EncodeBmp(const RgbImage& image);
// 1 bit per pixel, palette black (0) and white (1), bottom-up; true pixels are white.
std::vector<std::uint8_t> EncodeMonochromeBmp(const BitImage& image);

// Reads an uncompressed BMP of 1, 4, 8 or 24 bits per pixel. Throws FormatError
// for anything truncated, malformed or unsupported.
DecodedBitmap DecodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace skin
