// Event sounds through the player: StartSound and StartSound2 on the frames
// timelines enter, stops, no-multiple starts, sounds this player cannot
// decode, and silence once the movie goes.

#include <gtest/gtest.h>

#include <algorithm>
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

// 100 frames of 44.1 kHz mono: sample i is 100 * i.
Bytes Ramp() {
    Bytes data;
    for (int i = 0; i < 100; ++i) {
        const auto v = static_cast<std::uint16_t>(100 * i);
        data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return data;
}

// Sound 1 is the ramp, exported as "Ramp"; each entry of `frames` is one
// frame's StartSound tags.
Bytes SoundMovie(const std::vector<std::vector<Bytes>>& frames, std::uint8_t format = 0x3E) {
    w::TagStream stream;
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, format, 100, Ramp()));
    stream.ExportAssets({{1, "Ramp"}});
    for (const std::vector<Bytes>& starts : frames) {
        for (const Bytes& start : starts) stream.Add(w::TagCode::StartSound, start);
        stream.ShowFrame();
    }
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    return w::BuildMovie(header, stream);
}

std::vector<std::int16_t> Mixed(Player& player, std::size_t frames) {
    std::vector<std::int16_t> out(2 * frames);
    player.MixAudio(out);
    return out;
}

}  // namespace

TEST(PlayerSound, FramesStartAndStopTheirSounds) {
    w::SoundInfo stop;
    stop.stop = true;
    w::SoundInfo once;
    once.noMultiple = true;
    Player player;
    // Frame 1 starts the ramp twice, once without doubling; frame 2 stops it.
    ASSERT_TRUE(player.Load(
        SoundMovie({{w::StartSoundBody(1, {}), w::StartSoundBody(1, once)}, {w::StartSoundBody(1, stop)}})));
    const std::vector<std::int16_t> first = Mixed(player, 50);
    for (std::size_t i = 0; i < 50; ++i) {
        ASSERT_EQ(first[2 * i], static_cast<std::int16_t>(100 * i)) << i;
        ASSERT_EQ(first[2 * i + 1], first[2 * i]) << i;  // mono on both sides
    }
    player.AdvanceFrame();
    // Stopped: it fades from where it was instead of playing on at full level.
    const std::vector<std::int16_t> after = Mixed(player, 50);
    EXPECT_LT(after[2 * 10], 100 * 60);
    EXPECT_GT(after[2 * 10], 0);

    // By exported class name (StartSound2), and a movie loaded over it ends its sounds.
    w::TagStream stream;
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, 0x3E, 100, Ramp()));
    stream.ExportAssets({{1, "Ramp"}});
    stream.Add(w::TagCode::StartSound2, w::StartSound2Body("Ramp", {}));
    stream.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    ASSERT_TRUE(player.Load(w::BuildMovie(header, stream)));
    EXPECT_EQ(Mixed(player, 30)[2 * 20], 2000);
    ASSERT_TRUE(player.Load(SoundMovie({{}})));
    const std::vector<std::int16_t> quiet = Mixed(player, 400);
    EXPECT_EQ(quiet[2 * 300], 0);
}

TEST(PlayerSound, SoundsThisPlayerCannotDecodeAreSaidOnce) {
    std::vector<std::string> warnings;
    Player player;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Warning) warnings.push_back(text);
    });
    // Nellymoser (6) twice, then an MP3 (2) sound whose data is no MP3 frame.
    ASSERT_TRUE(player.Load(SoundMovie({{w::StartSoundBody(1, {})}, {w::StartSoundBody(1, {})}}, 0x6E)));
    player.AdvanceFrame();
    ASSERT_TRUE(player.Load(SoundMovie({{w::StartSoundBody(1, {})}}, 0x2E)));
    const auto count = [&](const std::string& text) {
        return std::count_if(warnings.begin(), warnings.end(),
                             [&](const std::string& warning) { return warning.find(text) != std::string::npos; });
    };
    EXPECT_EQ(count("Nellymoser sounds are not played"), 1);
    EXPECT_EQ(count("MP3"), 1);
    EXPECT_EQ(Mixed(player, 10), std::vector<std::int16_t>(20, 0));
}

}  // namespace swf
