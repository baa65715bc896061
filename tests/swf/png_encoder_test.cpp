// The PNG writer: signature, chunk layout and CRCs, and pixels that inflate back.

#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

#include "swf/image/png_encoder.h"

namespace swf {
namespace {

std::uint32_t BigEndian(const std::vector<std::uint8_t>& d, std::size_t at) {
    return (std::uint32_t{d[at]} << 24) | (std::uint32_t{d[at + 1]} << 16) | (std::uint32_t{d[at + 2]} << 8) |
           d[at + 3];
}

TEST(PngEncoder, WritesChunksWithValidCrcsAndRecoverablePixels) {
    const std::vector<std::uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0,  255, 0,
                                            1,   2, 3, 4,   5, 6,   7, 8,   9, 10, 11,  12};
    const auto png = EncodePng(3, 2, rgba);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}));
    std::size_t at = 8;
    std::vector<std::string> types;
    std::vector<std::uint8_t> idat;
    while (at < png.size()) {
        const std::uint32_t length = BigEndian(png, at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        types.push_back(type);
        const uLong crc = crc32(crc32(0, Z_NULL, 0), png.data() + at + 4, length + 4);
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc) << type;
        if (type == "IHDR") {
            EXPECT_EQ(BigEndian(png, at + 8), 3u);
            EXPECT_EQ(BigEndian(png, at + 12), 2u);
            EXPECT_EQ(png[at + 16], 8);  // bit depth
            EXPECT_EQ(png[at + 17], 6);  // RGBA
        }
        if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<std::uint8_t> raw(2 * (1 + 12));
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    EXPECT_EQ(raw[0], 0);  // filter byte
    EXPECT_EQ(std::vector<std::uint8_t>(raw.begin() + 1, raw.begin() + 13),
              std::vector<std::uint8_t>(rgba.begin(), rgba.begin() + 12));
    EXPECT_EQ(std::vector<std::uint8_t>(raw.begin() + 14, raw.end()),
              std::vector<std::uint8_t>(rgba.begin() + 12, rgba.end()));

    EXPECT_THROW(EncodePng(3, 3, rgba), std::invalid_argument);
    EXPECT_THROW(EncodePng(0, 2, {}), std::invalid_argument);
}

}  // namespace
}  // namespace swf
