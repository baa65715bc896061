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
inline std::uint32_t mul255(std::uint32_t x, std::uint32_t y) {
    std::uint32_t t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

// Packs four premultiplied channels as 0xAARRGGBB.
inline std::uint32_t packPixel(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Premultiplied 0xAARRGGBB pixel for a straight colour.
inline std::uint32_t premultiply(Color c) {
    return packPixel(c.a, mul255(c.r, c.a), mul255(c.g, c.a), mul255(c.b, c.a));
}

inline std::uint8_t pixelAlpha(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 24); }
inline std::uint8_t pixelRed(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 16); }
inline std::uint8_t pixelGreen(std::uint32_t p) { return static_cast<std::uint8_t>(p >> 8); }
inline std::uint8_t pixelBlue(std::uint32_t p) { return static_cast<std::uint8_t>(p); }

// Scales all four channels of a pixel by k/255 (rounded), two channels per multiply.
inline std::uint32_t scalePixel(std::uint32_t p, std::uint32_t k) {
    std::uint32_t rb = (p & 0x00FF00FFu) * k + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    std::uint32_t ag = ((p >> 8) & 0x00FF00FFu) * k + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source-over in premultiplied space. No channel can carry into the next:
// src <= srcAlpha per channel and the scaled destination is at most 255 - srcAlpha.
inline std::uint32_t blendOver(std::uint32_t src, std::uint32_t dst) {
    return src + scalePixel(dst, 255u - (src >> 24));
}

}  // namespace swf::raster
