// DefineVideoStream bodies read back by the engine's own reader of the tag.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "swf/io/video_parser.h"
#include "swf/writer/video.h"

using namespace swf::writer;

namespace {

std::shared_ptr<const swf::VideoStreamDefinition> ReadBack(const std::vector<std::uint8_t>& body,
                                                           std::vector<std::string>& warnings) {
    swf::VideoStreams streams;
    return std::static_pointer_cast<const swf::VideoStreamDefinition>(streams.Define(body, warnings));
}

}  // namespace

TEST(WriterVideo, DefineVideoStreamFieldsReadBackAsWritten) {
    struct Case {
        std::uint16_t id;
        VideoStream stream;
    };
    // Values that differ in every field and every flag bit, so that a field
    // written in another's place or a flag in the wrong bit shows.
    const Case cases[] = {
        {7, {0, 656, 240, 0, false, VideoCodec::ScreenVideo2}},
        {0x1234, {900, 1280, 720, 7, true, VideoCodec::ScreenVideo}},
        {3, {12, 320, 0x0F0E, 1, false, VideoCodec::SorensonH263}},
        {0xFFFF, {0xFFFF, 1, 0xFFFF, 4, true, VideoCodec::ScreenVideo2}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> body = DefineVideoStreamBody(c.id, c.stream);
        EXPECT_EQ(body.size(), 10u);  // four UI16, the flags byte and the codec byte
        std::vector<std::string> warnings;
        const auto read = ReadBack(body, warnings);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->id, c.id);
        EXPECT_EQ(read->frameCount, c.stream.frameCount);
        EXPECT_EQ(read->width, c.stream.width);
        EXPECT_EQ(read->height, c.stream.height);
        EXPECT_EQ(read->deblocking, c.stream.deblocking) << "id " << c.id;
        EXPECT_EQ(read->smoothing, c.stream.smoothing) << "id " << c.id;
        EXPECT_EQ(read->codecId, static_cast<std::uint8_t>(c.stream.codec));
        EXPECT_TRUE(read->frames.empty());
        EXPECT_TRUE(warnings.empty()) << warnings.front();  // codecs the player decodes
        EXPECT_EQ(body[8] >> 4, 0) << "reserved bits must be zero";
    }
    // The codec ids are the ones the reader names: a stream with frames in
    // VP6, which it cannot show, is called so.
    std::vector<std::string> warnings;
    ReadBack(DefineVideoStreamBody(1, {10, 16, 16, 0, false, VideoCodec::Vp6}), warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(" in VP6,"), std::string::npos) << warnings[0];

    // Deblocking has three bits: a larger value is refused, not cut.
    EXPECT_THROW(DefineVideoStreamBody(1, {0, 16, 16, 8, false, VideoCodec::ScreenVideo2}), std::invalid_argument);
}
