// Uncompressed sound against ffmpeg's reading of the same FLV files: 16-bit
// little-endian stereo and 8-bit unsigned mono.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "swf/sound/pcm_decoder.h"
#include "swf/sound/sound_format.h"
#include "tests/sound/sound_media.h"

using sound_test::AudioTags;
using sound_test::Bytes;

namespace {

std::vector<std::int16_t> DecodeFlv(const std::string& name, swf::sound::SoundFormat* format) {
    std::vector<std::int16_t> samples;
    for (const Bytes& tag : AudioTags(sound_test::ReadMedia(name))) {
        if (tag.empty()) continue;
        *format = swf::sound::ReadSoundFormat(tag[0]);
        const auto decoded =
            swf::sound::DecodePcm(std::span(tag).subspan(1), format->sixteenBit, format->stereo, SIZE_MAX);
        samples.insert(samples.end(), decoded.begin(), decoded.end());
    }
    return samples;
}

}  // namespace

TEST(Pcm, DecodesAsFfmpegDoes) {
    swf::sound::SoundFormat format;
    const std::vector<std::int16_t> wide = DecodeFlv("tone_pcm16.flv", &format);
    EXPECT_EQ(format.codec, swf::sound::SoundCodec::UncompressedLittleEndian);
    EXPECT_TRUE(format.sixteenBit);
    EXPECT_TRUE(format.stereo);
    EXPECT_EQ(format.rate, 11025);
    const std::vector<std::int16_t> expectedWide = sound_test::ReadSamples("tone_pcm16.raw");
    ASSERT_GE(expectedWide.size(), 2u * 3300);  // 0.3 s
    EXPECT_EQ(wide, expectedWide);

    const std::vector<std::int16_t> narrow = DecodeFlv("tone_pcm8.flv", &format);
    EXPECT_EQ(format.codec, swf::sound::SoundCodec::UncompressedNativeEndian);
    EXPECT_FALSE(format.sixteenBit);
    EXPECT_FALSE(format.stereo);
    EXPECT_EQ(format.rate, 5512);
    const std::vector<std::int16_t> expectedNarrow = sound_test::ReadSamples("tone_pcm8.raw");
    ASSERT_GE(expectedNarrow.size(), 1600u);
    EXPECT_EQ(narrow, expectedNarrow);
}

TEST(Pcm, CountsAndPartialFrames) {
    const Bytes bytes = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0x7F};  // 1, -1, -32768 and a stray byte
    EXPECT_EQ(swf::sound::DecodePcm(bytes, true, false, SIZE_MAX), (std::vector<std::int16_t>{1, -1, -32768}));
    EXPECT_EQ(swf::sound::DecodePcm(bytes, true, true, SIZE_MAX), (std::vector<std::int16_t>{1, -1}));
    EXPECT_EQ(swf::sound::DecodePcm(bytes, true, false, 2), (std::vector<std::int16_t>{1, -1}));
    EXPECT_EQ(swf::sound::DecodePcm(Bytes{0x80, 0x00, 0xFF}, false, false, SIZE_MAX),
              (std::vector<std::int16_t>{0, -32768, 32512}));
    EXPECT_TRUE(swf::sound::DecodePcm({}, true, true, SIZE_MAX).empty());
}
