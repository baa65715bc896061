// The sound tags read into the movie: definitions, starts with every field
// of the SoundInfo record, button sounds, a stream sound that ffmpeg's SWF
// writer made, and bad tags that are skipped with a warning.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "swf/io/movie_parser.h"
#include "swf/model/button.h"
#include "swf/model/sound.h"
#include "swf/writer/button.h"
#include "swf/writer/movie.h"
#include "swf/writer/sound.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
namespace w = swf::writer;

std::shared_ptr<const MovieDefinition> Load(const w::TagStream& stream) {
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    return ParseMovie(w::BuildMovie(header, stream));
}

int CountWarnings(const MovieDefinition& movie, const std::string& text) {
    return static_cast<int>(std::count_if(movie.warnings.begin(), movie.warnings.end(),
                                          [&](const std::string& s) { return s.find(text) != std::string::npos; }));
}

}  // namespace

TEST(SoundTags, DefinitionsStartsAndButtonSounds) {
    w::TagStream stream;
    const Bytes adpcm = {0x80, 0x12, 0x34, 0x56, 0x78};
    // ADPCM, 44 kHz, 16-bit, stereo; MP3, 22 kHz, mono, 576 samples of encoder delay.
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, 0x1F, 1000, adpcm));
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(2, 0x2A, 2304, Bytes{0xFF, 0xF3}, 576));
    w::SoundInfo full;
    full.noMultiple = true;
    full.inPoint44 = 100;
    full.outPoint44 = 5000;
    full.loops = 3;
    full.envelope = {{0, 32768, 0}, {44100, 0, 16384}};
    stream.Add(w::TagCode::StartSound, w::StartSoundBody(1, full));
    w::SoundInfo stop;
    stop.stop = true;
    stream.Add(w::TagCode::StartSound2, w::StartSound2Body("Click", stop));
    w::ButtonRecord face;
    face.states = w::kStateUp | w::kStateHitTest;
    face.characterId = 1;
    stream.Add(w::TagCode::DefineButton2, w::DefineButton2Body(5, {face}, {}));
    stream.Add(w::TagCode::DefineButtonSound, w::DefineButtonSoundBody(5, {{{0, {}}, {2, {}}, {1, full}, {0, {}}}}));
    w::TagStream sprite;
    sprite.ShowFrame();
    sprite.Add(w::TagCode::StartSound, w::StartSoundBody(2, {}));
    sprite.ShowFrame();
    stream.DefineSprite(6, sprite);
    stream.ShowFrame();
    const auto movie = Load(stream);
    ASSERT_TRUE(movie);

    const auto* first = FindCharacter<SoundDefinition>(movie->dictionary, 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->format.codec, sound::SoundCodec::Adpcm);
    EXPECT_EQ(first->format.rate, 44100);
    EXPECT_TRUE(first->format.stereo);
    EXPECT_EQ(first->sampleCount, 1000u);
    EXPECT_EQ(*first->data, adpcm);
    const auto* second = FindCharacter<SoundDefinition>(movie->dictionary, 2);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->format.codec, sound::SoundCodec::Mp3);
    EXPECT_EQ(second->seekSamples, 576);
    EXPECT_EQ(*second->data, (Bytes{0xFF, 0xF3}));  // the seek count is not sound data

    ASSERT_EQ(movie->timeline.frames.size(), 1u);
    const std::vector<StartSoundCommand>& starts = movie->timeline.frames[0].sounds;
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].soundId, 1);
    EXPECT_FALSE(starts[0].info.stop);
    EXPECT_TRUE(starts[0].info.noMultiple);
    EXPECT_EQ(starts[0].info.play.inPoint44, 100u);
    EXPECT_EQ(starts[0].info.play.outPoint44, std::optional<std::uint32_t>(5000));
    EXPECT_EQ(starts[0].info.play.loops, 3);
    ASSERT_EQ(starts[0].info.play.envelope.size(), 2u);
    EXPECT_EQ(starts[0].info.play.envelope[1].position44, 44100u);
    EXPECT_EQ(starts[0].info.play.envelope[1].left, 0);
    EXPECT_EQ(starts[0].info.play.envelope[1].right, 16384);
    EXPECT_EQ(starts[1].className, "Click");
    EXPECT_TRUE(starts[1].info.stop);
    EXPECT_EQ(starts[1].info.play.loops, 1);
    EXPECT_FALSE(starts[1].info.play.outPoint44.has_value());

    const auto* button = FindCharacter<ButtonDefinition>(movie->dictionary, 5);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->records.size(), 1u);  // the button itself is unchanged
    EXPECT_EQ(button->sounds[kSoundOverUpToIdle].soundId, 0);
    EXPECT_EQ(button->sounds[kSoundIdleToOverUp].soundId, 2);
    EXPECT_EQ(button->sounds[kSoundOverUpToOverDown].soundId, 1);
    EXPECT_EQ(button->sounds[kSoundOverUpToOverDown].info.play.loops, 3);
    EXPECT_EQ(button->sounds[kSoundOverDownToOverUp].soundId, 0);

    const auto* clip = FindCharacter<SpriteDefinition>(movie->dictionary, 6);
    ASSERT_TRUE(clip);
    ASSERT_EQ(clip->timeline.frames.size(), 2u);
    EXPECT_TRUE(clip->timeline.frames[0].sounds.empty());
    ASSERT_EQ(clip->timeline.frames[1].sounds.size(), 1u);
    EXPECT_EQ(clip->timeline.frames[1].sounds[0].soundId, 2);

    // Read and played: nothing is said about them.
    EXPECT_EQ(CountWarnings(*movie, "sound"), 0);
}

TEST(SoundTags, StreamSoundOfAMovieFfmpegWrote) {
    // One second: a 440 Hz tone as MP3 at 22 kHz beside 12 frames of video.
    std::ifstream file("media/tone_video.swf", std::ios::binary);
    ASSERT_TRUE(file) << "media/tone_video.swf is missing (made by the build with ffmpeg)";
    const Bytes bytes{std::istreambuf_iterator<char>(file), {}};
    const auto movie = ParseMovie(bytes);
    ASSERT_TRUE(movie);
    ASSERT_TRUE(movie->timeline.streamHead);
    const StreamSoundHead& head = *movie->timeline.streamHead;
    EXPECT_EQ(head.stream.codec, sound::SoundCodec::Mp3);
    EXPECT_EQ(head.stream.rate, 22050);
    EXPECT_FALSE(head.stream.stereo);
    EXPECT_EQ(head.samplesPerBlock, 22050 / 12);
    ASSERT_EQ(movie->timeline.frames.size(), 12u);
    std::uint32_t samples = 0;
    for (const Frame& frame : movie->timeline.frames) {
        ASSERT_TRUE(frame.streamBlock);
        // MPEG-2 layer III frames hold 576 samples; each block whole frames.
        EXPECT_EQ(frame.streamBlock->sampleCount % 576, 0);
        ASSERT_GE(frame.streamBlock->data->size(), 4u);
        EXPECT_EQ((*frame.streamBlock->data)[0], 0xFF);  // an MP3 frame's sync byte comes first
        samples += frame.streamBlock->sampleCount;
    }
    // The encoder holds back at most two frames of the second.
    EXPECT_GE(samples, 22050u - 2 * 576);
    EXPECT_LE(samples, 22050u + 576);
}

TEST(SoundTags, BadSoundTagsAreSkippedWithAWarning) {
    w::TagStream stream;
    // A SoundInfo that says an envelope follows and stops there; a button
    // sound for a character that is no button; a definition cut before its count.
    w::SoundInfo looped;
    looped.envelope = {{0, 1, 1}};
    Bytes cut = w::StartSoundBody(1, looped);
    cut.resize(cut.size() - 3);
    stream.Add(w::TagCode::StartSound, cut);
    stream.Add(w::TagCode::DefineButtonSound, w::DefineButtonSoundBody(9, {}));
    stream.Add(w::TagCode::DefineSound, Bytes{1, 0, 0x3E, 5});
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(2, 0x3E, 1, Bytes{0, 0}));
    stream.ShowFrame();
    const auto movie = Load(stream);
    ASSERT_TRUE(movie);
    EXPECT_EQ(CountWarnings(*movie, "tag 15 skipped"), 1);
    EXPECT_EQ(CountWarnings(*movie, "tag 17 skipped"), 1);
    EXPECT_EQ(CountWarnings(*movie, "tag 14 skipped"), 1);
    EXPECT_EQ(FindCharacter<SoundDefinition>(movie->dictionary, 1), nullptr);
    EXPECT_NE(FindCharacter<SoundDefinition>(movie->dictionary, 2), nullptr);  // the rest is read
    EXPECT_TRUE(movie->timeline.frames.at(0).sounds.empty());
}

}  // namespace swf
