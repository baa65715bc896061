#include "records.h"

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
    bool hasScale = m.scaleX != 1 || m.scaleY != 1;
    w.UB(1, hasScale);
    if (hasScale) {
        std::int32_t sx = ToFixed16(m.scaleX), sy = ToFixed16(m.scaleY);
        unsigned bits = BitsForSigned({sx, sy});
        w.UB(5, bits);
        w.SB(bits, sx);
        w.SB(bits, sy);
    }
    bool hasRotate = m.rotateSkew0 != 0 || m.rotateSkew1 != 0;
    w.UB(1, hasRotate);
    if (hasRotate) {
        std::int32_t r0 = ToFixed16(m.rotateSkew0), r1 = ToFixed16(m.rotateSkew1);
        unsigned bits = BitsForSigned({r0, r1});
        w.UB(5, bits);
        w.SB(bits, r0);
        w.SB(bits, r1);
    }
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
