// The Sorenson H.263 decoder against ffmpeg's decoding of streams its encoder
// wrote, and against the format's definition for what that encoder never
// writes (version 0 escapes, disposable frames); then frames that are bad,
// cut or damaged, deblocking, and the transform's accuracy.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "swf/video/idct.h"
#include "swf/video/video_decoder.h"
#include "tests/video/video_media.h"

namespace {

using swf::video::Deblocking;
using swf::video::FrameKind;
using swf::video::VideoCodecId;
using video_test::Bytes;
using video_test::ReadMedia;
using video_test::VideoTag;
using video_test::VideoTags;

std::unique_ptr<swf::video::VideoDecoder> MakeDecoder() {
    auto decoder = swf::video::MakeVideoDecoder(VideoCodecId::SorensonH263);
    EXPECT_NE(decoder, nullptr);
    return decoder;
}

// Most significant bit first, as the stream is read.
class BitWriter {
public:
    void Put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bits_.push_back(i < 32 && (value >> i & 1) != 0);
    }
    void Put(const char* code) {
        for (; *code; ++code)
            if (*code != ' ') bits_.push_back(*code == '1');
    }
    Bytes Finish() const {
        Bytes bytes((bits_.size() + 7) / 8, 0);
        for (std::size_t i = 0; i < bits_.size(); ++i)
            if (bits_[i]) bytes[i / 8] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
        return bytes;
    }

private:
    std::vector<bool> bits_;
};

// A picture header with an 8-bit custom size; type 0 key, 1 inter, 2 disposable.
void PutHeader(BitWriter& bits, int version, int width, int height, int type, int quantizer) {
    bits.Put(1, 17);
    bits.Put(static_cast<std::uint32_t>(version), 5);
    bits.Put(0, 8);
    bits.Put(0, 3);
    bits.Put(static_cast<std::uint32_t>(width), 8);
    bits.Put(static_cast<std::uint32_t>(height), 8);
    bits.Put(static_cast<std::uint32_t>(type), 2);
    bits.Put(0, 1);
    bits.Put(static_cast<std::uint32_t>(quantizer), 5);
    bits.Put(0, 1);
}

// The definition's 8 x 8 inverse DCT in doubles, row-major.
std::array<double, 64> ReferenceIdct(const std::array<double, 64>& coefficients) {
    std::array<double, 64> out{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            double sum = 0;
            for (int v = 0; v < 8; ++v) {
                for (int u = 0; u < 8; ++u) {
                    const double cu = u == 0 ? std::numbers::sqrt2 / 2 : 1, cv = v == 0 ? std::numbers::sqrt2 / 2 : 1;
                    sum += cu * cv * coefficients[v * 8 + u] * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                           std::cos((2 * y + 1) * v * std::numbers::pi / 16);
                }
            }
            out[y * 8 + x] = sum / 4;
        }
    }
    return out;
}

// BT.601 limited range to 0xFFRRGGBB, in doubles.
std::array<double, 3> Rgb(double y, double u, double v) {
    const double luma = 255.0 / 219 * (y - 16);
    return {luma + 255.0 / 224 * 1.402 * (v - 128), luma - 255.0 / 224 * (0.344136 * (u - 128) + 0.714136 * (v - 128)),
            luma + 255.0 / 224 * 1.772 * (u - 128)};
}

void ExpectPixelNear(std::uint32_t pixel, std::array<double, 3> rgb, double tolerance) {
    EXPECT_EQ(pixel >> 24, 0xFFu);
    for (int c = 0; c < 3; ++c) {
        const double expected = std::clamp(rgb[c], 0.0, 255.0);
        EXPECT_NEAR(static_cast<double>(pixel >> (16 - 8 * c) & 0xFF), expected, tolerance) << "channel " << c;
    }
}

struct Stream {
    const char* name;
    int width;
    int height;
    int sizeCode;  // the picture header's size code the encoder chose
};

}  // namespace

TEST(SorensonH263, DecodesAsFfmpegDoes) {
    const Stream streams[] = {{"h263_320x240", 320, 240, 5},
                              {"h263_176x144", 176, 144, 3},
                              {"h263_200x120", 200, 120, 0},
                              {"h263_640x480", 640, 480, 1},
                              {"h263_coarse", 160, 120, 6}};
    for (const Stream& stream : streams) {
        SCOPED_TRACE(stream.name);
        const std::vector<VideoTag> tags = VideoTags(ReadMedia(std::string(stream.name) + ".flv"));
        const Bytes rgb = ReadMedia(std::string(stream.name) + ".rgb");
        const std::size_t frameBytes = static_cast<std::size_t>(stream.width) * stream.height * 3;
        ASSERT_GE(tags.size(), 20u);
        for (const VideoTag& tag : tags) ASSERT_EQ(tag.codec, 2) << "not Sorenson H.263";
        ASSERT_EQ(rgb.size(), tags.size() * frameBytes);
        ASSERT_GE(tags[0].data.size(), 5u);
        EXPECT_EQ((tags[0].data[3] & 3) << 1 | tags[0].data[4] >> 7, stream.sizeCode);

        // The encoder sets the advisory deblocking flag on every frame, and
        // ffmpeg's decoding does not filter.
        auto decoder = MakeDecoder();
        decoder->SetDeblocking(Deblocking::Off);
        std::uint64_t lastSerial = decoder->Picture().serial;
        int interFrames = 0;
        double worst = 1000;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const auto result = decoder->Decode(tags[i].data);
            ASSERT_TRUE(result.ok) << "frame " << i << ": " << result.problem;
            EXPECT_EQ(result.kind, tags[i].frameType == 1 ? FrameKind::Key : FrameKind::Inter) << "frame " << i;
            EXPECT_EQ(swf::video::PeekFrameKind(VideoCodecId::SorensonH263, tags[i].data), result.kind)
                << "frame " << i << ": the header alone tells the kind";
            interFrames += result.kind == FrameKind::Inter;
            const auto& picture = decoder->Picture();
            ASSERT_EQ(picture.width, stream.width);
            ASSERT_EQ(picture.height, stream.height);
            EXPECT_NE(picture.serial, lastSerial);
            lastSerial = picture.serial;
            EXPECT_EQ(picture.pixels[0] >> 24, 0xFFu);
            const double psnr = video_test::Psnr(picture, rgb, i);
            EXPECT_GE(psnr, 35.0) << "frame " << i;
            worst = std::min(worst, psnr);
        }
        EXPECT_GT(interFrames, static_cast<int>(tags.size()) / 2);
        std::printf("%s: %zu frames, worst PSNR %.1f dB\n", stream.name, tags.size(), worst);
    }
}

TEST(SorensonH263, RefusesBadFramesAndKeepsTheLastPicture) {
    const std::vector<VideoTag> small = VideoTags(ReadMedia("h263_176x144.flv"));
    const std::vector<VideoTag> large = VideoTags(ReadMedia("h263_320x240.flv"));
    ASSERT_GE(small.size(), 2u);
    ASSERT_GE(large.size(), 2u);
    ASSERT_EQ(large[1].frameType, 2);

    auto decoder = MakeDecoder();
    const auto interFirst = decoder->Decode(large[1].data);
    EXPECT_FALSE(interFirst.ok);
    EXPECT_NE(interFirst.problem.find("before any key frame"), std::string::npos) << interFirst.problem;
    EXPECT_EQ(decoder->Picture().width, 0);

    ASSERT_TRUE(decoder->Decode(small[0].data).ok);
    const swf::raster::Image shown = decoder->Picture();
    const auto expectRefused = [&](const Bytes& frame, const char* words) {
        const auto result = decoder->Decode(frame);
        EXPECT_FALSE(result.ok) << words;
        EXPECT_NE(result.problem.find(words), std::string::npos) << result.problem;
        EXPECT_EQ(decoder->Picture().serial, shown.serial);
        EXPECT_EQ(decoder->Picture().pixels, shown.pixels);
    };
    expectRefused(large[1].data, "changes the picture size");

    Bytes badStart = small[0].data;
    badStart[2] ^= 0x80;  // the start code's last bit
    expectRefused(badStart, "start code");
    Bytes reservedSize = small[0].data;
    reservedSize[3] |= 0x03;
    reservedSize[4] |= 0x80;  // size code 7
    expectRefused(reservedSize, "reserved");
    expectRefused({}, "start code");

    BitWriter empty;
    PutHeader(empty, 0, 0, 16, 0, 4);
    expectRefused(empty.Finish(), "size 0");
    BitWriter huge;  // 16-bit custom size, 5000 x 16
    huge.Put(1, 17);
    huge.Put(0, 5 + 8);
    huge.Put(1, 3);
    huge.Put(5000, 16);
    huge.Put(16, 16);
    huge.Put(0, 2 + 1);
    huge.Put(4, 5);
    huge.Put(0, 1);
    expectRefused(huge.Finish(), "larger than 4096");
    // A key frame whose first macroblock type code does not exist.
    BitWriter noType;
    PutHeader(noType, 0, 16, 16, 0, 4);
    noType.Put("0000 0001 0");
    noType.Put(0, 64);
    expectRefused(noType.Finish(), "type code that does not exist");
    // An inter macroblock with +16 pixels, which has no code of its own.
    BitWriter noVector;
    PutHeader(noVector, 0, 176, 144, 1, 4);
    noVector.Put("0 1 11 0000 0000 0010 0 1");
    noVector.Put(0, 120);
    expectRefused(noVector.Finish(), "motion vector code that does not exist");
    // The small picture's own inter frame still follows the kept reference.
    EXPECT_TRUE(decoder->Decode(small[1].data).ok);

    // After a reset the next frame must be a key frame; the picture stays.
    decoder->Reset();
    const std::uint64_t serial = decoder->Picture().serial;
    EXPECT_FALSE(decoder->Decode(small[2].data).ok);
    EXPECT_EQ(decoder->Picture().serial, serial);
    EXPECT_EQ(decoder->Picture().width, 176);
}

TEST(SorensonH263, CutAndDamagedFramesGiveAProblemOrAPicture) {
    const std::vector<VideoTag> tags = VideoTags(ReadMedia("h263_coarse.flv"));
    ASSERT_GE(tags.size(), 3u);
    const Bytes& key = tags[0].data;
    const Bytes& inter = tags[1].data;
    ASSERT_EQ(tags[1].frameType, 2);

    auto decoder = MakeDecoder();
    for (const Bytes* frame : {&key, &inter}) {
        for (std::size_t cut = 0; cut < frame->size(); ++cut) {
            ASSERT_TRUE(decoder->Decode(key).ok);
            const std::uint64_t serial = decoder->Picture().serial;
            const auto result = decoder->Decode(std::span(frame->data(), cut));
            EXPECT_FALSE(result.ok) << "cut at " << cut << " of " << frame->size();
            EXPECT_FALSE(result.problem.empty());
            EXPECT_EQ(decoder->Picture().serial, serial);
        }
    }

    std::mt19937 random(1234);
    int decoded = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        Bytes damaged = round % 2 ? inter : key;
        for (int flip = 0; flip < 1 + round % 4; ++flip) {
            const std::size_t bit = random() % (damaged.size() * 8);
            damaged[bit / 8] ^= static_cast<std::uint8_t>(0x80 >> (bit % 8));
        }
        if (round % 2) {
            ASSERT_TRUE(decoder->Decode(key).ok);
        }
        const auto result = decoder->Decode(damaged);
        const auto& picture = decoder->Picture();
        ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(picture.width) * picture.height);
        if (result.ok) {
            ++decoded;
        } else {
            ++refused;
            EXPECT_FALSE(result.problem.empty());
        }
    }
    // Both outcomes happen: flips in coefficients often still decode.
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

TEST(SorensonH263, DeblockingSmoothsBlockEdgesOnlyWhenAsked) {
    const std::vector<VideoTag> tags = VideoTags(ReadMedia("h263_coarse.flv"));
    ASSERT_FALSE(tags.empty());
    const Bytes& key = tags[0].data;
    ASSERT_EQ(key[4] >> 4 & 1, 1) << "ffmpeg sets the deblocking flag";  // 160 x 120: flag is bit 35
    Bytes unflagged = key;
    unflagged[4] &= 0xEF;

    const auto decode = [](const Bytes& frame, Deblocking deblocking) {
        auto decoder = MakeDecoder();
        decoder->SetDeblocking(deblocking);
        EXPECT_TRUE(decoder->Decode(frame).ok);
        return decoder->Picture().pixels;
    };
    const auto plain = decode(key, Deblocking::Off);
    EXPECT_EQ(decode(unflagged, Deblocking::AsStream), plain);
    const auto smoothed = decode(unflagged, Deblocking::On);
    EXPECT_EQ(decode(key, Deblocking::AsStream), smoothed);

    // Only the two pixels each side of an 8 x 8 block edge may move (in
    // luma, and in chroma, whose blocks cover 16 x 16 pixels), and at the
    // coarsest quantizer many of them do, towards each other.
    int moved = 0, smaller = 0;
    const auto inside = [](int at) { return at % 16 == 4 || at % 16 == 5 || at % 16 == 10 || at % 16 == 11; };
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 160 + x;
            if (inside(x) && inside(y)) {
                EXPECT_EQ(smoothed[i], plain[i]) << x << ", " << y;
            }
            moved += smoothed[i] != plain[i];
        }
    }
    for (int y = 0; y < 120; ++y) {
        for (int x = 8; x < 160; x += 8) {
            const std::size_t i = static_cast<std::size_t>(y) * 160 + x;
            const auto green = [](std::uint32_t p) { return static_cast<int>(p >> 8 & 0xFF); };
            smaller +=
                std::abs(green(smoothed[i]) - green(smoothed[i - 1])) < std::abs(green(plain[i]) - green(plain[i - 1]));
        }
    }
    EXPECT_GT(moved, 1000);
    EXPECT_GT(smaller, 200);
}

TEST(SorensonH263, EscapesAndDisposableFramesFollowTheDefinition) {
    // One 16 x 16 macroblock, quantizer 4: every block's DC is 100 * 8,
    // chroma 120 * 8, and Y1 has one escaped coefficient at zigzag position
    // 1, level 3 (version 0: 8 bits), -300 (version 1, 11 bits) or 50
    // (version 1, 7 bits): 4 * (2 * |level| + 1) - 1 for an even quantizer.
    struct Escape {
        int version;
        const char* bits;
        int level;
    };
    for (const Escape& escape : {Escape{0, "1 000000 00000011", 3}, Escape{1, "1 1 000000 11011010100", -300},
                                 Escape{1, "0 1 000000 0110010", 50}}) {
        SCOPED_TRACE(escape.bits);
        BitWriter bits;
        PutHeader(bits, escape.version, 16, 16, 0, 4);
        bits.Put("1 0001 0");  // intra, no chroma coefficients; Y1 alone has coefficients
        for (int block = 0; block < 6; ++block) {
            bits.Put(block < 4 ? 100 : 120, 8);
            if (block == 0) {
                bits.Put("0000 011");
                bits.Put(escape.bits);
            }
        }
        auto decoder = MakeDecoder();
        const auto result = decoder->Decode(bits.Finish());
        ASSERT_TRUE(result.ok) << result.problem;
        EXPECT_EQ(result.kind, FrameKind::Key);
        std::array<double, 64> coefficients{};
        coefficients[0] = 800;
        coefficients[1] =
            std::clamp((escape.level < 0 ? -1 : 1) * (4 * (2 * std::abs(escape.level) + 1) - 1), -2048, 2047);
        const auto y1 = ReferenceIdct(coefficients);
        const auto& picture = decoder->Picture();
        ASSERT_EQ(picture.width, 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const double luma = x < 8 && y < 8 ? std::clamp(std::round(y1[y * 8 + x]), 0.0, 255.0) : 100;
                ExpectPixelNear(picture.pixel(x, y), Rgb(luma, 120, 120), 2.0);
            }
        }
    }

    // A key frame of flat 100, a disposable frame that adds to Y1 (DC level
    // 20, escaped), then an inter frame that skips its macroblock: it copies
    // the key frame, the reference, not the disposable one.
    BitWriter key;
    PutHeader(key, 0, 16, 16, 0, 4);
    key.Put("1 0011");  // intra, nothing but DC values
    for (int block = 0; block < 6; ++block) key.Put(block < 4 ? 100 : 120, 8);
    BitWriter disposable;
    PutHeader(disposable, 0, 16, 16, 2, 4);
    disposable.Put("0 1 1011 1 1");  // coded, inter, Y1 coded, vector (0, 0)
    disposable.Put("0000 011 1 000000 00010100");
    BitWriter skip;
    PutHeader(skip, 0, 16, 16, 1, 4);
    skip.Put("1");

    auto decoder = MakeDecoder();
    ASSERT_TRUE(decoder->Decode(key.Finish()).ok);
    const auto flat = decoder->Picture().pixels;
    ExpectPixelNear(flat[0], Rgb(100, 120, 120), 1.0);
    const auto middle = decoder->Decode(disposable.Finish());
    ASSERT_TRUE(middle.ok) << middle.problem;
    EXPECT_EQ(middle.kind, FrameKind::DisposableInter);
    const double added = (4 * 41 - 1) / 8.0;  // a DC alone spreads evenly
    ExpectPixelNear(decoder->Picture().pixel(3, 3), Rgb(std::round(100 + added), 120, 120), 1.0);
    ExpectPixelNear(decoder->Picture().pixel(12, 12), Rgb(100, 120, 120), 1.0);
    const auto last = decoder->Decode(skip.Finish());
    ASSERT_TRUE(last.ok) << last.problem;
    EXPECT_EQ(last.kind, FrameKind::Inter);
    EXPECT_EQ(decoder->Picture().pixels, flat);
}

TEST(SorensonH263, InverseTransformMeetsTheAccuracyH263AsksFor) {
    // Random blocks as the IEEE 1180 test makes them (differences in
    // -128..127, so that added to grey nothing clips, and in -5..4; forward
    // transformed and rounded), against the definition in doubles.
    std::mt19937 random(7);
    for (const int range : {128, 5}) {
        SCOPED_TRACE(range);
        std::array<double, 64> squares{}, sums{};
        int peak = 0;
        constexpr int kBlocks = 4000;
        for (int n = 0; n < kBlocks; ++n) {
            std::array<double, 64> spatial{};
            for (double& value : spatial) value = static_cast<int>(random() % (2 * range)) - range;
            std::array<double, 64> coefficients{};
            for (int v = 0; v < 8; ++v) {
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int y = 0; y < 8; ++y)
                        for (int x = 0; x < 8; ++x)
                            sum += spatial[y * 8 + x] * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                                   std::cos((2 * y + 1) * v * std::numbers::pi / 16);
                    const double cu = u == 0 ? std::numbers::sqrt2 / 2 : 1, cv = v == 0 ? std::numbers::sqrt2 / 2 : 1;
                    coefficients[v * 8 + u] = std::clamp(std::round(cu * cv * sum / 4), -2048.0, 2047.0);
                }
            }
            const auto expected = ReferenceIdct(coefficients);
            std::array<std::int16_t, 64> block{};
            for (int i = 0; i < 64; ++i) block[i] = static_cast<std::int16_t>(coefficients[i]);
            // Add to a mid-grey block so that results of either sign survive.
            std::array<std::uint8_t, 64> pixels;
            pixels.fill(128);
            swf::video::IdctAdd(block.data(), pixels.data(), 8);
            for (int i = 0; i < 64; ++i) {
                EXPECT_EQ(block[i], 0);
                const double reference = std::clamp(std::round(expected[i]) + 128, 0.0, 255.0);
                const int error = static_cast<int>(pixels[i] - reference);
                peak = std::max(peak, std::abs(error));
                squares[i] += error * error;
                sums[i] += error;
            }
        }
        EXPECT_LE(peak, 1);
        double totalSquares = 0, totalSum = 0;
        for (int i = 0; i < 64; ++i) {
            EXPECT_LE(squares[i] / kBlocks, 0.06) << "position " << i;
            EXPECT_LE(std::abs(sums[i]) / kBlocks, 0.015) << "position " << i;
            totalSquares += squares[i];
            totalSum += sums[i];
        }
        EXPECT_LE(totalSquares / (64.0 * kBlocks), 0.02);
        EXPECT_LE(std::abs(totalSum) / (64.0 * kBlocks), 0.0015);
    }
}
