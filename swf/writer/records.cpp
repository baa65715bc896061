#include "swf/writer/records.h"

#include <cmath>

namespace swf::writer {

Matrix Matrix::Translate(std::int32_t x, std::int32_t y) {
    Matrix m;
    m.translateX = x;
    m.translateY = y;
    return m;
}

Matrix Matrix::Transform(double scaleX, double scaleY, double radians, std::int32_t x, std::int32_t y) {
    Matrix m;
    double c = std::cos(radians), s = std::sin(radians);
    m.scaleX = scaleX * c;
    m.rotateSkew0 = scaleX * s;
    m.rotateSkew1 = -scaleY * s;
    m.scaleY = scaleY * c;
    m.translateX = x;
    m.translateY = y;
    return m;
}

void WriteRgb(BitWriter& w, Rgb c) {
    w.U8(c.r);
    w.U8(c.g);
    w.U8(c.b);
}

void WriteRgba(BitWriter& w, Rgba c) {
    w.U8(c.r);
    w.U8(c.g);
    w.U8(c.b);
    w.U8(c.a);
}

void WriteRect(BitWriter& w, const Rect& r) {
    w.Align();
    unsigned bits = BitsForSigned({r.xMin, r.xMax, r.yMin, r.yMax});
    w.UB(5, bits);
    w.SB(bits, r.xMin);
    w.SB(bits, r.xMax);
    w.SB(bits, r.yMin);
    w.SB(bits, r.yMax);
    w.Align();
}

void WriteMatrix(BitWriter& w, const Matrix& m) {
    w.Align();
    // Scale and rotation: a flag, then both 16.16 values in one field width.
    const auto writeOptionalPair = [&w](bool present, double a, double b) {
        w.UB(1, present);
        if (!present) return;
        const std::int32_t fa = ToFixed16(a), fb = ToFixed16(b);
        const unsigned bits = BitsForSigned({fa, fb});
        w.UB(5, bits);
        w.SB(bits, fa);
        w.SB(bits, fb);
    };
    writeOptionalPair(m.scaleX != 1 || m.scaleY != 1, m.scaleX, m.scaleY);
    writeOptionalPair(m.rotateSkew0 != 0 || m.rotateSkew1 != 0, m.rotateSkew0, m.rotateSkew1);
    // No translation is written as a zero-width field.
    unsigned bits = (m.translateX || m.translateY) ? BitsForSigned({m.translateX, m.translateY}) : 0;
    w.UB(5, bits);
    w.SB(bits, m.translateX);
    w.SB(bits, m.translateY);
    w.Align();
}

namespace {

void WriteTransform(BitWriter& w, const ColorTransform& c, bool alpha) {
    w.Align();
    bool hasMult = c.multR != 256 || c.multG != 256 || c.multB != 256 || (alpha && c.multA != 256);
    bool hasAdd = c.addR || c.addG || c.addB || (alpha && c.addA);
    w.UB(1, hasAdd);
    w.UB(1, hasMult);
    unsigned bits = 1;
    if (hasMult) bits = std::max(bits, BitsForSigned({c.multR, c.multG, c.multB, alpha ? c.multA : 0}));
    if (hasAdd) bits = std::max(bits, BitsForSigned({c.addR, c.addG, c.addB, alpha ? c.addA : 0}));
    w.UB(4, bits);
    if (hasMult) {
        w.SB(bits, c.multR);
        w.SB(bits, c.multG);
        w.SB(bits, c.multB);
        if (alpha) w.SB(bits, c.multA);
    }
    if (hasAdd) {
        w.SB(bits, c.addR);
        w.SB(bits, c.addG);
        w.SB(bits, c.addB);
        if (alpha) w.SB(bits, c.addA);
    }
    w.Align();
}

}  // namespace

void WriteColorTransform(BitWriter& w, const ColorTransform& c) { WriteTransform(w, c, false); }
void WriteColorTransformAlpha(BitWriter& w, const ColorTransform& c) { WriteTransform(w, c, true); }

}  // namespace swf::writer
