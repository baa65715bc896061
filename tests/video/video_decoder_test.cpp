#include "swf/video/video_decoder.h"

#include <gtest/gtest.h>

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

}  // namespace
