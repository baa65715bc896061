#include "tools/skingen/dib.h"

#include <string>

namespace skin {

namespace {

constexpr std::uint32_t kUncompressed = 0;      // BI_RGB
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 pixels per inch

int SourceRow(int row, int rows, bool bottomUp) { return bottomUp ? rows - 1 - row : row; }

}  // namespace

std::size_t DibHeader::PaletteEntries() const {
    if (bitsPerPixel > 8) return 0;
    return coloursUsed == 0 ? std::size_t{1} << bitsPerPixel : coloursUsed;
}

std::size_t DibRowStride(int width, int bitsPerPixel) {
    const std::size_t bits = static_cast<std::size_t>(width) * bitsPerPixel;
    return (bits + 31) / 32 * 4;
}

void WriteInfoHeader(ByteWriter& out, int width, int heightField, int bitsPerPixel, std::uint32_t imageSize,
                     std::uint32_t coloursUsed) {
    out.U32(kInfoHeaderSize);
    out.I32(width);
    out.I32(heightField);
    out.U16(1);  // planes
    out.U16(static_cast<std::uint16_t>(bitsPerPixel));
    out.U32(kUncompressed);
    out.U32(imageSize);
    out.I32(kPixelsPerMetre);
    out.I32(kPixelsPerMetre);
    out.U32(coloursUsed);
    out.U32(0);  // all colours important
}

void WritePalette(ByteWriter& out, const std::vector<Rgb>& palette) {
    for (const Rgb& c : palette) {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
        out.U8(0);
    }
}

void WriteRgbRows(ByteWriter& out, const RgbImage& image) {
    const std::size_t padding = DibRowStride(image.width, 24) - static_cast<std::size_t>(image.width) * 3;
    for (int row = image.height - 1; row >= 0; --row) {
        for (int column = 0; column < image.width; ++column) {
            const Rgb& c = image.at(row, column);
            out.U8(c.b);
            out.U8(c.g);
            out.U8(c.r);
        }
        out.Zeros(padding);
    }
}

void WriteIndexRows(ByteWriter& out, const IndexedImage& image) {
    const std::size_t padding = DibRowStride(image.width, 8) - static_cast<std::size_t>(image.width);
    for (int row = image.height - 1; row >= 0; --row) {
        for (int column = 0; column < image.width; ++column) out.U8(image.at(row, column));
        out.Zeros(padding);
    }
}

void WriteBitRows(ByteWriter& out, const BitImage& image) {
    const std::size_t stride = DibRowStride(image.width, 1);
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(stride, 0);
        for (int column = 0; column < image.width; ++column) {
            if (image.at(row, column)) line[column / 8] |= static_cast<std::uint8_t>(0x80 >> (column % 8));
        }
        for (std::uint8_t byte : line) out.U8(byte);
    }
}

DibHeader ReadInfoHeader(const ByteReader& in, std::size_t offset) {
    DibHeader header;
    header.headerSize = in.U32(offset);
    if (header.headerSize < kInfoHeaderSize) {
        in.Fail("unsupported info header of " + std::to_string(header.headerSize) + " bytes (expected at least 40)");
    }
    in.bytes(offset, header.headerSize, "the info header");
    header.width = in.I32(offset + 4);
    header.heightField = in.I32(offset + 8);
    const int planes = in.U16(offset + 12);
    header.bitsPerPixel = in.U16(offset + 14);
    const std::uint32_t compression = in.U32(offset + 16);
    header.coloursUsed = in.U32(offset + 32);

    if (header.width <= 0 || header.width > kMaxSide) {
        in.Fail("width " + std::to_string(header.width) + " is out of range");
    }
    if (header.heightField == 0 || header.heightField < -kMaxSide || header.heightField > 2 * kMaxSide) {
        in.Fail("height " + std::to_string(header.heightField) + " is out of range");
    }
    if (planes != 1) in.Fail("plane count " + std::to_string(planes) + " is not 1");
    const int bpp = header.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        in.Fail("unsupported depth of " + std::to_string(bpp) + " bits per pixel");
    }
    if (compression != kUncompressed) {
        in.Fail("compressed pixel data (method " + std::to_string(compression) + ") is not supported");
    }
    if (bpp <= 8 && header.coloursUsed > (1u << bpp)) {
        in.Fail("palette of " + std::to_string(header.coloursUsed) + " colours is too large for " +
                std::to_string(bpp) + " bits per pixel");
    }
    return header;
}

std::vector<Rgb> ReadPalette(const ByteReader& in, std::size_t offset, std::size_t entries) {
    const auto bytes = in.bytes(offset, entries * 4, "the palette");
    std::vector<Rgb> palette(entries);
    for (std::size_t i = 0; i < entries; ++i) palette[i] = Rgb{bytes[4 * i + 2], bytes[4 * i + 1], bytes[4 * i]};
    return palette;
}

RgbImage ReadRgbRows(const ByteReader& in, std::size_t offset, int width, int rows, bool bottomUp) {
    const std::size_t stride = DibRowStride(width, 24);
    const auto bytes = in.bytes(offset, stride * rows, "the pixel data");
    RgbImage image(width, rows);
    for (int row = 0; row < rows; ++row) {
        const std::uint8_t* line = bytes.data() + stride * SourceRow(row, rows, bottomUp);
        for (int column = 0; column < width; ++column) {
            image.at(row, column) = Rgb{line[3 * column + 2], line[3 * column + 1], line[3 * column]};
        }
    }
    return image;
}

std::vector<std::uint8_t> ReadIndexRows(const ByteReader& in, std::size_t offset, int width, int rows, int bitsPerPixel,
                                        bool bottomUp) {
    const std::size_t stride = DibRowStride(width, bitsPerPixel);
    const auto bytes = in.bytes(offset, stride * rows, "the pixel data");
    const int perByte = 8 / bitsPerPixel;
    const unsigned valueMask = (1u << bitsPerPixel) - 1;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * rows);
    for (int row = 0; row < rows; ++row) {
        const std::uint8_t* line = bytes.data() + stride * SourceRow(row, rows, bottomUp);
        for (int column = 0; column < width; ++column) {
            const int shift = 8 - bitsPerPixel * (column % perByte + 1);
            indices[static_cast<std::size_t>(row) * width + column] =
                static_cast<std::uint8_t>((line[column / perByte] >> shift) & valueMask);
        }
    }
    return indices;
}

}  // namespace skin
