#include "swf/image/png_encoder.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace swf {

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the chunk type and data.
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
    PutU32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4) {
        throw std::invalid_argument("image size does not match its pixels");
    }
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

    std::vector<std::uint8_t> header;
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);

    // Each row starts with its filter type (0: none).
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const auto row = rgba.subspan(y * rowBytes, rowBytes);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
        throw std::runtime_error("cannot compress image data");
    }
    compressed.resize(compressedSize);
    PutChunk(png, "IDAT", compressed);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace swf
