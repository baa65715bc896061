// Event sounds through the player: StartSound and StartSound2 on the frames
// timelines enter, stops, no-multiple starts, sounds this player cannot
// decode, and silence once the movie goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/model/button.h"
#include "swf/player/player.h"
#include "swf/writer/movie.h"
#include "swf/writer/script_expressions.h"
#include "swf/writer/sound.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using writer::BitWriter;
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

TEST(PlayerSound, ButtonsSoundOnTheirTransitions) {
    // Button 20: a square covering the top left quarter of the 100 x 100
    // pixel stage in every state; the ramp sounds when it is pressed, and
    // again, from sample 50 on, when it is let go.
    BitWriter button;
    button.U16(20);
    button.U8(0);
    button.U16(0);  // no actions
    button.U8(kButtonUp | kButtonOver | kButtonDown | kButtonHit);
    button.U16(2);
    button.U16(1);
    test::PutTranslate(button, 0, 0);
    button.U8(0);
    button.U8(0);
    w::SoundInfo fromFifty;
    fromFifty.inPoint44 = 50;
    test::Place place;
    place.depth = 1;
    place.character = 20;
    const Bytes movie =
        test::Movie({test::Tag(14, w::DefineSoundBody(1, 0x3E, 100, Ramp())),
                     test::Tag(32, test::RectangleShape(2, 0, 0, 1000, 1000, 255, 0, 0)), test::Tag(34, button.bytes()),
                     test::Tag(17, w::DefineButtonSoundBody(20, {{{0, {}}, {0, {}}, {1, {}}, {1, fromFifty}}})),
                     test::PlaceObject2(place), test::ShowFrame()},
                    2000, 2000);
    Player player;
    ASSERT_TRUE(player.Load(movie));
    player.SetViewportSize(100, 100);
    // Rolling over has no sound.
    player.PointerMove(10, 10);
    EXPECT_EQ(Mixed(player, 10), std::vector<std::int16_t>(20, 0));
    player.PointerDown(10, 10);
    std::vector<std::int16_t> heard = Mixed(player, 40);
    EXPECT_EQ(heard[2 * 30], 3000);
    player.PointerUp(10, 10);
    heard = Mixed(player, 40);
    // The press's ramp at 70 plus the release's, started at 50 and faded in
    // over its first 220 samples.
    EXPECT_GT(heard[2 * 30], 7000);
    EXPECT_LT(heard[2 * 30], 7000 + 8000);
}

TEST(PlayerSound, SoundObjectsStartPlaceAndHearTheEnd) {
    namespace s = writer::script;
    // Frame 1: a Sound for the whole movie plays the ramp and traces its end.
    writer::ActionAssembler first;
    s::Let(first, "s", s::New("Sound"));
    s::Do(first, s::CallM(s::V("s"), "attachSound", {s::S("Ramp")}));
    writer::ActionAssembler done;
    s::Trace(done, s::Add(s::S("done at "), s::M(s::V("s"), "position")));
    s::SetM(first, s::V("s"), "onSoundComplete", s::Fn({}, done));
    s::Do(first, s::CallM(s::V("s"), "start"));
    // Frame 2: the main timeline's own sounds at half volume, its StartSound among them.
    writer::ActionAssembler second;
    s::Let(second, "r", s::New("Sound", {s::V("this")}));
    s::Do(second, s::CallM(s::V("r"), "setVolume", {s::N(50)}));
    // Frame 3: the whole movie muted.
    writer::ActionAssembler third;
    s::Let(third, "g", s::New("Sound"));
    s::Do(third, s::CallM(s::V("g"), "setVolume", {s::N(0)}));
    s::Do(third, s::CallM(s::V("s"), "start"));
    third.Action(writer::ActionCode::Stop);

    w::TagStream stream;
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, 0x3E, 100, Ramp()));
    stream.ExportAssets({{1, "Ramp"}});
    stream.DoAction(first.Finish());
    stream.ShowFrame();
    stream.Add(w::TagCode::StartSound, w::StartSoundBody(1, {}));
    stream.DoAction(second.Finish());
    stream.ShowFrame();
    stream.DoAction(third.Finish());
    stream.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    Player player;
    std::vector<std::string> traces;
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(w::BuildMovie(header, stream)));
    std::vector<std::int16_t> heard = Mixed(player, 120);
    EXPECT_EQ(heard[2 * 40], 4000);
    EXPECT_EQ(heard[2 * 110], 0);
    player.AdvanceFrame();
    EXPECT_EQ(traces, std::vector<std::string>{"done at 2"});  // 100 samples at 44.1 kHz, in ms
    heard = Mixed(player, 120);
    EXPECT_EQ(heard[2 * 40], 2000);
    player.AdvanceFrame();
    heard = Mixed(player, 120);
    EXPECT_EQ(heard[2 * 40], 0);
}

TEST(PlayerSound, AClipsSoundsGoWithIt) {
    // Sound 1: 4000 samples at level 1000. Sprite 2 starts it on its first
    // frame; the main timeline places the sprite, then removes it.
    Bytes level;
    for (int i = 0; i < 4000; ++i) level.insert(level.end(), {0xE8, 0x03});
    test::Place place;
    place.depth = 1;
    place.character = 2;
    const Bytes movie =
        test::Movie({test::Tag(14, w::DefineSoundBody(1, 0x3E, 4000, level)),
                     test::DefineSprite(2, 1, {test::Tag(15, w::StartSoundBody(1, {})), test::ShowFrame()}),
                     test::PlaceObject2(place), test::ShowFrame(), test::RemoveObject2(1), test::ShowFrame()},
                    2000, 2000, 12, 2);
    Player player;
    ASSERT_TRUE(player.Load(movie));
    EXPECT_EQ(Mixed(player, 100)[2 * 50], 1000);
    player.AdvanceFrame();
    // Gone with the clip, after a short fade.
    EXPECT_EQ(Mixed(player, 400)[2 * 300], 0);
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
