// The Screen Video decoders against ffmpeg's decoding of streams its encoders
// wrote (both versions; version 2 with palette-coded, diff and primed
// blocks); version 2's options ffmpeg does not write (24-bit blocks, a
// stream's own palette, priming from this frame, a second set of blocks)
// against pictures the test codes by the format's definition; and frames
// that are cut, flipped or state what cannot be.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "swf/video/screen_video.h"
#include "swf/video/video_decoder.h"
#include "tests/video/video_media.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define SCREEN_VIDEO_TEST_COUNTS_BYTES 1
#endif
#endif

namespace {

using swf::video::FrameKind;
using swf::video::MakeVideoDecoder;
using swf::video::VideoCodecId;
using video_test::Bytes;
using video_test::ReadMedia;
using video_test::VideoTag;
using video_test::VideoTags;
using Palette = std::array<std::uint32_t, 128>;

// Every frame of a stream decoded and compared with ffmpeg's frame.
void ExpectDecodesAsFfmpeg(const std::string& name, VideoCodecId codec, const std::vector<VideoTag>& tags) {
    SCOPED_TRACE(name);
    const Bytes rgb = ReadMedia(name + ".rgb");
    ASSERT_GT(tags.size(), 2u);
    auto decoder = MakeVideoDecoder(codec);
    ASSERT_NE(decoder, nullptr);
    int inter = 0;
    std::uint64_t serial = decoder->Picture().serial;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_EQ(tags[i].codec, static_cast<int>(codec));
        const auto result = decoder->Decode(tags[i].data);
        ASSERT_TRUE(result.ok) << result.problem;
        if (tags[i].frameType == 1) {
            EXPECT_EQ(result.kind, FrameKind::Key);
        }
        inter += result.kind == FrameKind::Inter;
        const auto& picture = decoder->Picture();
        EXPECT_NE(picture.serial, serial);
        serial = picture.serial;
        // Both codecs are lossless from the coded pixels on: ffmpeg's frame exactly.
        const double psnr = video_test::Psnr(picture, rgb, i);
        EXPECT_GE(psnr, 40.0);
        EXPECT_TRUE(std::isinf(psnr)) << psnr << " dB";
    }
    const auto& picture = decoder->Picture();
    EXPECT_EQ(rgb.size(), tags.size() * picture.pixels.size() * 3) << "ffmpeg made another number of frames";
    EXPECT_GT(inter, 0) << "no inter frame tried";
}

// --- Version 2 frames coded here: a 48 x 40 picture in 16 x 16 blocks (three
// columns, three rows, the top row 8 pixels high).
constexpr int kWidth = 48, kHeight = 40, kBlock = 16, kColumns = 3, kCount = 9;
constexpr std::uint8_t kHybrid = 0x10, kDiff = 0x04, kPrimeCurrent = 0x02, kPrimePrevious = 0x01;

// Pixels as hybrid codes, top row first: below 0x80 a palette index, else
// 0x8000 | a 15-bit colour.
using Codes = std::vector<std::uint16_t>;

Codes MakeCodes(int seed) {
    Codes codes(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool direct = (x * 7 + y * 3 + seed) % 5 == 0;
            codes[y * kWidth + x] =
                direct ? 0x8000 | ((x * 37 + y * 11 + seed * 101) & 0x7FFF) : (x + y * 5 + seed * 13) & 0x7F;
        }
    }
    return codes;
}

std::uint32_t Colour(std::uint16_t code, const Palette& palette) {
    if (code < 0x80) return palette[code];
    const auto eight = [](unsigned five) { return five << 3 | five >> 2; };
    return 0xFF000000u | eight(code >> 10 & 31) << 16 | eight(code >> 5 & 31) << 8 | eight(code & 31);
}

std::vector<std::uint32_t> Expected(const Codes& codes, const Palette& palette) {
    std::vector<std::uint32_t> pixels;
    for (const std::uint16_t code : codes) pixels.push_back(Colour(code, palette));
    return pixels;
}

int HeightOf(int block) { return block / kColumns == 2 ? kHeight - 2 * kBlock : kBlock; }

// Rows [first, first + count) of a block, counted from its bottom, as the
// codec sends them: hybrid codes, or B, G, R bytes.
Bytes BlockBytes(const Codes& codes, int block, int first, int count, bool hybrid, const Palette& palette) {
    const int left = block % kColumns * kBlock;
    const int bottom = kHeight - 1 - block / kColumns * kBlock;
    Bytes bytes;
    for (int r = first; r < first + count; ++r) {
        for (int x = left; x < left + kBlock; ++x) {
            const std::uint16_t code = codes[(bottom - r) * kWidth + x];
            if (hybrid && code < 0x80) {
                bytes.push_back(static_cast<std::uint8_t>(code));
            } else if (hybrid) {
                bytes.insert(bytes.end(), {static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)});
            } else {
                const std::uint32_t c = Colour(code, palette);
                bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                           static_cast<std::uint8_t>(c >> 16)});
            }
        }
    }
    return bytes;
}

Bytes Zlib(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

// Raw deflate data that goes on from a stream whose output so far was `primer`.
Bytes PrimedDeflate(const Bytes& primer, const Bytes& raw) {
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    EXPECT_EQ(deflateSetDictionary(&zs, primer.data(), static_cast<uInt>(primer.size())), Z_OK);
    Bytes out(deflateBound(&zs, static_cast<uLong>(raw.size())) + 64);
    zs.next_in = const_cast<Bytef*>(raw.data());
    zs.avail_in = static_cast<uInt>(raw.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// IMAGEBLOCKV2 after its DataSize: format, the positions it asks for, data.
Bytes Block2(std::uint8_t format, const Bytes& positions, const Bytes& data) {
    Bytes block;
    block.reserve(1 + positions.size() + data.size());
    block.push_back(format);
    for (const Bytes* part : {&positions, &data}) block.insert(block.end(), part->begin(), part->end());
    return block;
}

void PutSized(Bytes& out, const Bytes& bytes) {
    out.insert(out.end(), {static_cast<std::uint8_t>(bytes.size() >> 8), static_cast<std::uint8_t>(bytes.size())});
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A whole frame: the blocks of one set (or two), an empty one left out.
Bytes Frame2(std::uint8_t flags, const Bytes& palette, const std::vector<Bytes>& blocks) {
    Bytes frame{0x00, kWidth, 0x00, kHeight, flags};
    if (!palette.empty()) PutSized(frame, palette);
    for (const Bytes& block : blocks) PutSized(frame, block);
    return frame;
}

// Every block of a picture, palette-coded and unprimed.
void KeyBlocks(const Codes& codes, std::vector<Bytes>& blocks) {
    for (int i = 0; i < kCount; ++i)
        blocks.push_back(Block2(kHybrid, {}, Zlib(BlockBytes(codes, i, 0, HeightOf(i), true, {}))));
}

std::size_t AllocatedBytes() {
#if SCREEN_VIDEO_TEST_COUNTS_BYTES
    return __sanitizer_get_current_allocated_bytes();
#else
    return 0;
#endif
}

}  // namespace

TEST(ScreenVideo, DecodesFfmpegStreamsPixelForPixel) {
    for (const char* name : {"sv1_320x240", "sv1_250x130", "sv1_small"})
        ExpectDecodesAsFfmpeg(name, VideoCodecId::ScreenVideo, VideoTags(ReadMedia(std::string(name) + ".flv")));
    for (const char* name : {"sv2_320x240", "sv2_250x130", "sv2_small", "sv2_desktop"})
        ExpectDecodesAsFfmpeg(name, VideoCodecId::ScreenVideo2, VideoTags(ReadMedia(std::string(name) + ".flv")));
}

TEST(ScreenVideo2, ReadsTwentyFourBitBlocksAsVersionOneSendsThem) {
    // Version 1's blocks become version 2's 24-bit blocks (format byte 0):
    // the same pictures as ffmpeg's decoding of the version 1 stream.
    std::vector<VideoTag> tags = VideoTags(ReadMedia("sv1_250x130.flv"));
    for (VideoTag& tag : tags) {
        const Bytes& v1 = tag.data;
        ASSERT_GE(v1.size(), 4u);
        const int blockWidth = ((v1[0] >> 4) + 1) * 16, width = (v1[0] & 0x0F) << 8 | v1[1];
        const int blockHeight = ((v1[2] >> 4) + 1) * 16, height = (v1[2] & 0x0F) << 8 | v1[3];
        const int count = (width + blockWidth - 1) / blockWidth * ((height + blockHeight - 1) / blockHeight);
        Bytes v2(v1.begin(), v1.begin() + 4);
        v2.push_back(0);
        std::size_t at = 4;
        for (int i = 0; i < count; ++i) {
            ASSERT_LE(at + 2, v1.size());
            const std::size_t size = std::size_t{v1[at]} << 8 | v1[at + 1];
            at += 2;
            PutSized(v2, size == 0 ? Bytes{}
                                   : Block2(0x00, {},
                                            Bytes(v1.begin() + static_cast<std::ptrdiff_t>(at),
                                                  v1.begin() + static_cast<std::ptrdiff_t>(at + size))));
            at += size;
        }
        tag = {tag.frameType, static_cast<int>(VideoCodecId::ScreenVideo2), v2};
    }
    ExpectDecodesAsFfmpeg("sv1_250x130", VideoCodecId::ScreenVideo2, tags);
}

TEST(ScreenVideo2, DrawsEveryBlockOptionAsTheFormatDefinesIt) {
    auto decoder = swf::video::MakeScreenVideo2Decoder();
    // A key frame with a palette of its own (128 x B, G, R), palette-coded blocks.
    Palette palette;
    Bytes paletteBytes;
    for (int i = 0; i < 128; ++i) {
        const std::uint8_t b = static_cast<std::uint8_t>(i * 2), g = static_cast<std::uint8_t>(255 - i),
                           r = static_cast<std::uint8_t>(i * 5);
        paletteBytes.insert(paletteBytes.end(), {b, g, r});
        palette[i] = 0xFF000000u | r << 16 | g << 8 | b;
    }
    const Codes first = MakeCodes(1);
    std::vector<Bytes> blocks;
    KeyBlocks(first, blocks);
    auto result = decoder->Decode(Frame2(0x01, Zlib(paletteBytes), blocks));
    ASSERT_TRUE(result.ok) << result.problem;
    EXPECT_EQ(result.kind, FrameKind::Key);
    ASSERT_EQ(decoder->Picture().width, kWidth);
    ASSERT_EQ(decoder->Picture().height, kHeight);
    EXPECT_EQ(decoder->Picture().pixels, Expected(first, palette));

    // An inter frame, the palette kept: rows 3 to 9 of block 0 as a diff
    // block primed by its key block; block 3 in 24 bits; block 4 in 24 bits
    // primed by block 3 of this frame (column 0, row 1); the rest left out.
    const Codes second = MakeCodes(2);
    Codes expected = first;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int fromBottom = kHeight - 1 - y;
            const bool diffRows = x < kBlock && fromBottom >= 3 && fromBottom <= 9;
            const bool middleRow = fromBottom >= kBlock && fromBottom < 2 * kBlock && x < 2 * kBlock;
            if (diffRows || middleRow) expected[y * kWidth + x] = second[y * kWidth + x];
        }
    }
    const Bytes block3 = BlockBytes(second, 3, 0, kBlock, false, palette);
    blocks.assign(kCount, {});
    blocks[0] = Block2(kHybrid | kDiff | kPrimePrevious, {3, 7},
                       PrimedDeflate(BlockBytes(first, 0, 0, kBlock, true, {}), BlockBytes(second, 0, 3, 7, true, {})));
    blocks[3] = Block2(0x00, {}, Zlib(block3));
    blocks[4] = Block2(kPrimeCurrent, {0, 1}, PrimedDeflate(block3, BlockBytes(second, 4, 0, kBlock, false, palette)));
    result = decoder->Decode(Frame2(0x00, {}, blocks));
    ASSERT_TRUE(result.ok) << result.problem;
    EXPECT_EQ(result.kind, FrameKind::Inter);
    EXPECT_EQ(decoder->Picture().pixels, Expected(expected, palette));

    // A diff block's rows not sent are its key block's, not the last frame's:
    // one of no rows takes block 0 back to the key frame's.
    blocks.assign(kCount, {});
    blocks[0] = Block2(kHybrid | kDiff, {0, 0}, {});
    result = decoder->Decode(Frame2(0x00, {}, blocks));
    ASSERT_TRUE(result.ok) << result.problem;
    for (int y = kHeight - kBlock; y < kHeight; ++y)
        for (int x = 0; x < kBlock; ++x) expected[y * kWidth + x] = first[y * kWidth + x];
    EXPECT_EQ(decoder->Picture().pixels, Expected(expected, palette));

    // A second set of blocks (IFrameImage) over a whole first set: block 2
    // again, primed by its key block of this same frame.
    const Codes third = MakeCodes(3), fourth = MakeCodes(4);
    blocks.clear();
    KeyBlocks(third, blocks);
    expected = third;
    for (int y = kHeight - kBlock; y < kHeight; ++y)
        for (int x = 2 * kBlock; x < kWidth; ++x) expected[y * kWidth + x] = fourth[y * kWidth + x];
    std::vector<Bytes> secondSet(kCount);
    secondSet[2] =
        Block2(kHybrid | kPrimePrevious, {},
               PrimedDeflate(BlockBytes(third, 2, 0, kBlock, true, {}), BlockBytes(fourth, 2, 0, kBlock, true, {})));
    blocks.insert(blocks.end(), secondSet.begin(), secondSet.end());
    result = decoder->Decode(Frame2(0x02, {}, blocks));
    ASSERT_TRUE(result.ok) << result.problem;
    EXPECT_EQ(result.kind, FrameKind::Key);
    EXPECT_EQ(decoder->Picture().pixels, Expected(expected, palette));
}

TEST(ScreenVideo, RefusesWhatCannotBeAndKeepsTheLastPicture) {
    for (const auto& [name, codec] :
         {std::pair{"sv1_small", VideoCodecId::ScreenVideo}, std::pair{"sv2_small", VideoCodecId::ScreenVideo2}}) {
        SCOPED_TRACE(name);
        const auto tags = VideoTags(ReadMedia(std::string(name) + ".flv"));
        ASSERT_GE(tags.size(), 3u);
        ASSERT_EQ(tags[1].frameType, 2);
        auto decoder = MakeVideoDecoder(codec);
        auto result = decoder->Decode(tags[1].data);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.problem.find("before any key frame"), std::string::npos) << result.problem;
        EXPECT_EQ(decoder->Picture().pixels.size(), 0u);

        ASSERT_TRUE(decoder->Decode(tags[0].data).ok);
        const auto kept = decoder->Picture().pixels;
        const auto keptSerial = decoder->Picture().serial;
        const auto refused = [&](const Bytes& frame, const char* why) {
            const auto answer = decoder->Decode(frame);
            EXPECT_FALSE(answer.ok);
            EXPECT_NE(answer.problem.find(why), std::string::npos) << answer.problem;
            EXPECT_EQ(decoder->Picture().serial, keptSerial);
            EXPECT_EQ(decoder->Picture().pixels, kept);
        };
        Bytes frame = tags[1].data;
        frame[1] -= 4;  // 96 pixels wide instead of 100
        refused(frame, "size changes");
        frame = tags[1].data;
        frame[0] = static_cast<std::uint8_t>(frame[0] + 0x10);  // 80-pixel blocks instead of 64
        refused(frame, "block size changes");
        frame = tags[0].data;
        frame[0] &= 0xF0;
        frame[1] = 0;
        refused(frame, "0 x 70");
        // A block that inflates to a row too few, and one with a row too many.
        const int headerSize = codec == VideoCodecId::ScreenVideo2 ? 5 : 4;
        const auto oneBlock = [&](const Bytes& raw) {
            Bytes f{0x30, 64, 0x30, 64};  // 64 x 64, one block
            if (headerSize == 5) f.push_back(0);
            const Bytes data = Zlib(raw);
            PutSized(f, headerSize == 5 ? Block2(0x00, {}, data) : data);
            return f;
        };
        refused(oneBlock(Bytes(63 * 64 * 3, 0x40)), "inflates to 12096 bytes");
        refused(oneBlock(Bytes(65 * 64 * 3, 0x40)), "inflates to more than");
        frame = oneBlock(Bytes(64 * 64 * 3, 0x40));
        frame[frame.size() - 9] ^= 0x55;  // inside the deflate data
        refused(frame, "block 1 of 1");
        // The largest picture a packet can state (its 12-bit fields reach 4095),
        // in a few bytes: refused before anything is allocated for it.
        const std::size_t before = AllocatedBytes();
        refused(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0x78, 0x9C},
                "the frame ends before the sizes of its 256 blocks");
        refused(Bytes{0x0F, 0xFF, 0x0F, 0xFF, 0, 0, 0}, "65536 blocks");
        EXPECT_LT(AllocatedBytes(), before + 64 * 1024);

        // After Reset an inter frame has nothing to build on; a key frame does.
        decoder->Reset();
        refused(tags[1].data, "before any key frame");
        EXPECT_TRUE(decoder->Decode(tags[0].data).ok);
        EXPECT_TRUE(decoder->Decode(tags[1].data).ok);
    }
}

TEST(ScreenVideo, CutOrFlippedFramesGiveAProblemOrAPicture) {
    for (const auto& [name, codec] :
         {std::pair{"sv1_small", VideoCodecId::ScreenVideo}, std::pair{"sv2_small", VideoCodecId::ScreenVideo2}}) {
        SCOPED_TRACE(name);
        const auto tags = VideoTags(ReadMedia(std::string(name) + ".flv"));
        ASSERT_GE(tags.size(), 2u);
        const Bytes& key = tags[0].data;
        // Every block of a key frame is needed: every cut is refused.
        for (std::size_t cut = 0; cut < key.size(); ++cut) {
            auto decoder = MakeVideoDecoder(codec);
            const auto result = decoder->Decode(std::span(key).first(cut));
            ASSERT_FALSE(result.ok) << "cut at " << cut;
            ASSERT_FALSE(result.problem.empty());
            ASSERT_EQ(decoder->Picture().pixels.size(), 0u);
        }
        // A flipped bit in the key frame or the inter frame after it.
        for (std::size_t frame = 0; frame < 2; ++frame) {
            for (std::size_t at = 0; at < tags[frame].data.size(); ++at) {
                auto decoder = MakeVideoDecoder(codec);
                if (frame == 1) {
                    ASSERT_TRUE(decoder->Decode(key).ok);
                }
                const auto before = decoder->Picture().pixels;
                Bytes flipped = tags[frame].data;
                flipped[at] ^= static_cast<std::uint8_t>(1 << at % 8);
                const auto result = decoder->Decode(flipped);
                const auto& picture = decoder->Picture();
                if (result.ok) {
                    ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.width) * picture.height);
                    ASSERT_GT(picture.width, 0);
                } else {
                    ASSERT_FALSE(result.problem.empty()) << "flip at " << at;
                    ASSERT_EQ(picture.pixels, before) << "flip at " << at;
                }
            }
        }
    }
}
