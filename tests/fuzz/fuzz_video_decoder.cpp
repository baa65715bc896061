// One video stream: the first byte picks the codec (an FLV video tag's low
// nibble), the rest is split into frames at each 0xFF 0xD9 0x00 pair, and
// every frame goes to the decoder in turn, deblocking both ways.
#include <cstdint>
#include <span>

#include "swf/video/video_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    auto decoder = swf::video::MakeVideoDecoder(static_cast<swf::video::VideoCodecId>(data[0] & 0x0F));
    if (!decoder) return 0;
    decoder->SetDeblocking(data[1] & 1 ? swf::video::Deblocking::On : swf::video::Deblocking::AsStream);
    std::size_t begin = 2;
    for (std::size_t i = 2; i <= size; ++i) {
        const bool cut = i + 3 <= size && data[i] == 0xFF && data[i + 1] == 0xD9 && data[i + 2] == 0x00;
        if (!cut && i != size) continue;
        const auto result = decoder->Decode(std::span<const std::uint8_t>(data + begin, i - begin));
        const auto& picture = decoder->Picture();
        if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height) __builtin_trap();
        if (picture.width > swf::video::kMaxVideoSide || picture.height > swf::video::kMaxVideoSide) __builtin_trap();
        if (!result.ok && result.problem.empty()) __builtin_trap();
        begin = i + 3;
        i += 2;
    }
    return 0;
}
