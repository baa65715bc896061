#include "tools/skingen/dib.h"

#include <string>

namespace skin {

namespace {

constexpr std::uint32_t kUncompressed = 0;      // BI_RGB
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 pixels per inch

int source_row(int row, int rows, bool bottom_up) { return bottom_up ? rows - 1 - row : row; }

}  // namespace

std::size_t DibHeader::palette_entries() const {
    if (bits_per_pixel > 8) return 0;
    return colours_used == 0 ? std::size_t{1} << bits_per_pixel : colours_used;
}

std::size_t dib_row_stride(int width, int bits_per_pixel) {
    const std::size_t bits = static_cast<std::size_t>(width) * bits_per_pixel;
    return (bits + 31) / 32 * 4;
}

void write_info_header(ByteWriter& out, int width, int height_field, int bits_per_pixel, std::uint32_t image_size,
                       std::uint32_t colours_used) {
    out.u32(kInfoHeaderSize);
    out.i32(width);
    out.i32(height_field);
    out.u16(1);  // planes
    out.u16(static_cast<std::uint16_t>(bits_per_pixel));
    out.u32(kUncompressed);
    out.u32(image_size);
    out.i32(kPixelsPerMetre);
    out.i32(kPixelsPerMetre);
    out.u32(colours_used);
    out.u32(0);  // all colours important
}

void write_palette(ByteWriter& out, const std::vector<Rgb>& palette) {
    for (const Rgb& c : palette) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
}

void write_rgb_rows(ByteWriter& out, const RgbImage& image) {
    const std::size_t padding = dib_row_stride(image.width, 24) - static_cast<std::size_t>(image.width) * 3;
    for (int row = image.height - 1; row >= 0; --row) {
        for (int column = 0; column < image.width; ++column) {
            const Rgb& c = image.at(row, column);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
        }
        out.zeros(padding);
    }
}

void write_index_rows(ByteWriter& out, const IndexedImage& image) {
    const std::size_t padding = dib_row_stride(image.width, 8) - static_cast<std::size_t>(image.width);
    for (int row = image.height - 1; row >= 0; --row) {
        for (int column = 0; column < image.width; ++column) out.u8(image.at(row, column));
        out.zeros(padding);
    }
}

void write_bit_rows(ByteWriter& out, const BitImage& image) {
    const std::size_t stride = dib_row_stride(image.width, 1);
    for (int row = image.height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(stride, 0);
        for (int column = 0; column < image.width; ++column) {
            if (image.at(row, column)) line[column / 8] |= static_cast<std::uint8_t>(0x80 >> (column % 8));
        }
        for (std::uint8_t byte : line) out.u8(byte);
    }
}

DibHeader read_info_header(const ByteReader& in, std::size_t offset) {
    DibHeader header;
    header.header_size = in.u32(offset);
    if (header.header_size < kInfoHeaderSize) {
        in.fail("unsupported info header of " + std::to_string(header.header_size) + " bytes (expected at least 40)");
    }
    in.bytes(offset, header.header_size, "the info header");
    header.width = in.i32(offset + 4);
    header.height_field = in.i32(offset + 8);
    const int planes = in.u16(offset + 12);
    header.bits_per_pixel = in.u16(offset + 14);
    const std::uint32_t compression = in.u32(offset + 16);
    header.colours_used = in.u32(offset + 32);

    if (header.width <= 0 || header.width > kMaxSide) {
        in.fail("width " + std::to_string(header.width) + " is out of range");
    }
    if (header.height_field == 0 || header.height_field < -kMaxSide || header.height_field > 2 * kMaxSide) {
        in.fail("height " + std::to_string(header.height_field) + " is out of range");
    }
    if (planes != 1) in.fail("plane count " + std::to_string(planes) + " is not 1");
    const int bpp = header.bits_per_pixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        in.fail("unsupported depth of " + std::to_string(bpp) + " bits per pixel");
    }
    if (compression != kUncompressed) {
        in.fail("compressed pixel data (method " + std::to_string(compression) + ") is not supported");
    }
    if (bpp <= 8 && header.colours_used > (1u << bpp)) {
        in.fail("palette of " + std::to_string(header.colours_used) + " colours is too large for " +
                std::to_string(bpp) + " bits per pixel");
    }
    return header;
}

std::vector<Rgb> read_palette(const ByteReader& in, std::size_t offset, std::size_t entries) {
    const auto bytes = in.bytes(offset, entries * 4, "the palette");
    std::vector<Rgb> palette(entries);
    for (std::size_t i = 0; i < entries; ++i) palette[i] = Rgb{bytes[4 * i + 2], bytes[4 * i + 1], bytes[4 * i]};
    return palette;
}

RgbImage read_rgb_rows(const ByteReader& in, std::size_t offset, int width, int rows, bool bottom_up) {
    const std::size_t stride = dib_row_stride(width, 24);
    const auto bytes = in.bytes(offset, stride * rows, "the pixel data");
    RgbImage image(width, rows);
    for (int row = 0; row < rows; ++row) {
        const std::uint8_t* line = bytes.data() + stride * source_row(row, rows, bottom_up);
        for (int column = 0; column < width; ++column) {
            image.at(row, column) = Rgb{line[3 * column + 2], line[3 * column + 1], line[3 * column]};
        }
    }
    return image;
}

std::vector<std::uint8_t> read_index_rows(const ByteReader& in, std::size_t offset, int width, int rows,
                                          int bits_per_pixel, bool bottom_up) {
    const std::size_t stride = dib_row_stride(width, bits_per_pixel);
    const auto bytes = in.bytes(offset, stride * rows, "the pixel data");
    const int per_byte = 8 / bits_per_pixel;
    const unsigned value_mask = (1u << bits_per_pixel) - 1;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * rows);
    for (int row = 0; row < rows; ++row) {
        const std::uint8_t* line = bytes.data() + stride * source_row(row, rows, bottom_up);
        for (int column = 0; column < width; ++column) {
            const int shift = 8 - bits_per_pixel * (column % per_byte + 1);
            indices[static_cast<std::size_t>(row) * width + column] =
                static_cast<std::uint8_t>((line[column / per_byte] >> shift) & value_mask);
        }
    }
    return indices;
}

}  // namespace skin
