#pragma once
// The bitmap definition tags: DefineBits with the movie's JPEGTables,
// DefineBitsJPEG2/3/4 (JPEG, or PNG/GIF data, with an optional alpha plane)
// and DefineBitsLossless/Lossless2 (zlib-compressed pixels).
//
// Pixel data the movie format stores with alpha (alpha planes, Lossless2
// colour tables and pixels) is premultiplied in the file; colour channels
// above their alpha are clamped so every pixel is a valid premultiplied one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "swf/model/bitmap.h"

namespace swf {

// Decoded pixels kept for one movie's bitmaps; bitmaps past it are dropped.
inline constexpr std::size_t kMaxBitmapBytesPerMovie = std::size_t{1} << 30;

// DefineBits: image data completed by the movie's JPEGTables data (empty when
// the movie has none, then the image data is tried alone).
std::shared_ptr<BitmapDefinition> ParseDefineBits(std::span<const std::uint8_t> body,
                                                  std::span<const std::uint8_t> jpegTables);

// DefineBitsJPEG2, DefineBitsJPEG3 or DefineBitsJPEG4 (`version` 2..4). A
// missing or damaged alpha plane leaves the picture opaque and adds a line
// to `warnings`.
std::shared_ptr<BitmapDefinition> ParseDefineBitsJpeg(std::span<const std::uint8_t> body, int version,
                                                      std::vector<std::string>& warnings);

// DefineBitsLossless (`version` 1) or DefineBitsLossless2 (`version` 2).
std::shared_ptr<BitmapDefinition> ParseDefineBitsLossless(std::span<const std::uint8_t> body, int version);

}  // namespace swf
