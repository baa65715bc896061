// ID3 tags as ffmpeg writes them (version 2.3 with a version 1 tag, and
// version 2.4), read back as the words ffmpeg was given; and every cut of a
// tagged file read without harm.

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "swf/sound/id3_tags.h"
#include "swf/sound/mp3_frames.h"
#include "tests/sound/sound_media.h"

using swf::sound::Id3Tags;
using swf::sound::ReadId3Tags;

TEST(Id3Tags, VersionTwoAndOneTagsAsFfmpegWritesThem) {
    for (const char* name : {"tagged_v23.mp3", "tagged_v24.mp3"}) {
        SCOPED_TRACE(name);
        const sound_test::Bytes file = sound_test::ReadMedia(name);
        ASSERT_GT(file.size(), 1000u);
        const Id3Tags tags = ReadId3Tags(file);
        const auto field = [&](const char* key) {
            const auto it = tags.fields.find(key);
            return it == tags.fields.end() ? std::string("(none)") : it->second;
        };
        EXPECT_EQ(field("TIT2"), "Grüße aus Köln");
        EXPECT_EQ(field("songname"), "Grüße aus Köln");
        EXPECT_EQ(field("TPE1"), "The Testers");
        EXPECT_EQ(field("artist"), "The Testers");
        EXPECT_EQ(field("album"), "Sound Checks");
        EXPECT_EQ(field("track"), "7");
        EXPECT_EQ(field("year"), "2006");
        // The MP3 frames lie between the tags.
        ASSERT_LT(tags.audioBegin, tags.audioEnd);
        const auto frames =
            swf::sound::ScanMp3Frames(std::span(file).subspan(tags.audioBegin, tags.audioEnd - tags.audioBegin));
        ASSERT_TRUE(frames.first);
        EXPECT_EQ(frames.first->sampleRate, 44100);
        EXPECT_GT(frames.samples, 44100u - 1152);
    }
    // Only the version 2.3 file ends with a version 1 tag.
    EXPECT_EQ(ReadId3Tags(sound_test::ReadMedia("tagged_v23.mp3")).audioEnd,
              sound_test::ReadMedia("tagged_v23.mp3").size() - 128);
    EXPECT_EQ(ReadId3Tags(sound_test::ReadMedia("tagged_v24.mp3")).audioEnd,
              sound_test::ReadMedia("tagged_v24.mp3").size());
}

TEST(Id3Tags, CutFilesAndUntaggedOnesAreReadWithoutHarm) {
    const sound_test::Bytes file = sound_test::ReadMedia("tagged_v23.mp3");
    // Every cut inside the version 2 tag (and a little past it).
    const std::size_t tagEnd = ReadId3Tags(file).audioBegin;
    for (std::size_t cut = 0; cut < tagEnd + 16 && cut <= file.size(); ++cut) {
        const Id3Tags tags = ReadId3Tags(std::span(file).first(cut));
        EXPECT_LE(tags.audioBegin, tags.audioEnd);
        EXPECT_LE(tags.audioEnd, cut);
    }
    // A frame size beyond the tag, and a file with no tags at all.
    sound_test::Bytes bad = file;
    bad[10 + 4] = 0x7F;
    EXPECT_LE(ReadId3Tags(bad).audioEnd, bad.size());
    const sound_test::Bytes plain = sound_test::ReadMedia("tone44s.mp3");
    const Id3Tags none = ReadId3Tags(plain);
    EXPECT_TRUE(none.fields.empty());
    EXPECT_EQ(none.audioBegin, 0u);
    EXPECT_EQ(none.audioEnd, plain.size());
}
