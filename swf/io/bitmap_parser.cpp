#include "swf/io/bitmap_parser.h"

#include <algorithm>
#include <array>

#include "swf/image/image_decoder.h"
#include "swf/io/bit_reader.h"
#include "swf/io/inflate.h"
#include "swf/io/jpeg_stream.h"
#include "swf/io/parse_error.h"
#include "swf/raster/color.h"

namespace swf {

namespace {

using raster::PackPixel;

bool StartsWith(std::span<const std::uint8_t> data, std::initializer_list<std::uint8_t> signature) {
    return data.size() >= signature.size() && std::equal(signature.begin(), signature.end(), data.begin());
}

// PNG and GIF data is a complete file of its own; anything else is JPEG.
bool IsPngOrGif(std::span<const std::uint8_t> data) {
    return StartsWith(data, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}) ||
           StartsWith(data, {'G', 'I', 'F', '8', '9', 'a'}) || StartsWith(data, {'G', 'I', 'F', '8', '7', 'a'});
}

std::shared_ptr<raster::Image> Decode(std::span<const std::uint8_t> data) {
    std::string error;
    std::shared_ptr<raster::Image> image = DecodeImage(data, &error);
    if (!image) throw ParseError(error);
    return image;
}

std::shared_ptr<BitmapDefinition> MakeBitmap(std::uint16_t id, std::shared_ptr<const raster::Image> image) {
    auto bitmap = std::make_shared<BitmapDefinition>();
    bitmap->id = id;
    bitmap->image = std::move(image);
    return bitmap;
}

// A premultiplied pixel from the file, colour clamped to alpha.
std::uint32_t PremultipliedPixel(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return PackPixel(a, std::min(r, a), std::min(g, a), std::min(b, a));
}

// The alpha plane of a JPEG picture, one byte per pixel, zlib-compressed.
// The JPEG's colours are already multiplied by it.
void ApplyAlphaPlane(raster::Image& image, std::span<const std::uint8_t> compressed, std::uint16_t id,
                     std::vector<std::string>& warnings) {
    const std::size_t count = image.pixels.size();
    const std::string prefix = "bitmap " + std::to_string(id) + ": ";
    if (compressed.empty()) {
        warnings.push_back(prefix + "no alpha plane; shown opaque");
        return;
    }
    InflateResult alpha;
    try {
        alpha = Inflate(compressed, count);
    } catch (const ParseError& e) {
        warnings.push_back(prefix + "alpha plane unreadable (" + e.what() + "); shown opaque");
        return;
    }
    if (alpha.bytes.size() < count) {
        warnings.push_back(prefix + "alpha plane holds " + std::to_string(alpha.bytes.size()) + " of " +
                           std::to_string(count) + " bytes; shown opaque");
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = image.pixels[i];
        image.pixels[i] =
            PremultipliedPixel(alpha.bytes[i], raster::PixelRed(p), raster::PixelGreen(p), raster::PixelBlue(p));
    }
}

// 5-bit channel to 8 bits, 31 becoming 255.
std::uint32_t Expand5(std::uint32_t v) { return (v << 3) | (v >> 2); }

enum LosslessFormat : std::uint8_t { kColorMapped8 = 3, kRgb15 = 4, kRgb32 = 5 };

}  // namespace

std::shared_ptr<BitmapDefinition> ParseDefineBits(std::span<const std::uint8_t> body,
                                                  std::span<const std::uint8_t> jpegTables) {
    BitReader in(body);
    const std::uint16_t id = in.ReadU16();
    return MakeBitmap(id, Decode(JoinJpegData(jpegTables, in.Rest())));
}

std::shared_ptr<BitmapDefinition> ParseDefineBitsJpeg(std::span<const std::uint8_t> body, int version,
                                                      std::vector<std::string>& warnings) {
    BitReader in(body);
    const std::uint16_t id = in.ReadU16();
    std::span<const std::uint8_t> data;
    std::span<const std::uint8_t> alpha;
    if (version >= 3) {
        const std::uint32_t alphaOffset = in.ReadU32();
        if (version >= 4) in.ReadU16();  // deblocking filter strength: not applied
        if (alphaOffset > in.Remaining()) throw ParseError("alpha data offset past the end of the tag");
        data = in.ReadBytes(alphaOffset);
        alpha = in.Rest();
    } else {
        data = in.Rest();
    }
    if (IsPngOrGif(data)) return MakeBitmap(id, Decode(data));  // they carry their own alpha

    std::shared_ptr<raster::Image> image = Decode(JoinJpegData({}, data));
    if (version >= 3) ApplyAlphaPlane(*image, alpha, id, warnings);
    return MakeBitmap(id, std::move(image));
}

std::shared_ptr<BitmapDefinition> ParseDefineBitsLossless(std::span<const std::uint8_t> body, int version) {
    BitReader in(body);
    const std::uint16_t id = in.ReadU16();
    const std::uint8_t format = in.ReadU8();
    const int width = in.ReadU16();
    const int height = in.ReadU16();
    const bool withAlpha = version >= 2;
    if (format != kColorMapped8 && format != kRgb32 && !(format == kRgb15 && !withAlpha)) {
        throw ParseError("unknown lossless bitmap format " + std::to_string(format));
    }
    const std::size_t colors = format == kColorMapped8 ? std::size_t{in.ReadU8()} + 1 : 0;
    if (width == 0 || height == 0) throw ParseError("bitmap has no pixels");
    const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
    if (width > kMaxImageSide || height > kMaxImageSide || pixelCount * 4 > kMaxImageBytes) {
        throw ParseError("bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels is over the size limit");
    }

    // Rows of 8- and 16-bit pixels are padded to 32 bits.
    const std::size_t bytesPerPixel = format == kColorMapped8 ? 1 : format == kRgb15 ? 2 : 4;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
    const std::size_t tableBytes = colors * (withAlpha ? 4 : 3);
    const std::size_t needed = tableBytes + stride * height;
    const InflateResult inflated = Inflate(in.Rest(), needed);
    if (inflated.bytes.size() < needed) {
        throw ParseError("bitmap data holds " + std::to_string(inflated.bytes.size()) + " of " +
                         std::to_string(needed) + " bytes");
    }
    const std::uint8_t* data = inflated.bytes.data();

    // Entries the table does not list read as zero colour: opaque black
    // without alpha, transparent with it.
    std::array<std::uint32_t, 256> table;
    table.fill(withAlpha ? 0u : PackPixel(255, 0, 0, 0));
    for (std::size_t i = 0; i < colors; ++i) {
        const std::uint8_t* c = data + i * (withAlpha ? 4 : 3);
        table[i] = withAlpha ? PremultipliedPixel(c[3], c[0], c[1], c[2]) : PackPixel(255, c[0], c[1], c[2]);
    }

    auto image = std::make_shared<raster::Image>();
    image->width = width;
    image->height = height;
    image->pixels.resize(pixelCount);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = data + tableBytes + stride * y;
        std::uint32_t* out = image->pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (format == kColorMapped8) {
                out[x] = table[row[x]];
            } else if (format == kRgb15) {
                // Big-endian 0RRRRRGGGGGBBBBB.
                const std::uint32_t v = (std::uint32_t{row[2 * x]} << 8) | row[2 * x + 1];
                out[x] = PackPixel(255, Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
            } else {
                const std::uint8_t* p = row + 4 * x;  // alpha (reserved without it), red, green, blue
                out[x] = withAlpha ? PremultipliedPixel(p[0], p[1], p[2], p[3]) : PackPixel(255, p[1], p[2], p[3]);
            }
        }
    }
    return MakeBitmap(id, std::move(image));
}

}  // namespace swf
