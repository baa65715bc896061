// The ADPCM decoder against ffmpeg's decoding of the same bytes: noise codes
// of every code size (any bit pattern is valid ADPCM) and a tone that ffmpeg
// encoded; then data that is cut, empty or claims too many samples.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "swf/sound/adpcm_decoder.h"
#include "swf/sound/sound_format.h"
#include "tests/sound/sound_media.h"

namespace {

using sound_test::AudioTags;
using sound_test::Bytes;
using sound_test::ReadMedia;
using sound_test::ReadSamples;

// Decodes every audio tag of the file as one sound.
std::vector<std::int16_t> DecodeFlv(const std::string& name, swf::sound::SoundFormat* format) {
    std::vector<std::int16_t> samples;
    for (const Bytes& tag : AudioTags(ReadMedia(name))) {
        if (tag.empty()) continue;
        *format = swf::sound::ReadSoundFormat(tag[0]);
        EXPECT_EQ(format->codec, swf::sound::SoundCodec::Adpcm);
        const auto result = swf::sound::DecodeAdpcm(std::span(tag).subspan(1), format->stereo, SIZE_MAX);
        samples.insert(samples.end(), result.samples.begin(), result.samples.end());
    }
    return samples;
}

}  // namespace

TEST(Adpcm, DecodesAsFfmpegDoes) {
    // ADPCM is exact integer arithmetic: every sample must agree.
    for (int bits = 2; bits <= 5; ++bits) {
        for (const char* channels : {"m", "s"}) {
            const std::string name = "adpcm_codes_" + std::to_string(bits) + channels;
            SCOPED_TRACE(name);
            swf::sound::SoundFormat format;
            const std::vector<std::int16_t> ours = DecodeFlv(name + ".flv", &format);
            EXPECT_EQ(format.stereo, channels[0] == 's');
            EXPECT_EQ(format.rate, 22050);
            const std::vector<std::int16_t> theirs = ReadSamples(name + ".raw");
            ASSERT_GE(theirs.size(), 8187u * format.channels());
            EXPECT_EQ(ours, theirs);
        }
    }
    swf::sound::SoundFormat format;
    const std::vector<std::int16_t> tone = DecodeFlv("tone_adpcm.flv", &format);
    EXPECT_TRUE(format.stereo);
    const std::vector<std::int16_t> expected = ReadSamples("tone_adpcm.raw");
    ASSERT_GE(expected.size(), 2u * 11025);  // half a second
    EXPECT_EQ(tone, expected);
}

TEST(Adpcm, CutAndShortDataDecodeWhatIsThere) {
    const Bytes codes = AudioTags(ReadMedia("adpcm_codes_4m.flv")).at(0);
    const std::span<const std::uint8_t> sound = std::span(codes).subspan(1);
    const std::vector<std::int16_t> whole = swf::sound::DecodeAdpcm(sound, false, SIZE_MAX).samples;
    ASSERT_GT(whole.size(), 8000u);

    // The caller's count stops decoding; the samples are the first ones.
    const auto first = swf::sound::DecodeAdpcm(sound, false, 100);
    EXPECT_FALSE(first.cut);
    EXPECT_EQ(first.samples, std::vector<std::int16_t>(whole.begin(), whole.begin() + 100));

    // Data cut in the middle of a packet: the samples before the cut, and
    // the result says so.
    const auto half = swf::sound::DecodeAdpcm(sound.first(1000), false, whole.size());
    EXPECT_TRUE(half.cut);
    ASSERT_GT(half.samples.size(), 1000u);
    EXPECT_EQ(half.samples, std::vector<std::int16_t>(whole.begin(), whole.begin() + half.samples.size()));

    // Nothing, a code size alone, a header cut short: no samples, no reads
    // past the end (the sanitizers watch), and a count far beyond the data
    // allocates only what the data can hold.
    for (std::size_t size : {0, 1, 2, 3}) {
        const auto tiny = swf::sound::DecodeAdpcm(sound.first(size), true, SIZE_MAX);
        EXPECT_TRUE(tiny.cut) << size;
        EXPECT_TRUE(tiny.samples.empty()) << size;
        EXPECT_LT(tiny.samples.capacity(), 64u) << size;
    }
    EXPECT_TRUE(swf::sound::DecodeAdpcm(sound, false, 0).samples.empty());
}
