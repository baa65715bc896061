#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skingen/bmp.h"
#include "tools/skingen/file_io.h"
#include "tools/skingen/format_error.h"
#include "tools/skingen/ico.h"
#include "tests/skin/rgb_printer.h"
#include "tools/skingen/palette.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// The message of the FormatError that `read` throws, or "" when it throws none.
template <typename Read>
std::string FailureOf(Read read) {
    try {
        read();
    } catch (const FormatError& error) {
        return error.what();
    }
    return "";
}

RgbImage SamplePicture(int width, int height) {
    RgbImage image(width, height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            image.at(row, column) = Rgb{static_cast<std::uint8_t>(row * 40), static_cast<std::uint8_t>(column * 30),
                                        static_cast<std::uint8_t>(row * 7 + column)};
        }
    }
    return image;
}

TEST(BmpFormat, TwentyFourBitPictureRoundTripsWithPaddedBottomUpRows) {
    const RgbImage picture = SamplePicture(5, 3);  // 15 bytes a row, padded to 16
    const Bytes bytes = EncodeBmp(picture);

    ASSERT_EQ(bytes.size(), 14u + 40u + 16u * 3u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2] | bytes[3] << 8, static_cast<int>(bytes.size()));  // file size field
    EXPECT_EQ(bytes[10], 54);                                             // pixels follow the headers
    EXPECT_EQ(bytes[22], 3);                                              // positive height: bottom-up
    // First stored row is the bottom one; its first pixel as blue, green, red.
    EXPECT_EQ(bytes[54], picture.at(2, 0).b);
    EXPECT_EQ(bytes[55], picture.at(2, 0).g);
    EXPECT_EQ(bytes[56], picture.at(2, 0).r);
    EXPECT_EQ(bytes[54 + 15], 0);  // padding

    const DecodedBitmap decoded = DecodeBmp(bytes);
    EXPECT_EQ(decoded.bitsPerPixel, 24);
    EXPECT_TRUE(decoded.bottomUp);
    EXPECT_TRUE(decoded.palette.empty());
    ASSERT_EQ(decoded.image.width, 5);
    ASSERT_EQ(decoded.image.height, 3);
    EXPECT_EQ(decoded.image.pixels, picture.pixels);
}

TEST(BmpFormat, MonochromePictureRoundTripsWithBlackAndWhitePalette) {
    BitImage bits(20, 2);
    bits.at(0, 0) = true;
    bits.at(0, 19) = true;
    bits.at(1, 9) = true;
    const Bytes bytes = EncodeMonochromeBmp(bits);
    ASSERT_EQ(bytes.size(), 14u + 40u + 8u + 4u * 2u);

    const DecodedBitmap decoded = DecodeBmp(bytes);
    EXPECT_EQ(decoded.bitsPerPixel, 1);
    ASSERT_EQ(decoded.palette.size(), 2u);
    EXPECT_EQ(decoded.palette[0], HexRgb(0x000000));
    EXPECT_EQ(decoded.palette[1], HexRgb(0xFFFFFF));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 20; ++column) {
            EXPECT_EQ(decoded.indices[row * 20 + column], bits.at(row, column) ? 1 : 0) << row << "," << column;
        }
    }
}

TEST(BmpFormat, ReadsTopDownPictures) {
    Bytes bytes = EncodeBmp(SamplePicture(2, 2));
    // Same rows, declared top-down: the reader must now take the first stored row as the top.
    PutU32(bytes, 22, static_cast<std::uint32_t>(-2));
    const DecodedBitmap decoded = DecodeBmp(bytes);
    EXPECT_FALSE(decoded.bottomUp);
    EXPECT_EQ(decoded.image.at(0, 0), SamplePicture(2, 2).at(1, 0));
}

TEST(BmpFormat, RejectsMalformedFilesWithAClearError) {
    const Bytes good = EncodeBmp(SamplePicture(5, 3));

    EXPECT_NE(FailureOf([] { DecodeBmp(Bytes{}); }).find("not a BMP file"), std::string::npos);
    Bytes badSignature = good;
    badSignature[0] = 'X';
    EXPECT_NE(FailureOf([&] { DecodeBmp(badSignature); }).find("not a BMP file"), std::string::npos);

    const Bytes shortHeader(good.begin(), good.begin() + 30);
    EXPECT_NE(FailureOf([&] { DecodeBmp(shortHeader); }).find("truncated"), std::string::npos);

    const Bytes shortPixels(good.begin(), good.end() - 1);
    const std::string pixelsMessage = FailureOf([&] { DecodeBmp(shortPixels); });
    EXPECT_NE(pixelsMessage.find("truncated"), std::string::npos);
    EXPECT_NE(pixelsMessage.find("pixel data"), std::string::npos);

    Bytes compressed = good;
    PutU32(compressed, 30, 1);  // run-length encoded
    EXPECT_NE(FailureOf([&] { DecodeBmp(compressed); }).find("compressed"), std::string::npos);

    Bytes deep = good;
    PutU16(deep, 28, 32);
    EXPECT_NE(FailureOf([&] { DecodeBmp(deep); }).find("32 bits per pixel"), std::string::npos);

    Bytes noWidth = good;
    PutU32(noWidth, 18, 0);
    EXPECT_NE(FailureOf([&] { DecodeBmp(noWidth); }).find("width"), std::string::npos);

    Bytes huge = good;
    PutU32(huge, 18, 1u << 30);
    EXPECT_NE(FailureOf([&] { DecodeBmp(huge); }).find("width"), std::string::npos);

    Bytes smallInfoHeader = good;
    PutU32(smallInfoHeader, 14, 12);
    EXPECT_NE(FailureOf([&] { DecodeBmp(smallInfoHeader); }).find("info header"), std::string::npos);

    Bytes pixelsInHeader = good;
    PutU32(pixelsInHeader, 10, 20);
    EXPECT_NE(FailureOf([&] { DecodeBmp(pixelsInHeader); }).find("inside the headers"), std::string::npos);

    // A two-colour palette that a pixel indexes past.
    BitImage bits(8, 1);
    bits.at(0, 3) = true;
    Bytes shortPalette = EncodeMonochromeBmp(bits);
    PutU32(shortPalette, 46, 1);  // only one colour declared
    EXPECT_NE(FailureOf([&] { DecodeBmp(shortPalette); }).find("palette entry 1"), std::string::npos);
}

IndexedImage TwoColourIconPicture(int side) {
    RgbImage picture(side, side, HexRgb(0xFFFFFF));
    for (int i = 0; i < side; ++i) picture.at(i, i) = HexRgb(0x204080);
    return IndexColours(picture);
}

TEST(IcoFormat, OneImageRoundTripsWithPaletteAndMask) {
    const IndexedImage picture = TwoColourIconPicture(32);
    BitImage mask(32, 32);
    mask.at(0, 0) = true;
    mask.at(31, 31) = true;
    mask.at(5, 17) = true;
    const Bytes bytes = EncodeIcon(picture, mask);

    // Directory, entry, header, 256-colour palette, 32 rows of 32 indices, 32 mask rows of 4 bytes.
    ASSERT_EQ(bytes.size(), 6u + 16u + 40u + 1024u + 1024u + 128u);
    const DecodedIcon icon = DecodeIcon(bytes);
    ASSERT_EQ(icon.images.size(), 1u);
    const DecodedIconImage& image = icon.images[0];
    EXPECT_EQ(image.entryWidth, 32);
    EXPECT_EQ(image.entryHeight, 32);
    EXPECT_EQ(image.entryColourCount, 0);
    EXPECT_EQ(image.entryPlanes, 1);
    EXPECT_EQ(image.entryBitsPerPixel, 8);
    EXPECT_EQ(image.entryBytes, bytes.size() - 22);
    EXPECT_EQ(image.bitsPerPixel, 8);
    ASSERT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(image.image.at(7, 7), HexRgb(0x204080));
    EXPECT_EQ(image.image.at(7, 8), HexRgb(0xFFFFFF));
    EXPECT_EQ(image.mask.bits, mask.bits);
}

TEST(IcoFormat, SixtyFourPixelImageStoresEightMaskBytesARow) {
    const Bytes bytes = EncodeIcon(TwoColourIconPicture(64), BitImage(64, 64));
    EXPECT_EQ(bytes.size(), 6u + 16u + 40u + 1024u + 64u * 64u + 8u * 64u);
    EXPECT_EQ(DecodeIcon(bytes).images.at(0).entryWidth, 64);
}

TEST(IcoFormat, RejectsMalformedFilesWithAClearError) {
    const Bytes good = EncodeIcon(TwoColourIconPicture(16), BitImage(16, 16));

    EXPECT_NE(FailureOf([] { DecodeIcon(Bytes{0, 0, 1}); }).find("truncated"), std::string::npos);
    Bytes cursor = good;
    cursor[2] = 2;  // a cursor file, not an icon
    EXPECT_NE(FailureOf([&] { DecodeIcon(cursor); }).find("not an icon"), std::string::npos);
    Bytes empty = good;
    empty[4] = 0;
    EXPECT_NE(FailureOf([&] { DecodeIcon(empty); }).find("no image"), std::string::npos);
    Bytes many = good;
    many[4] = 200;  // directory entries run past the end
    EXPECT_NE(FailureOf([&] { DecodeIcon(many); }).find("icon directory"), std::string::npos);

    const Bytes shortMask(good.begin(), good.end() - 1);
    EXPECT_NE(FailureOf([&] { DecodeIcon(shortMask); }).find("truncated"), std::string::npos);

    Bytes imageTooShort = good;
    PutU32(imageTooShort, 14, static_cast<std::uint32_t>(good.size() - 22 - 1));  // the mask's last byte cut off
    EXPECT_NE(FailureOf([&] { DecodeIcon(imageTooShort); }).find("pixel data"), std::string::npos);

    Bytes png = good;
    png[22] = 0x89;
    png[23] = 'P';
    png[24] = 'N';
    png[25] = 'G';
    EXPECT_NE(FailureOf([&] { DecodeIcon(png); }).find("PNG"), std::string::npos);

    Bytes undoubled = good;
    PutU32(undoubled, 22 + 8, 17);
    EXPECT_NE(FailureOf([&] { DecodeIcon(undoubled); }).find("doubled height"), std::string::npos);

    Bytes wrongEntry = good;
    wrongEntry[6] = 32;
    EXPECT_NE(FailureOf([&] { DecodeIcon(wrongEntry); }).find("does not match"), std::string::npos);
}

TEST(IcoFormat, WriterRefusesPicturesItCannotStore) {
    EXPECT_THROW(EncodeIcon(TwoColourIconPicture(16), BitImage(8, 8)), FormatError);

    IndexedImage tooBig = TwoColourIconPicture(16);
    tooBig.width = 300;
    EXPECT_THROW(EncodeIcon(tooBig, BitImage(300, 16)), FormatError);

    IndexedImage strayIndex = TwoColourIconPicture(16);
    strayIndex.at(3, 3) = 9;  // only two colours in the palette
    EXPECT_THROW(EncodeIcon(strayIndex, BitImage(16, 16)), FormatError);
}

TEST(Palette, KeepsEveryColourExactlyWithBlackFirst) {
    RgbImage picture(3, 1);
    picture.at(0, 0) = HexRgb(0x808080);
    picture.at(0, 1) = HexRgb(0x102030);
    picture.at(0, 2) = HexRgb(0x808080);
    const IndexedImage indexed = IndexColours(picture);
    ASSERT_EQ(indexed.palette.size(), 3u);
    EXPECT_EQ(indexed.palette[0], HexRgb(0x000000));
    EXPECT_EQ(indexed.palette[1], HexRgb(0x102030));
    EXPECT_EQ(indexed.palette[2], HexRgb(0x808080));
    EXPECT_EQ(indexed.indices, (std::vector<std::uint8_t>{2, 1, 2}));

    RgbImage many(300, 1);
    for (int i = 0; i < 300; ++i)
        many.at(0, i) = Rgb{static_cast<std::uint8_t>(i % 256), static_cast<std::uint8_t>(i / 256), 7};
    EXPECT_THROW(IndexColours(many), FormatError);
}

TEST(FileIo, WritesWholeFilesAndLeavesNothingBehindOnFailure) {
    const std::filesystem::path folder =
        std::filesystem::path(testing::TempDir()) / ("skin_file_io_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    const Bytes bytes = {1, 2, 3, 0, 255};
    WriteFile(folder / "a.bin", bytes);
    EXPECT_EQ(ReadFile(folder / "a.bin"), bytes);
    EXPECT_FALSE(std::filesystem::exists(folder / "a.bin.partial"));

    EXPECT_THROW(WriteFile(folder / "missing" / "b.bin", bytes), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    EXPECT_THROW(ReadFile(folder / "nothing.bin"), std::runtime_error);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace skin
