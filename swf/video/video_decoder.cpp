#include "swf/video/video_decoder.h"

#include <algorithm>
#include <array>

#include "swf/video/h263_bit_reader.h"
#include "swf/video/screen_video.h"
#include "swf/video/sorenson_picture_header.h"
#include "swf/video/sorenson_h263.h"

namespace swf::video {

std::unique_ptr<VideoDecoder> MakeVideoDecoder(VideoCodecId codec) {
    switch (codec) {
    case VideoCodecId::SorensonH263: return MakeSorensonH263Decoder();
    case VideoCodecId::ScreenVideo: return MakeScreenVideoDecoder();
    case VideoCodecId::ScreenVideo2: return MakeScreenVideo2Decoder();
    default: return nullptr;
    }
}

std::optional<FrameKind> PeekFrameKind(VideoCodecId codec, std::span<const std::uint8_t> data) {
    if (codec != VideoCodecId::SorensonH263) return std::nullopt;
    // The picture header fits in 10 bytes; the reader wants zeros after them.
    std::array<std::uint8_t, 16 + h263::BitReader::kPadding> head{};
    const std::size_t size = std::min<std::size_t>(data.size(), 16);
    std::copy_n(data.begin(), size, head.begin());
    h263::BitReader bits(head.data(), size);
    SorensonPictureHeader header;
    if (!ReadPictureHeader(bits, header).empty()) return std::nullopt;
    return header.kind;
}

const char* VideoCodecName(VideoCodecId codec) {
    switch (codec) {
    case VideoCodecId::SorensonH263: return "Sorenson H.263";
    case VideoCodecId::ScreenVideo: return "Screen Video";
    case VideoCodecId::Vp6: return "VP6";
    case VideoCodecId::Vp6Alpha: return "VP6 with alpha";
    case VideoCodecId::ScreenVideo2: return "Screen Video 2";
    }
    return "an unknown codec";
}

}  // namespace swf::video
