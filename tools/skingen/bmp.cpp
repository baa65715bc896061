#include "tools/skingen/bmp.h"

#include <string>

#include "tools/skingen/byte_buffer.h"
#include "tools/skingen/dib.h"

namespace skin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::vector<std::uint8_t> FinishFile(ByteWriter& out) {
    out.PutU32At(2, static_cast<std::uint32_t>(out.size()));
    return out.Take();
}

void WriteFileHeader(ByteWriter& out, std::size_t pixelOffset) {
    out.U8('B');
    out.U8('M');
    out.U32(0);  // file size, filled in at the end
    out.U16(0);
    out.U16(0);
    out.U32(static_cast<std::uint32_t>(pixelOffset));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(const RgbImage& image) {
    ByteWriter out;
    WriteFileHeader(out, kFileHeaderSize + kInfoHeaderSize);
    const auto imageSize = static_cast<std::uint32_t>(DibRowStride(image.width, 24) * image.height);
    WriteInfoHeader(out, image.width, image.height, 24, imageSize, 0);
    WriteRgbRows(out, image);
    return FinishFile(out);
}

std::vector<std::uint8_t> EncodeMonochromeBmp(const BitImage& image) {
    ByteWriter out;
    WriteFileHeader(out, kFileHeaderSize + kInfoHeaderSize + 2 * 4);
    const auto imageSize = static_cast<std::uint32_t>(DibRowStride(image.width, 1) * image.height);
    WriteInfoHeader(out, image.width, image.height, 1, imageSize, 2);
    WritePalette(out, {HexRgb(0x000000), HexRgb(0xFFFFFF)});
    WriteBitRows(out, image);
    return FinishFile(out);
}

DecodedBitmap DecodeBmp(std::span<const std::uint8_t> bytes) {
    const ByteReader in(bytes, "bitmap");
    if (in.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') in.Fail("not a BMP file (no \"BM\" signature)");
    const std::uint32_t pixelOffset = in.U32(10);
    const DibHeader header = ReadInfoHeader(in, kFileHeaderSize);
    if (header.heightField > kMaxSide) in.Fail("height " + std::to_string(header.heightField) + " is out of range");

    DecodedBitmap result;
    result.bitsPerPixel = header.bitsPerPixel;
    result.bottomUp = header.heightField > 0;
    result.infoHeaderSize = header.headerSize;
    const std::size_t headersEnd = kFileHeaderSize + header.headerSize + 4 * header.PaletteEntries();
    if (pixelOffset < headersEnd) {
        in.Fail("pixel data offset " + std::to_string(pixelOffset) + " lies inside the headers (which end at " +
                std::to_string(headersEnd) + ")");
    }
    const int width = header.width;
    const int height = result.bottomUp ? header.heightField : -header.heightField;

    if (header.bitsPerPixel == 24) {
        result.image = ReadRgbRows(in, pixelOffset, width, height, result.bottomUp);
        return result;
    }
    result.palette = ReadPalette(in, kFileHeaderSize + header.headerSize, header.PaletteEntries());
    result.indices = ReadIndexRows(in, pixelOffset, width, height, header.bitsPerPixel, result.bottomUp);
    result.image = RgbImage(width, height);
    for (std::size_t i = 0; i < result.indices.size(); ++i) {
        const std::uint8_t index = result.indices[i];
        if (index >= result.palette.size()) {
            in.Fail("pixel " + std::to_string(i) + " uses palette entry " + std::to_string(index) + " of only " +
                    std::to_string(result.palette.size()));
        }
        result.image.pixels[i] = result.palette[index];
    }
    return result;
}

}  // namespace skin
