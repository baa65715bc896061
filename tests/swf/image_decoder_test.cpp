// Picture decoding against ImageMagick's own decoding of the same files, and
// the pictures it must refuse without allocating for them.

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "swf/image/image_decoder.h"
#include "tests/swf/test_pictures.h"

namespace swf {
namespace {

using test::Bytes;

void PutU32BigEndian(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A PNG signature and header chunk declaring the size, then one tiny data
// chunk and the end chunk.
Bytes PngDeclaring(std::uint32_t width, std::uint32_t height) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto chunk = [&](const char* type, const Bytes& data) {
        PutU32BigEndian(png, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        PutU32BigEndian(
            png, static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
    };
    Bytes header;
    PutU32BigEndian(header, width);
    PutU32BigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
    chunk("IHDR", header);
    chunk("IDAT", {0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    chunk("IEND", {});
    return png;
}

// SOI and a baseline frame header for three components, then EOI.
Bytes JpegDeclaring(std::uint16_t width, std::uint16_t height) {
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 17, 8};
    jpeg.insert(jpeg.end(), {static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
                             static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width), 3});
    for (std::uint8_t component = 1; component <= 3; ++component) jpeg.insert(jpeg.end(), {component, 0x11, 0});
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// The JPEG with each Huffman table segment passed through `edit`.
Bytes EditHuffmanTables(Bytes jpeg, const std::function<void(Bytes& segment)>& edit) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        const std::size_t length = 2 + ((std::size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3]);
        Bytes segment(jpeg.begin() + pos, jpeg.begin() + pos + length);
        if (segment[1] == 0xC4) edit(segment);
        out.insert(out.end(), segment.begin(), segment.end());
        pos += length;
    }
    out.insert(out.end(), jpeg.begin() + pos, jpeg.end());
    return out;
}

int TransparentPixels(const raster::Image& image, bool partly) {
    int n = 0;
    for (std::uint32_t p : image.pixels) {
        const std::uint32_t a = p >> 24;
        n += partly ? (a > 0 && a < 255) : a == 0;
    }
    return n;
}

TEST(DecodeImage, MatchesImageMagickForJpegPngAndGif) {
    struct Case {
        const char* name;
        int width, height;
        int tolerance;  // JPEG decoders may round the inverse DCT and chroma upsampling differently
    };
    const Case cases[] = {
        {"baseline.jpg", 37, 23, 2},                                                         // 4:4:4
        {"progressive.jpg", 37, 23, 2},                                                      // 4:2:0, chroma upsampled
        {"cutout.png", 19, 13, 0},      {"cutout.gif", 19, 13, 0}, {"frames.gif", 5, 4, 0},  // the first of two frames
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const auto image = DecodeImage(test::ReadPicture(c.name), &error);
        ASSERT_TRUE(image) << error;
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_LE(test::MaxChannelDifference(image->pixels, test::ReferencePixels(c.name, c.width, c.height)),
                  c.tolerance);
    }
    // The cutouts really exercise transparency: the PNG keeps partial alpha,
    // the GIF only whole transparency.
    const auto png = DecodeImage(test::ReadPicture("cutout.png"), nullptr);
    ASSERT_TRUE(png);
    EXPECT_GT(TransparentPixels(*png, false), 0);
    EXPECT_GT(TransparentPixels(*png, true), 0);
    const auto gif = DecodeImage(test::ReadPicture("cutout.gif"), nullptr);
    ASSERT_TRUE(gif);
    EXPECT_GT(TransparentPixels(*gif, false), 0);
    const auto frames = DecodeImage(test::ReadPicture("frames.gif"), nullptr);
    ASSERT_TRUE(frames);
    EXPECT_EQ(frames->pixel(4, 3), 0xFFD02010u);
}

TEST(DecodeImage, RefusesOversizedDamagedAndForeignData) {
    auto refused = [](const Bytes& data) {
        std::string error;
        const bool decoded = DecodeImage(data, &error) != nullptr;
        return !decoded && !error.empty() ? error : std::string();
    };
    // Over the side limit, declared in headers with next to no data: refused
    // before the decoder allocates (the sanitizer would report a huge block).
    EXPECT_NE(refused(PngDeclaring(20000, 10)).find("over the size limit"), std::string::npos);
    EXPECT_NE(refused(JpegDeclaring(20000, 10)).find("over the size limit"), std::string::npos);
    EXPECT_NE(refused(PngDeclaring(10, 16385)).find("over the size limit"), std::string::npos);
    // Within the side limit but over the decoded byte limit.
    EXPECT_NE(refused(PngDeclaring(16384, 16384)).find("over the size limit"), std::string::npos);
    EXPECT_NE(refused(PngDeclaring(0, 5)), "");

    EXPECT_NE(refused({}), "");
    EXPECT_NE(refused({'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8}), "");  // another picture kind
    Bytes garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    EXPECT_NE(refused(garbage), "");

    // A PNG cut short loses its pixel data; a PNG with its data damaged fails
    // its checks.
    Bytes png = test::ReadPicture("cutout.png");
    EXPECT_NE(refused(Bytes(png.begin(), png.begin() + png.size() / 2)), "");
    Bytes damaged = png;
    for (std::size_t i = 60; i < damaged.size() - 20; ++i) damaged[i] ^= 0x5A;
    EXPECT_NE(refused(damaged), "");
    EXPECT_NE(refused(Bytes(png.begin(), png.begin() + 20)), "");  // header cut inside IHDR
    // A GIF cut inside its header.
    const Bytes gif = test::ReadPicture("cutout.gif");
    EXPECT_NE(refused(Bytes(gif.begin(), gif.begin() + 8)), "");

    // Huffman tables listing more than 256 symbols, and a second frame
    // header: refused before the decoder library sees them. (A table of
    // 16 x 255 codes would overrun the library's symbol arrays.)
    const Bytes baseline = test::ReadPicture("baseline.jpg");
    const Bytes overfull = EditHuffmanTables(baseline, [](Bytes& segment) {
        Bytes table = {0xFF, 0xC4, 0, 0, 0x00};  // one DC table 0
        for (int i = 0; i < 16; ++i) table.push_back(255);
        table.resize(table.size() + 16 * 255, 0x01);
        table[2] = static_cast<std::uint8_t>((table.size() - 2) >> 8);
        table[3] = static_cast<std::uint8_t>(table.size() - 2);
        segment = table;
    });
    EXPECT_EQ(refused(overfull), "damaged JPEG Huffman table");
    // The library lets fill bytes precede the start marker, and reads a
    // segment cut short by the data's end: so do the checks.
    Bytes filled = {0xFF, 0xFF};
    filled.insert(filled.end(), overfull.begin(), overfull.end());
    EXPECT_EQ(refused(filled), "damaged JPEG Huffman table");
    filled.resize(2);
    filled.insert(filled.end(), baseline.begin(), baseline.end());
    EXPECT_NE(DecodeImage(filled, nullptr), nullptr);
    std::size_t dht = 2;
    while (dht + 12 < baseline.size() && !(baseline[dht] == 0xFF && baseline[dht + 1] == 0xC4)) ++dht;
    ASSERT_LT(dht + 12, baseline.size());
    EXPECT_EQ(refused(Bytes(baseline.begin(), baseline.begin() + dht + 10)), "damaged JPEG Huffman table");
    const Bytes cutTable = EditHuffmanTables(baseline, [](Bytes& segment) { segment[3] -= 1; });
    EXPECT_NE(refused(cutTable), "");
    Bytes twoFrames = baseline;
    twoFrames.resize(twoFrames.size() - 2);  // drop EOI, append the whole picture's segments again
    twoFrames.insert(twoFrames.end(), baseline.begin() + 2, baseline.end());
    EXPECT_EQ(refused(twoFrames), "JPEG data with more than one frame");
    // The same tables that are fine still decode after the check.
    ASSERT_NE(DecodeImage(EditHuffmanTables(baseline, [](Bytes&) {}), nullptr), nullptr);

    // A JPEG cut inside its scan: either refused or the declared size with
    // the missing part filled in; never anything else.
    const Bytes& jpeg = baseline;
    for (std::size_t keep : {jpeg.size() / 2, jpeg.size() - 40, std::size_t{30}}) {
        std::string error;
        const auto cut = DecodeImage(Bytes(jpeg.begin(), jpeg.begin() + keep), &error);
        if (cut) {
            EXPECT_EQ(cut->width, 37);
            EXPECT_EQ(cut->height, 23);
            EXPECT_EQ(cut->pixels.size(), 37u * 23u);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

}  // namespace
}  // namespace swf
