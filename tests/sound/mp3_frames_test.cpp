// MP3 frame headers against ffprobe's count of the frames of files ffmpeg
// encoded with each MPEG version, and headers that are not layer III frames.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "swf/sound/mp3_frames.h"
#include "tests/sound/sound_media.h"

namespace {

// ffprobe's "key=value" lines.
std::map<std::string, int> Probe(const std::string& name) {
    std::ifstream in(std::string(SOUND_TEST_MEDIA) + "/" + name);
    std::map<std::string, int> values;
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
    }
    return values;
}

}  // namespace

TEST(Mp3Frames, CountsWhatFfprobeCounts) {
    for (const char* name : {"tone44s", "tone22m", "tone11m"}) {
        SCOPED_TRACE(name);
        const auto bytes = sound_test::ReadMedia(std::string(name) + ".mp3");
        const auto probe = Probe(std::string(name) + ".txt");
        ASSERT_EQ(probe.size(), 3u);
        const auto frames = swf::sound::ScanMp3Frames(bytes);
        ASSERT_TRUE(frames.first);
        EXPECT_EQ(frames.first->sampleRate, probe.at("sample_rate"));
        EXPECT_EQ(frames.first->channels, probe.at("channels"));
        EXPECT_EQ(static_cast<int>(frames.count), probe.at("nb_read_packets"));
        EXPECT_EQ(frames.bytes, bytes.size());  // nothing but frames
        // MPEG-1 frames hold 1152 samples, MPEG-2 and 2.5 frames 576; the
        // decoded length is ffmpeg's.
        const int perFrame = probe.at("sample_rate") > 24000 ? 1152 : 576;
        EXPECT_EQ(frames.samples, frames.count * static_cast<std::size_t>(perFrame));
        EXPECT_EQ(frames.samples * static_cast<std::size_t>(probe.at("channels")),
                  sound_test::ReadSamples(std::string(name) + ".raw").size());
    }
}

TEST(Mp3Frames, HeadersThatAreNotLayerThreeFrames) {
    using swf::sound::ReadMp3FrameHeader;
    // MPEG-1 layer III, 128 kbit/s, 44.1 kHz, no padding, joint stereo: 417 bytes.
    const std::uint8_t good[] = {0xFF, 0xFB, 0x90, 0x44};
    const auto header = ReadMp3FrameHeader(good);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->length, 417u);
    EXPECT_EQ(header->bitrate, 128000);
    EXPECT_EQ(header->channels, 2);
    const std::uint8_t padded[] = {0xFF, 0xFB, 0x92, 0xC4};  // padding bit, mono
    EXPECT_EQ(ReadMp3FrameHeader(padded)->length, 418u);
    EXPECT_EQ(ReadMp3FrameHeader(padded)->channels, 1);
    const std::uint8_t layer2[] = {0xFF, 0xFD, 0x90, 0x44};    // layer II
    const std::uint8_t reserved[] = {0xFF, 0xEB, 0x90, 0x44};  // version 01
    const std::uint8_t freeFormat[] = {0xFF, 0xFB, 0x00, 0x44};
    const std::uint8_t badRate[] = {0xFF, 0xFB, 0x9C, 0x44};
    const std::uint8_t noSync[] = {0xFF, 0x1B, 0x90, 0x44};
    for (std::span<const std::uint8_t> bad :
         {std::span<const std::uint8_t>(layer2), std::span<const std::uint8_t>(reserved),
          std::span<const std::uint8_t>(freeFormat), std::span<const std::uint8_t>(badRate),
          std::span<const std::uint8_t>(noSync), std::span<const std::uint8_t>(good).first(3)})
        EXPECT_FALSE(ReadMp3FrameHeader(bad));
    // A frame cut short is not counted.
    const auto bytes = sound_test::ReadMedia("tone22m.mp3");
    const auto whole = swf::sound::ScanMp3Frames(bytes);
    const auto cut = swf::sound::ScanMp3Frames(std::span(bytes).first(bytes.size() - 1));
    EXPECT_EQ(cut.count, whole.count - 1);
}
