#pragma once

#include <cstdint>

namespace swf::raster {

// A straight (not premultiplied) 8-bit RGBA colour, as shapes describe them.
struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;

    friend bool operator==(const Color&, const Color&) = default;
};

// x * y / 255, rounded to nearest, for 8-bit values.
inline std::uint32_t Mul255(std::uint32_t x, std::uint32_t y) {
    std::uint32_t t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

// Packs four premultiplied channels as 0xAARRGGBB.
inline std::uint32_t PackPixel(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Premultiplied 0xAARRGGBB pixel for a straight colour.
inline std::uint32_t Premultiply(Color c) {
    return PackPixel(c.a, Mul255(c.r, c.a), Mul255(c.g, c.a), Mul255(c.b, c.a));
}

inline std::uint8_t PixelAlpha(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 24); }
inline std::uint8_t PixelRed(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
inline std::uint8_t PixelGreen(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
inline std::uint8_t PixelBlue(std::uint32_t p) { return static_cast<std::uint8_t>(p); }

// Scales all four channels of a pixel by k/255 (rounded), two channels per multiply.
inline std::uint32_t ScalePixel(std::uint32_t p, std::uint32_t k) {
    std::uint32_t rb = (p & 0x00FF00FFu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((p >> 8) & 0x00FF00FFu) * k + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source-over in premultiplied space. No channel can carry into the next:
// src <= srcAlpha per channel and the scaled destination is at most 255 - srcAlpha.
inline std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst) {
    return src + ScalePixel(dst, 255u - (src >> 24));
}

}  // namespace swf::raster
