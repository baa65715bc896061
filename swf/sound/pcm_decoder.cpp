#include "swf/sound/pcm_decoder.h"

#include <algorithm>

namespace swf::sound {

std::vector<std::int16_t> DecodePcm(std::span<const std::uint8_t> data, bool sixteenBit, bool stereo,
                                    std::size_t maxFrames) {
    const std::size_t channels = stereo ? 2 : 1;
    const std::size_t bytesPerSample = sixteenBit ? 2 : 1;
    const std::size_t frames = std::min(maxFrames, data.size() / (bytesPerSample * channels));
    std::vector<std::int16_t> samples(frames * channels);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = sixteenBit ? static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8))
                                : static_cast<std::int16_t>((data[i] - 128) * 256);
    }
    return samples;
}

}  // namespace swf::sound
