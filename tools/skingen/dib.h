#pragma once
// The device-independent bitmap layout that BMP files and icon images share:
// a BITMAPINFOHEADER, an optional palette of RGBQUADs and pixel rows padded to
// four bytes, stored bottom-up when the stored height is positive.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/skingen/byte_buffer.h"
#include "tools/skingen/image.h"

namespace skin {

inline constexpr std::size_t kInfoHeaderSize = 40;
// Larger sides are refused rather than allocated: no picture of ours comes near.
inline constexpr int kMaxSide = 16384;

struct DibHeader {
    std::uint32_t headerSize = 0;
    int width = 0;
    int heightField = 0;  // as stored: negative for top-down, doubled in icons
    int bitsPerPixel = 0;
    std::uint32_t coloursUsed = 0;

    // Palette entries that follow the header (0 for 24 bits per pixel).
    std::size_t PaletteEntries() const;
};

std::size_t DibRowStride(int width, int bitsPerPixel);

void WriteInfoHeader(ByteWriter& out, int width, int heightField, int bitsPerPixel, std::uint32_t imageSize,
                     std::uint32_t coloursUsed);
void WritePalette(ByteWriter& out, const std::vector<Rgb>& palette);
// Pixel rows, bottom row first.
void WriteRgbRows(ByteWriter& out, const RgbImage& image);
void WriteIndexRows(ByteWriter& out, const IndexedImage& image);  // 8 bits per pixel
void WriteBitRows(ByteWriter& out, const BitImage& image);        // 1 bit per pixel, true = 1

// Reads and checks the header at `offset`: uncompressed, one plane, 1, 4, 8 or
// 24 bits per pixel, sides within kMaxSide.
DibHeader ReadInfoHeader(const ByteReader& in, std::size_t offset);
std::vector<Rgb> ReadPalette(const ByteReader& in, std::size_t offset, std::size_t entries);
// `rows` rows of `width` pixels at `offset`, returned top row first.
RgbImage ReadRgbRows(const ByteReader& in, std::size_t offset, int width, int rows, bool bottomUp);
std::vector<std::uint8_t> ReadIndexRows(const ByteReader& in, std::size_t offset, int width, int rows, int bitsPerPixel,
                                        bool bottomUp);

}  // namespace skin
