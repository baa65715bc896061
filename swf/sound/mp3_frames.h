#pragma once
// MPEG audio layer III frame headers: where frames start and end, their
// sample rate, channels and samples, read from the 32-bit header as the
// MPEG-1 and MPEG-2 standards (and the MPEG 2.5 extension) define it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace swf::sound {

struct Mp3FrameHeader {
    int sampleRate = 0;
    int channels = 0;
    int bitrate = 0;          // bits a second
    std::size_t length = 0;   // bytes, header included
    int samplesPerFrame = 0;  // per channel
};

// The header at the start of `bytes`, when it is a layer III frame header
// whose frame length is known (free-format frames are not).
std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const std::uint8_t> bytes);

// Whole frames from the start of `bytes`, up to the first that is not one
// or does not fit.
struct Mp3Frames {
    std::size_t count = 0;
    std::size_t samples = 0;  // per channel
    std::size_t bytes = 0;
    std::optional<Mp3FrameHeader> first;
};
Mp3Frames ScanMp3Frames(std::span<const std::uint8_t> bytes);

}  // namespace swf::sound
