#include "tools/skingen/ico.h"

#include <algorithm>
#include <string>

#include "tools/skingen/byte_buffer.h"
#include "tools/skingen/dib.h"
#include "tools/skingen/format_error.h"

namespace skin {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kPaletteEntries = 256;

std::uint8_t SideByte(int side) { return static_cast<std::uint8_t>(side == 256 ? 0 : side); }

DecodedIconImage DecodeImage(const ByteReader& in, std::size_t entryOffset) {
    DecodedIconImage result;
    result.entryWidth = in.U8(entryOffset) == 0 ? 256 : in.U8(entryOffset);
    result.entryHeight = in.U8(entryOffset + 1) == 0 ? 256 : in.U8(entryOffset + 1);
    result.entryColourCount = in.U8(entryOffset + 2);
    result.entryPlanes = in.U16(entryOffset + 4);
    result.entryBitsPerPixel = in.U16(entryOffset + 6);
    result.entryBytes = in.U32(entryOffset + 8);
    const std::uint32_t imageOffset = in.U32(entryOffset + 12);
    const auto imageBytes = in.bytes(imageOffset, result.entryBytes, "an icon image");

    static constexpr std::uint8_t kPngSignature[4] = {0x89, 'P', 'N', 'G'};
    if (imageBytes.size() >= 4 && std::equal(kPngSignature, kPngSignature + 4, imageBytes.begin())) {
        in.Fail("PNG-compressed icon images are not supported");
    }
    // Offsets below are relative to the image, and reads cannot leave it.
    const ByteReader imageIn(imageBytes, in.kind());
    const DibHeader header = ReadInfoHeader(imageIn, 0);
    const int width = header.width;
    if (header.heightField <= 0 || header.heightField % 2 != 0) {
        in.Fail("image height " + std::to_string(header.heightField) +
                " is not the doubled height of colour and mask rows");
    }
    const int height = header.heightField / 2;
    if (width != result.entryWidth || height != result.entryHeight) {
        in.Fail("image of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels does not match its directory entry of " + std::to_string(result.entryWidth) + " x " +
                std::to_string(result.entryHeight));
    }
    result.bitsPerPixel = header.bitsPerPixel;

    std::size_t offset = header.headerSize;
    if (header.bitsPerPixel == 24) {
        result.image = ReadRgbRows(imageIn, offset, width, height, true);
    } else {
        result.palette = ReadPalette(imageIn, offset, header.PaletteEntries());
        offset += 4 * result.palette.size();
        result.indices = ReadIndexRows(imageIn, offset, width, height, header.bitsPerPixel, true);
        result.image = RgbImage(width, height);
        for (std::size_t i = 0; i < result.indices.size(); ++i) {
            if (result.indices[i] >= result.palette.size()) {
                in.Fail("pixel " + std::to_string(i) + " uses palette entry " + std::to_string(result.indices[i]) +
                        " of only " + std::to_string(result.palette.size()));
            }
            result.image.pixels[i] = result.palette[result.indices[i]];
        }
    }
    offset += DibRowStride(width, header.bitsPerPixel) * height;

    const std::vector<std::uint8_t> maskBits = ReadIndexRows(imageIn, offset, width, height, 1, true);
    result.mask = BitImage(width, height);
    for (std::size_t i = 0; i < maskBits.size(); ++i) result.mask.bits[i] = maskBits[i] != 0;
    return result;
}

}  // namespace

std::vector<std::uint8_t> EncodeIcon(const IndexedImage& image, const BitImage& mask) {
    if (image.width < 1 || image.width > 256 || image.height < 1 || image.height > 256) {
        throw FormatError("icon: sides of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                          " pixels are out of range (1 to 256)");
    }
    if (image.palette.size() > kPaletteEntries) {
        throw FormatError("icon: " + std::to_string(image.palette.size()) + " colours do not fit a 256-colour palette");
    }
    if (mask.width != image.width || mask.height != image.height) {
        throw FormatError("icon: the mask is not the size of the image");
    }
    if (image.indices.size() != static_cast<std::size_t>(image.width) * image.height) {
        throw FormatError("icon: the image holds the wrong number of pixels");
    }
    for (std::uint8_t index : image.indices) {
        if (index >= image.palette.size()) throw FormatError("icon: a pixel uses a colour outside the palette");
    }
    std::vector<Rgb> palette = image.palette;
    palette.resize(kPaletteEntries, HexRgb(0x000000));

    const std::size_t colourBytes = DibRowStride(image.width, 8) * image.height;
    const std::size_t maskBytes = DibRowStride(image.width, 1) * image.height;
    const std::size_t imageBytes = kInfoHeaderSize + 4 * kPaletteEntries + colourBytes + maskBytes;

    ByteWriter out;
    out.U16(0);  // reserved
    out.U16(kIconType);
    out.U16(1);  // one image
    out.U8(SideByte(image.width));
    out.U8(SideByte(image.height));
    out.U8(0);   // colour count: 0 for 256 colours or more
    out.U8(0);   // reserved
    out.U16(1);  // planes
    out.U16(8);  // bits per pixel
    out.U32(static_cast<std::uint32_t>(imageBytes));
    out.U32(static_cast<std::uint32_t>(kDirectorySize + kEntrySize));

    WriteInfoHeader(out, image.width, 2 * image.height, 8, static_cast<std::uint32_t>(colourBytes + maskBytes),
                    kPaletteEntries);
    WritePalette(out, palette);
    WriteIndexRows(out, image);
    WriteBitRows(out, mask);
    return out.Take();
}

DecodedIcon DecodeIcon(std::span<const std::uint8_t> bytes) {
    const ByteReader in(bytes, "icon");
    if (in.size() < kDirectorySize) in.Fail("file is truncated: the icon directory needs 6 bytes");
    if (in.U16(0) != 0 || in.U16(2) != kIconType) in.Fail("not an icon file (bad directory header)");
    const int count = in.U16(4);
    if (count == 0) in.Fail("the icon holds no image");
    in.bytes(kDirectorySize, kEntrySize * count, "the icon directory");

    DecodedIcon icon;
    for (int i = 0; i < count; ++i) icon.images.push_back(DecodeImage(in, kDirectorySize + kEntrySize * i));
    return icon;
}

}  // namespace skin
