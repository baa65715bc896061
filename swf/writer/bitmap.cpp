#include "swf/writer/bitmap.h"

#include <zlib.h>

#include <stdexcept>

namespace swf::writer {

namespace {

std::vector<std::uint8_t> Compress(std::span<const std::uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib compression failed");
    }
    packed.resize(size);
    return packed;
}

std::vector<std::uint8_t> JpegWithAlphaBody(std::uint16_t id, std::span<const std::uint8_t> picture,
                                            std::span<const std::uint8_t> alpha, bool deblockingField,
                                            double deblocking) {
    BitWriter w;
    w.U16(id);
    w.U32(static_cast<std::uint32_t>(picture.size()));  // where the alpha data starts
    if (deblockingField) w.Fixed8(deblocking);
    w.Bytes(picture);
    if (!alpha.empty()) w.Bytes(Compress(alpha));
    return w.Take();
}

void PadRow(std::vector<std::uint8_t>& data, std::size_t rowStart) {
    while ((data.size() - rowStart) % 4 != 0) data.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> DefineBitsBody(std::uint16_t id, std::span<const std::uint8_t> imageData) {
    BitWriter w;
    w.U16(id);
    w.Bytes(imageData);
    return w.Take();
}

std::vector<std::uint8_t> DefineBitsJpeg2Body(std::uint16_t id, std::span<const std::uint8_t> picture) {
    return DefineBitsBody(id, picture);
}

std::vector<std::uint8_t> DefineBitsJpeg3Body(std::uint16_t id, std::span<const std::uint8_t> picture,
                                              std::span<const std::uint8_t> alpha) {
    return JpegWithAlphaBody(id, picture, alpha, false, 0);
}

std::vector<std::uint8_t> DefineBitsJpeg4Body(std::uint16_t id, std::span<const std::uint8_t> picture,
                                              std::span<const std::uint8_t> alpha, double deblocking) {
    return JpegWithAlphaBody(id, picture, alpha, true, deblocking);
}

std::vector<std::uint8_t> DefineBitsLosslessBody(std::uint16_t id, const LosslessBitmap& bitmap, bool withAlpha) {
    using Format = LosslessBitmap::Format;
    if (bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height) {
        throw std::invalid_argument("bitmap size does not match its pixels");
    }
    if (bitmap.format == Format::ColorMapped8 && (bitmap.colorTable.empty() || bitmap.colorTable.size() > 256)) {
        throw std::invalid_argument("a colour-mapped bitmap needs 1 to 256 colours");
    }
    BitWriter w;
    w.U16(id);
    w.U8(static_cast<std::uint8_t>(bitmap.format));
    w.U16(bitmap.width);
    w.U16(bitmap.height);

    std::vector<std::uint8_t> data;  // compressed as one block, colour table first
    if (bitmap.format == Format::ColorMapped8) {
        w.U8(static_cast<std::uint8_t>(bitmap.colorTable.size() - 1));
        for (const Rgba& c : bitmap.colorTable) {
            data.insert(data.end(), {c.r, c.g, c.b});
            if (withAlpha) data.push_back(c.a);
        }
    }
    for (std::size_t y = 0; y < bitmap.height; ++y) {
        const std::size_t rowStart = data.size();
        for (std::size_t x = 0; x < bitmap.width; ++x) {
            const std::uint32_t v = bitmap.pixels[y * bitmap.width + x];
            switch (bitmap.format) {
            case Format::ColorMapped8: data.push_back(static_cast<std::uint8_t>(v)); break;
            case Format::Rgb15:  // big-endian
                data.insert(data.end(), {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
                break;
            case Format::Rgb32:
                data.insert(data.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                         static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
                break;
            }
        }
        PadRow(data, rowStart);  // rows end on a 32-bit boundary
    }
    w.Bytes(Compress(data));
    return w.Take();
}

}  // namespace swf::writer
