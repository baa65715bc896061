#pragma once
// The SWF basic records: colours, RECT, MATRIX and colour transforms.
// Coordinates are in twips (1/20 pixel).

#include <cstdint>

#include "swf/writer/bit_writer.h"

namespace swf::writer {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    Rgba() = default;
    Rgba(std::uint8_t r_, std::uint8_t g_, std::uint8_t b_, std::uint8_t a_ = 255) : r(r_), g(g_), b(b_), a(a_) {}
    Rgba(Rgb c) : r(c.r), g(c.g), b(c.b) {}
};

struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// x' = scaleX*x + rotateSkew1*y + translateX;  y' = rotateSkew0*x + scaleY*y + translateY
struct Matrix {
    double scaleX = 1, scaleY = 1;
    double rotateSkew0 = 0, rotateSkew1 = 0;
    std::int32_t translateX = 0, translateY = 0;

    static Matrix Translate(std::int32_t x, std::int32_t y);
    // Scale, then rotate (radians, clockwise on screen), then translate.
    static Matrix Transform(double scaleX, double scaleY, double radians, std::int32_t x, std::int32_t y);
};

// Multipliers in 8.8 (256 = unchanged), additions in colour units.
struct ColorTransform {
    std::int16_t multR = 256, multG = 256, multB = 256, multA = 256;
    std::int16_t addR = 0, addG = 0, addB = 0, addA = 0;
};

void WriteRgb(BitWriter& w, Rgb c);
void WriteRgba(BitWriter& w, Rgba c);
void WriteRect(BitWriter& w, const Rect& r);
void WriteMatrix(BitWriter& w, const Matrix& m);
void WriteColorTransform(BitWriter& w, const ColorTransform& c);       // CXFORM
void WriteColorTransformAlpha(BitWriter& w, const ColorTransform& c);  // CXFORMWITHALPHA

}  // namespace swf::writer
