#include "swf/video/video_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace {

using swf::video::MakeVideoDecoder;
using swf::video::VideoCodecId;

TEST(VideoDecoder, Vp6AndUnknownCodecsHaveNoDecoderButANameForMessages) {
    EXPECT_EQ(MakeVideoDecoder(VideoCodecId::Vp6), nullptr);
    EXPECT_EQ(MakeVideoDecoder(VideoCodecId::Vp6Alpha), nullptr);
    EXPECT_EQ(MakeVideoDecoder(static_cast<VideoCodecId>(9)), nullptr);
    EXPECT_STREQ(swf::video::VideoCodecName(VideoCodecId::Vp6), "VP6");
    EXPECT_STREQ(swf::video::VideoCodecName(static_cast<VideoCodecId>(9)), "an unknown codec");
}

TEST(VideoDecoder, OnlySorensonHeadersTellTheFrameKindWithoutDecoding) {
    using swf::video::PeekFrameKind;
    // 17-bit start code, version 0, temporal reference, size code 2
    // (128 x 96), then the picture type: 0 intra, 1 inter, 2 disposable.
    for (const auto& [type, kind] :
         {std::pair{0, swf::video::FrameKind::Key}, std::pair{1, swf::video::FrameKind::Inter},
          std::pair{2, swf::video::FrameKind::DisposableInter}}) {
        // Bits: 0000 0000 0000 0000 1 | 00000 | 00000000 | 010 | tt | 0 | 00001 | 0
        const std::uint8_t header[] = {0x00, 0x00, 0x80, 0x01, static_cast<std::uint8_t>(type << 5), 0x80, 0, 0};
        EXPECT_EQ(PeekFrameKind(VideoCodecId::SorensonH263, header), kind) << "type " << type;
    }
    const std::uint8_t notAHeader[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    EXPECT_EQ(PeekFrameKind(VideoCodecId::SorensonH263, notAHeader), std::nullopt);
    EXPECT_EQ(PeekFrameKind(VideoCodecId::SorensonH263, {}), std::nullopt);
    EXPECT_EQ(PeekFrameKind(VideoCodecId::ScreenVideo, notAHeader), std::nullopt);
}

}  // namespace
