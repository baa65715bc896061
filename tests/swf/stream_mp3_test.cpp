// The MP3 stream sound of a movie ffmpeg's SWF writer made, played through the
// player with the native MP3 decoder: heard at the tone's pitch, where and
// for as long as ffmpeg's own decoding of the movie has it, block after
// block without gaps.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "swf/player/player.h"
#include "swf/sound/mpg123_codec.h"

namespace swf {

TEST(StreamMp3, AMovieFfmpegWroteSoundsItsToneForItsLength) {
    // One second of a 440 Hz sine (ffmpeg's full-scale sine is at 1/8 of
    // full scale) as MP3 at 22 kHz beside 12 frames of video at 12 fps.
    std::ifstream file("media/tone_video.swf", std::ios::binary);
    ASSERT_TRUE(file) << "media/tone_video.swf is missing (made by the build with ffmpeg)";
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const auto codec = sound::MakeMpg123Codec();
    Player player;
    player.SetMp3Codec(codec.get());
    ASSERT_TRUE(player.Load(bytes)) << player.LoadError();
    ASSERT_EQ(player.FrameCount(), 12u);

    // Each tick one frame's time of the mix, as an output would take it;
    // the last frame stops the timeline so that the tone is not heard again.
    std::vector<std::int16_t> left;
    for (int tick = 0; tick < 18; ++tick) {
        std::vector<std::int16_t> block(2 * 44100 / 12);
        player.MixAudio(block);
        for (std::size_t i = 0; i < block.size(); i += 2) left.push_back(block[i]);
        if (player.CurrentFrame() + 1 == player.FrameCount()) player.Stop();
        player.AdvanceFrame();
    }
    // Where the tone sounds: from the first to the last sample above a
    // quarter of its level. The encoder's delay comes first, and the movie
    // ends before the last MP3 frames: ffmpeg hears the same.
    const auto span = [](const std::vector<std::int16_t>& samples, std::size_t& first, std::size_t& last) {
        first = samples.size(), last = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::abs(samples[i]) > 4096 / 4) {
                first = std::min(first, i);
                last = i;
            }
        }
    };
    std::ifstream raw("media/tone_video_sound.raw", std::ios::binary);
    ASSERT_TRUE(raw) << "media/tone_video_sound.raw is missing (made by the build with ffmpeg)";
    const std::vector<char> rawBytes{std::istreambuf_iterator<char>(raw), {}};
    std::vector<std::int16_t> ffmpeg(rawBytes.size() / 2);
    for (std::size_t i = 0; i < ffmpeg.size(); ++i)
        ffmpeg[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(rawBytes[2 * i]) |
                                              static_cast<std::uint8_t>(rawBytes[2 * i + 1]) << 8);
    std::size_t first, last, ffmpegFirst, ffmpegLast;
    span(left, first, last);
    span(ffmpeg, ffmpegFirst, ffmpegLast);
    ASSERT_LT(first, last);
    ASSERT_LT(ffmpegFirst, ffmpegLast);
    // At the mix rate every 22 kHz sample is two; the threshold may be
    // crossed a few samples apart after resampling.
    EXPECT_NEAR(static_cast<double>(first), 2.0 * ffmpegFirst, 8);
    EXPECT_NEAR(static_cast<double>(last), 2.0 * ffmpegLast, 8);
    int peak = 0;
    for (std::size_t i = first; i <= last; ++i) peak = std::max(peak, std::abs(static_cast<int>(left[i])));
    EXPECT_NEAR(peak, 4096, 4096 * 0.1);
    // Upward zero crossings over the steady middle give the pitch.
    int crossings = 0;
    const std::size_t from = first + 4410, to = last - 4410;
    for (std::size_t i = from + 1; i < to; ++i) crossings += left[i - 1] < 0 && left[i] >= 0 ? 1 : 0;
    const double hertz = crossings * 44100.0 / static_cast<double>(to - from);
    EXPECT_NEAR(hertz, 440.0, 3.0);
    // No gap between blocks: inside the tone no stretch of a millisecond is near silence.
    int quiet = 0, longestQuiet = 0;
    for (std::size_t i = first; i <= last; ++i) {
        quiet = std::abs(left[i]) < 64 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
    }
    EXPECT_LT(longestQuiet, 44);
}

}  // namespace swf
