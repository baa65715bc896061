// MP3 through the player with the native decoder: the stream sound of a
// movie ffmpeg's SWF writer made, heard at the tone's pitch, where and for
// as long as ffmpeg's own decoding of the movie has it, block after block
// without gaps; and MP3 files ffmpeg tagged, loaded by Sound.loadSound.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "swf/sound/mpg123_codec.h"
#include "swf/writer/movie.h"
#include "swf/writer/script_expressions.h"

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

TEST(StreamMp3, SoundLoadSoundReadsTagsDecodesAndStreams) {
    namespace s = writer::script;
    // s.onID3 = function () { trace(this.id3.artist + " / " + this.id3.TIT2); };
    // s.onLoad = function (ok) { trace(ok + " " + this.duration + " " + this.getBytesTotal()); };
    // s.loadSound(file, streaming);
    const auto movie = [](const char* file, bool streaming) {
        writer::ActionAssembler a;
        s::Let(a, "s", s::New("Sound"));
        writer::ActionAssembler id3;
        s::Trace(id3, s::Add(s::Add(s::M(s::M(s::V("this"), "id3"), "artist"), s::S(" / ")),
                             s::M(s::M(s::V("this"), "id3"), "TIT2")));
        s::SetM(a, s::V("s"), "onID3", s::Fn({}, id3));
        writer::ActionAssembler loaded;
        s::Trace(loaded,
                 s::Add(s::Add(s::Add(s::Add(s::V("ok"), s::S(" ")), s::M(s::V("this"), "duration")), s::S(" ")),
                        s::CallM(s::V("this"), "getBytesTotal")));
        s::SetM(a, s::V("s"), "onLoad", s::Fn({"ok"}, loaded));
        s::Do(a, s::CallM(s::V("s"), "loadSound", {s::S(file), s::B(streaming)}));
        a.Action(writer::ActionCode::Stop);
        writer::TagStream tags;
        tags.DoAction(a.Finish());
        tags.ShowFrame();
        writer::MovieHeader header;
        header.frameSize = {0, 2000, 0, 2000};
        return writer::BuildMovie(header, tags);
    };
    const auto codec = sound::MakeMpg123Codec();
    NativeFileHost files("media");
    Player player;
    player.SetMp3Codec(codec.get());
    player.SetFileHost(&files);
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    const std::uintmax_t size = std::filesystem::file_size("media/song.mp3");

    // Loaded, not streaming: the tags, then onLoad with the sound's length
    // (half a second and the encoder's frames around it) and the file's size.
    ASSERT_TRUE(player.Load(movie("song.mp3", false)));
    player.AdvanceFrame();
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0], "The Testers / Tone");
    const std::string prefix = "true ";
    ASSERT_EQ(traces[1].compare(0, prefix.size(), prefix), 0) << traces[1];
    const double duration = std::stod(traces[1].substr(prefix.size()));
    EXPECT_GE(duration, 500);
    EXPECT_LE(duration, 500 + 3 * 26.2);
    EXPECT_EQ(traces[1].substr(traces[1].rfind(' ') + 1), std::to_string(size));
    std::vector<std::int16_t> heard(2 * 4410);
    player.MixAudio(heard);
    EXPECT_EQ(*std::max_element(heard.begin(), heard.end()), 0);  // not started

    // Streaming: it plays as soon as it is there.
    traces.clear();
    ASSERT_TRUE(player.Load(movie("song.mp3", true)));
    player.AdvanceFrame();
    player.MixAudio(heard);
    EXPECT_GT(*std::max_element(heard.begin(), heard.end()), 2000);

    // A missing file, a file outside the folder and one that is no MP3 say onLoad(false).
    for (const char* file : {"missing.mp3", "../song.mp3", "tone_video.swf"}) {
        traces.clear();
        ASSERT_TRUE(player.Load(movie(file, true)));
        player.AdvanceFrame();
        EXPECT_EQ(traces, std::vector<std::string>{"false 0 undefined"}) << file;
    }
}

}  // namespace swf
