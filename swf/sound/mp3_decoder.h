#pragma once
// MP3 decoding is the host's: the system's codec on Windows, a packaged
// decoder natively. The engine feeds a sound's or a stream's frames in order
// (later frames draw on bits earlier ones left) and gets 16-bit samples.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swf/sound/mp3_frames.h"

namespace swf::sound {

class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // Appends the samples of the frames, interleaved as the first frame's
    // channels say, at its rate; false when the data cannot be decoded.
    virtual bool Decode(std::span<const std::uint8_t> frames, std::vector<std::int16_t>& out) = 0;
};

class Mp3Codec {
public:
    virtual ~Mp3Codec() = default;
    // A decoder for frames like `first`; null when the host cannot decode them.
    virtual std::unique_ptr<Mp3Decoder> Open(const Mp3FrameHeader& first) = 0;
};

}  // namespace swf::sound
