// A timeline's stream sound through the player: blocks heard in order as the
// timeline plays, jumps and stops, and the audio clock that paces the main
// timeline when the host plays the sound in real time.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "swf/player/player.h"
#include "swf/writer/movie.h"
#include "swf/writer/sound.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
namespace w = swf::writer;

constexpr int kFrames = 20;
constexpr std::size_t kBlock = 4410;  // 44.1 kHz at 10 frames a second

// trace(text) as actions.
Bytes TraceAction(const std::string& text) {
    Bytes code{0x96};
    const auto length = static_cast<std::uint16_t>(text.size() + 2);
    code.push_back(static_cast<std::uint8_t>(length & 0xFF));
    code.push_back(static_cast<std::uint8_t>(length >> 8));
    code.push_back(0);  // a string
    code.insert(code.end(), text.begin(), text.end());
    code.push_back(0);
    code.push_back(0x26);
    return code;
}

// 10 frames a second, each with a block of 44.1 kHz 16-bit mono PCM whose
// samples all say the frame's number (1000 for frame 0, 2000 for frame 1,
// ...) and a script that traces "f" and the frame's number.
Bytes StreamMovie() {
    w::TagStream stream;
    stream.Add(w::TagCode::SoundStreamHead2, w::SoundStreamHeadBody(0x3E, 0x3E, kBlock));
    for (int f = 0; f < kFrames; ++f) {
        Bytes block;
        const auto level = static_cast<std::uint16_t>(1000 * (f + 1));
        for (std::size_t i = 0; i < kBlock; ++i) {
            block.push_back(static_cast<std::uint8_t>(level & 0xFF));
            block.push_back(static_cast<std::uint8_t>(level >> 8));
        }
        stream.Add(w::TagCode::SoundStreamBlock, block);
        std::string label = "f";
        label += std::to_string(f);
        stream.DoAction(TraceAction(label));
        stream.ShowFrame();
    }
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    header.frameRate = 10;
    return w::BuildMovie(header, stream);
}

// The left channel of the next `frames` frames of the mix.
std::vector<std::int16_t> Left(Player& player, std::size_t frames) {
    std::vector<std::int16_t> out(2 * frames);
    player.MixAudio(out);
    std::vector<std::int16_t> left(frames);
    for (std::size_t i = 0; i < frames; ++i) left[i] = out[2 * i];
    return left;
}

}  // namespace

TEST(PlayerStream, BlocksFollowTheTimelineThroughJumpsAndStops) {
    Player player;
    ASSERT_TRUE(player.Load(StreamMovie()));
    // Frame 0's block, then frame 1's straight after it.
    std::vector<std::int16_t> heard = Left(player, kBlock);
    EXPECT_EQ(heard.front(), 1000);
    EXPECT_EQ(heard.back(), 1000);
    player.AdvanceFrame();
    heard = Left(player, kBlock);
    EXPECT_EQ(heard.front(), 2000);
    EXPECT_EQ(heard.back(), 2000);

    // A jump starts the stream again at the block of the frame jumped to.
    player.GotoFrame(5);
    heard = Left(player, kBlock);
    EXPECT_EQ(heard[1000], 6000);
    EXPECT_EQ(heard.back(), 6000);

    // Stopped, the timeline's stream goes quiet; played again, it goes on
    // from the frame shown.
    player.Stop();
    heard = Left(player, 1000);
    EXPECT_EQ(heard.back(), 0);
    player.Play();
    heard = Left(player, 1000);
    EXPECT_EQ(heard.back(), 6000);

    // Looping back to the first frame starts at its block again.
    for (std::uint32_t f = player.CurrentFrame(); f < kFrames; ++f) player.AdvanceFrame();
    ASSERT_EQ(player.CurrentFrame(), 0u);
    heard = Left(player, kBlock);
    EXPECT_EQ(heard[1000], 1000);

    // A new movie silences the old one's stream.
    ASSERT_TRUE(player.Load(test::Movie({test::ShowFrame()})));
    heard = Left(player, 1000);
    EXPECT_EQ(heard.back(), 0);
}

TEST(PlayerStream, TheMainTimelineFollowsItsStreamWhenTheHostPlaysInRealTime) {
    Player player;
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    player.SetAudioClock(true);
    ASSERT_TRUE(player.Load(StreamMovie()));
    EXPECT_EQ(traces, std::vector<std::string>{"f0"});

    // Drawing fell behind: the output took three frames' sound meanwhile,
    // so one tick catches up three frames, each frame's script run.
    Left(player, 3 * kBlock);
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 3u);
    EXPECT_EQ(traces, (std::vector<std::string>{"f0", "f1", "f2", "f3"}));

    // The sound is behind (the output took nothing): the timeline waits.
    for (int i = 0; i < 3; ++i) player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 3u);
    // Part of a frame's sound is not yet the next frame.
    Left(player, kBlock / 2);
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 3u);
    Left(player, kBlock / 2);
    player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 4u);
    EXPECT_EQ(traces.size(), 5u);

    // Without the clock, ticks move one frame each, sound or not.
    player.SetAudioClock(false);
    for (int i = 0; i < 3; ++i) player.AdvanceFrame();
    EXPECT_EQ(player.CurrentFrame(), 7u);
}

}  // namespace swf
