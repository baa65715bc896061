#pragma once
// ICO files: an ICONDIR, one ICONDIRENTRY per image, and per image a
// device-independent bitmap of doubled height: the colour (XOR) rows followed
// by the 1-bit transparency (AND) rows.

#include <cstdint>
#include <span>
#include <vector>

#include "tools/skingen/image.h"

namespace skin {

struct DecodedIconImage {
    // As the directory entry states them (a stored 0 reads as 256 for the sides).
    int entryWidth = 0;
    int entryHeight = 0;
    int entryColourCount = 0;
    int entryPlanes = 0;
    int entryBitsPerPixel = 0;
    std::uint32_t entryBytes = 0;

    // As the image's own header states them.
    int bitsPerPixel = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;  // top row first
    RgbImage image;                     // the colour (XOR) picture, top row first
    BitImage mask;                      // the AND mask, true = transparent
};

struct DecodedIcon {
    std::vector<DecodedIconImage> images;
};

// One image of 8 bits per pixel: the palette (at most 256 colours) is padded to
// 256 entries with black. `mask` marks the transparent pixels and must be the
// image's size; the sides must lie between 1 and 256.
std::vector<std::uint8_t> EncodeIcon(const IndexedImage& image, const BitImage& mask);

// Reads an icon whose images are uncompressed bitmaps of 1, 4, 8 or 24 bits per
// pixel. Throws FormatError for anything truncated, malformed or unsupported.
DecodedIcon DecodeIcon(std::span<const std::uint8_t> bytes);

}  // namespace skin
