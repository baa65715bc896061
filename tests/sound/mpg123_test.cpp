// Native MP3 decoding through libmpg123 against ffmpeg's decoding of the
// same files, whole and fed a frame at a time as stream blocks arrive.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "swf/sound/mp3_frames.h"
#include "swf/sound/mpg123_codec.h"
#include "tests/sound/sound_media.h"

TEST(Mpg123, DecodesAsFfmpegDoes) {
    const auto codec = swf::sound::MakeMpg123Codec();
    for (const char* name : {"tone44s", "tone22m", "tone11m"}) {
        SCOPED_TRACE(name);
        const auto bytes = sound_test::ReadMedia(std::string(name) + ".mp3");
        const std::vector<std::int16_t> theirs = sound_test::ReadSamples(std::string(name) + ".raw");
        const auto first = swf::sound::ReadMp3FrameHeader(bytes);
        ASSERT_TRUE(first);
        // All at once, and frame by frame.
        for (bool frameByFrame : {false, true}) {
            auto decoder = codec->Open(*first);
            ASSERT_TRUE(decoder);
            std::vector<std::int16_t> ours;
            std::span<const std::uint8_t> rest(bytes);
            while (!rest.empty()) {
                const auto header = swf::sound::ReadMp3FrameHeader(rest);
                const std::size_t take = frameByFrame && header ? std::min(header->length, rest.size()) : rest.size();
                ASSERT_TRUE(decoder->Decode(rest.first(take), ours));
                rest = rest.subspan(take);
            }
            ASSERT_EQ(ours.size(), theirs.size()) << frameByFrame;
            // Two decoders of the standard differ only in how they round
            // their filter bank's output to 16 bits: one step apart at most
            // on these files; two allowed.
            int worst = 0;
            for (std::size_t i = 0; i < ours.size(); ++i) worst = std::max(worst, std::abs(ours[i] - theirs[i]));
            EXPECT_LE(worst, 2) << frameByFrame;
        }
    }
}

TEST(Mpg123, NotMp3IsRefusedOrSilent) {
    const auto codec = swf::sound::MakeMpg123Codec();
    swf::sound::Mp3FrameHeader header;
    header.sampleRate = 22050;
    header.channels = 1;
    auto decoder = codec->Open(header);
    ASSERT_TRUE(decoder);
    std::vector<std::int16_t> out;
    const std::vector<std::uint8_t> noise(5000, 0x5A);
    decoder->Decode(noise, out);  // whatever it says, no samples from noise
    EXPECT_TRUE(out.empty());
}
