#pragma once
// The SWF format's ADPCM: a 2-bit code size, then packets of 4096 samples a
// channel (a 16-bit first sample and a 6-bit step index, then 4095 codes of
// 2 to 5 bits, channels interleaved).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swf::sound {

struct AdpcmResult {
    std::vector<std::int16_t> samples;  // interleaved when stereo
    // The data ended inside a packet header or before `maxFrames` frames.
    bool cut = false;
};

// Decodes at most `maxFrames` frames (a frame is one sample per channel).
AdpcmResult DecodeAdpcm(std::span<const std::uint8_t> data, bool stereo, std::size_t maxFrames);

}  // namespace swf::sound
