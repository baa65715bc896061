// The bit reader, the basic records and the file envelope.

#include <gtest/gtest.h>

#include "swf/io/bit_reader.h"
#include "swf/io/movie_file.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/tag_reader.h"
#include "tests/swf/swf_bytes.h"

namespace swf {
namespace {

using test::Bytes;
using writer::BitWriter;

TEST(BitReader, ReadsFieldsAcrossByteBoundariesAndAlignedValues) {
    // 101 | 11111111 1 (SB9 = -1) | 0110 (UB4=6) | pad | 0x34 0x12 | FB
    const Bytes data = {0b10111111, 0b11110110, 0x34, 0x12, 0x00, 0x80, 0xFF, 0xFF};
    BitReader in(data);
    EXPECT_EQ(in.ReadUB(3), 5u);
    EXPECT_EQ(in.ReadSB(9), -1);
    EXPECT_EQ(in.ReadUB(4), 6u);
    EXPECT_EQ(in.ReadU16(), 0x1234);         // aligned read drops the rest of the byte
    EXPECT_DOUBLE_EQ(in.ReadFixed(), -0.5);  // 0xFFFF8000 as 16.16
    EXPECT_TRUE(in.AtEnd());
    EXPECT_THROW(in.ReadU8(), ParseError);
    EXPECT_THROW(in.ReadUB(1), ParseError);

    BitWriter b;
    b.UB(2, 3);
    b.SB(10, -300);
    b.SB(20, 0x12345);  // 20-bit positive value 0x12345 spanning three bytes
    b.SB(20, -98304);   // FB: -1.5 in 16.16
    BitReader in2(b.bytes());
    EXPECT_EQ(in2.ReadUB(2), 3u);
    EXPECT_EQ(in2.ReadSB(10), -300);
    EXPECT_EQ(in2.ReadSB(20), 0x12345);
    EXPECT_DOUBLE_EQ(in2.ReadFB(20), -1.5);
    EXPECT_EQ(in2.ReadSB(0), 0);
    EXPECT_THROW(in2.ReadUB(33), ParseError);
}

TEST(BitReader, FullWidthFieldsStringsAndBounds) {
    const Bytes data = {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 0, 'c'};
    BitReader in(data);
    EXPECT_EQ(in.ReadSB(32), INT32_MIN);
    EXPECT_EQ(in.ReadUB(32), 0xFFFFFFFFu);
    EXPECT_EQ(in.ReadString(), "ab");
    EXPECT_THROW(in.ReadString(), ParseError);  // no terminator before the end
    BitReader in3(data);
    EXPECT_THROW(in3.ReadBytes(13), ParseError);
    EXPECT_EQ(in3.ReadBytes(12).size(), 12u);
    const Bytes fixed8 = {0x80, 0xFE, 0x40, 0x01};
    BitReader in4(fixed8);
    EXPECT_DOUBLE_EQ(in4.ReadFixed8(), -1.5);
    EXPECT_DOUBLE_EQ(in4.ReadFixed8(), 1.25);
}

TEST(Records, RectMatrixAndColourTransforms) {
    BitWriter b;
    test::PutRect(b, -20, 11000, 5, 8000);
    test::PutMatrix(b, 2.0, 0.5, -0.25, 0.75, -100, 300);
    test::PutTranslate(b, 0, 0);
    // CXFORM with mult and add, 10 bits
    b.UB(1, true);
    b.UB(1, true);
    b.UB(4, 10);
    for (int v : {128, 256, -256}) b.SB(10, v);
    for (int v : {10, -20, 255}) b.SB(10, v);
    b.Align();
    // CXFORMWITHALPHA with add terms only
    b.UB(1, true);
    b.UB(1, false);
    b.UB(4, 8);
    for (int v : {1, 2, 3, -128}) b.SB(8, v);
    b.Align();
    test::PutRgba(b, 1, 2, 3, 4);

    BitReader in(b.bytes());
    EXPECT_EQ(ReadRect(in), (Rect{-20, 11000, 5, 8000}));
    const Matrix m = ReadMatrix(in);
    EXPECT_DOUBLE_EQ(m.a, 2.0);
    EXPECT_DOUBLE_EQ(m.b, 0.5);
    EXPECT_DOUBLE_EQ(m.c, -0.25);
    EXPECT_DOUBLE_EQ(m.d, 0.75);
    EXPECT_EQ(m.tx, -100);
    EXPECT_EQ(m.ty, 300);
    EXPECT_EQ(m.Apply({10, 20}), (Point{2 * 10 - 0.25 * 20 - 100, 0.5 * 10 + 0.75 * 20 + 300}));
    EXPECT_EQ(ReadMatrix(in), Matrix{});
    const ColorTransform cx = ReadColorTransform(in, false);
    EXPECT_DOUBLE_EQ(cx.rMult, 0.5);
    EXPECT_DOUBLE_EQ(cx.gMult, 1.0);
    EXPECT_DOUBLE_EQ(cx.bMult, -1.0);
    EXPECT_DOUBLE_EQ(cx.aMult, 1.0);
    EXPECT_DOUBLE_EQ(cx.bAdd, 255);
    EXPECT_EQ(cx.Apply({200, 100, 50, 77}), (Rgba{110, 80, 205, 77}));
    const ColorTransform cxa = ReadColorTransform(in, true);
    EXPECT_DOUBLE_EQ(cxa.rMult, 1.0);
    EXPECT_DOUBLE_EQ(cxa.aAdd, -128);
    EXPECT_EQ(cxa.Apply({0, 0, 0, 100}), (Rgba{1, 2, 3, 0}));  // clamped at 0
    EXPECT_EQ(ReadRgba(in), (Rgba{1, 2, 3, 4}));

    // Concatenation applies the child's transform first.
    ColorTransform parent;
    parent.rMult = 0.5;
    parent.rAdd = 10;
    ColorTransform child;
    child.rMult = 2;
    child.rAdd = 20;
    EXPECT_EQ((parent * child).Apply({50, 0, 0, 255}).r, parent.Apply(child.Apply({50, 0, 0, 255})).r);
    EXPECT_EQ((parent * child).Apply({50, 0, 0, 255}).r, 70);

    // A matrix truncated in the middle is an error, not a read past the end.
    BitWriter t;
    t.UB(1, true);
    t.UB(5, 31);
    BitReader cut(t.bytes());
    EXPECT_THROW(ReadMatrix(cut), ParseError);
}

TEST(MovieFile, ReadsUncompressedAndCompressedHeaders) {
    const Bytes movie = test::Movie({test::ShowFrame()}, 11000, 8000, 24.5, 7, 9);
    const MovieFile plain = ReadMovieFile(movie);
    EXPECT_FALSE(plain.header.compressed);
    EXPECT_EQ(plain.header.version, 9);
    EXPECT_EQ(plain.header.fileLength, movie.size());
    EXPECT_EQ(plain.header.frameSize, (Rect{0, 11000, 0, 8000}));
    EXPECT_DOUBLE_EQ(plain.header.frameRate, 24.5);
    EXPECT_EQ(plain.header.frameCount, 7);
    EXPECT_EQ(plain.tags, (Bytes{0x40, 0x00, 0x00, 0x00}));  // ShowFrame, End

    const MovieFile packed = ReadMovieFile(test::Compress(movie));
    EXPECT_TRUE(packed.header.compressed);
    EXPECT_EQ(packed.header.frameSize, plain.header.frameSize);
    EXPECT_EQ(packed.tags, plain.tags);
}

TEST(MovieFile, RefusesOnlyWhatCannotBePlayed) {
    const Bytes movie = test::Movie({test::ShowFrame()});
    auto expectError = [](const Bytes& bytes, const std::string& fragment) {
        try {
            ReadMovieFile(bytes);
            ADD_FAILURE() << "accepted: " << fragment;
        } catch (const ParseError& e) {
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
    };
    expectError({}, "shorter than its 8-byte header");
    expectError({'G', 'W', 'S', 8, 20, 0, 0, 0}, "unknown signature");
    expectError({'Z', 'W', 'S', 13, 20, 0, 0, 0, 0, 0, 0, 0}, "LZMA");
    Bytes corrupt = test::Compress(movie);
    corrupt[8] ^= 0xFF;  // zlib header: nothing comes out
    expectError(corrupt, "corrupt");
    // Header cut inside the frame rectangle.
    Bytes cut = {'F', 'W', 'S', 8, 10, 0, 0, 0, 0x78, 0x00};
    expectError(cut, "header incomplete");
}

TEST(TagReader, ShortAndLongHeadersAndOverruns) {
    const Bytes body(70, 0x11);
    Bytes stream = test::Tag(9, {1, 2, 3});
    const Bytes longTag = test::Tag(777, body);
    stream.insert(stream.end(), longTag.begin(), longTag.end());
    const Bytes forced = test::Tag(2, {5}, true);
    stream.insert(stream.end(), forced.begin(), forced.end());
    TagReader reader(stream);
    auto t1 = reader.Next();
    ASSERT_TRUE(t1);
    EXPECT_EQ(t1->code, 9);
    EXPECT_EQ(t1->body.size(), 3u);
    auto t2 = reader.Next();
    ASSERT_TRUE(t2);
    EXPECT_EQ(t2->code, 777);
    EXPECT_EQ(t2->body.size(), 70u);
    auto t3 = reader.Next();
    ASSERT_TRUE(t3);
    EXPECT_EQ(t3->code, 2);
    EXPECT_EQ(t3->body[0], 5);
    EXPECT_FALSE(reader.Next());

    EXPECT_FALSE(reader.CutShort());

    // A body cut short ends the stream before that tag, and stays ended.
    Bytes overrun = test::Tag(1, {});
    const Bytes cutTag = test::Tag(9, {1, 2, 3});
    overrun.insert(overrun.end(), cutTag.begin(), cutTag.end() - 1);
    TagReader bad(overrun);
    ASSERT_TRUE(bad.Next());
    EXPECT_FALSE(bad.Next());
    EXPECT_FALSE(bad.Next());
    EXPECT_TRUE(bad.CutShort());
    EXPECT_EQ(bad.CutShortCode(), std::optional<std::uint16_t>(9));
    // A 4 GB long length, and a header that is itself cut.
    const Bytes hugeLength = {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
    TagReader bad2(hugeLength);
    EXPECT_FALSE(bad2.Next());
    EXPECT_EQ(bad2.CutShortCode(), std::optional<std::uint16_t>(0x00FF >> 6));
    const Bytes halfHeader = {0xFF};
    TagReader bad3(halfHeader);
    EXPECT_FALSE(bad3.Next());
    EXPECT_TRUE(bad3.CutShort());
    EXPECT_FALSE(bad3.CutShortCode());
}

}  // namespace
}  // namespace swf
