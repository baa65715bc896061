#pragma once
// Bitmap definition tag bodies: JPEG data (completed by the movie's
// JPEGTables, whole, or with an alpha plane) and zlib-compressed lossless
// pixels. Movie tools write these tags with long headers (TagStream::Add
// with forceLong); readers accept either.

#include <cstdint>
#include <span>
#include <vector>

#include "swf/writer/records.h"

namespace swf::writer {

// DefineBits: JPEG image data without its tables, which the movie's
// JPEGTables tag holds (that tag's body is the tables' data as it is).
std::vector<std::uint8_t> DefineBitsBody(std::uint16_t id, std::span<const std::uint8_t> imageData);

// DefineBitsJPEG2: a JPEG (or PNG or GIF) file's bytes as given.
std::vector<std::uint8_t> DefineBitsJpeg2Body(std::uint16_t id, std::span<const std::uint8_t> picture);

// DefineBitsJPEG3: picture bytes and an alpha plane of one byte per pixel,
// compressed here (empty: no alpha data at all).
std::vector<std::uint8_t> DefineBitsJpeg3Body(std::uint16_t id, std::span<const std::uint8_t> picture,
                                              std::span<const std::uint8_t> alpha);

// DefineBitsJPEG4: DefineBitsJPEG3 with a deblocking filter strength (0..1).
std::vector<std::uint8_t> DefineBitsJpeg4Body(std::uint16_t id, std::span<const std::uint8_t> picture,
                                              std::span<const std::uint8_t> alpha, double deblocking = 0);

struct LosslessBitmap {
    enum class Format : std::uint8_t { ColorMapped8 = 3, Rgb15 = 4, Rgb32 = 5 };
    Format format = Format::Rgb32;
    std::uint16_t width = 0, height = 0;
    std::vector<Rgba> colorTable;  // ColorMapped8: 1..256 entries; alpha written by Lossless2 only
    // width * height values, top row first (row padding is added here):
    // ColorMapped8 a table index; Rgb15 0RRRRRGGGGGBBBBB; Rgb32 0xAARRGGBB,
    // written A, R, G, B as given (A is reserved in DefineBitsLossless, and
    // DefineBitsLossless2 colours are premultiplied).
    std::vector<std::uint32_t> pixels;
};

// DefineBitsLossless, or DefineBitsLossless2 when withAlpha.
std::vector<std::uint8_t> DefineBitsLosslessBody(std::uint16_t id, const LosslessBitmap& bitmap, bool withAlpha);

}  // namespace swf::writer
