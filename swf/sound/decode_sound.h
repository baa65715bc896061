#pragma once
// A whole sound decoded to 16-bit samples from any of the formats sounds
// come in; what cannot be played says why.

#include <cstdint>
#include <span>
#include <string>

#include "swf/sound/mixer.h"
#include "swf/sound/mp3_decoder.h"
#include "swf/sound/sound_format.h"

namespace swf::sound {

struct DecodedSound {
    Samples samples;
    // Empty when the sound decoded; else why it stays silent.
    std::string problem;
};

// `sampleCount` frames at most; MP3 sounds first skip `mp3SeekSamples`
// frames of the encoder's delay and are decoded by `mp3` (null: none).
DecodedSound DecodeSound(const SoundFormat& format, std::span<const std::uint8_t> data, std::uint32_t sampleCount,
                         int mp3SeekSamples, Mp3Codec* mp3);

}  // namespace swf::sound
