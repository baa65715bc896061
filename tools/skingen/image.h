#pragma once
// Plain pixel containers shared by the writers, the readers and the artwork.
// Rows run from the top, columns from the left, both from 0.

#include <cstdint>
#include <vector>

namespace skin {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// #RRGGBB written as one number, the way colours are usually quoted.
constexpr Rgb HexRgb(std::uint32_t value) {
    return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
               static_cast<std::uint8_t>(value)};
}

// A 24-bit colour picture.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // width * height, row after row

    RgbImage() = default;
    RgbImage(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

    Rgb& at(int row, int column) { return pixels[static_cast<std::size_t>(row) * width + column]; }
    const Rgb& at(int row, int column) const { return pixels[static_cast<std::size_t>(row) * width + column]; }
};

// A yes/no picture: a transparency mask (true = transparent) or a monochrome bitmap (true = white).
struct BitImage {
    int width = 0;
    int height = 0;
    std::vector<bool> bits;

    BitImage() = default;
    BitImage(int w, int h, bool fill = false) : width(w), height(h), bits(static_cast<std::size_t>(w) * h, fill) {}

    std::vector<bool>::reference at(int row, int column) {
        return bits[static_cast<std::size_t>(row) * width + column];
    }
    bool at(int row, int column) const { return bits[static_cast<std::size_t>(row) * width + column]; }
};

// A picture of palette indices with its palette.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indices;  // width * height, row after row

    std::uint8_t& at(int row, int column) { return indices[static_cast<std::size_t>(row) * width + column]; }
    std::uint8_t at(int row, int column) const { return indices[static_cast<std::size_t>(row) * width + column]; }
};

}  // namespace skin
