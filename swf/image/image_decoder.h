#pragma once
// Turns a JPEG (baseline or progressive), PNG or GIF file held in memory into
// premultiplied pixels. Decoding is done by a library, not here.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "swf/raster/image.h"

namespace swf {

// Pictures larger than this on either side, or than kMaxImageBytes decoded,
// are refused before anything is allocated for them.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::size_t kMaxImageBytes = 256u << 20;

// nullptr, with *error saying why, when the data is not a picture of those
// kinds, is damaged, or is over the limits.
std::shared_ptr<raster::Image> DecodeImage(std::span<const std::uint8_t> bytes, std::string* error);

}  // namespace swf
