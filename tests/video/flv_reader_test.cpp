// The FLV reader against ffprobe's view of files ffmpeg wrote (packets,
// streams, duration), fed whole, a byte at a time and cut anywhere; and
// hand-built files for what ffmpeg does not write.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "swf/video/flv_index.h"
#include "swf/video/flv_reader.h"
#include "swf/video/flv_script.h"
#include "tests/video/ffprobe_output.h"
#include "tests/video/video_media.h"

namespace {

using swf::video::FlvReader;
using swf::video::FlvTag;
using swf::video::FlvTagKind;
using video_test::Bytes;
using video_test::Packet;
using video_test::Probe;

const char* const kFiles[] = {"flv_adpcm", "flv_mp3", "flv_small"};

// The FLV codec ids of the definition for ffmpeg's codec names.
int FlvCodecId(const std::string& codecName) {
    if (codecName == "flv1") return 2;  // Sorenson H.263
    if (codecName == "adpcm_swf") return 1;
    if (codecName == "mp3") return 2;
    ADD_FAILURE() << "no FLV codec id for " << codecName;
    return -1;
}

// Every tag of `bytes`, fed `piece` bytes at a time; the reader is left ended.
std::vector<FlvTag> ReadTags(FlvReader& reader, std::span<const std::uint8_t> bytes, std::size_t piece) {
    std::vector<FlvTag> tags;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.Append(bytes.subspan(at, std::min(piece, bytes.size() - at)));
        while (auto tag = reader.Next()) tags.push_back(std::move(*tag));
    }
    reader.End();
    while (auto tag = reader.Next()) tags.push_back(std::move(*tag));
    return tags;
}

std::vector<FlvTag> ReadWhole(std::span<const std::uint8_t> bytes, std::string* problem = nullptr) {
    FlvReader reader;
    auto tags = ReadTags(reader, bytes, bytes.size() + 1);
    if (problem) *problem = reader.problem();
    return tags;
}

std::vector<swf::video::FlvKeyframe> KeyPackets(const std::vector<Packet>& packets) {
    std::vector<swf::video::FlvKeyframe> keys;
    for (const Packet& p : packets) {
        if (p.type == "video" && p.key) keys.push_back({p.pts, p.pos});
    }
    return keys;
}

void ExpectSameTags(const std::vector<FlvTag>& got, const std::vector<FlvTag>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, want[i].kind) << i;
        EXPECT_EQ(got[i].timestamp, want[i].timestamp) << i;
        EXPECT_EQ(got[i].position, want[i].position) << i;
        EXPECT_EQ(got[i].body, want[i].body) << i;
    }
}

// A file of the definition's parts: the header, then tags as given.
struct FlvBuilder {
    Bytes bytes{'F', 'L', 'V', 1, 0x05, 0, 0, 0, 9, 0, 0, 0, 0};
    FlvBuilder& Tag(std::uint8_t type, std::uint32_t timestamp, const Bytes& body) {
        const auto size = static_cast<std::uint32_t>(body.size());
        const std::uint8_t header[] = {type,
                                       static_cast<std::uint8_t>(size >> 16),
                                       static_cast<std::uint8_t>(size >> 8),
                                       static_cast<std::uint8_t>(size),
                                       static_cast<std::uint8_t>(timestamp >> 16),
                                       static_cast<std::uint8_t>(timestamp >> 8),
                                       static_cast<std::uint8_t>(timestamp),
                                       static_cast<std::uint8_t>(timestamp >> 24),
                                       0,
                                       0,
                                       0};
        bytes.insert(bytes.end(), std::begin(header), std::end(header));
        bytes.insert(bytes.end(), body.begin(), body.end());
        const std::uint32_t total = size + 11;
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(total >> shift));
        return *this;
    }
};

}  // namespace

TEST(FlvReader, TagsAreFfprobesPacketsInOrder) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const Bytes file = video_test::ReadMedia(std::string(name) + ".flv");
        const Probe probe(name);
        const auto packets = Packets(probe);
        ASSERT_FALSE(packets.empty());
        FlvReader reader;
        const auto tags = ReadTags(reader, file, file.size());
        EXPECT_EQ(reader.problem(), "");
        EXPECT_TRUE(reader.warnings().empty());
        EXPECT_TRUE(reader.Done());
        ASSERT_TRUE(reader.header());
        EXPECT_EQ(reader.header()->hasVideo, !probe.Stream("video").empty());
        EXPECT_EQ(reader.header()->hasAudio, !probe.Stream("audio").empty());
        EXPECT_EQ(reader.header()->dataOffset, 9u);

        // The metadata first, at the first tag's place after the header.
        ASSERT_FALSE(tags.empty());
        EXPECT_EQ(tags[0].kind, FlvTagKind::Script);
        EXPECT_EQ(tags[0].position, 13u);
        std::vector<const FlvTag*> media;
        for (const FlvTag& tag : tags) {
            if (tag.kind != FlvTagKind::Script) media.push_back(&tag);
        }
        ASSERT_EQ(media.size(), packets.size());
        const std::string audio = probe.Stream("audio");
        for (std::size_t i = 0; i < packets.size(); ++i) {
            SCOPED_TRACE(i);
            const FlvTag& tag = *media[i];
            const Packet& packet = packets[i];
            EXPECT_EQ(tag.kind, packet.type == "video" ? FlvTagKind::Video : FlvTagKind::Audio);
            EXPECT_EQ(tag.timestamp, packet.pts);
            EXPECT_EQ(tag.position, packet.pos);
            // ffprobe's packet leaves out the byte of codec flags.
            EXPECT_EQ(tag.body.size(), packet.size + 1);
            if (tag.kind == FlvTagKind::Video) {
                EXPECT_EQ(tag.IsKeyFrame(), packet.key);
                EXPECT_EQ(tag.frameType, packet.key ? swf::video::FlvFrameType::Key : swf::video::FlvFrameType::Inter);
                EXPECT_EQ(tag.codecId, FlvCodecId(probe.Get(probe.Stream("video") + "codec_name")));
            } else {
                // Format, rate (5.5, 11, 22, 44 kHz), 16 bits, channels.
                EXPECT_EQ(tag.audioFormat >> 4, FlvCodecId(probe.Get(audio + "codec_name")));
                const int rates[] = {5512, 11025, 22050, 44100};
                EXPECT_EQ(rates[tag.audioFormat >> 2 & 3], std::stoi(probe.Get(audio + "sample_rate")));
                EXPECT_EQ((tag.audioFormat & 1) + 1, std::stoi(probe.Get(audio + "channels")));
            }
        }
    }
}

TEST(FlvReader, MetadataIsWhatFfprobeSays) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const Probe probe(name);
        const auto tags = ReadWhole(video_test::ReadMedia(std::string(name) + ".flv"));
        ASSERT_FALSE(tags.empty());
        std::string problem;
        const auto script = swf::video::ReadFlvScriptData(tags[0].body, &problem);
        ASSERT_TRUE(script) << problem;
        EXPECT_EQ(script->name, "onMetaData");
        const auto& metadata = script->value;
        const auto number = [&](const char* key) {
            return metadata.Find(key) ? metadata.Find(key)->Number() : std::nullopt;
        };
        ASSERT_TRUE(number("duration"));
        EXPECT_NEAR(*number("duration"), std::stod(probe.Get("format.duration")), 0.0005);

        const std::string video = probe.Stream("video");
        EXPECT_EQ(number("width"), std::stod(probe.Get(video + "width")));
        EXPECT_EQ(number("height"), std::stod(probe.Get(video + "height")));
        const std::string rate = probe.Get(video + "r_frame_rate");
        EXPECT_EQ(number("framerate"),
                  std::stod(rate.substr(0, rate.find('/'))) / std::stod(rate.substr(rate.find('/') + 1)));
        EXPECT_EQ(number("videocodecid"), FlvCodecId(probe.Get(video + "codec_name")));
        const std::string audio = probe.Stream("audio");
        if (audio.empty()) {
            EXPECT_FALSE(number("audiocodecid"));
        } else {
            EXPECT_EQ(number("audiocodecid"), FlvCodecId(probe.Get(audio + "codec_name")));
            EXPECT_EQ(number("audiosamplerate"), std::stod(probe.Get(audio + "sample_rate")));
        }
    }
}

TEST(FlvIndex, KeyFramesAgreeWithFfprobesKeyFlags) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const auto keys = KeyPackets(Packets(Probe(name)));
        ASSERT_GE(keys.size(), 2u);
        const auto tags = ReadWhole(video_test::ReadMedia(std::string(name) + ".flv"));
        ASSERT_FALSE(tags.empty());
        const auto metadata = swf::video::ReadFlvScriptData(tags[0].body);
        ASSERT_TRUE(metadata);

        swf::video::FlvIndex index;
        // ffmpeg writes the index when asked to (all files but the MP3 one).
        const bool hasIndex = std::string(name) != "flv_mp3";
        std::string problem;
        EXPECT_EQ(index.UseMetadata(metadata->value, &problem), hasIndex) << problem;
        if (hasIndex) {
            ASSERT_TRUE(std::ranges::equal(index.keyframes(), keys));
        } else {
            EXPECT_TRUE(index.keyframes().empty());
        }
        for (const FlvTag& tag : tags) index.Add(tag);
        EXPECT_EQ(index.fromMetadata(), hasIndex);
        ASSERT_TRUE(std::ranges::equal(index.keyframes(), keys));

        for (std::uint32_t ms = 0; ms < keys.back().time + 500; ms += 5) {
            const auto found = index.KeyframeAtOrBefore(ms);
            const auto after = std::upper_bound(keys.begin(), keys.end(), ms,
                                                [](std::uint32_t t, const auto& k) { return t < k.time; });
            if (after == keys.begin()) {
                EXPECT_FALSE(found) << ms;  // before the first key frame
            } else {
                ASSERT_TRUE(found) << ms;
                EXPECT_EQ(*found, *std::prev(after)) << ms;
            }
        }
    }
}

TEST(FlvIndex, AMetadataIndexTheTagsContradictIsDropped) {
    const char* name = "flv_adpcm";
    const auto keys = KeyPackets(Packets(Probe(name)));
    const auto tags = ReadWhole(video_test::ReadMedia(std::string(name) + ".flv"));
    using swf::video::AmfStrictArray;
    const auto metadata = [&](std::int64_t shift, std::size_t count) {
        AmfStrictArray times, positions;
        for (std::size_t i = 0; i < count && i < keys.size(); ++i) {
            times.elements.push_back(keys[i].time / 1000.0);
            positions.elements.push_back(static_cast<double>(static_cast<std::int64_t>(keys[i].position) + shift));
        }
        swf::video::AmfObject keyframes;
        keyframes.members.push_back({"times", times});
        keyframes.members.push_back({"filepositions", positions});
        swf::video::AmfEcmaArray value;
        value.members.push_back({"keyframes", keyframes});
        return swf::video::AmfValue(value);
    };
    // Positions one byte off name no tag's start: the gathered index is used.
    for (std::int64_t shift : {-1, 1}) {
        swf::video::FlvIndex index;
        ASSERT_TRUE(index.UseMetadata(metadata(shift, keys.size())));
        for (const FlvTag& tag : tags) index.Add(tag);
        EXPECT_FALSE(index.fromMetadata()) << shift;
        EXPECT_TRUE(std::ranges::equal(index.keyframes(), keys)) << shift;
    }
    // An index that stops early is carried on by the tags after it.
    swf::video::FlvIndex partial;
    ASSERT_TRUE(partial.UseMetadata(metadata(0, 1)));
    for (const FlvTag& tag : tags) partial.Add(tag);
    EXPECT_TRUE(partial.fromMetadata());
    EXPECT_TRUE(std::ranges::equal(partial.keyframes(), keys));

    // Arrays of different lengths, or positions out of order, are not taken.
    swf::video::AmfObject broken;
    AmfStrictArray times, positions;
    times.elements = {0.0, 1.0};
    positions.elements = {1000.0};
    broken.members = {{"times", times}, {"filepositions", positions}};
    swf::video::AmfEcmaArray value;
    value.members.push_back({"keyframes", broken});
    swf::video::FlvIndex index;
    std::string problem;
    EXPECT_FALSE(index.UseMetadata(swf::video::AmfValue(value), &problem));
    EXPECT_FALSE(problem.empty());
    positions.elements = {2000.0, 1000.0};
    value.members[0].value = swf::video::AmfObject{{{"times", times}, {"filepositions", positions}}, ""};
    EXPECT_FALSE(index.UseMetadata(swf::video::AmfValue(value), &problem));
    EXPECT_NE(problem.find("order"), std::string::npos) << problem;
    EXPECT_FALSE(index.KeyframeAtOrBefore(5000));
}

TEST(FlvReader, FedAByteAtATimeGivesTheSameTags) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const Bytes file = video_test::ReadMedia(std::string(name) + ".flv");
        const auto whole = ReadWhole(file);
        for (std::size_t piece : {1, 7, 4096}) {
            FlvReader reader;
            ExpectSameTags(ReadTags(reader, file, piece), whole);
            EXPECT_EQ(reader.problem(), "");
            EXPECT_EQ(reader.position(), file.size());
        }
    }
}

TEST(FlvReader, EveryCutKeepsTheTagsBeforeItAndSaysWhere) {
    const Bytes file = video_test::ReadMedia("flv_small.flv");
    const auto packets = Packets(Probe("flv_small"));
    ASSERT_FALSE(packets.empty());
    // Where the file may end: after the header and its PreviousTagSize, after
    // the metadata (where the first packet's tag starts) and after each tag
    // with its PreviousTagSize (header 11, codec byte 1, size field 4).
    std::vector<std::size_t> ends = {13, packets[0].pos};
    for (const Packet& p : packets) ends.push_back(p.pos + p.size + 16);
    ASSERT_EQ(ends.back(), file.size());
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        SCOPED_TRACE(cut);
        std::string problem;
        const auto tags = ReadWhole(std::span(file).first(cut), &problem);
        std::size_t complete = 0;
        for (const Packet& p : packets) complete += p.pos + p.size + 12 <= cut;
        const bool metadata = packets[0].pos - 4 <= cut;
        ASSERT_EQ(tags.size(), complete + metadata);
        const bool atAnEnd = std::find(ends.begin(), ends.end(), cut) != ends.end();
        EXPECT_EQ(problem.empty(), atAnEnd) << problem;
        if (cut == 0) {
            EXPECT_NE(problem.find("empty"), std::string::npos) << problem;
        } else if (!atAnEnd) {
            EXPECT_NE(problem.find("ends"), std::string::npos) << problem;
        }
    }
}

TEST(FlvReader, FilesThatAreNotFlvOrHaveCorruptTags) {
    const Bytes file = video_test::ReadMedia("flv_small.flv");
    const auto packets = Packets(Probe("flv_small"));
    ASSERT_GE(packets.size(), 4u);
    const auto whole = ReadWhole(file);

    // Not FLV: known as soon as the first bytes differ, before the end.
    FlvReader gif;
    const std::uint8_t gifBytes[] = {'G', 'I', 'F', '8', '9', 'a'};
    gif.Append(std::span(gifBytes).first(2));
    EXPECT_FALSE(gif.Next());
    EXPECT_NE(gif.problem().find("not an FLV file"), std::string::npos) << gif.problem();
    EXPECT_TRUE(gif.Done());
    Bytes shortOffset = file;
    shortOffset[8] = 5;
    std::string problem;
    EXPECT_TRUE(ReadWhole(shortOffset, &problem).empty());
    EXPECT_NE(problem.find("not an FLV file"), std::string::npos) << problem;

    // A wrong PreviousTagSize (after the first video tag) only warns.
    Bytes badSize = file;
    badSize[packets[1].pos - 1] ^= 0x40;
    FlvReader lenient;
    ExpectSameTags(ReadTags(lenient, badSize, badSize.size()), whole);
    EXPECT_EQ(lenient.problem(), "");
    ASSERT_EQ(lenient.warnings().size(), 1u);
    EXPECT_NE(lenient.warnings()[0].find("PreviousTagSize"), std::string::npos) << lenient.warnings()[0];

    // A tag type that is none of the three stops the reading there, keeping
    // the tags before it.
    Bytes badType = file;
    badType[packets[3].pos] = 7;
    const auto before = ReadWhole(badType, &problem);
    EXPECT_EQ(before.size(), 4u);  // the metadata and three video tags
    EXPECT_NE(problem.find("corrupt"), std::string::npos) << problem;
    EXPECT_NE(problem.find(std::to_string(packets[3].pos)), std::string::npos) << problem;

    // An encrypted tag (filter bit) is skipped with a warning.
    Bytes encrypted = file;
    encrypted[packets[2].pos] |= 0x20;
    FlvReader skipping;
    const auto rest = ReadTags(skipping, encrypted, encrypted.size());
    EXPECT_EQ(rest.size(), whole.size() - 1);
    EXPECT_EQ(skipping.problem(), "");
    EXPECT_EQ(skipping.warnings().size(), 1u);

    // A header that says the data starts later: what lies between is skipped.
    Bytes longer(file.begin(), file.begin() + 9);
    longer[8] = 12;
    longer.insert(longer.end(), {0xAA, 0xBB, 0xCC});
    longer.insert(longer.end(), file.begin() + 9, file.end());
    const auto shifted = ReadWhole(longer, &problem);
    EXPECT_EQ(problem, "");
    ASSERT_EQ(shifted.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) EXPECT_EQ(shifted[i].position, whole[i].position + 3);
}

TEST(FlvReader, HandBuiltTagsAsTheFormatDefinesThem) {
    // The extended byte is the timestamp's top 8 bits; the video byte holds
    // the frame type over the codec id.
    const auto file = FlvBuilder()
                          .Tag(9, 0x78123456, {0x12, 0xAB})
                          .Tag(9, 5, {0x33})
                          .Tag(9, 6, {0x42})
                          .Tag(9, 7, {0x56, 1})
                          .Tag(9, 8, {})
                          .Tag(8, 9, {0x2E, 0xFF})
                          .bytes;
    std::string problem;
    const auto tags = ReadWhole(file, &problem);
    EXPECT_EQ(problem, "");
    ASSERT_EQ(tags.size(), 6u);
    using swf::video::FlvFrameType;
    EXPECT_EQ(tags[0].timestamp, 0x78123456u);
    EXPECT_EQ(tags[0].frameType, FlvFrameType::Key);
    EXPECT_EQ(tags[0].codecId, 2);
    EXPECT_EQ(tags[0].body, (Bytes{0x12, 0xAB}));
    EXPECT_EQ(tags[1].frameType, FlvFrameType::DisposableInter);
    EXPECT_EQ(tags[1].codecId, 3);
    EXPECT_EQ(tags[2].frameType, FlvFrameType::GeneratedKey);
    EXPECT_TRUE(tags[2].IsKeyFrame());
    EXPECT_EQ(tags[3].frameType, FlvFrameType::Command);
    EXPECT_EQ(tags[3].codecId, 6);
    EXPECT_EQ(tags[4].frameType, FlvFrameType::None);
    EXPECT_EQ(tags[5].kind, FlvTagKind::Audio);
    EXPECT_EQ(tags[5].audioFormat, 0x2E);
    EXPECT_EQ(tags[5].position, 13u + 5 * 15 + 2 + 1 + 1 + 2 + 0);
}

TEST(FlvReader, SeekingToAKeyFrameReadsOnFromThere) {
    const Bytes file = video_test::ReadMedia("flv_adpcm.flv");
    const auto packets = Packets(Probe("flv_adpcm"));
    const auto keys = KeyPackets(packets);
    ASSERT_GE(keys.size(), 2u);
    const auto target = keys[1];

    FlvReader reader;
    reader.Append(std::span(file).first(200));
    EXPECT_FALSE(reader.Next());  // the metadata is longer
    ASSERT_TRUE(reader.header());
    reader.SeekTo(target.position);
    EXPECT_EQ(reader.position(), target.position);
    const auto tags = ReadTags(reader, std::span(file).subspan(target.position), 1000);
    EXPECT_EQ(reader.problem(), "");
    // Every PreviousTagSize after the seek matches its tag.
    EXPECT_TRUE(reader.warnings().empty()) << reader.warnings().front();
    std::vector<Packet> want;
    for (const Packet& p : packets) {
        if (p.pos >= target.position) want.push_back(p);
    }
    ASSERT_EQ(tags.size(), want.size());
    EXPECT_TRUE(tags[0].IsKeyFrame());
    EXPECT_EQ(tags[0].timestamp, target.time);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tags[i].position, want[i].pos);
        EXPECT_EQ(tags[i].timestamp, want[i].pts);
    }
}
