// The bitmap definition tags, read from movies the writer builds around
// ImageMagick's pictures, and bitmap fills linked to the bitmaps they name.
// Expected pixels come from ImageMagick's decoding or from the lossless
// formats' definitions.

#include <gtest/gtest.h>

#include <algorithm>

#include "swf/io/bitmap_fills.h"
#include "swf/io/movie_parser.h"
#include "swf/model/bitmap.h"
#include "swf/writer/bitmap.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "tests/swf/swf_bytes.h"
#include "tests/swf/test_pictures.h"

namespace swf {
namespace {

using test::Bytes;
namespace w = swf::writer;

struct TagSpec {
    w::TagCode code;
    Bytes body;
};

std::shared_ptr<const MovieDefinition> Load(const std::vector<TagSpec>& tags) {
    w::TagStream stream;
    for (const TagSpec& tag : tags) stream.Add(tag.code, tag.body, true);
    stream.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 2000, 0, 2000};
    return ParseMovie(w::BuildMovie(header, stream));
}

const raster::Image* Image(const MovieDefinition& movie, std::uint16_t id) {
    const auto* bitmap = FindCharacter<BitmapDefinition>(movie.dictionary, id);
    return bitmap ? bitmap->image.get() : nullptr;
}

int CountWarnings(const MovieDefinition& movie, const std::string& text) {
    return static_cast<int>(std::count_if(movie.warnings.begin(), movie.warnings.end(),
                                          [&](const std::string& w) { return w.find(text) != std::string::npos; }));
}

// A JPEG file split the way DefineBits stores it: quantisation and Huffman
// tables in one SOI..EOI block (the JPEGTables tag), the rest in another.
struct SplitJpeg {
    Bytes tables{0xFF, 0xD8};
    Bytes image{0xFF, 0xD8};
};
SplitJpeg SplitTables(const Bytes& jpeg) {
    SplitJpeg split;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        const std::size_t length = 2 + ((std::size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3]);
        const bool table = jpeg[pos + 1] == 0xDB || jpeg[pos + 1] == 0xC4;
        Bytes& to = table ? split.tables : split.image;
        to.insert(to.end(), jpeg.begin() + pos, jpeg.begin() + pos + length);
        pos += length;
    }
    split.image.insert(split.image.end(), jpeg.begin() + pos, jpeg.end());  // scans and EOI
    split.tables.insert(split.tables.end(), {0xFF, 0xD9});
    return split;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Checks a bitmap against ImageMagick's decoding of the picture.
void ExpectPicture(const raster::Image* image, const std::string& picture, int width, int height, int tolerance) {
    ASSERT_NE(image, nullptr) << picture;
    EXPECT_EQ(image->width, width);
    EXPECT_EQ(image->height, height);
    EXPECT_LE(test::MaxChannelDifference(image->pixels, test::ReferencePixels(picture, width, height)), tolerance)
        << picture;
}

constexpr int kJpegTolerance = 2;

TEST(BitmapTags, JpegTablesCompleteDefineBits) {
    for (const char* name : {"baseline.jpg", "progressive.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes jpeg = test::ReadPicture(name);
        ASSERT_GT(jpeg.size(), 4u);
        const SplitJpeg split = SplitTables(jpeg);
        ASSERT_GT(split.tables.size(), 100u);  // the quantisation and Huffman tables did move
        ASSERT_LT(split.image.size(), jpeg.size());
        const auto movie = Load({{w::TagCode::JpegTables, split.tables},
                                 {w::TagCode::DefineBits, w::DefineBitsBody(1, split.image)},
                                 {w::TagCode::DefineBits, w::DefineBitsBody(2, split.image)}});
        ExpectPicture(Image(*movie, 1), name, 37, 23, kJpegTolerance);
        ExpectPicture(Image(*movie, 2), name, 37, 23, kJpegTolerance);  // the tables serve every DefineBits
        EXPECT_TRUE(movie->warnings.empty());
    }
    // Without JPEGTables (or with empty ones) a complete JPEG stands alone.
    const Bytes jpeg = test::ReadPicture("baseline.jpg");
    auto movie = Load({{w::TagCode::DefineBits, w::DefineBitsBody(1, jpeg)}});
    ExpectPicture(Image(*movie, 1), "baseline.jpg", 37, 23, kJpegTolerance);
    movie = Load({{w::TagCode::JpegTables, {}}, {w::TagCode::DefineBits, w::DefineBitsBody(1, jpeg)}});
    ExpectPicture(Image(*movie, 1), "baseline.jpg", 37, 23, kJpegTolerance);
}

TEST(BitmapTags, Jpeg2TakesJpegInAnyBlockLayoutAndPngOrGif) {
    const Bytes jpeg = test::ReadPicture("progressive.jpg");
    const SplitJpeg split = SplitTables(jpeg);
    const auto movie = Load({
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(1, Concat({{0xFF, 0xD9, 0xFF, 0xD8}, jpeg}))},
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(2, Concat({split.tables, split.image}))},
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(3, Concat({jpeg, Bytes(16, 0)}))},  // padded
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(4, test::ReadPicture("cutout.png"))},
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(5, test::ReadPicture("cutout.gif"))},
    });
    for (std::uint16_t id : {1, 2, 3}) {
        SCOPED_TRACE(id);
        ExpectPicture(Image(*movie, id), "progressive.jpg", 37, 23, kJpegTolerance);
    }
    ExpectPicture(Image(*movie, 4), "cutout.png", 19, 13, 0);
    ExpectPicture(Image(*movie, 5), "cutout.gif", 19, 13, 0);
    EXPECT_TRUE(movie->warnings.empty());
}

TEST(BitmapTags, Jpeg3And4AlphaPlanes) {
    const Bytes baseline = test::ReadPicture("baseline.jpg");
    const Bytes progressive = test::ReadPicture("progressive.jpg");
    const std::size_t count = 37 * 23;
    Bytes alpha(count);
    for (std::size_t i = 0; i < count; ++i) alpha[i] = static_cast<std::uint8_t>(i * 11);
    const Bytes shortAlpha(alpha.begin(), alpha.end() - 5);
    const Bytes png = test::ReadPicture("cutout.png");
    // A body whose alpha data is not zlib at all.
    Bytes brokenAlpha = w::DefineBitsJpeg3Body(7, baseline, {});
    brokenAlpha.insert(brokenAlpha.end(), {0x12, 0x34, 0x56, 0x78, 0x9A});

    const auto movie = Load({
        {w::TagCode::DefineBitsJpeg3, w::DefineBitsJpeg3Body(1, baseline, alpha)},
        {w::TagCode::DefineBitsJpeg4, w::DefineBitsJpeg4Body(2, progressive, alpha, 0.5)},
        {w::TagCode::DefineBitsJpeg3, w::DefineBitsJpeg3Body(3, png, Bytes(19 * 13, 0))},  // ignored: PNG alpha
        {w::TagCode::DefineBitsJpeg3, w::DefineBitsJpeg3Body(4, baseline, shortAlpha)},
        {w::TagCode::DefineBitsJpeg3, w::DefineBitsJpeg3Body(5, baseline, {})},
        {w::TagCode::DefineBitsJpeg3, brokenAlpha},
        {w::TagCode::DefineBitsJpeg3, w::DefineBitsJpeg3Body(8, Concat({{0xFF, 0xD9, 0xFF, 0xD8}, baseline}), alpha)},
    });

    // The JPEG's colours are already multiplied by the plane's alpha; colour
    // above alpha is clamped.
    for (auto [id, picture] : {std::pair{1, "baseline.jpg"}, {2, "progressive.jpg"}, {8, "baseline.jpg"}}) {
        SCOPED_TRACE(id);
        std::vector<std::uint32_t> expected = test::ReferencePixels(picture, 37, 23);
        ASSERT_EQ(expected.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t a = alpha[i];
            auto channel = [&](int shift) { return std::min((expected[i] >> shift) & 0xFF, a) << shift; };
            expected[i] = (a << 24) | channel(16) | channel(8) | channel(0);
        }
        const raster::Image* image = Image(*movie, static_cast<std::uint16_t>(id));
        ASSERT_NE(image, nullptr);
        EXPECT_LE(test::MaxChannelDifference(image->pixels, expected), kJpegTolerance);
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(image->pixels[i] >> 24, alpha[i]) << i;
    }
    ExpectPicture(Image(*movie, 3), "cutout.png", 19, 13, 0);

    // A short, missing or unreadable plane leaves the picture opaque, with a warning.
    for (std::uint16_t id : {4, 5, 7}) {
        SCOPED_TRACE(id);
        ExpectPicture(Image(*movie, id), "baseline.jpg", 37, 23, kJpegTolerance);
        EXPECT_EQ(CountWarnings(*movie, "bitmap " + std::to_string(id) + ": "), 1);
    }
    EXPECT_EQ(CountWarnings(*movie, "alpha plane holds 846 of 851 bytes"), 1);
    EXPECT_EQ(movie->warnings.size(), 3u);
}

TEST(BitmapTags, LosslessFormatsWithRowPadding) {
    using Format = w::LosslessBitmap::Format;
    // 8-bit colour-mapped, 3 wide: each row padded by one byte; index 5 lies
    // past the table and reads as zero colour (opaque black without alpha).
    w::LosslessBitmap mapped{Format::ColorMapped8, 3, 2, {{10, 20, 30}, {200, 100, 0}}, {0, 1, 0, 1, 1, 5}};
    // 15-bit 0RRRRRGGGGGBBBBB, 3 wide: rows padded by two bytes.
    w::LosslessBitmap rgb15{Format::Rgb15, 3, 2, {}, {0x7C00, 0x03E0, 0x001F, 0x4210, 0x0421, 0x7FFF}};
    // 32-bit without alpha: the first byte is reserved and ignored.
    w::LosslessBitmap xrgb{Format::Rgb32, 2, 1, {}, {0x7F112233, 0x00FFFFFF}};
    // With alpha, 5 wide (three padding bytes): premultiplied colours, one
    // entry brighter than its alpha, and index 9 past the table.
    w::LosslessBitmap mappedAlpha{Format::ColorMapped8,
                                  5,
                                  2,
                                  {{0, 0, 0, 0}, {128, 0, 64, 128}, {255, 255, 255, 255}, {200, 10, 10, 100}},
                                  {0, 1, 2, 3, 9, 3, 2, 1, 0, 0}};
    w::LosslessBitmap argb{Format::Rgb32, 3, 1, {}, {0x80402010, 0x40FF8000, 0x00000000}};

    const auto movie = Load({
        {w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(1, mapped, false)},
        {w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(2, rgb15, false)},
        {w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(3, xrgb, false)},
        {w::TagCode::DefineBitsLossless2, w::DefineBitsLosslessBody(4, mappedAlpha, true)},
        {w::TagCode::DefineBitsLossless2, w::DefineBitsLosslessBody(5, argb, true)},
    });
    EXPECT_TRUE(movie->warnings.empty());
    auto pixels = [&](std::uint16_t id) {
        const raster::Image* image = Image(*movie, id);
        return image ? image->pixels : std::vector<std::uint32_t>{};
    };
    using P = std::vector<std::uint32_t>;
    EXPECT_EQ(pixels(1), (P{0xFF0A141E, 0xFFC86400, 0xFF0A141E, 0xFFC86400, 0xFFC86400, 0xFF000000}));
    // 5 bits widen to 8 by repeating their top bits: 31 -> 255, 16 -> 132, 1 -> 8.
    EXPECT_EQ(pixels(2), (P{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484, 0xFF080808, 0xFFFFFFFF}));
    EXPECT_EQ(pixels(3), (P{0xFF112233, 0xFFFFFFFF}));
    EXPECT_EQ(pixels(4), (P{0x00000000, 0x80800040, 0xFFFFFFFF, 0x64640A0A, 0x00000000, 0x64640A0A, 0xFFFFFFFF,
                            0x80800040, 0x00000000, 0x00000000}));
    EXPECT_EQ(pixels(5), (P{0x80402010, 0x40404000, 0x00000000}));
    ASSERT_NE(Image(*movie, 4), nullptr);
    EXPECT_EQ(Image(*movie, 4)->width, 5);
    EXPECT_EQ(Image(*movie, 4)->height, 2);
}

// DefineBitsLossless(2) header with whatever compressed data follows.
Bytes LosslessHeader(std::uint16_t id, std::uint8_t format, std::uint16_t width, std::uint16_t height,
                     const Bytes& data) {
    writer::BitWriter b;
    b.U16(id);
    b.U8(format);
    b.U16(width);
    b.U16(height);
    if (format == 3) b.U8(255);
    b.Bytes(data);
    return b.bytes();
}

TEST(BitmapTags, UnreadableBitmapsAreSkippedWithWarnings) {
    using Format = w::LosslessBitmap::Format;
    // 200 x 3 of real data, declared 200 x 100: the inflated data runs short.
    w::LosslessBitmap strip{Format::Rgb32, 200, 3, {}, std::vector<std::uint32_t>(600, 0xFF336699)};
    Bytes tall = w::DefineBitsLosslessBody(2, strip, true);
    tall[5] = 100;  // height, little-endian at offset 5
    const Bytes someZlib = w::DefineBitsLosslessBody(99, strip, false);
    const Bytes compressed(someZlib.begin() + 7, someZlib.end());
    w::LosslessBitmap small{Format::Rgb15, 2, 2, {}, {1, 2, 3, 4}};
    Bytes rgb15WithAlpha = w::DefineBitsLosslessBody(5, small, false);
    Bytes badZlib = w::DefineBitsLosslessBody(6, strip, false);
    for (std::size_t i = 9; i < badZlib.size(); ++i) badZlib[i] ^= 0xA5;
    const Bytes jpeg = test::ReadPicture("baseline.jpg");
    Bytes offsetPastEnd = w::DefineBitsJpeg3Body(11, jpeg, {});
    offsetPastEnd[2] += 1;  // alpha offset one past the picture's end

    const std::vector<TagSpec> bad = {
        // Declared 16384 x 16384 (1 GiB decoded) with a few bytes of data:
        // refused before anything is inflated or allocated.
        {w::TagCode::DefineBitsLossless2, LosslessHeader(1, 5, 16384, 16384, compressed)},
        {w::TagCode::DefineBitsLossless2, LosslessHeader(12, 3, 16384, 16384, compressed)},
        {w::TagCode::DefineBitsLossless2, tall},
        {w::TagCode::DefineBitsLossless, LosslessHeader(3, 7, 4, 4, compressed)},  // no format 7
        {w::TagCode::DefineBitsLossless, LosslessHeader(4, 5, 0, 4, compressed)},  // no pixels
        {w::TagCode::DefineBitsLossless2, rgb15WithAlpha},                         // 15-bit has no alpha form
        {w::TagCode::DefineBitsLossless, badZlib},
        {w::TagCode::DefineBitsLossless, Bytes{7, 0, 5, 2}},  // cut inside the header
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(8, Bytes(200, 0x5A))},
        {w::TagCode::DefineBitsJpeg2, w::DefineBitsJpeg2Body(9, {})},
        {w::TagCode::DefineBits, w::DefineBitsBody(10, Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00})},
        {w::TagCode::DefineBitsJpeg3, offsetPastEnd},
    };
    std::vector<TagSpec> tags = bad;
    tags.push_back({w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(99, strip, false)});
    const auto movie = Load(tags);

    EXPECT_EQ(movie->warnings.size(), bad.size());
    for (std::uint16_t id = 1; id <= 12; ++id) EXPECT_EQ(Image(*movie, id), nullptr) << id;
    EXPECT_EQ(CountWarnings(*movie, "tag 36 skipped: bitmap of 16384 x 16384 pixels is over the size limit"), 2);
    EXPECT_EQ(CountWarnings(*movie, "bitmap data holds 2400 of 80000 bytes"), 1);
    EXPECT_EQ(CountWarnings(*movie, "unknown lossless bitmap format 7"), 1);
    EXPECT_EQ(CountWarnings(*movie, "unknown lossless bitmap format 4"), 1);
    EXPECT_EQ(CountWarnings(*movie, "alpha data offset past the end"), 1);
    // The movie goes on: the good bitmap after them is there.
    ASSERT_NE(Image(*movie, 99), nullptr);
    EXPECT_EQ(Image(*movie, 99)->pixel(199, 2), 0xFF336699u);
}

TEST(BitmapFills, LinkToBitmapsDefinedBeforeTheShape) {
    w::LosslessBitmap tile{w::LosslessBitmap::Format::Rgb32, 2, 2, {}, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0}};
    w::ShapeBuilder other;
    other.Rectangle({0, 100, 0, 100}, other.AddFill(w::FillStyle::Solid({1, 2, 3})));
    w::ShapeBuilder shape;
    const w::Matrix pixelsToTwips = w::Matrix::Transform(20, 20, 0, 40, 60);
    const std::uint16_t fills[] = {
        shape.AddFill(w::FillStyle::Bitmap(1, pixelsToTwips)),
        shape.AddFill(w::FillStyle::Bitmap(0xFFFF, pixelsToTwips)),           // no bitmap
        shape.AddFill(w::FillStyle::Bitmap(4, pixelsToTwips, false, false)),  // defined after the shape
        shape.AddFill(w::FillStyle::Bitmap(3, pixelsToTwips, false, true)),   // a shape, not a bitmap
        shape.AddFill(w::FillStyle::Bitmap(7, pixelsToTwips, true, false)),   // never defined
        shape.AddFill(w::FillStyle::Solid({9, 9, 9})),
    };
    for (int i = 0; i < 6; ++i) shape.Rectangle({i * 100, i * 100 + 80, 0, 80}, fills[i]);

    const auto movie = Load({
        {w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(1, tile, false)},
        {w::TagCode::DefineShape3, other.DefineShapeBody(3, 3)},
        {w::TagCode::DefineShape3, shape.DefineShapeBody(2, 3)},
        {w::TagCode::DefineBitsLossless, w::DefineBitsLosslessBody(4, tile, false)},
    });
    ASSERT_TRUE(movie->warnings.empty());
    const auto* parsed = FindCharacter<ShapeDefinition>(movie->dictionary, 2);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(parsed->shape.layers.size(), 1u);
    const std::vector<FillStyle>& styles = parsed->shape.layers[0].fills;
    ASSERT_EQ(styles.size(), 6u);
    const auto* bitmap = FindCharacter<BitmapDefinition>(movie->dictionary, 1);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(styles[0].bitmap, bitmap->image);  // shared, not copied
    EXPECT_EQ(styles[0].bitmap->pixel(0, 1), 0xFFFF0000u);
    EXPECT_DOUBLE_EQ(styles[0].matrix.a, 20);
    EXPECT_DOUBLE_EQ(styles[0].matrix.tx, 40);
    EXPECT_TRUE(styles[0].bitmapRepeat && styles[0].bitmapSmooth);
    EXPECT_EQ(styles[1].bitmap, nullptr);
    EXPECT_EQ(styles[2].bitmap, nullptr);
    EXPECT_NE(Image(*movie, 4), nullptr);
    EXPECT_FALSE(styles[2].bitmapRepeat || styles[2].bitmapSmooth);
    EXPECT_EQ(styles[3].bitmap, nullptr);
    EXPECT_TRUE(!styles[3].bitmapRepeat && styles[3].bitmapSmooth);
    EXPECT_EQ(styles[4].bitmap, nullptr);
    EXPECT_TRUE(styles[4].bitmapRepeat && !styles[4].bitmapSmooth);
    EXPECT_EQ(styles[5].kind, FillKind::Solid);
    EXPECT_EQ(styles[5].bitmap, nullptr);

    // Lines painted with a fill are linked too; a fill that is not a bitmap
    // fill keeps no picture even when its id field names one.
    Shape lines;
    lines.layers.resize(1);
    LineStyle line;
    line.hasFill = true;
    line.fill.kind = FillKind::Bitmap;
    line.fill.bitmapId = 1;
    lines.layers[0].lines.push_back(line);
    FillStyle solid;
    solid.bitmapId = 1;
    lines.layers[0].fills.push_back(solid);
    ResolveBitmapFills(lines, movie->dictionary);
    EXPECT_EQ(lines.layers[0].lines[0].fill.bitmap, bitmap->image);
    EXPECT_EQ(lines.layers[0].fills[0].bitmap, nullptr);
}

}  // namespace
}  // namespace swf
