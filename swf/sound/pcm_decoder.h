#pragma once
// Uncompressed sound: 16-bit samples little-endian (also for the format's
// "native-endian" code, which players on little-endian machines read so),
// 8-bit samples unsigned around 128; channels interleaved.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf::sound {

// At most `maxFrames` frames; a trailing partial frame is dropped.
std::vector<std::int16_t> DecodePcm(std::span<const std::uint8_t> data, bool sixteenBit, bool stereo,
                                    std::size_t maxFrames);

}  // namespace swf::sound
