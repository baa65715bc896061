// The format byte of sound tags, field by field as the SWF format defines it.

#include <gtest/gtest.h>

#include "swf/sound/sound_format.h"

using swf::sound::ReadSoundFormat;
using swf::sound::SoundCodec;

TEST(SoundFormat, FieldsOfTheFormatByte) {
    // MP3, 44 kHz, 16-bit, stereo: 0010 11 1 1.
    const auto mp3 = ReadSoundFormat(0x2F);
    EXPECT_EQ(mp3.codec, SoundCodec::Mp3);
    EXPECT_EQ(mp3.rate, 44100);
    EXPECT_TRUE(mp3.sixteenBit);
    EXPECT_TRUE(mp3.stereo);
    EXPECT_EQ(mp3.channels(), 2);
    // Uncompressed little-endian, 5.5 kHz, 8-bit, mono: 0011 00 0 0.
    const auto pcm = ReadSoundFormat(0x30);
    EXPECT_EQ(pcm.codec, SoundCodec::UncompressedLittleEndian);
    EXPECT_EQ(pcm.rate, 5512);
    EXPECT_FALSE(pcm.sixteenBit);
    EXPECT_FALSE(pcm.stereo);
    // ADPCM at 11 and 22 kHz; Nellymoser and codes no format defines keep their number.
    EXPECT_EQ(ReadSoundFormat(0x16).rate, 11025);
    EXPECT_EQ(ReadSoundFormat(0x1A).rate, 22050);
    EXPECT_EQ(ReadSoundFormat(0x1A).codec, SoundCodec::Adpcm);
    EXPECT_EQ(swf::sound::CodecName(ReadSoundFormat(0x62).codec), "Nellymoser");
    EXPECT_EQ(swf::sound::CodecName(ReadSoundFormat(0x92).codec), "codec 9");
}
