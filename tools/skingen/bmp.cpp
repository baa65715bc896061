#include "tools/skingen/bmp.h"

#include <string>

#include "tools/skingen/byte_buffer.h"
#include "tools/skingen/dib.h"

namespace skin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::vector<std::uint8_t> finish_file(ByteWriter& out) {
    out.put_u32_at(2, static_cast<std::uint32_t>(out.size()));
    return out.take();
}

void write_file_header(ByteWriter& out, std::size_t pixel_offset) {
    out.u8('B');
    out.u8('M');
    out.u32(0);  // file size, filled in at the end
    out.u16(0);
    out.u16(0);
    out.u32(static_cast<std::uint32_t>(pixel_offset));
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const RgbImage& image) {
    ByteWriter out;
    write_file_header(out, kFileHeaderSize + kInfoHeaderSize);
    const auto image_size = static_cast<std::uint32_t>(dib_row_stride(image.width, 24) * image.height);
    write_info_header(out, image.width, image.height, 24, image_size, 0);
    write_rgb_rows(out, image);
    return finish_file(out);
}

std::vector<std::uint8_t> encode_monochrome_bmp(const BitImage& image) {
    ByteWriter out;
    write_file_header(out, kFileHeaderSize + kInfoHeaderSize + 2 * 4);
    const auto image_size = static_cast<std::uint32_t>(dib_row_stride(image.width, 1) * image.height);
    write_info_header(out, image.width, image.height, 1, image_size, 2);
    write_palette(out, {rgb(0x000000), rgb(0xFFFFFF)});
    write_bit_rows(out, image);
    return finish_file(out);
}

DecodedBitmap decode_bmp(std::span<const std::uint8_t> bytes) {
    const ByteReader in(bytes, "bitmap");
    if (in.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') in.fail("not a BMP file (no \"BM\" signature)");
    const std::uint32_t pixel_offset = in.u32(10);
    const DibHeader header = read_info_header(in, kFileHeaderSize);
    if (header.height_field > kMaxSide) in.fail("height " + std::to_string(header.height_field) + " is out of range");

    DecodedBitmap result;
    result.bits_per_pixel = header.bits_per_pixel;
    result.bottom_up = header.height_field > 0;
    result.info_header_size = header.header_size;
    const std::size_t headers_end = kFileHeaderSize + header.header_size + 4 * header.palette_entries();
    if (pixel_offset < headers_end) {
        in.fail("pixel data offset " + std::to_string(pixel_offset) + " lies inside the headers (which end at " +
                std::to_string(headers_end) + ")");
    }
    const int width = header.width;
    const int height = result.bottom_up ? header.height_field : -header.height_field;

    if (header.bits_per_pixel == 24) {
        result.image = read_rgb_rows(in, pixel_offset, width, height, result.bottom_up);
        return result;
    }
    result.palette = read_palette(in, kFileHeaderSize + header.header_size, header.palette_entries());
    result.indices = read_index_rows(in, pixel_offset, width, height, header.bits_per_pixel, result.bottom_up);
    result.image = RgbImage(width, height);
    for (std::size_t i = 0; i < result.indices.size(); ++i) {
        const std::uint8_t index = result.indices[i];
        if (index >= result.palette.size()) {
            in.fail("pixel " + std::to_string(i) + " uses palette entry " + std::to_string(index) + " of only " +
                    std::to_string(result.palette.size()));
        }
        result.image.pixels[i] = result.palette[index];
    }
    return result;
}

}  // namespace skin
