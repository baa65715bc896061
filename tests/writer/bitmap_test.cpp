// Bitmap tag bodies and bitmap fill styles, byte for byte against the
// formats' layouts.

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/writer/tag_list.h"
#include "swf/writer/bitmap.h"
#include "swf/writer/shape.h"

using namespace swf::writer;
using writer_test::BitReader;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The zlib stream from `start` to the end of the body, inflated.
Bytes InflateFrom(const Bytes& body, std::size_t start, std::size_t expectedSize) {
    Bytes out(expectedSize + 16);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, body.data() + start, static_cast<uLong>(body.size() - start)), Z_OK);
    out.resize(size);
    return out;
}

}  // namespace

TEST(WriterBitmaps, LosslessHeadersTablesAndPaddedRows) {
    using Format = LosslessBitmap::Format;
    const LosslessBitmap mapped{Format::ColorMapped8, 3, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}}, {0, 1, 0, 1, 1, 0}};
    Bytes body = DefineBitsLosslessBody(9, mapped, true);
    EXPECT_EQ(Bytes(body.begin(), body.begin() + 8), (Bytes{9, 0, 3, 3, 0, 2, 0, 1}));  // id, format, size, colours - 1
    // RGBA table, then rows of three indices padded to four bytes.
    EXPECT_EQ(InflateFrom(body, 8, 16), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 0, 0, 1, 1, 0, 0}));
    body = DefineBitsLosslessBody(9, mapped, false);
    EXPECT_EQ(InflateFrom(body, 8, 14), (Bytes{1, 2, 3, 5, 6, 7, 0, 1, 0, 0, 1, 1, 0, 0}));  // RGB table

    // 15-bit pixels big-endian, an odd width padded by two bytes.
    const LosslessBitmap rgb15{Format::Rgb15, 3, 1, {}, {0x7C00, 0x03E0, 0x001F}};
    body = DefineBitsLosslessBody(1, rgb15, false);
    EXPECT_EQ(body[2], 4);
    EXPECT_EQ(InflateFrom(body, 7, 8), (Bytes{0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0, 0}));

    // 32-bit pixels as A (or reserved), R, G, B.
    const LosslessBitmap argb{Format::Rgb32, 2, 1, {}, {0x11223344, 0xFF000080}};
    body = DefineBitsLosslessBody(1, argb, true);
    EXPECT_EQ(body[2], 5);
    EXPECT_EQ(InflateFrom(body, 7, 8), (Bytes{0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0x00, 0x80}));

    EXPECT_THROW(DefineBitsLosslessBody(1, LosslessBitmap{Format::Rgb32, 2, 2, {}, {1, 2, 3}}, true),
                 std::invalid_argument);
    EXPECT_THROW(DefineBitsLosslessBody(1, LosslessBitmap{Format::ColorMapped8, 1, 1, {}, {0}}, true),
                 std::invalid_argument);
}

TEST(WriterBitmaps, JpegBodiesAndAlphaPlane) {
    const Bytes picture = {0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};
    EXPECT_EQ(DefineBitsJpeg2Body(0x0102, picture), (Bytes{0x02, 0x01, 0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9}));
    EXPECT_EQ(DefineBitsBody(3, {}), (Bytes{3, 0}));

    const Bytes alpha = {0, 64, 128, 255};
    Bytes body = DefineBitsJpeg3Body(5, picture, alpha);
    BitReader r(body);
    EXPECT_EQ(r.ReadU16(), 5);
    EXPECT_EQ(r.ReadU32(), picture.size());  // the alpha data's offset after the picture
    EXPECT_EQ(Bytes(body.begin() + 6, body.begin() + 13), picture);
    EXPECT_EQ(InflateFrom(body, 13, alpha.size()), alpha);

    body = DefineBitsJpeg4Body(5, picture, alpha, 0.5);
    EXPECT_EQ(Bytes(body.begin() + 6, body.begin() + 8), (Bytes{0x80, 0x00}));  // 8.8 deblocking strength
    EXPECT_EQ(Bytes(body.begin() + 8, body.begin() + 15), picture);
    EXPECT_EQ(InflateFrom(body, 15, alpha.size()), alpha);

    EXPECT_EQ(DefineBitsJpeg3Body(5, picture, {}).size(), 6 + picture.size());  // no alpha data at all
}

TEST(WriterBitmaps, BitmapFillStyles) {
    struct Case {
        bool repeat, smooth;
        std::uint8_t type;
    };
    for (const Case c :
         {Case{true, true, 0x40}, Case{false, true, 0x41}, Case{true, false, 0x42}, Case{false, false, 0x43}}) {
        ShapeBuilder s;
        s.Rectangle(Rect{0, 100, 0, 100},
                    s.AddFill(FillStyle::Bitmap(0x0203, Matrix::Transform(20, 20, 0, 0, 0), c.repeat, c.smooth)));
        const Bytes body = s.DefineShapeBody(1, 3);
        BitReader r(body);
        r.ReadU16();
        const unsigned n = r.ReadUB(5);
        for (int i = 0; i < 4; ++i) r.ReadSB(n);
        EXPECT_EQ(r.ReadU8(), 1);  // one fill
        EXPECT_EQ(r.ReadU8(), c.type);
        EXPECT_EQ(r.ReadU16(), 0x0203);
        ASSERT_EQ(r.ReadUB(1), 1u);  // the matrix scales by 20 (16.16)
        const unsigned bits = r.ReadUB(5);
        EXPECT_EQ(r.ReadSB(bits), 20 << 16);
        EXPECT_EQ(r.ReadSB(bits), 20 << 16);
        EXPECT_EQ(r.ReadUB(1), 0u);  // no rotation
        EXPECT_EQ(r.ReadUB(5), 0u);  // no translation bits
        EXPECT_EQ(r.ReadU8(), 0);    // no line styles
    }
}
